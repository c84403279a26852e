#include "install/install_run.h"

#include "install/files_in_use.h"
#include "install/install_error.h"
#include "install/install_layout.h"
#include "install/install_log.h"
#include "install/install_paths.h"
#include "install/install_progress.h"
#include "install/space_needed.h"

#include <algorithm>
#include <exception>
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

// A failure of the folder or extraction steps, after the run has been taken back. The
// privilege case (or an error without a system cause, such as a payload entry that cannot be
// read) gets the installation error and the fallback folder; any other cause is named, and
// the folder stays for another try.
void StopAfterFailure(const SetupSettings& settings, InstallRunUi& ui, InstallRunSystem& system,
                      std::exception_ptr failure) {
  try {
    std::rethrow_exception(failure);
  } catch (const InstallError& error) {
    if (error.Cause() != FailureCause::kPrivileges) {
      ui.ShowMessage(error.Message() + "\r" + kRunTakenBackNote);
      ui.ShowPage(kFolderPage);
      return;
    }
  } catch (...) {
  }
  ui.ShowMessage(kInstallationErrorMessage);
  ui.ShowPage(kFolderPage);
  OfferFallbackFolder(settings, ui, system);
}

// The files that the run writes, relative to the installation directory: the payload's and
// the log.
std::vector<std::string> RunFiles(InstallRunSystem& system) {
  std::vector<std::string> files{"Uninstall.txt"};
  for (int n = 1, count = system.EntryCount(); n <= count; ++n) files.push_back(system.Entry(n));
  return files;
}

// Every file of the payload and the log, and every folder that the run makes.
bool PathsFitBelow(const std::string& install_dir, InstallRunSystem& system) {
  return InstallPathsFit(install_dir, RunFiles(system), ProductFolders());
}

FilesInUse FindRunFilesInUse(const std::string& install_dir, InstallRunSystem& system) {
  const std::string dir = WithTrailingBackslash(install_dir);
  std::vector<std::string> paths;
  for (const std::string& file : RunFiles(system)) paths.push_back(dir + file);
  return system.FindFilesInUse(install_dir, paths);
}

// Asks until nothing holds the installation's files. False when the user cancels: the page
// that the run started from comes back, and nothing has been written.
bool WaitUntilFilesFree(const std::string& install_dir, int origin_page, InstallRunUi& ui, InstallRunSystem& system) {
  for (;;) {
    FilesInUse in_use = FindRunFilesInUse(install_dir, system);
    if (in_use.empty()) return true;
    if (!ui.AskRetry(FilesInUseMessage(system.ProductTitle(), in_use))) {
      ui.ShowPage(origin_page);
      return false;
    }
  }
}

// The drive must hold the whole payload before the first write, beside the files that it
// replaces (they are moved aside until the run succeeds): a drive that fills up half-way
// costs the user a run that is undone.
bool EnoughRoomOnTheDrive(const std::string& install_dir, InstallRunUi& ui, InstallRunSystem& system) {
  const std::optional<std::uint64_t> available = system.FreeBytes(install_dir);
  if (!available) return true;  // the writes themselves will tell
  std::vector<std::uint64_t> sizes;
  for (int n = 1, count = system.EntryCount(); n <= count; ++n) sizes.push_back(system.PayloadSize(n));
  const std::uint64_t needed = BytesNeeded(sizes);
  if (needed <= *available) return true;
  ui.ShowMessage(NotEnoughSpaceMessage(system.ProductTitle(), needed, *available));
  ui.ShowPage(kFolderPage);
  return false;
}

// The paths of the files that the run writes, in the order it writes them.
std::vector<std::string> RunFilePaths(const std::string& install_dir, InstallRunSystem& system) {
  const std::string dir = WithTrailingBackslash(install_dir);
  std::vector<std::string> paths;
  for (int n = 1, count = system.EntryCount(); n <= count; ++n) paths.push_back(dir + system.Entry(n));
  // The log, saved after the shortcuts, is planned with the files: the journal is flushed
  // once for all of them.
  paths.push_back(dir + kUninstallLogName);
  return paths;
}

// A fresh installation: nothing of it is there, so every folder and file of the run is new.
// They are planned before the first of them is made and reach the journal's disk in one flush.
void PlanFreshInstallation(const std::string& install_dir, InstallRunSystem& system) {
  const std::string dir = WithTrailingBackslash(install_dir);
  std::vector<std::string> folders{dir};
  for (const std::string& folder : ProductFolders()) folders.push_back(dir + folder);
  system.PlanFolders(folders);
  system.PlanWrites(RunFilePaths(dir, system));
}

// The journal, begun before the first write, and then the installation directory. Empty when
// both are there; otherwise the message that says which could not be made.
std::optional<std::string> MakeJournalAndDirectory(const std::string& install_dir, InstallRunSystem& system) {
  try {
    system.BeginRun(install_dir);
  } catch (const std::exception& error) {
    return kJournalFailedMessage + std::string(error.what());
  }
  if (system.DirectoryExists(install_dir)) return std::nullopt;
  try {
    PlanFreshInstallation(install_dir, system);
    // The folder's make puts the plan on the journal's disk first.
    if (system.ForceDirectories(install_dir)) return std::nullopt;
  } catch (const std::exception& error) {
    system.UndoRun();
    return kJournalFailedMessage + std::string(error.what());
  }
  system.UndoRun();  // the parents made before the failure
  return std::string(kCreateFolderFailedMessage);
}

// Forms the installation directory from the folder field and makes it, falling back as Quick
// Install may: the directory, ending in a backslash, or nothing when the run ends here.
std::optional<std::string> ResolveInstallDir(SetupSettings& settings, int origin_page, InstallRunUi& ui,
                                             InstallRunSystem& system) {
  std::string folder = ui.FolderField();
  if (folder.find('?') != std::string::npos) {
    ui.ShowMessage(kFolderBeyondCodePageMessage);
    ui.ShowPage(kFolderPage);
    return std::nullopt;
  }
  if (!IsFullFolderPath(folder)) {
    // Nothing is made from a folder that would be resolved against the current directory.
    ui.ShowMessage(kFullFolderPathNeeded);
    ui.ShowPage(kFolderPage);
    return std::nullopt;
  }
  for (;;) {
    const std::string dir = InstallDirNamedBy(folder, ui.FolderIsInstallDir(), system.ProductTitle());
    if (!PathsFitBelow(dir, system)) {
      ui.ShowMessage(kPathTooLongMessage);
      ui.ShowPage(kFolderPage);
      return std::nullopt;
    }
    // An update finds the product running: it is closed first, so that no file is replaced
    // unless every file can be.
    if (!WaitUntilFilesFree(dir, origin_page, ui, system)) return std::nullopt;
    if (!EnoughRoomOnTheDrive(dir, ui, system)) return std::nullopt;
    // A folder where the journal cannot be written either takes the course of one that
    // cannot be made, with its own cause told.
    const std::optional<std::string> failure = MakeJournalAndDirectory(dir, system);
    if (!failure) return WithTrailingBackslash(dir);
    const bool fallback_known = FallbackFolder(settings, system).has_value();
    // Quick Install falls back silently; without a fallback the user has to hear why.
    if (!settings.QuickInstallMode || !fallback_known) ui.ShowMessage(*failure);
    ui.ShowPage(kFolderPage);
    if (!OfferFallbackFolder(settings, ui, system)) return std::nullopt;
    if (!settings.QuickInstallMode) return std::nullopt;
    settings.QuickInstallMode = false;
    folder = ui.FolderField();
  }
}

// The folders directly below the installation directory that the product's own lie in.
std::vector<std::string> TopProductFolders() {
  std::vector<std::string> top;
  for (const std::string& folder : ProductFolders()) {
    std::string first = folder.substr(0, folder.find('\\'));
    if (std::find(top.begin(), top.end(), first) == top.end()) top.push_back(std::move(first));
  }
  return top;
}

// The full paths of `names` (relative to the installation directory) below its folder `top`.
std::vector<std::string> PathsBelow(const std::string& install_dir, const std::string& top,
                                    const std::vector<std::string>& names) {
  std::vector<std::string> paths;
  for (const std::string& name : names)
    if (name.size() > top.size() && name.compare(0, top.size(), top) == 0 && name[top.size()] == '\\')
      paths.push_back(install_dir + name);
  return paths;
}

// An earlier installation's product folders, moved aside whole: an update then writes into
// empty folders as a fresh install does.
void MoveEarlierFoldersAside(const std::string& install_dir, InstallRunSystem& system) {
  std::vector<std::string> entries;
  for (int n = 1, count = system.EntryCount(); n <= count; ++n) entries.push_back(system.Entry(n));
  for (const std::string& top : TopProductFolders()) {
    if (!system.DirectoryExists(install_dir + top)) continue;
    system.MoveFolderAside(install_dir + top, PathsBelow(install_dir, top, entries),
                           PathsBelow(install_dir, top, ProductFolders()));
  }
}

// The product's own subfolders below the installation directory; throws when "Data" cannot
// be made.
void MakeProductFolders(const std::string& install_dir, InstallRunSystem& system) {
  MoveEarlierFoldersAside(install_dir, system);
  std::vector<std::string> folders;
  for (const std::string& folder : ProductFolders()) folders.push_back(install_dir + folder);
  system.PlanFolders(folders);
  std::string data = install_dir + kDataFolder;
  if (!system.DirectoryExists(data)) system.MakeDirectory(data);
  for (const char* folder : kExampleFolders) {
    std::string path = install_dir + folder;
    if (!system.DirectoryExists(path)) system.ForceDirectories(path);
  }
}

// Writes every payload entry below the installation directory with its progress, pausing
// after each so the window repaints; CurrentEntry names the entry being written.
void ExtractPayload(const std::string& install_dir, SetupSettings& settings, InstallRunUi& ui,
                    InstallRunSystem& system, int count) {
  ui.SetEstimateText(kEstimateBeforeFirstEntry);
  system.PlanWrites(RunFilePaths(install_dir, system));
  RemainingTimeEstimate estimate;
  for (int n = 1; n <= count; ++n) {
    std::uint32_t t0 = ui.TickCount();
    ui.ProcessMessages();
    settings.CurrentEntry = system.Entry(n);
    std::string path = install_dir + settings.CurrentEntry;
    system.WritePayload(n, path);
    system.AddLogLine(path);
    ui.SetProgressPosition(n);
    ui.SetFillWidth(ProgressFillWidth(count, n));
    ui.Sleep(kPauseAfterEntryMs);
    std::uint32_t t1 = ui.TickCount();
    estimate.Update(t0, t1, count, n);
    ui.SetEstimateText(estimate.Text());
  }
  system.AddLogLine(install_dir + "Uninstall.txt");
  ui.SetFillWidth(kProgressFillWidth);
}

// The steps after the extraction; what they make goes through the journal as the files do.
void MakeShortcutsLogAndEntry(const std::string& install_dir, const SetupSettings& settings,
                              InstallRunUi& ui, InstallRunSystem& system) {
  if (ui.DesktopLinkChecked())
    system.CreateDesktopLink(system.ProductTitle(), install_dir + settings.MainExeName);
  system.StartMenuStep();
  system.SaveLog(install_dir + "Uninstall.txt");
  system.WriteUninstallEntry();
}

// How a run attempt ended: for good, or to be made again from the start because the user
// closed what held a file and chose Retry.
enum class RunEnd { kDone, kRetry };

RunEnd RunOnce(SetupSettings& settings, int origin_page, InstallRunUi& ui, InstallRunSystem& system) {
  // A download cut short or corrupted must not install a broken product: nothing is made
  // unless every entry is as the build stored it.
  if (!system.PayloadIntact()) {
    ui.ShowMessage(kDamagedSetupMessage);
    ui.ShowPage(kFolderPage);
    return RunEnd::kDone;
  }
  const std::optional<std::string> install_dir = ResolveInstallDir(settings, origin_page, ui, system);
  if (!install_dir) return RunEnd::kDone;
  // The Start Menu step, the uninstall entry and the finish page read it from the settings.
  settings.InstallDir = *install_dir;

  ui.SetFillWidth(0);
  ui.ShowPage(kProgressPage);
  int count = system.EntryCount();
  ui.SetProgressRange(1, count);
  ui.SetProgressPosition(1);
  try {
    MakeProductFolders(*install_dir, system);
  } catch (...) {
    system.UndoRun();
    StopAfterFailure(settings, ui, system, std::current_exception());
    return RunEnd::kDone;
  }

  system.ClearLog();
  system.AddLogLine(settings.UninstallTitle);

  // The shortcut's question of who is logged on is answered meanwhile.
  if (ui.DesktopLinkChecked()) system.PrepareDesktopLink();
  try {
    ExtractPayload(*install_dir, settings, ui, system, count);
    system.ReturnItemsNotReplaced();
  } catch (...) {
    const std::exception_ptr failure = std::current_exception();
    // The installation as it was before the run, the user's own files included.
    system.UndoRun();
    // A program started, or a file opened, since the check: the cause is that program, not
    // the folder, so no other folder is offered.
    FilesInUse in_use = FindRunFilesInUse(*install_dir, system);
    if (!in_use.empty()) {
      if (ui.AskRetry(FilesInUseMessage(system.ProductTitle(), in_use))) return RunEnd::kRetry;
      ui.ShowPage(origin_page);
      return RunEnd::kDone;
    }
    StopAfterFailure(settings, ui, system, failure);
    return RunEnd::kDone;
  }
  try {
    MakeShortcutsLogAndEntry(*install_dir, settings, ui, system);
  } catch (...) {
    // A shortcut, the log or a registry value: the run is taken back whole, as for a file.
    system.UndoRun();
    StopAfterFailure(settings, ui, system, std::current_exception());
    return RunEnd::kDone;
  }
  // Every step is done: the files moved aside and the journal go.
  system.CommitRun();
  ui.ShowPage(kFinishPage);
  system.NotifyAssociationsChanged();
  return RunEnd::kDone;
}

void RunFrom(int origin_page, SetupSettings& settings, InstallRunUi& ui, InstallRunSystem& system) {
  while (RunOnce(settings, origin_page, ui, system) == RunEnd::kRetry) {
  }
}

}  // namespace

void RunInstall(SetupSettings& settings, InstallRunUi& ui, InstallRunSystem& system) {
  RunFrom(kFolderPage, settings, ui, system);
}

void RunQuickInstall(SetupSettings& settings, InstallRunUi& ui, InstallRunSystem& system) {
  ui.ShowPage(kProgressPage);
  settings.QuickInstallMode = true;
  RunFrom(kChoicePage, settings, ui, system);
}

}  // namespace stampwell
