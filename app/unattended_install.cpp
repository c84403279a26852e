#include "app/unattended_install.h"

#include <windows.h>

#include <exception>
#include <string>
#include <vector>

#include "app/unattended_ui.h"
#include "install/install_log.h"
#include "install/install_paths.h"
#include "install/install_system.h"
#include "install/logged_install_system.h"
#include "install/payload_store.h"
#include "install/product_in_use.h"
#include "install/run_log.h"
#include "setup/exit_codes.h"
#include "setup/product_title.h"
#include "setup/setup_settings.h"
#include "setup/system_queries.h"
#include "wizard/form1.h"

namespace stampwell {
namespace {

// The installation directory that the run will try first, named as the run names it from the
// folder that UnattendedUi gives it.
std::string FirstInstallDir(const SetupOptions& options) {
  const std::string folder = options.install_dir.value_or(wizard::TForm1::DefaultInstallFolder());
  return WithTrailingBackslash(InstallDirNamedBy(folder, options.install_dir.has_value(), ProductTitle()));
}

int Install(const SetupOptions& options, wizard::TForm1* form, RunLog& log) {
  SetupSettings& settings = Settings();
  const std::string main_program = FirstInstallDir(options) + settings.MainExeName;
  if (ProgramFileInUse(main_program)) {
    // Replacing a running program fails half-way; an unattended run has nobody to ask to close it.
    log.Write("The product is running (" + main_program + " is in use) and was not closed; nothing was installed.");
    return kExitProductRunning;
  }
  // The window refuses every close while the run goes on, as it does for the wizard's run.
  struct RunningMark {
    wizard::TForm1* form;
    explicit RunningMark(wizard::TForm1* f) : form(f) {
      if (form) form->SetInstallRunning(true);
    }
    ~RunningMark() {
      if (form) form->SetInstallRunning(false);
    }
    RunningMark(const RunningMark&) = delete;
    RunningMark& operator=(const RunningMark&) = delete;
  } running(form);
  TInstallLog install_log;
  UnattendedUi ui(options, form, log);
  WindowsInstallSystem windows(settings, install_log, ProgramPayload(),
                               {[] { return ProductTitle(); }, [&options] { return !options.no_icons; },
                                [&ui](const std::string& text) { ui.ShowMessage(text); }});
  LoggedInstallSystem system(windows, [&log](const std::string& line) { log.Write(line); });
  try {
    // Without /DIR, the run is Quick Install's: the default folder, and the documents folder
    // when that cannot be made.
    if (options.install_dir)
      RunInstall(settings, ui, system);
    else
      RunQuickInstall(settings, ui, system);
  } catch (...) {
    log.Write("Setup stopped: " + ErrorText(std::current_exception()));
    return kExitFailed;
  }
  // A cancelled run has been taken back by the run itself, from its journal.
  if (ui.Cancelled()) return kExitCancelled;
  if (!ui.Installed()) return kExitFailed;
  log.Write("Installed " + std::to_string(system.FilesWritten()) + " files into " + settings.InstallDir);
  return kExitInstalled;
}

}  // namespace

int RunUnattendedInstall(const SetupOptions& options, wizard::TForm1* form, bool another_setup_running) {
  RunLog log(options.log_file.value_or(""));
  log.Write(std::string("Setup started: ") + ::GetCommandLineA());
  int code = kExitAnotherSetupRunning;
  if (another_setup_running) {
    log.Write("Another setup of this product is running; nothing was installed. Retry when it has ended.");
  } else {
    // Without a wizard window nothing has assigned the settings yet.
    if (!form) AssignSetupSettings(Settings(), IsWindows64Bit());
    try {
      code = Install(options, form, log);
    } catch (...) {
      log.Write("Setup stopped: " + ErrorText(std::current_exception()));
      code = kExitFailed;
    }
  }
  log.Write("Setup ended with exit code " + std::to_string(code));
  return code;
}

}  // namespace stampwell
