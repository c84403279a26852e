// Entry point of the setup program.
#include <windows.h>
#include <ole2.h>

#include "app/security_baseline.h"
#include "app/setup_settings.h"
#include "app/single_setup.h"
#include "framework/application.h"
#include "install/payload_check.h"
#include "install/run_journal.h"
#include "install/wizard_install.h"
#include "shellbrowse/shell_toolbox.h"
#include "wizard/form1.h"
#include "wizard/form2.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // Before anything can load a library: an elevated setup must not pick one up from the
  // folder it was started from.
  stampwell::ApplySecurityBaseline();

  // Held until the program ends. A second start leaves the machine to the first setup.
  const stampwell::SetupRunningClaim claim = stampwell::ClaimSetupRunning();
  if (claim.another_runs) {
    stampwell::BringRunningSetupToFront();
    return ERROR_INSTALL_ALREADY_RUNNING;
  }
  // A run that never ended (the process ended from outside, the machine went down) is taken
  // back before anything else: the machine is then as it was before that run.
  stampwell::UndoUnfinishedRun();

  // 1. The user-interface thread is a single-threaded apartment for its whole life; shell
  // links, the shell namespace and drag and drop rely on it.
  if (FAILED(::OleInitialize(nullptr))) return 1;
  stampwell::TApplication& application = stampwell::Application();
  // The shell browser's process-wide state (the shell's allocator, versions, default keys,
  // the drag-and-drop values): its windows come only with Browse, a click that finds this
  // done, so it waits until the loop first waits.
  application.RunWhenIdle(stampwell::ShellToolboxStart);
  application.Guard([&] {
    // 2.
    application.SetTitle(stampwell::kProductName);
    // 3. The wizard window, the main window; its creation runs FormCreate.
    auto* wizard = application.CreateForm<stampwell::wizard::TForm1>();
    stampwell::BindInstallRun(*wizard);
    // The first paint comes before the work that nobody sees until later: the hidden licence
    // window with its rich edit, and the payload's check. Both run once the loop first waits
    // for input, and before any click or key is handled, so the user sees the same order:
    // the wizard appears; the licence window only when asked for, long after it exists.
    wizard->Show();
    wizard->Update();
    // 4. The further windows, hidden. A licence window that cannot be made ends the
    // program after its report, as it did when it came before the loop.
    application.RunWhenIdle([&application, wizard] {
      try {
        wizard->SetLicenceWindow(application.CreateForm<stampwell::wizard::TForm2>());
      } catch (...) {
        application.HandleException(std::current_exception());
        application.Terminate();  // after the report: its box would end at a pending quit
      }
    });
    // The payload's check runs on its worker while the user reads the first page; the
    // install run waits for its answer before it makes anything.
    application.RunWhenIdle(stampwell::StartProgramPayloadCheck);
    // 5. Shows the main window (already shown) and runs the loop.
    application.Run();
  });
  stampwell::ShellToolboxEnd();
  ::OleUninitialize();
  return 0;
}
