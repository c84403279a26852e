// Entry point of the setup program.
#include <windows.h>
#include <ole2.h>

#include "app/security_baseline.h"
#include "app/setup_settings.h"
#include "framework/application.h"
#include "install/wizard_install.h"
#include "wizard/form1.h"
#include "wizard/form2.h"

namespace {

// The loop of the user-interface thread, with the wizard's keyboard navigation (Tab moves
// between its controls). The application's own loop navigates only in its forms' windows,
// and the wizard window is still a plain window.
int RunMessageLoop(HWND wizard) {
  MSG message;
  while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (::IsWindow(wizard) && ::IsDialogMessageA(wizard, &message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // Before anything can load a library: an elevated setup must not pick one up from the
  // folder it was started from.
  stampwell::ApplySecurityBaseline();

  // 1. The user-interface thread is a single-threaded apartment for its whole life; shell
  // links, the shell namespace and drag and drop rely on it.
  if (FAILED(::OleInitialize(nullptr))) return 1;
  int result = 0;
  stampwell::Application().Guard([&] {
    // 2.
    stampwell::Application().SetTitle(stampwell::kProductName);
    // 3. The wizard window, the main window; its creation runs FormCreate.
    stampwell::wizard::TForm1 wizard;
    stampwell::BindInstallRun(wizard);
    // 4. The further windows, hidden.
    stampwell::wizard::TForm2 licence;
    wizard.SetLicenceWindow(&licence);
    wizard.Show();
    // 5.
    result = RunMessageLoop(wizard.hwnd());
  });
  ::OleUninitialize();
  return result;
}
