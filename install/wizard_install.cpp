#include "install/wizard_install.h"

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <vector>

#include "app/product_title.h"
#include "app/setup_settings.h"
#include "install/install_log.h"
#include "install/install_system.h"
#include "install/payload_store.h"
#include "framework/application.h"
#include "framework/window_text.h"
#include "wizard/form1.h"

namespace stampwell {

WizardInstallUi::~WizardInstallUi() {
  if (quit_) PostQuitMessage(static_cast<int>(quit_code_));
}

std::string WizardInstallUi::FolderField() { return WindowText(form_.Edit1()); }

// The field's change notification refreshes the free-space text, as a change by hand does.
void WizardInstallUi::SetFolderField(const std::string& text) { SetWindowTextA(form_.Edit1(), text.c_str()); }

void WizardInstallUi::ShowPage(int page) { form_.ShowPage(page); }
void WizardInstallUi::SetFillWidth(int width) { form_.SetProgressFillWidth(width); }

void WizardInstallUi::SetProgressRange(int min, int max) {
  SendMessageA(form_.ProgressBar1(), PBM_SETRANGE32, static_cast<WPARAM>(min), static_cast<LPARAM>(max));
}
void WizardInstallUi::SetProgressPosition(int position) {
  SendMessageA(form_.ProgressBar1(), PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void WizardInstallUi::SetEstimateText(const std::string& text) { form_.SetTimeText(text); }
void WizardInstallUi::ShowMessage(const std::string& text) { ShowPlainMessage(form_.hwnd(), text); }

bool WizardInstallUi::DesktopLinkChecked() {
  return SendMessageA(form_.CheckBox1(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void WizardInstallUi::ProcessMessages() {
  MSG message;
  while (!quit_ && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      quit_ = true;
      quit_code_ = message.wParam;
      break;
    }
    if (IsDialogMessageA(form_.hwnd(), &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void WizardInstallUi::Sleep(unsigned milliseconds) { ::Sleep(milliseconds); }
std::uint32_t WizardInstallUi::TickCount() { return GetTickCount(); }

void ShowPlainMessage(HWND, const std::string& text) { Application().ShowMessage(text); }

void BindInstallRun(wizard::TForm1& form) {
  auto log = std::make_shared<TInstallLog>();
  auto run = [&form, log](bool quick) {
    WizardInstallUi ui(form);
    WindowsInstallSystem system(
        Settings(), *log, ProgramPayload(),
        {[] { return ProductTitle(); },
         [&form] { return SendMessageA(form.CheckBox4(), BM_GETCHECK, 0, 0) == BST_CHECKED; },
         [&form](const std::string& text) { ShowPlainMessage(form.hwnd(), text); }});
    if (quick)
      RunQuickInstall(Settings(), ui, system);
    else
      RunInstall(Settings(), ui, system);
  };
  form.Button_installClick = [run] { run(false); };
  form.Button_QuickInstallClick = [run] { run(true); };
}

}  // namespace stampwell
