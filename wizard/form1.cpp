#include "wizard/form1.h"

#include <shlobj.h>

#include <optional>
#include <stdexcept>

#include "controls/skinned_controls.h"
#include "framework/application.h"
#include "setup/existing_installation.h"
#include "setup/product_title.h"
#include "setup/setup_settings.h"
#include "setup/system_queries.h"
#include "wizard/form2.h"
#include "wizard/licence_text.h"
#include "wizard/link_label.h"
#include "wizard/seams.h"
#include "wizard/user_start.h"
#include "wizard/wizard_accessibility.h"
#include "wizard/wizard_browse.h"
#include "wizard/wizard_high_contrast.h"
#include "wizard/wizard_keyboard.h"

namespace stampwell::wizard {

namespace {

constexpr char kExitQuestion[] =
    "If you exit now, the program will not be installed.\r"
    "You may run setup again another time to complete the installation.\r"
    "Exit Setup?";

}  // namespace

TForm1::TForm1(TComponent* owner) : TForm(owner) {
  RegisterSkinnedControls();
  RegisterAcceptanceCheckBox();
  RegisterLinkLabel();
  RegisterFolderBrowseDlgClass();
  auto notify = [](void (TForm1::*handler)(), TForm1* form) {
    return TNotifyEvent([form, handler](TObject*) { (form->*handler)(); });
  };
  // The events of other modules fire only once they are set.
  auto forward = [](std::function<void()>& event) {
    return TNotifyEvent([&event](TObject*) {
      if (event) event();
    });
  };
  RegisterHandlers({
      {"FormCreate", notify(&TForm1::FormCreate, this)},
      {"FormCloseQuery", TCloseQueryEvent([this](TObject*, bool& can_close) { can_close = FormCloseQuery(); })},
      {"Image1MouseDown", TMouseEvent([this](TObject*, TMouseButton button, TShiftState, int, int) {
         if (button == TMouseButton::mbLeft) Image1MouseDown();
       })},
      {"YCLButton1Click", notify(&TForm1::YCLButton1Click, this)},
      {"CheckBox5Click", notify(&TForm1::CheckBox5Click, this)},
      {"Button17Click", notify(&TForm1::Button17Click, this)},
      {"Button_custominstallClick", notify(&TForm1::Button_custominstallClick, this)},
      {"Edit1Change", notify(&TForm1::Edit1Change, this)},
      {"Button_backClick", notify(&TForm1::Button_backClick, this)},
      {"Button_finishClick", notify(&TForm1::Button_finishClick, this)},
      {"Label10Click", notify(&TForm1::Label10Click, this)},
      {"Button_QuickInstallClick", forward(Button_QuickInstallClick)},
      {"Button_installClick", forward(Button_installClick)},
      {"Button_browseClick", forward(Button_browseClick)},
      {"Button19Click", forward(Button19Click)},
  });
  LoadFromResource("FORM1");
  WizardBrowseParts browse;
  UseFolderField(browse, *Edit1);
  browse.set_free_space_text = [this](const std::string& text) { SetFreeSpaceText(text); };
  browse.dialog = FolderBrowseDlg1;
  BindBrowseButton(Button_browseClick, std::move(browse));
}

TForm1::~TForm1() {
  if (WizardWindow() == HandleOrNull()) SetWizardWindow(nullptr);
}

void TForm1::DoCreate() {
  FindControls();
  keyboard_ = std::make_unique<WizardKeyboard>(*this);
  accessibility_ = std::make_unique<WizardAccessibility>(*this);
  keyboard_->OnFocusMoved = [this](TControl* control) { accessibility_->FocusMoved(control); };
  // Focus cues stay hidden until the user presses a navigation key, as in every window of
  // the system; a mouse user never sees one.
  ::SendMessageA(Handle(), WM_UPDATEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
  // Every reader of the product's name takes this window's caption from here on.
  SetWizardWindow(Handle());
  TForm::DoCreate();
  high_contrast_ = std::make_unique<WizardHighContrast>(*this);
  high_contrast_->Follow();
}

void TForm1::FindControls() {
  PageControl1 = &Field<TPageControl>("PageControl1");
  Edit1 = &Field<TEdit>("Edit1");
  Edit2 = &Field<TEdit>("Edit2");
  Edit3 = &Field<TEdit>("Edit3");
  Memo1 = &Field<TMemo>("Memo1");
  CheckBox1 = &Field<TCheckBox>("CheckBox1");
  CheckBox3 = &Field<TCheckBox>("CheckBox3");
  CheckBox4 = &Field<TCheckBox>("CheckBox4");
  CheckBox5 = &Field<TAcceptanceCheckBox>("CheckBox5");
  Button14 = &Field<TButton>("Button14");
  Button17 = &Field<TButton>("Button17");
  Button19 = &Field<TButton>("Button19");
  ProgressBar1 = &Field<TProgressBar>("ProgressBar1");
  ListBox1 = &Field<TListBox>("ListBox1");
  ListBox2 = &Field<TListBox>("ListBox2");
  Button_QuickInstall = &Field<TYCLButton>("Button_QuickInstall");
  Button_custominstall = &Field<TYCLButton>("Button_custominstall");
  Button_install = &Field<TYCLButton>("Button_install");
  Button_browse = &Field<TYCLButton>("Button_browse");
  Button_back = &Field<TYCLButton>("Button_back");
  Button_finish = &Field<TYCLButton>("Button_finish");
  Image14 = &Field<TImage>("Image14");
  Label1 = &Field<TLabel>("Label1");
  Label2 = &Field<TLabel>("Label2");
  Label3 = &Field<TLabel>("Label3");
  Label4 = &Field<TLabel>("Label4");
  Label6 = &Field<TLabel>("Label6");
  Label9 = &Field<TLabel>("Label9");
  Label10 = &Field<TLabel>("Label10");
  Label36 = &Field<TLabel>("Label36");
  Label40 = &Field<TLabel>("Label40");
  label5 = &Field<TYCLLabel>("label5");
  FolderBrowseDlg1 = &Field<TPTFolderBrowseDlg>("FolderBrowseDlg1");
  const char* close_names[4] = {"YCLButton1", "YCLButton3", "YCLButton4", "YCLButton2"};
  for (int page = 0; page < 4; ++page) close_buttons_[page] = &Field<TYCLButton>(close_names[page]);
  Memo1->SetText(LicenceText());
  // A typed folder name with letters beyond the code page must reach the run as it was
  // typed, to be refused by name, not as the look-alike that an ANSI edit would keep.
  Edit1->SetUnicode(true);
}

TYCLButton& TForm1::CloseButton(int page) const {
  if (page < 0 || page > 3) throw std::out_of_range("Only pages 0 to 3 have a close button");
  return *close_buttons_[page];
}

void TForm1::FormCreate() {
  // Only code switches pages.
  for (int i = 0; i < PageControl1->PageCount(); ++i) PageControl1->Pages(i)->SetTabVisible(false);
  // The page control loses the height of its (hidden) tab row. The numbers are the form's,
  // in 96-dpi units.
  PageControl1->SetDesignBounds(PageControl1->DesignLeft(), PageControl1->DesignTop(), PageControl1->DesignWidth(),
                                PageControl1->DesignHeight() - 20);
  // The choice page first, its picture's top edge hidden above the window.
  ShowPage(kChoicePage);
  PageControl1->SetDesignBounds(PageControl1->DesignLeft(), -6, PageControl1->DesignWidth(), PageControl1->DesignHeight());
  // The window takes the height of the page pictures.
  SetHeight(Scale(DesignHeight() - 21));
  // Centred on the primary screen; a screen smaller than the window gives a negative
  // coordinate, which stands.
  SetBounds(TScreen::Width() / 2 - Width() / 2, TScreen::Height() / 2 - Height() / 2, Width(), Height());
  // Pages paint through the form's memory surface.
  SetDoubleBuffered(true);
  // The setup-wide values.
  AssignSetupSettings(Settings(), IsWindows64Bit());
  // The texts that carry the product's name, the window caption.
  const std::string title = ProductTitle();
  CheckBox3->SetCaption("Launch " + title);
  for (TLabel* label : {Label1, Label2, Label3, Label4}) label->SetCaption(title);
  label5->SetCaption("Congratulations! " + title + " has been successfully installed.");
  // Fires Edit1Change, which fills the free-space label. Quick Install takes the folder
  // that Custom Install proposes: two buttons with two folders made a second copy whenever
  // the next install took the other one.
  Edit1->SetText(DefaultInstallFolder());
}

int TForm1::ActivePage() const { return PageControl1->ActivePageIndex(); }

void TForm1::ShowPage(int index) {
  if (index < 0 || index >= PageControl1->PageCount()) throw std::out_of_range("No such wizard page");
  TTabSheet* old = PageControl1->ActivePage();
  HWND focus = ::GetFocus();
  const bool focus_on_old_page = old && old->HandleOrNull() && focus && ::IsChild(old->HandleOrNull(), focus);
  PageControl1->SetActivePageIndex(index);
  // A hidden control must not keep the focus; the window takes it, as it would for a page
  // without a focusable control.
  if (focus_on_old_page && old != PageControl1->ActivePage()) {
    if (ActiveControl()) ForgetControl(ActiveControl());
    ::SetFocus(Handle());
  }
  if (keyboard_) keyboard_->PageChanged();
  if (accessibility_) accessibility_->PageChanged();
}

bool TForm1::PreviewKey(const MSG& message) { return keyboard_ && keyboard_->PreviewKey(message); }

LRESULT TForm1::WndProc(UINT message, WPARAM wparam, LPARAM lparam) {
  if (accessibility_) {
    LRESULT answer = 0;
    if (message == WM_GETOBJECT && accessibility_->GetObject(wparam, lparam, answer)) return answer;
    if (message == WizardAccessibility::kDefaultActionMessage) {
      accessibility_->RunDefaultAction(wparam, lparam);
      return 0;
    }
  }
  const LRESULT result = TForm::WndProc(message, wparam, lparam);
  if (keyboard_) {
    if (message == WM_SETFOCUS || message == WM_KILLFOCUS) keyboard_->FocusChanged();
    if (message == WM_UPDATEUISTATE) keyboard_->UiStateChanged(wparam);
    if ((message == WM_SETTINGCHANGE || message == WM_SYSCOLORCHANGE) && high_contrast_) high_contrast_->Follow();
    // The windows of the shown page are made as the window first shows.
    if (message == WM_SHOWWINDOW && wparam) keyboard_->ApplyUiState();
  }
  return result;
}

void TForm1::SetProgressFillWidth(int width) {
  if (width < 0) width = 0;
  if (width > kProgressFillWidth) width = kProgressFillWidth;
  // Painted at the run's next message pump, together with the estimate's text: one paint
  // per entry rather than one here and one there.
  Image14->SetDesignBounds(Image14->DesignLeft(), Image14->DesignTop(), width, Image14->DesignHeight());
  Image14->SetVisible(width > 0);
  if (accessibility_) accessibility_->ProgressChanged();
}

void TForm1::SetTimeText(const std::string& text) {
  Label6->SetCaption(text);
  if (accessibility_) accessibility_->NameChanged(Label6);
}

void TForm1::SetFreeSpaceText(const std::string& text) { Label36->SetCaption(text); }

void TForm1::Image1MouseDown() {
  // The system drags the window while the button is held.
  ::ReleaseCapture();
  ::SendMessageA(Handle(), WM_SYSCOMMAND, SC_MOVE + 2, 0);
}

void TForm1::YCLButton1Click() { Close(); }

bool TForm1::FormCloseQuery() {
  // The run has no cancel: a close confirmed now would only hide the window while the run
  // makes the files, the shortcuts and the entry behind the user's back. Alt+F4 and the
  // taskbar still send the request, so it is refused here without a question.
  if (install_running_) {
    if (CloseAskedWhileInstalling) CloseAskedWhileInstalling();
    return false;
  }
  if (ActivePage() == kFinishPage) return true;
  return Application().AskYesNo(kExitQuestion, "Tip");
}

void TForm1::CheckBox5Click() {
  const bool accepted = !CheckBox5->Checked();
  CheckBox5->SetChecked(accepted);
  Button_QuickInstall->SetEnabled(accepted);
  Button_custominstall->SetEnabled(accepted);
  // A focused install button that was just disabled loses its cue.
  if (keyboard_) keyboard_->FocusChanged();
  if (accessibility_) {
    for (TControl* changed : {static_cast<TControl*>(CheckBox5), static_cast<TControl*>(Button_QuickInstall),
                              static_cast<TControl*>(Button_custominstall)})
      accessibility_->StateChanged(changed);
  }
}

void TForm1::Button17Click() {
  CheckBox5->SetChecked(false);
  CheckBox5Click();
  ShowPage(kChoicePage);
}

std::string TForm1::DefaultInstallFolder() {
  const SetupSettings& settings = Settings();
  // An update goes where the product is, so that no second copy takes over the entry and the
  // shortcuts and orphans the first.
  if (std::optional<std::string> existing =
          ExistingInstallationFolder(settings.UninstallKeyPath, ProductTitle(), settings.MainExeName))
    return *existing;
  if (seams::IsUserAdministrator()) {
    return GetProgramFilesPath() + settings.ArchSuffix + "\\" + settings.PublisherName;
  }
  return GetSpecialFolderPath(CSIDL_PERSONAL) + "\\" + settings.PublisherName;
}

void TForm1::Button_custominstallClick() {
  Edit1->SetText(DefaultInstallFolder());
  SetFreeSpaceText(GetFreeSpaceText(Edit1->Text()));
  ShowPage(kFolderPage);
}

void TForm1::Edit1Change() {
  try {
    SetFreeSpaceText(GetFreeSpaceText(Edit1->Text()));
  } catch (...) {
    // The label keeps its text.
  }
}

void TForm1::Button_backClick() { ShowPage(kChoicePage); }

void TForm1::Button_finishClick() {
  Hide();
  if (licence_) licence_->Hide();
  const SetupSettings& settings = Settings();
  // The page and the product run as the user, not with the setup's administrator token.
  const UserStart start = UserStart::Find();
  start.Open(Handle(), nullptr, settings.FinishPageUrl, SW_SHOWNOACTIVATE);
  seams::Sleep(1500);
  if (CheckBox3->Checked()) start.Open(Handle(), "open", settings.InstallDir + settings.MainExeName, SW_SHOWNORMAL);
  Application().Terminate();
}

void TForm1::Label10Click() {
  if (licence_) licence_->ShowCentred();
}

}  // namespace stampwell::wizard
