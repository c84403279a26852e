#pragma once
// The window side of an unattended run: the progress page of the wizard window for /SILENT,
// nothing visible for /VERYSILENT; every message goes to the run log instead of a box.

#include <cstdint>
#include <string>

#include "install/install_run.h"
#include "install/run_log.h"
#include "setup/command_line.h"

namespace stampwell {
namespace wizard {
class TForm1;
}

class UnattendedUi : public InstallRunUi {
 public:
  // form: the wizard window showing its progress page, or null. While this object lives, a
  // close asked of the form cancels the run at its next file. All references must outlive it.
  UnattendedUi(const SetupOptions& options, wizard::TForm1* form, RunLog& log);
  ~UnattendedUi() override;
  UnattendedUi(const UnattendedUi&) = delete;
  UnattendedUi& operator=(const UnattendedUi&) = delete;

  std::string FolderField() override { return folder_; }
  void SetFolderField(const std::string& text) override { folder_ = text; }
  void ShowPage(int page) override;
  void SetFillWidth(int width) override;
  void SetProgressRange(int min, int max) override;
  void SetProgressPosition(int position) override;
  void SetEstimateText(const std::string& text) override;
  void ShowMessage(const std::string& text) override;
  // Nobody is there to close a program: the question goes to the log, and the run stops.
  bool AskRetry(const std::string& text) override;
  bool DesktopLinkChecked() override { return !options_.no_icons; }
  // Throws once a cancel was asked for: the run's guard around the extraction stops it there.
  void ProcessMessages() override;
  void Sleep(unsigned milliseconds) override;
  std::uint32_t TickCount() override;
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

}  // namespace stampwell
