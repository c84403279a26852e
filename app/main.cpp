// Entry point of the setup program.
#include <windows.h>
#include <ole2.h>

#include <memory>
#include <optional>
#include <system_error>

#include "app/security_baseline.h"
#include "app/setup_running_mutex.h"
#include "app/single_setup.h"
#include "app/unattended_install.h"
#include "app/wizard_install.h"
#include "framework/application.h"
#include "framework/png_prefetch.h"
#include "framework/window_dpi.h"
#include "install/leftover_removal.h"
#include "install/payload_check.h"
#include "install/run_journal.h"
#include "setup/command_line.h"
#include "setup/exit_codes.h"
#include "setup/setup_settings.h"
#include "shellbrowse/toolbox/shell_toolbox.h"
#include "wizard/first_page_drawings.h"
#include "wizard/form1.h"
#include "wizard/form2.h"

namespace {

// The thread's OLE, from entry to the end of the scope. Entering it also makes the apartment's
// hidden window, which under Wine loads and connects the display driver: a run that shows no
// window and makes no shortcut does without.
class OleSession {
 public:
  OleSession() : entered_(SUCCEEDED(::OleInitialize(nullptr))) {}
  OleSession(const OleSession&) = delete;
  OleSession& operator=(const OleSession&) = delete;
  ~OleSession() {
    if (entered_) ::OleUninitialize();
  }
  bool Entered() const { return entered_; }

 private:
  bool entered_;
};

// Above 96 dpi the first page paints from its drawings at 200 %: a worker reads them and shrinks
// them for the screen's DPI, which the window is first shown at, while the window is made (a
// window shown at another DPI shrinks them itself). At 96 dpi nothing is read and nothing started.
std::unique_ptr<stampwell::PngPrefetch> StartReadingFirstPageDrawings() {
  // Asked of a screen DC, which first connects the program to the display. The worker starts
  // only after that: the connection needs the processor too, and under Wine it and the form's
  // reading took 36 ms instead of 23 with the worker running beside them.
  const UINT dpi = stampwell::SystemDpi();
  if (dpi <= 96) return nullptr;
  try {
    return std::make_unique<stampwell::PngPrefetch>(stampwell::wizard::FirstPageDrawings(), dpi);
  } catch (const std::system_error&) {
    return nullptr;  // no thread: the first paint reads them itself
  }
}

// /? and /HELP, and a command line that the program does not understand. A run that asked
// for no window or no message box gets no box either: nobody would be there to close it.
int ShowUsage(const stampwell::ParsedCommandLine& command_line) {
  const stampwell::SetupOptions& options = command_line.options;
  if (!options.Unattended() && !options.suppress_message_boxes) {
    stampwell::Application().MessageBox(stampwell::UsageMessage(command_line), stampwell::kProductName,
                                        MB_OK | (command_line.ok() ? MB_ICONINFORMATION : MB_ICONERROR));
  }
  return command_line.ok() ? stampwell::kExitInstalled : stampwell::kExitBadCommandLine;
}

// /SILENT shows the wizard window on its progress page and nothing else; /VERYSILENT no window.
int RunUnattended(const stampwell::SetupOptions& options, bool another_setup_running) {
  // Without a window nobody waits for a first paint before the run asks for the check: it
  // runs meanwhile, beside the start's own waits. The progress window is painted first, as
  // the wizard is.
  if (!another_setup_running && options.mode == stampwell::SetupUiMode::VerySilent)
    stampwell::StartProgramPayloadCheck();
  // The progress window and the shortcuts need OLE (the shortcuts would enter it for each
  // link themselves, and leave it again).
  std::optional<OleSession> ole;
  if (options.mode == stampwell::SetupUiMode::Silent || !options.no_icons) {
    if (!ole.emplace().Entered()) return stampwell::kExitFailed;
  }
  stampwell::TApplication& application = stampwell::Application();
  application.SetTitle(stampwell::kProductName);
  stampwell::wizard::TForm1* progress = nullptr;
  // Not the application's guard: its error report is a message box, which would wait for a
  // click that never comes.
  try {
    if (options.mode == stampwell::SetupUiMode::Silent && !another_setup_running) {
      progress = application.CreateForm<stampwell::wizard::TForm1>();
      progress->ShowPage(stampwell::kProgressPage);
      progress->Show();
      progress->Update();
    }
    return stampwell::RunUnattendedInstall(options, progress, another_setup_running);
  } catch (...) {
    return stampwell::kExitFailed;
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // Before anything can load a library: an elevated setup must not pick one up from the
  // folder it was started from.
  stampwell::ApplySecurityBaseline();
  const stampwell::ParsedCommandLine command_line =
      stampwell::ParseSetupArguments(stampwell::SplitArguments(::GetCommandLineA()));
  // A run that shows the wizard reads its first page's drawings meanwhile: from here on, COM's
  // start and the run's checks overlap with it too. Joined when the program ends (it has COM
  // of its own); the pictures keep copies of what it read.
  const bool wizard_run = command_line.ok() && !command_line.options.help && !command_line.options.Unattended();
  const std::unique_ptr<stampwell::PngPrefetch> first_page_drawings =
      wizard_run ? StartReadingFirstPageDrawings() : nullptr;

  if (!command_line.ok() || command_line.options.help) {
    const OleSession ole;
    return ole.Entered() ? ShowUsage(command_line) : stampwell::kExitFailed;
  }
  // Held by every run, the wizard's too, so that an unattended run never installs over one.
  const stampwell::SetupRunningMutex running = stampwell::HoldSetupRunningMutex();
  // A run that never ended (the process ended from outside, the machine went down) is taken
  // back before anything else, so the machine is as it was before it; not while another
  // setup runs, whose run it may be.
  if (!running.another_running) stampwell::UndoUnfinishedRun();
  if (command_line.options.Unattended()) return RunUnattended(command_line.options, running.another_running);
  // The user-interface thread is a single-threaded apartment for its whole life; shell
  // links, the shell namespace and drag and drop rely on it.
  const OleSession ole;
  if (!ole.Entered()) return stampwell::kExitFailed;
  // One wizard at a time (a double click on a slow elevation prompt starts two): the second
  // shows the first one's window and ends.
  if (running.another_running) {
    stampwell::BringRunningSetupToFront();
    return stampwell::kExitAnotherSetupRunning;
  }
  stampwell::TApplication& application = stampwell::Application();
  // Closing the wizard before its finish page cancels the setup.
  int code = stampwell::kExitCancelled;
  // The shell browser's process-wide state (the shell's allocator, versions, default keys,
  // the drag-and-drop values): its windows come only with Browse, a click that finds this
  // done, so it waits until the loop first waits.
  application.RunWhenIdle(stampwell::ShellToolboxStart);
  // What an update replaced, or a failed run made, is removed while the user reads the page
  // that the run ended on; the program's end waits for the removal.
  stampwell::LeftoverRemoval leftovers;
  application.Guard([&] {
    // The title that captions every message box.
    application.SetTitle(stampwell::kProductName);
    // The wizard window, the main window; its creation runs FormCreate.
    auto* wizard = application.CreateForm<stampwell::wizard::TForm1>();
    stampwell::BindInstallRun(*wizard, leftovers);
    // The first paint comes before the work that nobody sees until later: the hidden licence
    // window with its rich edit, and the payload's check. Both run once the loop first waits
    // for input, and before any click or key is handled, so the user sees the same order:
    // the wizard appears; the licence window only when asked for, long after it exists.
    wizard->Show();
    wizard->Update();
    // The further windows, hidden. A licence window that cannot be made ends the
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
    // Shows the main window (already shown) and runs the loop.
    application.Run();
    if (wizard->ActivePage() == stampwell::kFinishPage) code = stampwell::kExitInstalled;
  });
  stampwell::ShellToolboxEnd();
  return code;
}
