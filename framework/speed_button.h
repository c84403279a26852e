#pragma once
// TSpeedButton: a windowless push button that shows a glyph from a strip of up to four
// pictures (up, disabled, pressed, held down), with its hint's short part as a tooltip.

#include <windows.h>

#include <string>

#include "framework/controls.h"
#include "framework/graphics.h"
#include "framework/unique_handle.h"

namespace stampwell {

// The part of a two-part hint ("short|long") before the bar; the whole hint without one.
std::string GetShortHint(const std::string& hint);

class TSpeedButton : public TGraphicControl {
 public:
  explicit TSpeedButton(TComponent* owner);
  ~TSpeedButton() override;

  // The strip: NumGlyphs pictures of equal width side by side. The colour of its bottom-left
  // pixel is transparent.
  TBitmap& Glyph() { return glyph_.Bitmap(); }
  void SetGlyph(const TBitmap& glyph);
  void LoadGlyphFromResource(const std::string& name);
  int NumGlyphs() const { return num_glyphs_; }
  void SetNumGlyphs(int count);
  // Pixels between the glyph and the caption.
  int Spacing() const { return spacing_; }
  void SetSpacing(int spacing) { spacing_ = spacing; Invalidate(); }
  bool Flat() const { return flat_; }
  void SetFlat(bool flat) { flat_ = flat; Invalidate(); }
  // Shows pressed while the left button is held on it.
  bool Pressed() const { return pressed_; }
  // The window of the hint's tooltip, made once the button is shown with ShowHint; null before.
  HWND TooltipWindow() const { return tooltip_.get(); }

  void Paint(TCanvas& canvas) override;
  void WMLButtonDown(TShiftState shift, int x, int y) override;
  void WMLButtonUp(TShiftState shift, int x, int y) override;
  void WMMouseMove(TShiftState shift, int x, int y) override;
  void CMMouseEnter() override;
  void CMMouseLeave() override;
  bool SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) override;

 protected:
  void BoundsChanged() override;
  void EnabledChanged() override;

 private:
  // Which picture of the strip the state shows; -1 when the strip has none for it.
  int GlyphIndex() const;
  void DrawGlyph(HDC dc, int x, int y);
  void UpdateTooltip();

  // A picture, not a bare bitmap: on a display of more pixels per inch it is drawn from its
  // drawing at 200 % where the program has one (GlyphForDpi).
  TPicture glyph_;
  int num_glyphs_ = 1;
  int spacing_ = 4;
  bool flat_ = false;
  bool pressed_ = false;
  bool hot_ = false;
  unique_hwnd tooltip_;
  HWND tooltip_host_ = nullptr;
};

// Makes "TSpeedButton" known to the form reader; idempotent.
void RegisterSpeedButtonClass();

}  // namespace stampwell
