#include "framework/std_controls.h"

#include <commctrl.h>
#include <richedit.h>

#include "framework/application.h"
#include "framework/form_reader.h"
#include "framework/forms.h"
#include "framework/system_library.h"
#include "framework/window_text.h"

namespace stampwell {

void InitCommonControlClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  // Loaded by full path and kept for the life of the process: its window classes stay in use.
  static unique_hmodule comctl = LoadSystemLibrary("comctl32.dll");
  if (!comctl) return;
  auto init = STAMPWELL_SYSTEM_FUNCTION(comctl.get(), InitCommonControlsEx);
  if (init) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_PROGRESS_CLASS | ICC_TAB_CLASSES | ICC_STANDARD_CLASSES | ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES};
    init(&icc);
  }
}

namespace {

void LoadRichEditLibrary() {
  static unique_hmodule riched = LoadSystemLibrary("riched20.dll");
  if (!riched) throw Exception("The rich edit library cannot be loaded");
}

const std::vector<std::string> kScrollStyles = {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"};
const std::vector<std::string> kAlignments = {"taLeftJustify", "taRightJustify", "taCenter"};

}  // namespace

bool ReadPictureProperty(TPicture& picture, const std::string& name, const FormValue& value, FormReadContext& context) {
  try {
    if (name == "Picture.Data") {
      const auto& bytes = context.Binary(value);
      picture.Bitmap().LoadFromBytes(bytes.data(), bytes.size());
      return true;
    }
    if (name == "Picture.Resource") {
      picture.Bitmap().LoadFromResource(context.String(value));
      return true;
    }
  } catch (const FormError&) {
    throw;
  } catch (const Exception& e) {
    context.Fail(e.Message());
  }
  return false;
}

// ---- TEdit ----

TEdit::TEdit(TComponent* owner) : TWinControl(owner) {
  width_ = 121;
  height_ = 21;
  color_ = clWindow;
  parent_color_ = false;
  tab_stop_ = true;
}

void TEdit::SetReadOnly(bool v) {
  read_only_ = v;
  if (handle_) ::SendMessageA(handle_, EM_SETREADONLY, v ? TRUE : FALSE, 0);
}

void TEdit::CreateParamsFor(CreateParams& params) {
  TWinControl::CreateParamsFor(params);
  params.class_name = "EDIT";
  params.style |= ES_AUTOHSCROLL | (read_only_ ? ES_READONLY : 0);
  if (border_style_ == TBorderStyle::bsSingle) params.ex_style |= WS_EX_CLIENTEDGE;
}

bool TEdit::HandleCommand(WORD code) {
  if (code != EN_CHANGE) return false;
  caption_ = WindowText(handle_);
  FireEvent(OnChange, this);
  return true;
}

bool TEdit::SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) {
  if (name == "ReadOnly") SetReadOnly(context.Boolean(value));
  else if (name == "BorderStyle") SetBorderStyle(static_cast<TBorderStyle>(context.Enum(value, {"bsNone", "bsSingle"})));
  else if (name == "MaxLength") max_length_ = context.Integer(value);
  else if (name == "OnChange") context.Bind(OnChange, value);
  else if (name == "AutoSize" || name == "Ctl3D" || name == "ParentCtl3D" || name == "AutoSelect") context.Boolean(value);
  else return TWinControl::SetProperty(name, value, context);
  return true;
}

// ---- TMemo ----

TMemo::TMemo(TComponent* owner) : TEdit(owner) {
  width_ = 185;
  height_ = 89;
  lines_.OnChange = [this] {
    if (syncing_) return;
    caption_ = lines_.Text();
    if (caption_.size() >= 2) caption_.resize(caption_.size() - 2);  // no line break after the last line
    if (handle_) ::SetWindowTextA(handle_, caption_.c_str());
  };
}

void TMemo::CreateParamsFor(CreateParams& params) {
  TEdit::CreateParamsFor(params);
  params.style &= ~ES_AUTOHSCROLL;
  params.style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
  if (!word_wrap_) params.style |= ES_AUTOHSCROLL;
  if (scroll_bars_ == TScrollStyle::ssVertical || scroll_bars_ == TScrollStyle::ssBoth) params.style |= WS_VSCROLL;
  if (scroll_bars_ == TScrollStyle::ssHorizontal || scroll_bars_ == TScrollStyle::ssBoth) params.style |= WS_HSCROLL;
}

bool TMemo::HandleCommand(WORD code) {
  if (code != EN_CHANGE) return false;
  caption_ = WindowText(handle_);
  syncing_ = true;
  lines_.SetText(caption_);
  syncing_ = false;
  FireEvent(OnChange, this);
  return true;
}

bool TMemo::SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) {
  if (name == "Lines.Strings") lines_.Assign(context.StringList(value));
  else if (name == "ScrollBars") scroll_bars_ = static_cast<TScrollStyle>(context.Enum(value, kScrollStyles));
  else if (name == "WordWrap") word_wrap_ = context.Boolean(value);
  else if (name == "WantReturns" || name == "WantTabs") context.Boolean(value);
  else return TEdit::SetProperty(name, value, context);
  return true;
}

// ---- TRichEdit ----

TRichEdit::TRichEdit(TComponent* owner) : TMemo(owner) {}

void TRichEdit::CreateParamsFor(CreateParams& params) {
  LoadRichEditLibrary();
  TMemo::CreateParamsFor(params);
  params.class_name = RICHEDIT_CLASSA;
  params.style |= ES_NOHIDESEL;
}

void TRichEdit::CreateWnd() {
  // The text as plain 8-bit text in the font's character set.
  ::SendMessageA(handle_, EM_SETTEXTMODE, TM_PLAINTEXT, 0);
  ::SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), FALSE);
  ::SetWindowTextA(handle_, caption_.c_str());
  ::SendMessageA(handle_, EM_SETEVENTMASK, 0, ENM_CHANGE);
}

bool TRichEdit::HandleCommand(WORD code) { return TMemo::HandleCommand(code); }

int TRichEdit::SelStart() const {
  if (!handle_) return 0;
  CHARRANGE range{};
  ::SendMessageA(handle_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
  return range.cpMin;
}

void TRichEdit::SetSelStart(int start) {
  if (!handle_) return;
  CHARRANGE range{start, start};
  ::SendMessageA(handle_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

int TRichEdit::SelLength() const {
  if (!handle_) return 0;
  CHARRANGE range{};
  ::SendMessageA(handle_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
  return range.cpMax - range.cpMin;
}

void TRichEdit::SetSelLength(int length) {
  if (!handle_) return;
  int start = SelStart();
  CHARRANGE range{start, start + length};
  ::SendMessageA(handle_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

int TRichEdit::SelSize() const {
  if (!handle_) return 0;
  CHARFORMATA format{};
  format.cbSize = sizeof(format);
  ::SendMessageA(handle_, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  return static_cast<int>(format.yHeight / 20);
}

void TRichEdit::SetSelSize(int points) {
  if (!handle_) return;
  CHARFORMATA format{};
  format.cbSize = sizeof(format);
  format.dwMask = CFM_SIZE;
  format.yHeight = points * 20;  // twips
  ::SendMessageA(handle_, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
}

bool TRichEdit::SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) {
  if (name == "PlainText") plain_text_ = context.Boolean(value);
  else if (name == "HideSelection" || name == "HideScrollBars") context.Boolean(value);
  else return TMemo::SetProperty(name, value, context);
  return true;
}

// ---- TCheckBox ----

TCheckBox::TCheckBox(TComponent* owner) : TWinControl(owner) {
  width_ = 97;
  height_ = 17;
  tab_stop_ = true;
}

void TCheckBox::CreateParamsFor(CreateParams& params) {
  TWinControl::CreateParamsFor(params);
  params.class_name = "BUTTON";
  params.style |= BS_AUTOCHECKBOX | (alignment_ == TAlignment::taLeftJustify ? BS_LEFTTEXT : 0);
}

void TCheckBox::CreateWnd() { ::SendMessageA(handle_, BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0); }

bool TCheckBox::Checked() const {
  if (handle_) return ::SendMessageA(handle_, BM_GETCHECK, 0, 0) == BST_CHECKED;
  return checked_;
}

void TCheckBox::SetChecked(bool checked) {
  checked_ = checked;
  if (handle_) ::SendMessageA(handle_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool TCheckBox::HandleCommand(WORD code) {
  if (code != BN_CLICKED) return false;
  checked_ = Checked();
  Click();
  return true;
}

bool TCheckBox::SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) {
  if (name == "Checked") SetChecked(context.Boolean(value));
  else if (name == "State") SetChecked(context.Enum(value, {"cbUnchecked", "cbChecked", "cbGrayed"}) == 1);
  else if (name == "Alignment") alignment_ = static_cast<TAlignment>(context.Enum(value, kAlignments));
  else if (name == "Ctl3D" || name == "ParentCtl3D") context.Boolean(value);
  else return TWinControl::SetProperty(name, value, context);
  return true;
}

// ---- TButton ----

TButton::TButton(TComponent* owner) : TWinControl(owner) {
  width_ = 75;
  height_ = 25;
  tab_stop_ = true;
}

void TButton::CreateParamsFor(CreateParams& params) {
  TWinControl::CreateParamsFor(params);
  params.class_name = "BUTTON";
  params.style |= default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

bool TButton::HandleCommand(WORD code) {
  if (code != BN_CLICKED) return false;
  Click();
  return true;
}

void TButton::Click() {
  TWinControl::Click();
  if (modal_result_ != 0) {
    if (TForm* form = ParentForm()) form->SetModalResult(modal_result_);
  }
}

TButton* TButton::FindDefault(TComponent& form, bool cancel) {
  for (TComponent* c : form.Components()) {
    auto* b = dynamic_cast<TButton*>(c);
    if (b && (cancel ? b->cancel_ : b->default_) && b->Showing() && b->Enabled()) return b;
  }
  return nullptr;
}

bool TButton::SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) {
  if (name == "Default") SetDefault(context.Boolean(value));
  else if (name == "Cancel") SetCancel(context.Boolean(value));
  else if (name == "ModalResult") {
    if (value.kind == FormValue::Kind::Integer) SetModalResult(context.Integer(value));
    else SetModalResult(context.Enum(value, {"mrNone", "mrOk", "mrCancel", "mrAbort", "mrRetry", "mrIgnore", "mrYes", "mrNo"}));
  } else return TWinControl::SetProperty(name, value, context);
  return true;
}

// ---- TProgressBar ----

TProgressBar::TProgressBar(TComponent* owner) : TWinControl(owner) {
  width_ = 150;
  height_ = 16;
}

void TProgressBar::CreateParamsFor(CreateParams& params) {
  InitCommonControlClasses();
  TWinControl::CreateParamsFor(params);
  params.class_name = PROGRESS_CLASSA;
}

void TProgressBar::SetPosition(int v) {
  position_ = v < min_ ? min_ : (v > max_ ? max_ : v);
  if (handle_) ::SendMessageA(handle_, PBM_SETPOS, static_cast<WPARAM>(position_), 0);
}

void TProgressBar::Update() {
  if (!handle_) return;
  ::SendMessageA(handle_, PBM_SETRANGE32, static_cast<WPARAM>(min_), static_cast<LPARAM>(max_));
  ::SendMessageA(handle_, PBM_SETPOS, static_cast<WPARAM>(position_), 0);
}

bool TProgressBar::SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) {
  if (name == "Min") SetMin(context.Integer(value));
  else if (name == "Max") SetMax(context.Integer(value));
  else if (name == "Position") SetPosition(context.Integer(value));
  else if (name == "Smooth") context.Boolean(value);
  else return TWinControl::SetProperty(name, value, context);
  return true;
}

// ---- TListBox ----

TListBox::TListBox(TComponent* owner) : TWinControl(owner) {
  width_ = 121;
  height_ = 97;
  color_ = clWindow;
  parent_color_ = false;
  tab_stop_ = true;
  items_.OnChange = [this] { Fill(); };
}

void TListBox::CreateParamsFor(CreateParams& params) {
  TWinControl::CreateParamsFor(params);
  params.class_name = "LISTBOX";
  params.style |= LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL;
  params.ex_style |= WS_EX_CLIENTEDGE;
}

void TListBox::CreateWnd() { Fill(); }

void TListBox::Fill() {
  if (!handle_) return;
  ::SendMessageA(handle_, LB_RESETCONTENT, 0, 0);
  for (const std::string& item : items_.Lines()) ::SendMessageA(handle_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

int TListBox::ItemIndex() const {
  return handle_ ? static_cast<int>(::SendMessageA(handle_, LB_GETCURSEL, 0, 0)) : -1;
}

void TListBox::SetItemIndex(int index) {
  if (handle_) ::SendMessageA(handle_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

bool TListBox::HandleCommand(WORD code) {
  if (code != LBN_SELCHANGE) return false;
  Click();
  return true;
}

bool TListBox::SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) {
  if (name == "Items.Strings") items_.Assign(context.StringList(value));
  else if (name == "ItemHeight") context.Integer(value);
  else return TWinControl::SetProperty(name, value, context);
  return true;
}

// ---- TPanel ----

TPanel::TPanel(TComponent* owner) : TCustomControl(owner) {
  width_ = 185;
  height_ = 41;
}

void TPanel::CreateParamsFor(CreateParams& params) {
  TCustomControl::CreateParamsFor(params);
  params.style |= WS_CLIPCHILDREN;
  params.ex_style |= WS_EX_CONTROLPARENT;
}

void TPanel::PaintBackground(TCanvas& canvas) {
  RECT r = ClientRect();
  canvas.Brush().Color = color_;
  canvas.FillRect(r);
  if (bevel_outer_ == TBevelCut::bvRaised) ::DrawEdge(canvas.Handle(), &r, BDR_RAISEDOUTER, BF_RECT | BF_ADJUST);
  if (bevel_outer_ == TBevelCut::bvLowered) ::DrawEdge(canvas.Handle(), &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
  if (bevel_inner_ == TBevelCut::bvRaised) ::DrawEdge(canvas.Handle(), &r, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
  if (bevel_inner_ == TBevelCut::bvLowered) ::DrawEdge(canvas.Handle(), &r, BDR_SUNKENINNER, BF_RECT | BF_ADJUST);
  if (!caption_.empty()) {
    canvas.Font() = font_;
    canvas.Brush().Style = TBrushStyle::bsClear;
    canvas.PrepareText();
    ::DrawTextA(canvas.Handle(), caption_.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
}

bool TPanel::SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) {
  static const std::vector<std::string> kCuts = {"bvNone", "bvLowered", "bvRaised", "bvSpace"};
  if (name == "BevelOuter") bevel_outer_ = static_cast<TBevelCut>(context.Enum(value, kCuts));
  else if (name == "BevelInner") bevel_inner_ = static_cast<TBevelCut>(context.Enum(value, kCuts));
  else if (name == "BevelWidth" || name == "BorderWidth") context.Integer(value);
  else return TCustomControl::SetProperty(name, value, context);
  return true;
}

// ---- TTabSheet and TPageControl ----

TTabSheet::TTabSheet(TComponent* owner) : TCustomControl(owner) { visible_ = false; }

TTabSheet::~TTabSheet() {
  if (page_control_) page_control_->RemovePage(this);
}

void TTabSheet::CreateParamsFor(CreateParams& params) {
  TCustomControl::CreateParamsFor(params);
  params.style |= WS_CLIPCHILDREN;
  params.ex_style |= WS_EX_CONTROLPARENT;
}

void TTabSheet::SetPageControl(TPageControl* control) {
  if (control == page_control_) return;
  if (page_control_) page_control_->RemovePage(this);
  page_control_ = control;
  if (control) {
    SetParent(control);
    control->AddPage(this);
  }
}

void TTabSheet::SetTabVisible(bool v) {
  tab_visible_ = v;
  if (page_control_) {
    page_control_->UpdateTabs();
    page_control_->LayoutPages();
  }
}

int TTabSheet::PageIndex() const {
  if (!page_control_) return -1;
  for (int i = 0; i < page_control_->PageCount(); ++i) {
    if (page_control_->Pages(i) == this) return i;
  }
  return -1;
}

void TTabSheet::TextChanged() {
  if (page_control_) page_control_->UpdateTabs();
}

bool TTabSheet::SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) {
  if (name == "TabVisible") SetTabVisible(context.Boolean(value));
  else if (name == "ImageIndex" || name == "PageIndex") context.Integer(value);
  else return TCustomControl::SetProperty(name, value, context);
  return true;
}

TPageControl::TPageControl(TComponent* owner) : TWinControl(owner) {
  width_ = 289;
  height_ = 193;
  tab_stop_ = true;
}

void TPageControl::CreateParamsFor(CreateParams& params) {
  InitCommonControlClasses();
  TWinControl::CreateParamsFor(params);
  params.class_name = WC_TABCONTROLA;
  params.style |= WS_CLIPCHILDREN;
  if (style_ == TTabStyle::tsButtons) params.style |= TCS_BUTTONS;
  if (style_ == TTabStyle::tsFlatButtons) params.style |= TCS_BUTTONS | TCS_FLATBUTTONS;
  params.ex_style |= WS_EX_CONTROLPARENT;
}

void TPageControl::CreateWnd() {
  UpdateTabs();
  LayoutPages();
}

void TPageControl::AddPage(TTabSheet* page) {
  pages_.push_back(page);
  if (!active_) SetActivePage(page);
  UpdateTabs();
}

void TPageControl::RemovePage(TTabSheet* page) {
  pages_.erase(std::remove(pages_.begin(), pages_.end(), page), pages_.end());
  page->page_control_ = nullptr;
  if (active_ == page) active_ = nullptr;
  UpdateTabs();
}

void TPageControl::UpdateTabs() {
  if (!handle_) return;
  ::SendMessageA(handle_, TCM_DELETEALLITEMS, 0, 0);
  int index = 0;
  for (TTabSheet* page : pages_) {
    if (!page->tab_visible_) continue;
    TCITEMA item{};
    item.mask = TCIF_TEXT | TCIF_PARAM;
    item.pszText = const_cast<char*>(page->Caption().c_str());
    item.lParam = reinterpret_cast<LPARAM>(page);
    ::SendMessageA(handle_, TCM_INSERTITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    if (page == active_) ::SendMessageA(handle_, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    ++index;
  }
}

RECT TPageControl::DisplayRect() {
  RECT r{0, 0, ClientWidth(), ClientHeight()};
  bool any_tab = false;
  for (TTabSheet* page : pages_) any_tab = any_tab || page->tab_visible_;
  if (any_tab && handle_) {
    ::SendMessageA(handle_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
  } else {
    // With every tab hidden the sheet keeps the frame's margins: 4 pixels at the sides and
    // the bottom, 6 at the top (where a tab row would begin).
    r.left += 4;
    r.top += 6;
    r.right -= 4;
    r.bottom -= 4;
  }
  return r;
}

void TPageControl::LayoutPages() {
  RECT r = DisplayRect();
  for (TTabSheet* page : pages_) page->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void TPageControl::SetActivePage(TTabSheet* page) {
  if (page && page->page_control_ != this) return;
  if (page == active_) return;
  TTabSheet* old = active_;
  active_ = page;
  if (page) page->SetVisible(true);
  if (old) old->SetVisible(false);
  UpdateTabs();
}

int TPageControl::ActivePageIndex() const { return active_ ? active_->PageIndex() : -1; }

void TPageControl::SetActivePageIndex(int index) {
  SetActivePage(index >= 0 && index < PageCount() ? pages_[static_cast<size_t>(index)] : nullptr);
}

bool TPageControl::HandleNotify(NMHDR* header, LRESULT& result) {
  if (header->code != TCN_SELCHANGE) return false;
  int selected = static_cast<int>(::SendMessageA(handle_, TCM_GETCURSEL, 0, 0));
  TCITEMA item{};
  item.mask = TCIF_PARAM;
  if (::SendMessageA(handle_, TCM_GETITEMA, static_cast<WPARAM>(selected), reinterpret_cast<LPARAM>(&item))) {
    SetActivePage(reinterpret_cast<TTabSheet*>(item.lParam));
    FireEvent(OnChange, this);
  }
  result = 0;
  return true;
}

void TPageControl::ReadChild(TComponent* child, FormReadContext& context) {
  if (auto* sheet = dynamic_cast<TTabSheet*>(child)) {
    sheet->SetPageControl(this);
    return;
  }
  TWinControl::ReadChild(child, context);
}

bool TPageControl::SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) {
  if (name == "ActivePage") context.Reference<TTabSheet>(value, [this](TTabSheet* page) { SetActivePage(page); });
  else if (name == "Style") style_ = static_cast<TTabStyle>(context.Enum(value, {"tsTabs", "tsButtons", "tsFlatButtons"}));
  else if (name == "OnChange") context.Bind(OnChange, value);
  else if (name == "TabIndex" || name == "TabHeight" || name == "TabWidth") context.Integer(value);
  else return TWinControl::SetProperty(name, value, context);
  return true;
}

// ---- TImage ----

TImage::TImage(TComponent* owner) : TGraphicControl(owner) {
  width_ = 105;
  height_ = 105;
}

void TImage::SetPicture(const TPicture& picture) {
  picture_.Assign(picture);
  if (auto_size_ && !picture_.Bitmap().Empty()) SetBounds(left_, top_, picture_.Width(), picture_.Height());
  Invalidate();
}

void TImage::Paint(TCanvas& canvas) {
  const TBitmap& bitmap = picture_.Bitmap();
  if (bitmap.Empty()) return;
  if (stretch_) {
    canvas.StretchDraw(ClientRect(), bitmap);
  } else if (center_) {
    canvas.Draw((width_ - bitmap.Width()) / 2, (height_ - bitmap.Height()) / 2, bitmap);
  } else {
    canvas.Draw(0, 0, bitmap);
  }
}

bool TImage::SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) {
  if (ReadPictureProperty(picture_, name, value, context)) {
    if (auto_size_) SetBounds(left_, top_, picture_.Width(), picture_.Height());
    Invalidate();
  } else if (name == "Stretch") SetStretch(context.Boolean(value));
  else if (name == "Center") SetCenter(context.Boolean(value));
  else if (name == "AutoSize") auto_size_ = context.Boolean(value);
  else if (name == "Transparent" || name == "Proportional" || name == "IncrementalDisplay") context.Boolean(value);
  else return TGraphicControl::SetProperty(name, value, context);
  return true;
}

// ---- TLabel ----

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) {
  width_ = 65;
  height_ = 13;
}

void TLabel::SetAutoSize(bool v) {
  auto_size_ = v;
  AdjustSize();
}

void TLabel::TextChanged() {
  AdjustSize();
  Invalidate();
}

void TLabel::FontChanged() {
  AdjustSize();
  Invalidate();
}

void TLabel::AdjustSize() {
  if (!auto_size_) return;
  scoped_window_dc screen(nullptr);
  HDC dc = screen.get();
  scoped_select_object font(dc, font_.Handle());
  RECT r{0, 0, word_wrap_ ? width_ : 0, 0};
  std::string text = caption_.empty() ? std::string(" ") : caption_;
  UINT format = DT_CALCRECT | DT_EXPANDTABS | (word_wrap_ ? DT_WORDBREAK : 0) | (show_accel_char_ ? 0 : DT_NOPREFIX);
  ::DrawTextA(dc, text.c_str(), -1, &r, format);
  SetBounds(left_, top_, r.right, r.bottom);
}

void TLabel::Paint(TCanvas& canvas) {
  RECT r = ClientRect();
  if (!transparent_) {
    canvas.Brush().Color = color_;
    canvas.FillRect(r);
  }
  canvas.Font() = font_;
  canvas.Brush().Style = TBrushStyle::bsClear;
  canvas.PrepareText();
  UINT format = DT_EXPANDTABS | (word_wrap_ ? DT_WORDBREAK : 0) | (show_accel_char_ ? 0 : DT_NOPREFIX);
  if (alignment_ == TAlignment::taCenter) format |= DT_CENTER;
  if (alignment_ == TAlignment::taRightJustify) format |= DT_RIGHT;
  if (!enabled_) ::SetTextColor(canvas.Handle(), ::GetSysColor(COLOR_GRAYTEXT));
  if (layout_ != TTextLayout::tlTop) {
    RECT calc = r;
    ::DrawTextA(canvas.Handle(), caption_.c_str(), -1, &calc, format | DT_CALCRECT);
    int offset = (r.bottom - calc.bottom) / (layout_ == TTextLayout::tlCenter ? 2 : 1);
    r.top += offset;
  }
  ::DrawTextA(canvas.Handle(), caption_.c_str(), -1, &r, format);
}

bool TLabel::SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) {
  if (name == "Transparent") SetTransparent(context.Boolean(value));
  else if (name == "AutoSize") SetAutoSize(context.Boolean(value));
  else if (name == "WordWrap") SetWordWrap(context.Boolean(value));
  else if (name == "ShowAccelChar") show_accel_char_ = context.Boolean(value);
  else if (name == "Alignment") SetAlignment(static_cast<TAlignment>(context.Enum(value, kAlignments)));
  else if (name == "Layout") layout_ = static_cast<TTextLayout>(context.Enum(value, {"tlTop", "tlCenter", "tlBottom"}));
  else if (name == "FocusControl") context.Identifier(value);
  else return TGraphicControl::SetProperty(name, value, context);
  return true;
}

}  // namespace stampwell
