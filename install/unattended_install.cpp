#include "install/unattended_install.h"

#include <windows.h>

#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/exit_codes.h"
#include "app/product_title.h"
#include "app/setup_settings.h"
#include "app/system_queries.h"
#include "framework/application.h"
#include "install/install_log.h"
#include "install/install_paths.h"
#include "install/install_system.h"
#include "install/logged_install_system.h"
#include "install/payload_store.h"
#include "install/product_in_use.h"
#include "install/run_log.h"
#include "wizard/form1.h"

namespace stampwell {
namespace {

struct SetupCancelled : std::runtime_error {
  SetupCancelled() : std::runtime_error("Cancelled by the user") {}
};

// A cancelled run takes away what it made, newest first; a folder goes only when it is
// empty, so nothing that was there before the run is touched.
void RemoveMade(const std::vector<LoggedInstallSystem::MadeItem>& made, RunLog& log) {
  for (auto item = made.rbegin(); item != made.rend(); ++item) {
    const bool removed = item->folder ? ::RemoveDirectoryA(item->path.c_str()) : ::DeleteFileA(item->path.c_str());
    if (!removed && ::GetLastError() != ERROR_FILE_NOT_FOUND) log.Write("Could not remove " + item->path);
  }
}

// A message box's lines, side by side on one line of the log.
std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\r' || c == '\n') c = ' ';
  return text;
}

// The run's window side: the progress page of the wizard window when there is one, nothing
// visible otherwise; every message goes to the log instead of a box.
class UnattendedUi : public InstallRunUi {
 public:
  UnattendedUi(const SetupOptions& options, wizard::TForm1* form, RunLog& log)
      : options_(options), form_(form), log_(log), folder_(options.install_dir.value_or(kDefaultInstallFolder)) {
    // Closing the progress window (Alt+F4, the taskbar) cancels the run at its next file.
    if (form_) form_->CloseAskedWhileInstalling = [this] { cancel_asked_ = true; };
  }
  ~UnattendedUi() override {
    if (form_) form_->CloseAskedWhileInstalling = nullptr;
  }
  UnattendedUi(const UnattendedUi&) = delete;
  UnattendedUi& operator=(const UnattendedUi&) = delete;

  std::string FolderField() override { return folder_; }
  void SetFolderField(const std::string& text) override { folder_ = text; }
  void ShowPage(int page) override {
    last_page_ = page;
    // The progress page is the only one an unattended run shows.
    if (form_ && page == kProgressPage) form_->ShowPage(page);
  }
  void SetFillWidth(int width) override {
    if (form_) form_->SetProgressFillWidth(width);
  }
  void SetProgressRange(int min, int max) override {
    if (!form_) return;
    form_->ProgressBar1->SetMin(min);
    form_->ProgressBar1->SetMax(max);
  }
  void SetProgressPosition(int position) override {
    if (form_) form_->ProgressBar1->SetPosition(position);
  }
  void SetEstimateText(const std::string& text) override {
    if (form_) form_->SetTimeText(text);
  }
  void ShowMessage(const std::string& text) override {
    // The run's own words for the stop that the cancel caused are not the cause.
    if (!cancelled_) log_.Write("Message: " + OneLine(text));
  }
  bool DesktopLinkChecked() override { return !options_.no_icons; }
  void ProcessMessages() override {
    Application().ProcessMessages();
    if (cancel_asked_ && !cancelled_) {
      cancelled_ = true;
      log_.Write("Cancelled by the user");
      // The run's guard around the extraction stops it here, as a failed file would.
      throw SetupCancelled();
    }
  }
  // The pause lets a window repaint between files; with no window it only costs time.
  void Sleep(unsigned milliseconds) override {
    if (form_) ::Sleep(milliseconds);
  }
  std::uint32_t TickCount() override { return ::GetTickCount(); }
  bool FolderIsInstallDir() override { return options_.install_dir.has_value(); }

  bool Installed() const { return last_page_ == kFinishPage; }
  bool Cancelled() const { return cancelled_; }

 private:
  const SetupOptions& options_;
  wizard::TForm1* form_;
  RunLog& log_;
  std::string folder_;
  int last_page_ = -1;
  bool cancel_asked_ = false;
  bool cancelled_ = false;
};

std::string ErrorText(const std::exception_ptr& error) {
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return "unknown error";
  }
}

// The installation directory that the run will try first.
std::string FirstInstallDir(const SetupOptions& options) {
  if (options.install_dir) return WithTrailingBackslash(WithoutTrailingBackslash(*options.install_dir));
  return WithTrailingBackslash(InstallDirFor(kDefaultInstallFolder, ProductTitle()));
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
                                [&ui](const std::string& text) { ui.ShowMessage(text); }, {}});
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
  if (ui.Cancelled()) {
    RemoveMade(system.Made(), log);
    return kExitCancelled;
  }
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
