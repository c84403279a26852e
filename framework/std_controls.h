#pragma once
// The standard controls the windows are made of: windowed wrappers of the system's edit,
// check box, push button, memo, rich edit, progress bar and list box; our own panel and page
// control (whose tabs can be hidden); and the windowless image and label.

#include <windows.h>

#include <string>
#include <vector>

#include "framework/controls.h"
#include "framework/strings.h"

namespace stampwell {

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
enum class TTextLayout { tlTop, tlCenter, tlBottom };
enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
enum class TBorderStyle { bsNone, bsSingle };

// Loads the common controls (by full system path) and registers their classes; idempotent.
void InitCommonControlClasses();

class TEdit : public TWinControl {
 public:
  explicit TEdit(TComponent* owner);
  bool ReadOnly() const { return read_only_; }
  void SetReadOnly(bool v);
  // Before the window exists: the edit keeps its text in UTF-16, whatever the user types.
  void SetUnicode(bool v) { unicode_text_ = v; }
  // The text whole (only a Unicode edit holds more than the code page).
  std::wstring WideText() const;
  // Sets the text whole (a Unicode edit keeps what the code page cannot hold); OnChange fires.
  void SetWideText(const std::wstring& text);
  TBorderStyle BorderStyle() const { return border_style_; }
  void SetBorderStyle(TBorderStyle v) { border_style_ = v; }
  TNotifyEvent OnChange;
  bool SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) override;

 protected:
  void CreateParamsFor(CreateParams& params) override;
  bool HandleCommand(WORD code) override;
  void TextChanged() override;
  bool read_only_ = false;
  bool unicode_text_ = false;
  TBorderStyle border_style_ = TBorderStyle::bsSingle;
  int max_length_ = 0;
};

class TMemo : public TEdit {
 public:
  explicit TMemo(TComponent* owner);
  TStrings& Lines() { return lines_; }
  bool SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) override;

 protected:
  void CreateParamsFor(CreateParams& params) override;
  bool HandleCommand(WORD code) override;
  void TextChanged() override;
  TStrings lines_;
  TScrollStyle scroll_bars_ = TScrollStyle::ssNone;
  bool word_wrap_ = true;
  bool syncing_ = false;
};

class TRichEdit : public TMemo {
 public:
  explicit TRichEdit(TComponent* owner);
  int SelStart() const;
  void SetSelStart(int start);
  int SelLength() const;
  void SetSelLength(int length);
  // The size in points of the selection's font (SelAttributes.Size).
  int SelSize() const;
  void SetSelSize(int points);
  bool SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) override;

 protected:
  void CreateParamsFor(CreateParams& params) override;
  void CreateWnd() override;
  bool HandleCommand(WORD code) override;
  bool plain_text_ = false;
};

class TCheckBox : public TWinControl {
 public:
  explicit TCheckBox(TComponent* owner);
  bool Checked() const;
  void SetChecked(bool checked);
  bool SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) override;

 protected:
  void CreateParamsFor(CreateParams& params) override;
  void CreateWnd() override;
  bool HandleCommand(WORD code) override;
  bool checked_ = false;
  TAlignment alignment_ = TAlignment::taRightJustify;
};

class TButton : public TWinControl {
 public:
  explicit TButton(TComponent* owner);
  bool Default() const { return default_; }
  void SetDefault(bool v) { default_ = v; }
  bool Cancel() const { return cancel_; }
  void SetCancel(bool v) { cancel_ = v; }
  int ModalResult() const { return modal_result_; }
  void SetModalResult(int v) { modal_result_ = v; }
  // Fires OnClick, then hands the modal result to the form.
  void Click() override;
  bool SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) override;
  // The enabled, showing default (or cancel) button among a form's components.
  static TButton* FindDefault(TComponent& form, bool cancel);

 protected:
  void CreateParamsFor(CreateParams& params) override;
  bool HandleCommand(WORD code) override;
  bool default_ = false;
  bool cancel_ = false;
  int modal_result_ = 0;
};

class TProgressBar : public TWinControl {
 public:
  explicit TProgressBar(TComponent* owner);
  int Min() const { return min_; }
  int Max() const { return max_; }
  int Position() const { return position_; }
  void SetMin(int v) { min_ = v; Update(); }
  void SetMax(int v) { max_ = v; Update(); }
  void SetPosition(int v);
  bool SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) override;

 protected:
  void CreateParamsFor(CreateParams& params) override;
  void CreateWnd() override { Update(); }

 private:
  void Update();
  int min_ = 0, max_ = 100, position_ = 0;
};

class TListBox : public TWinControl {
 public:
  explicit TListBox(TComponent* owner);
  TStrings& Items() { return items_; }
  int ItemIndex() const;
  void SetItemIndex(int index);
  bool SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) override;

 protected:
  void CreateParamsFor(CreateParams& params) override;
  void CreateWnd() override;
  bool HandleCommand(WORD code) override;

 private:
  void Fill();
  TStrings items_;
  int item_index_ = -1;  // kept while there is no window
};

enum class TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

class TPanel : public TCustomControl {
 public:
  explicit TPanel(TComponent* owner);
  bool SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) override;

 protected:
  void CreateParamsFor(CreateParams& params) override;
  void PaintBackground(TCanvas& canvas) override;
  TBevelCut bevel_outer_ = TBevelCut::bvRaised;
  TBevelCut bevel_inner_ = TBevelCut::bvNone;
};

class TPageControl;

class TTabSheet : public TCustomControl {
 public:
  explicit TTabSheet(TComponent* owner);
  ~TTabSheet() override;
  TPageControl* PageControl() const { return page_control_; }
  void SetPageControl(TPageControl* control);
  bool TabVisible() const { return tab_visible_; }
  void SetTabVisible(bool v);
  int PageIndex() const;
  bool SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) override;

 protected:
  void CreateParamsFor(CreateParams& params) override;
  void TextChanged() override;

 private:
  friend class TPageControl;
  TPageControl* page_control_ = nullptr;
  bool tab_visible_ = true;
};

enum class TTabStyle { tsTabs, tsButtons, tsFlatButtons };

class TPageControl : public TWinControl {
 public:
  explicit TPageControl(TComponent* owner);
  int PageCount() const { return static_cast<int>(pages_.size()); }
  TTabSheet* Pages(int index) const { return pages_.at(static_cast<size_t>(index)); }
  TTabSheet* ActivePage() const { return active_; }
  void SetActivePage(TTabSheet* page);
  int ActivePageIndex() const;
  void SetActivePageIndex(int index);
  TNotifyEvent OnChange;

  bool SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) override;
  void ReadChild(TComponent* child, FormReadContext& context) override;
  // Where the sheets lie in the control's client area.
  RECT DisplayRect();
  LRESULT WndProc(UINT message, WPARAM wparam, LPARAM lparam) override;

 protected:
  void CreateParamsFor(CreateParams& params) override;
  void CreateWnd() override;
  bool HandleNotify(NMHDR* header, LRESULT& result) override;
  void BoundsChanged() override { LayoutPages(); }

 private:
  friend class TTabSheet;
  void AddPage(TTabSheet* page);
  void RemovePage(TTabSheet* page);
  bool AnyTabVisible() const;
  // Switches between the two kinds of window when tabs come or go.
  void TabsChanged();
  void UpdateTabs();
  void LayoutPages();
  void PaintFrame();
  // Whether the window is the common tab control. With every tab hidden it is a plain window
  // that draws what the tab control would draw without tabs, so a wizard whose code switches
  // the pages makes no tab control at all.
  bool tab_window_ = false;
  std::vector<TTabSheet*> pages_;
  TTabSheet* active_ = nullptr;
  TTabStyle style_ = TTabStyle::tsTabs;
};

class TImage : public TGraphicControl {
 public:
  explicit TImage(TComponent* owner);
  TPicture& Picture() { return picture_; }
  // Replaces the picture and repaints.
  void SetPicture(const TPicture& picture);
  bool Stretch() const { return stretch_; }
  void SetStretch(bool v) { stretch_ = v; Invalidate(); }
  bool Center() const { return center_; }
  void SetCenter(bool v) { center_ = v; Invalidate(); }
  void Paint(TCanvas& canvas) override;
  bool SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) override;

 private:
  TPicture picture_;
  bool stretch_ = false;
  bool center_ = false;
  bool auto_size_ = false;
};

class TLabel : public TGraphicControl {
 public:
  explicit TLabel(TComponent* owner);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool v) { transparent_ = v; Invalidate(); }
  bool AutoSize() const { return auto_size_; }
  void SetAutoSize(bool v);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v) { alignment_ = v; Invalidate(); }
  bool WordWrap() const { return word_wrap_; }
  void SetWordWrap(bool v) { word_wrap_ = v; AdjustSize(); Invalidate(); }
  void Paint(TCanvas& canvas) override;
  void Loaded() override;
  bool SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) override;

 protected:
  void TextChanged() override;
  void FontChanged() override;
  void AdjustSize();
  bool transparent_ = false;
  bool auto_size_ = true;
  bool word_wrap_ = false;
  bool show_accel_char_ = true;
  TAlignment alignment_ = TAlignment::taLeftJustify;
  TTextLayout layout_ = TTextLayout::tlTop;
};

// Reads the picture properties of a form: Picture.Data (a .bmp file's bytes) and
// Picture.Resource (the name of a bitmap resource). Returns false for other names.
bool ReadPictureProperty(TPicture& picture, const std::string& name, const FormValue& value, FormReadContext& context);
// The names of TAlignment's values in forms, in the enumeration's order.
const std::vector<std::string>& AlignmentNames();

}  // namespace stampwell
