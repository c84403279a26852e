#pragma once
// The custom-draw object of one NM_CUSTOMDRAW notification: the colours and the font that a
// handler may change for the item being drawn, applied to the notification's result.

#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "framework/graphics.h"

namespace stampwell {

class TPTCustomDraw {
 public:
  // `control_font` is the control's font (not owned); trees ask for every item (1).
  TPTCustomDraw(const TFont& control_font, int request_item_draw);
  TPTCustomDraw(const TPTCustomDraw&) = delete;
  TPTCustomDraw& operator=(const TPTCustomDraw&) = delete;
  virtual ~TPTCustomDraw();

  // Stores the record and the result of this notification and clears ResultHandled.
  virtual void Init(NMCUSTOMDRAW* draw, LRESULT* result);
  // Writes what the handlers chose into the result (and the record's colours).
  virtual void Apply() = 0;

  // A copy of the control's font whose colour is the device context's text colour, made on
  // first use; changing it marks the font as changed.
  TFont& Font();
  // A solid brush of the device context's background colour, made on first use; a colour other
  // than that one counts as changed.
  TBrush& Brush();
  bool FontChanged() const noexcept { return font_changed_; }
  bool BrushChanged() const noexcept;

  int RequestItemDraw() const noexcept { return request_item_draw_; }
  void SetRequestItemDraw(int v) noexcept { request_item_draw_ = v; }
  bool SkipDefault() const noexcept { return skip_default_; }
  void SetSkipDefault(bool v) noexcept { skip_default_ = v; }
  // Set by a handler that wrote the result itself.
  bool ResultHandled() const noexcept { return result_handled_; }
  void SetResultHandled(bool v) noexcept { result_handled_ = v; }

  NMCUSTOMDRAW* Record() const noexcept { return draw_; }
  LRESULT* Result() const noexcept { return result_; }
  HDC DC() const noexcept { return draw_ ? draw_->hdc : nullptr; }
  // 1 pre-paint, 2 post-paint, 4 item pre-paint, 5 item post-paint, 0 otherwise.
  int DrawStage() const noexcept;

 protected:
  virtual void CreateFont();
  virtual void CreateBrush();
  // The text and background colours that the record gives (the device context's by default).
  virtual COLORREF RecordTextColor() const;
  virtual COLORREF RecordBackColor() const;
  // Selects the changed font into the device context (CDRF_NEWFONT in the result when it was
  // not current already).
  void ApplyFont();
  // The common way of Apply: the result (first reset when asked) gets the item-draw request,
  // SkipDefault or the changed font and brush, whose colours go to the record's two colours.
  void ApplyTo(bool reset, COLORREF& text_colour, COLORREF& back_colour);

  const TFont& control_font_;
  std::unique_ptr<TFont> font_;
  std::unique_ptr<TBrush> brush_;
  bool font_changed_ = false;
  COLORREF brush_start_ = 0;
  int request_item_draw_;
  bool skip_default_ = false;
  bool result_handled_ = false;
  NMCUSTOMDRAW* draw_ = nullptr;
  LRESULT* result_ = nullptr;
};

// Trees: the record is an NMTVCUSTOMDRAW; the font and brush start from the device context's
// colours, and a changed font or brush colour becomes the item's.
class TPTTvCustomDraw : public TPTCustomDraw {
 public:
  using TPTCustomDraw::TPTCustomDraw;
  void Apply() override;
  NMTVCUSTOMDRAW* TvRecord() const noexcept { return reinterpret_cast<NMTVCUSTOMDRAW*>(draw_); }
};

// List views: the record is an NMLVCUSTOMDRAW, whose colours the font and brush start from; the
// result is always reset first, whatever a handler wrote.
class TPTLvCustomDraw : public TPTCustomDraw {
 public:
  using TPTCustomDraw::TPTCustomDraw;
  void Apply() override;
  NMLVCUSTOMDRAW* LvRecord() const noexcept { return reinterpret_cast<NMLVCUSTOMDRAW*>(draw_); }

 protected:
  COLORREF RecordTextColor() const override;
  COLORREF RecordBackColor() const override;
};

}  // namespace stampwell
