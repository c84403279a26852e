#include "install/install_run.h"

#include "install/install_layout.h"
#include "install/install_paths.h"
#include "install/install_progress.h"

#include <optional>
#include <string>
#include <vector>

namespace stampwell {
namespace {

// The documents folder + "\" + publisher; nothing when the shell cannot name the documents
// folder as a full path in the system's code page.
std::optional<std::string> FallbackFolder(const SetupSettings& settings, InstallRunSystem& system) {
  std::string personal = system.PersonalFolder();
  if (!IsFullFolderPath(personal)) return std::nullopt;
  return personal + "\\" + settings.PublisherName;
}

// Puts the fallback folder into the field; without one the field keeps its text and the user
// is told to choose. False when there was none.
bool OfferFallbackFolder(const SetupSettings& settings, InstallRunUi& ui, InstallRunSystem& system) {
  std::optional<std::string> fallback = FallbackFolder(settings, system);
  if (!fallback) {
    ui.ShowMessage(kNoFallbackFolderMessage);
    return false;
  }
  ui.SetFolderField(*fallback);
  return true;
}

// Cases B and C: the run stops on the folder page with the fallback folder in the field.
void StopWithInstallationError(const SetupSettings& settings, InstallRunUi& ui, InstallRunSystem& system) {
  ui.ShowMessage(kInstallationErrorMessage);
  ui.ShowPage(kFolderPage);
  OfferFallbackFolder(settings, ui, system);
}

// Every file of the payload and the log, and every folder that the run makes.
bool PathsFitBelow(const std::string& install_dir, InstallRunSystem& system) {
  std::vector<std::string> files{"Uninstall.txt"};
  for (int n = 1, count = system.EntryCount(); n <= count; ++n) files.push_back(system.Entry(n));
  std::vector<std::string> folders{kDataFolder};
  folders.insert(folders.end(), kExampleFolders.begin(), kExampleFolders.end());
  return InstallPathsFit(install_dir, files, folders);
}

// Step 1; false when the run ends here.
bool ResolveInstallDir(SetupSettings& settings, InstallRunUi& ui, InstallRunSystem& system) {
  std::string folder = ui.FolderField();
  if (!IsFullFolderPath(folder)) {
    // Nothing is made from a folder that would be resolved against the current directory.
    ui.ShowMessage(kFullFolderPathNeeded);
    ui.ShowPage(kFolderPage);
    return false;
  }
  for (;;) {
    settings.InstallDir =
        ui.FolderIsInstallDir() ? WithoutTrailingBackslash(folder) : InstallDirFor(folder, system.ProductTitle());
    if (!PathsFitBelow(settings.InstallDir, system)) {
      ui.ShowMessage(kPathTooLongMessage);
      ui.ShowPage(kFolderPage);
      return false;
    }
    if (system.DirectoryExists(settings.InstallDir) || system.ForceDirectories(settings.InstallDir)) return true;
    const bool fallback_known = FallbackFolder(settings, system).has_value();
    // Quick Install falls back silently; without a fallback the user has to hear why.
    if (!settings.QuickInstallMode || !fallback_known) ui.ShowMessage(kCreateFolderFailedMessage);
    ui.ShowPage(kFolderPage);
    if (!OfferFallbackFolder(settings, ui, system)) return false;
    if (!settings.QuickInstallMode) return false;
    settings.QuickInstallMode = false;
    folder = ui.FolderField();
  }
}

// Step 2.3; throws when "Data" cannot be made.
void MakeProductFolders(SetupSettings& settings, InstallRunSystem& system) {
  settings.InstallDir = WithTrailingBackslash(settings.InstallDir);
  std::string data = settings.InstallDir + kDataFolder;
  if (!system.DirectoryExists(data)) system.MakeDirectory(data);
  for (const char* folder : kExampleFolders) {
    std::string path = settings.InstallDir + folder;
    if (!system.DirectoryExists(path)) system.ForceDirectories(path);
  }
}

// Step 4.
void ExtractPayload(SetupSettings& settings, InstallRunUi& ui, InstallRunSystem& system, int count) {
  ui.SetEstimateText(kEstimateBeforeFirstEntry);
  RemainingTimeEstimate estimate;
  for (int n = 1; n <= count; ++n) {
    std::uint32_t t0 = ui.TickCount();
    ui.ProcessMessages();
    settings.CurrentEntry = system.Entry(n);
    std::string path = settings.InstallDir + settings.CurrentEntry;
    system.WritePayload(n, path);
    system.AddLogLine(path);
    ui.SetProgressPosition(n);
    ui.SetFillWidth(ProgressFillWidth(count, n));
    ui.Sleep(kPauseAfterEntryMs);
    std::uint32_t t1 = ui.TickCount();
    estimate.Update(t0, t1, count, n);
    ui.SetEstimateText(estimate.Text());
  }
  system.AddLogLine(settings.InstallDir + "Uninstall.txt");
  ui.SetFillWidth(kProgressFillWidth);
}

}  // namespace

void RunInstall(SetupSettings& settings, InstallRunUi& ui, InstallRunSystem& system) {
  // A download cut short or corrupted must not install a broken product: nothing is made
  // unless every entry is as the build stored it.
  if (!system.PayloadIntact()) {
    ui.ShowMessage(kDamagedSetupMessage);
    ui.ShowPage(kFolderPage);
    return;
  }
  if (!ResolveInstallDir(settings, ui, system)) return;

  ui.SetFillWidth(0);
  ui.ShowPage(kProgressPage);
  int count = system.EntryCount();
  ui.SetProgressRange(1, count);
  ui.SetProgressPosition(1);
  try {
    MakeProductFolders(settings, system);
  } catch (...) {
    StopWithInstallationError(settings, ui, system);
    return;
  }

  system.ClearLog();
  system.AddLogLine(settings.UninstallTitle);

  // The shortcut's question of who is logged on is answered meanwhile.
  if (ui.DesktopLinkChecked()) system.PrepareDesktopLink();
  try {
    ExtractPayload(settings, ui, system, count);
  } catch (...) {
    StopWithInstallationError(settings, ui, system);
    return;
  }

  if (ui.DesktopLinkChecked())
    system.CreateDesktopLink(system.ProductTitle(), settings.InstallDir + settings.MainExeName);

  try {
    system.StartMenuStep();
  } catch (...) {
    // A shortcut of the group that cannot be made costs the group's log lines, not the
    // installation.
  }

  system.SaveLog(settings.InstallDir + "Uninstall.txt");
  system.WriteUninstallEntry();
  ui.ShowPage(kFinishPage);
  system.NotifyAssociationsChanged();
}

void RunQuickInstall(SetupSettings& settings, InstallRunUi& ui, InstallRunSystem& system) {
  ui.ShowPage(kProgressPage);
  settings.QuickInstallMode = true;
  RunInstall(settings, ui, system);
}

}  // namespace stampwell
