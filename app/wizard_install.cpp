#include "app/wizard_install.h"

#include <windows.h>

#include <memory>
#include <vector>

#include "setup/product_title.h"
#include "setup/setup_settings.h"
#include "setup/system_queries.h"
#include "install/exact_ansi_path.h"
#include "install/install_log.h"
#include "install/install_system.h"
#include "install/payload_store.h"
#include "install/start_menu_step.h"
#include "framework/application.h"
#include "wizard/form1.h"

namespace stampwell {

std::string WizardInstallUi::FolderField() { return AnsiPathMarkingLosses(form_.Edit1->WideText()); }

// The field's change notification refreshes the free-space text, as a change by hand does.
void WizardInstallUi::SetFolderField(const std::string& text) { form_.Edit1->SetText(text); }

void WizardInstallUi::ShowPage(int page) { form_.ShowPage(page); }
void WizardInstallUi::SetFillWidth(int width) { form_.SetProgressFillWidth(width); }

void WizardInstallUi::SetProgressRange(int min, int max) {
  form_.ProgressBar1->SetMin(min);
  form_.ProgressBar1->SetMax(max);
}
void WizardInstallUi::SetProgressPosition(int position) { form_.ProgressBar1->SetPosition(position); }

void WizardInstallUi::SetEstimateText(const std::string& text) { form_.SetTimeText(text); }
void WizardInstallUi::ShowMessage(const std::string& text) { ShowPlainMessage(form_.hwnd(), text); }

bool WizardInstallUi::AskRetry(const std::string& text) {
  return Application().MessageBox(text, Application().Title(), MB_RETRYCANCEL | MB_DEFBUTTON1) == IDRETRY;
}

bool WizardInstallUi::DesktopLinkChecked() { return form_.CheckBox1->Checked(); }

// The window refuses to close while the run goes on (TForm1::FormCloseQuery); a quit that
// comes from elsewhere ends the application once the run has returned: there is no cancel.
void WizardInstallUi::ProcessMessages() {
  if (!Application().Terminated()) Application().ProcessMessages();
}

void WizardInstallUi::Sleep(unsigned milliseconds) { ::Sleep(milliseconds); }
std::uint32_t WizardInstallUi::TickCount() { return GetTickCount(); }

void ShowPlainMessage(HWND, const std::string& text) { Application().ShowMessage(text); }

void BindInstallRun(wizard::TForm1& form, LeftoverRemoval& leftovers) {
  auto log = std::make_shared<TInstallLog>();
  // The hidden button's click handler is the folder-and-group step; the run calls it itself,
  // outside the button's guard, so that the run decides what becomes of its errors.
  form.Button19Click = [&form, log] {
    StartMenuStepContext context{Settings(), ProductTitle(), form.CheckBox4->Checked(), *log,
                                 [](const std::string& text) { ShowPlainMessage(nullptr, text); },
                                 GetProgramsFolder(), nullptr};
    RunStartMenuStep(context);
  };
  auto run = [&form, log, &leftovers](bool quick) {
    // Cleared however the run ends, an error report included.
    struct RunningMark {
      wizard::TForm1& form;
      explicit RunningMark(wizard::TForm1& f) : form(f) { form.SetInstallRunning(true); }
      ~RunningMark() { form.SetInstallRunning(false); }
      RunningMark(const RunningMark&) = delete;
      RunningMark& operator=(const RunningMark&) = delete;
    } running(form);
    WizardInstallUi ui(form);
    WindowsInstallSystem system(Settings(), *log, ProgramPayload(),
                                {[] { return ProductTitle(); }, [&form] { return form.CheckBox4->Checked(); },
                                 [&form](const std::string& text) { ShowPlainMessage(form.hwnd(), text); }},
                                &leftovers);
    if (quick)
      RunQuickInstall(Settings(), ui, system);
    else
      RunInstall(Settings(), ui, system);
  };
  form.Button_installClick = [run] { run(false); };
  form.Button_QuickInstallClick = [run] { run(true); };
}

}  // namespace stampwell
