#include "shellbrowse/folderbrowse/folder_browse_dialog.h"

#include <memory>

#include "framework/application.h"
#include "framework/form_reader.h"
#include "shellbrowse/folderbrowse/dialog_form_state.h"
#include "shellbrowse/locator/form_property_filer.h"
#include "shellbrowse/toolbox/shell_strings.h"
#include "shellbrowse_strings.h"

namespace stampwell {
namespace {

const std::vector<std::string> kWindowStates = {"wsNormal", "wsMinimized", "wsMaximized"};

// Puts a cursor up for a scope and the one before it back in every outcome.
class CursorScope {
 public:
  explicit CursorScope(LPCSTR cursor) noexcept : previous_(::SetCursor(::LoadCursorA(nullptr, cursor))) {}
  CursorScope(const CursorScope&) = delete;
  CursorScope& operator=(const CursorScope&) = delete;
  ~CursorScope() { ::SetCursor(previous_); }

 private:
  HCURSOR previous_;
};

}  // namespace

// ---- TPTDialog ----

TPTDialog::TPTDialog(TComponent* owner) : TComponent(owner) {}

bool TPTDialog::Execute() {
  if (executing_) throw Exception(PersistentClassName(*this) + " already executing");
  executing_ = true;
  struct ClearExecuting {
    bool& flag;
    ~ClearExecuting() { flag = false; }
  } clear{executing_};
  return DoExecute();
}

void TPTDialog::ReadFormState(std::span<const std::uint8_t>& stream) {
  size_t consumed = 0;
  auto state = ReadDialogFormState(stream, &consumed);
  if (!state) throw Exception("Invalid form state record");
  FormWidth = state->width;
  FormHeight = state->height;
  FormWindowState = static_cast<TWindowState>(state->window_state);
  stream = stream.subspan(consumed);
}

void TPTDialog::WriteFormState(std::vector<std::uint8_t>& stream) const {
  WriteDialogFormState({FormWidth, FormHeight, static_cast<std::uint8_t>(FormWindowState)}, stream);
}

bool TPTDialog::SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) {
  if (name == "Title") Title = context.String(value);
  else if (name == "FormWidth") FormWidth = context.Integer(value);
  else if (name == "FormHeight") FormHeight = context.Integer(value);
  else if (name == "FormWindowState") FormWindowState = static_cast<TWindowState>(context.Enum(value, kWindowStates));
  else if (name == "OnInitialized") context.Bind(OnInitialized, value);
  else if (name == "OnFormShow") context.Bind(OnFormShow, value);
  else if (name == "OnFormClose") context.Bind(OnFormClose, value);
  else return TComponent::SetProperty(name, value, context);
  return true;
}

// ---- TPTCustomFolderBrowseDlg ----

TPTCustomFolderBrowseDlg::TPTCustomFolderBrowseDlg(TComponent* owner) : TPTDialog(owner) {}

TPTCustomFolderBrowseDlg::~TPTCustomFolderBrowseDlg() = default;

bool TPTCustomFolderBrowseDlg::DoExecute() {
  if (active_form_) throw Exception("TPTFolderBrowseDlg form already active");
  CursorScope hourglass(IDC_WAIT);
  struct ClearActiveForm {
    TPTFrmFolderBrowseDlg*& form;
    ~ClearActiveForm() { form = nullptr; }
  } clear_active{active_form_};
  // Freed in every outcome, before ActiveForm is cleared and the cursor comes back.
  std::unique_ptr<TPTFrmFolderBrowseDlg> form(CreateForm());
  InitForm(*form);
  active_form_ = form.get();
  DoInitialized();
  TModalResult result;
  {
    // The modal loop shows the normal cursor; the hourglass is back once it ends.
    CursorScope arrow(IDC_ARROW);
    result = form->ShowModalOrRaise();
  }
  SaveFormState(*form);
  return result == mrOk;
}

TPTFrmFolderBrowseDlg* TPTCustomFolderBrowseDlg::CreateForm() { return new TPTFrmFolderBrowseDlg(&Application()); }

void TPTCustomFolderBrowseDlg::InitForm(TPTFrmFolderBrowseDlg& form) {
  TPTShellTree& tree = *form.PTShellTree1;
  form.SelChangeCallback = OnSelChange;
  tree.OnAddItem = OnAddItem;
  tree.OnCustomDrawSh = OnTvCustomDrawSh;
  tree.OnCustomDrawShEx = OnTvCustomDrawShEx;
  form.ShowCallback = OnFormShow;
  form.HideCallback = OnFormClose;
  form.StatusTxt->SetCaption(StatusText);
  if (FormWidth > 0) form.SetWidth(FormWidth);
  if (FormHeight > 0) form.SetHeight(FormHeight);
  form.SetWindowState(FormWindowState);
  form.SetCaption(!Title.empty() ? Title : ToolboxText(IDS_SB_BROWSE_CAPTION));
  form.ApplyOptions(Options);
  // The root first: a new root clears the tree's selected folder.
  tree.SetBaseFolder(base_folder_);
  tree.SetSelectedFolder(selected_folder_);
}

void TPTCustomFolderBrowseDlg::DoInitialized() { FireEvent(OnInitialized, this); }

void TPTCustomFolderBrowseDlg::SaveFormState(TPTFrmFolderBrowseDlg& form) {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof(WINDOWPLACEMENT);  // 44
  if (::GetWindowPlacement(form.Handle(), &placement)) {
    // The normal rectangle: a window closed while maximised leaves its restored size.
    FormWidth = placement.rcNormalPosition.right - placement.rcNormalPosition.left;
    FormHeight = placement.rcNormalPosition.bottom - placement.rcNormalPosition.top;
  }
  FormWindowState = form.WindowState();
  if (form.ModalResult() == mrOk) selected_folder_.Assign(&form.PTShellTree1->SelectedFolder());
}

bool TPTCustomFolderBrowseDlg::SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) {
  if (name == "Options") {
    std::string unknown;
    auto options = FolderBrowseOptionsFromNames(context.Set(value), &unknown);
    if (!options) context.Fail("unknown option " + unknown);
    Options = *options;
    return true;
  }
  TFormValueReader reader("BaseFolder.", name, value, context);
  base_folder_.DefineProperties(reader);
  return reader.Taken() || TPTDialog::SetProperty(name, value, context);
}

void TPTCustomFolderBrowseDlg::WriteProperties(FormObject& object) {
  auto add = [&object](const char* name, FormValue value) { object.properties.push_back({name, std::move(value), 0}); };
  if (!Title.empty()) add("Title", FormValue::String(Title));
  if (FormWidth != -1) add("FormWidth", FormValue::Integer(FormWidth));
  if (FormHeight != -1) add("FormHeight", FormValue::Integer(FormHeight));
  if (FormWindowState != TWindowState::wsNormal) {
    add("FormWindowState", FormValue::Identifier(kWindowStates[static_cast<size_t>(FormWindowState)]));
  }
  TFormPropertyWriter writer(object, "BaseFolder.");
  base_folder_.DefineProperties(writer);
  if (auto names = StoredFolderBrowseOptions(Options)) add("Options", FormValue::Set(*names));
}

void RegisterFolderBrowseDlgClass() { RegisterFormClass<TPTFolderBrowseDlg>("TPTFolderBrowseDlg"); }

}  // namespace stampwell
