#include "framework/std_controls.h"

#include <commctrl.h>

#include "framework/form_reader.h"
#include "framework/forms.h"
#include "framework/system_library.h"

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

const std::vector<std::string>& AlignmentNames() {
  static const std::vector<std::string> names = {"taLeftJustify", "taRightJustify", "taCenter"};
  return names;
}

bool ReadPictureProperty(TPicture& picture, const std::string& name, const FormValue& value, FormReadContext& context) {
  try {
    if (name == "Picture.Data") {
      const auto& bytes = context.Binary(value);
      picture.Bitmap().LoadFromBytes(bytes.data(), bytes.size());
      return true;
    }
    if (name == "Picture.Resource") {
      picture.LoadFromResource(context.String(value));
      return true;
    }
  } catch (const FormError&) {
    throw;
  } catch (const Exception& e) {
    context.Fail(e.Message());
  }
  return false;
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
  else if (name == "Alignment") alignment_ = static_cast<TAlignment>(context.Enum(value, AlignmentNames()));
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

void TListBox::Fill() {
  if (!handle_) {
    item_index_ = -1;  // as the window's selection goes with its old items
    return;
  }
  ::SendMessageA(handle_, LB_RESETCONTENT, 0, 0);
  for (const std::string& item : items_.Lines()) ::SendMessageA(handle_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

void TListBox::CreateWnd() {
  Fill();
  if (item_index_ >= 0) ::SendMessageA(handle_, LB_SETCURSEL, static_cast<WPARAM>(item_index_), 0);
  item_index_ = -1;
}

int TListBox::ItemIndex() const {
  return handle_ ? static_cast<int>(::SendMessageA(handle_, LB_GETCURSEL, 0, 0)) : item_index_;
}

void TListBox::SetItemIndex(int index) {
  if (handle_) ::SendMessageA(handle_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
  else item_index_ = index >= 0 && index < static_cast<int>(items_.Lines().size()) ? index : -1;
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

}  // namespace stampwell
