#pragma once
// The install run in the wizard window: Install on the folder page and Quick Install on the
// choice page start it, with the wizard's controls as its window side.

#include <windows.h>

#include <cstdint>
#include <string>

#include "install/install_run.h"
#include "install/leftover_removal.h"

namespace stampwell {
namespace wizard {
class TForm1;
}

// The wizard's controls as the run's window side.
class WizardInstallUi : public InstallRunUi {
 public:
  explicit WizardInstallUi(wizard::TForm1& form) : form_(form) {}

  std::string FolderField() override;
  void SetFolderField(const std::string& text) override;
  void ShowPage(int page) override;
  void SetFillWidth(int width) override;
  void SetProgressRange(int min, int max) override;
  void SetProgressPosition(int position) override;
  void SetEstimateText(const std::string& text) override;
  void ShowMessage(const std::string& text) override;
  bool AskRetry(const std::string& text) override;
  bool DesktopLinkChecked() override;
  void ProcessMessages() override;
  void Sleep(unsigned milliseconds) override;
  std::uint32_t TickCount() override;

 private:
  wizard::TForm1& form_;
};

// The plain message: OK only, no icon, captioned with the product title, text unchanged.
void ShowPlainMessage(HWND owner, const std::string& text);

// Assigns Button_installClick and Button_QuickInstallClick of the wizard. The uninstall log
// that the runs fill lives as long as the window's handlers; what a run leaves over goes
// through `leftovers`, which must outlive the window.
void BindInstallRun(wizard::TForm1& form, LeftoverRemoval& leftovers);

}  // namespace stampwell
