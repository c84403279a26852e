#pragma once
// TForm1, the wizard window: borderless, 600 x 350, five pages switched only by code. Its
// layout is the form resource FORM1; its creation step (FormCreate) trims and centres it and
// puts the product's name into every text that carries it.
//
// Contract for the modules that bind to it (the install run and its Start Menu step):
// Button_QuickInstallClick, Button_installClick and Button19Click are events that the owning
// module assigns after creation; a click fires one only when it is set. Button_browseClick
// runs FolderBrowseDlg1 (wizard/wizard_browse.h) and is bound by the window itself.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "controls/ycl_button.h"
#include "controls/ycl_label.h"
#include "framework/forms.h"
#include "framework/std_controls.h"
#include "setup/wizard_pages.h"
#include "shellbrowse/folderbrowse/folder_browse_dialog.h"
#include "wizard/acceptance_check_box.h"

namespace stampwell::wizard {

class TForm2;
class WizardAccessibility;
class WizardHighContrast;
class WizardKeyboard;

class TForm1 : public TForm {
 public:
  static constexpr int kProgressFillWidth = 392;

  // Reads the layout and runs FormCreate; the window stays hidden until Show(). Throws when
  // the form or one of its pictures cannot be made.
  explicit TForm1(TComponent* owner = nullptr);
  ~TForm1() override;

  HWND hwnd() const { return HandleOrNull(); }
  // The licence window that Label10 opens and the finish step hides; owned elsewhere.
  void SetLicenceWindow(TForm2* licence) noexcept { licence_ = licence; }

  // Events of other modules (see the contract above).
  std::function<void()> Button_QuickInstallClick;
  std::function<void()> Button_installClick;
  std::function<void()> Button_browseClick;
  std::function<void()> Button19Click;

  int ActivePage() const;
  void ShowPage(int index);
  TTabSheet& Page(int index) const { return *PageControl1->Pages(index); }
  // The close button of pages 0 to 3 (YCLButton1, 3, 4, 2).
  TYCLButton& CloseButton(int page) const;

  // Image14, the progress fill of page 3: 0 to kProgressFillWidth pixels wide.
  int ProgressFillWidth() const { return Image14->DesignWidth(); }
  void SetProgressFillWidth(int width);
  // Label6, the time estimate of page 3.
  void SetTimeText(const std::string& text);
  // Label36, the free-space text of page 2 (hidden).
  void SetFreeSpaceText(const std::string& text);

  // Set by the install run for as long as it runs; FormCloseQuery refuses every close meanwhile.
  bool InstallRunning() const noexcept { return install_running_; }
  void SetInstallRunning(bool running) noexcept { install_running_ = running; }
  // Fires when a close is asked for while the run goes on (the wizard's own run has no
  // cancel and leaves it unset; an unattended run cancels).
  std::function<void()> CloseAskedWhileInstalling;

  // The controls, named as in the layout.
  TPageControl* PageControl1 = nullptr;
  TEdit* Edit1 = nullptr;  // the folder field
  TEdit* Edit2 = nullptr;  // off-screen and out of the keyboard's reach, as is Edit3
  TEdit* Edit3 = nullptr;
  TMemo* Memo1 = nullptr;
  TCheckBox* CheckBox1 = nullptr;  // desktop icon
  TCheckBox* CheckBox3 = nullptr;  // launch at finish
  TCheckBox* CheckBox4 = nullptr;  // Start Menu shortcuts
  TAcceptanceCheckBox* CheckBox5 = nullptr;
  TButton* Button14 = nullptr;
  TButton* Button17 = nullptr;
  TButton* Button19 = nullptr;
  TProgressBar* ProgressBar1 = nullptr;
  TListBox* ListBox1 = nullptr;  // PayloadManifest
  TListBox* ListBox2 = nullptr;  // InstallLog
  TYCLButton* Button_QuickInstall = nullptr;
  TYCLButton* Button_custominstall = nullptr;
  TYCLButton* Button_install = nullptr;
  TYCLButton* Button_browse = nullptr;
  TYCLButton* Button_back = nullptr;
  TYCLButton* Button_finish = nullptr;
  TImage* Image14 = nullptr;
  TLabel* Label1 = nullptr;
  TLabel* Label2 = nullptr;
  TLabel* Label3 = nullptr;
  TLabel* Label4 = nullptr;
  TLabel* Label6 = nullptr;
  TLabel* Label9 = nullptr;
  TLabel* Label10 = nullptr;  // the licence link
  TLabel* Label36 = nullptr;
  TLabel* Label40 = nullptr;
  TYCLLabel* label5 = nullptr;
  // Browse's folder dialog; its window exists only while Browse runs it.
  TPTFolderBrowseDlg* FolderBrowseDlg1 = nullptr;

  // Handlers.
  void FormCreate();
  bool FormCloseQuery();
  void Image1MouseDown();
  void YCLButton1Click();
  // The acceptance box was clicked or toggled by Space: it inverts the acceptance once.
  void CheckBox5Click();
  void Button17Click();
  void Button_custominstallClick();
  void Edit1Change();
  void Button_backClick();
  void Button_finishClick();
  void Label10Click();

  // The default folder of both install buttons, without the product's own subfolder: the
  // folder of the installation that our uninstall entry names, else the account's default.
  static std::string DefaultInstallFolder();

  // The keyboard's way through the pages.
  WizardKeyboard& Keyboard() const { return *keyboard_; }
  bool PreviewKey(const MSG& message) override;
  LRESULT WndProc(UINT message, WPARAM wparam, LPARAM lparam) override;

 protected:
  void DoCreate() override;

 private:
  void FindControls();

  TForm2* licence_ = nullptr;
  std::unique_ptr<WizardKeyboard> keyboard_;
  std::unique_ptr<WizardAccessibility> accessibility_;
  std::unique_ptr<WizardHighContrast> high_contrast_;
  bool install_running_ = false;
  TYCLButton* close_buttons_[4] = {};
};

}  // namespace stampwell::wizard
