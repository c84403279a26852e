#pragma once
// The install run: resolve and make the installation directory, make the product's folders,
// extract the payload with progress, then the shortcuts, the uninstall log and the registry
// entry. Portable: the window and the system are reached through the two interfaces below,
// so the run's course is the same whether a wizard window, a test or a benchmark drives it.
//
// Errors: the run catches what any step after its first write raises (a folder, a file, a
// shortcut, the log file, a registry value): it takes back everything it made, replaced or
// set (its journal), so that the machine is as it was before the run, shows a message that
// names the cause and brings the folder page back (with the fallback folder in the privilege
// case). Only a run that has done every step commits its journal.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "install/files_in_use.h"
#include "setup/setup_settings.h"
#include "setup/wizard_pages.h"

namespace stampwell {

inline constexpr unsigned kPauseAfterEntryMs = 10;

inline constexpr char kCreateFolderFailedMessage[] =
    "Create folder failed!\r"
    "Please check your system privileges, if you don't convince that, you can set up to recommended directory.";

inline constexpr char kInstallationErrorMessage[] =
    "An installation error has occurred. This may be caused by\r"
    "corrupted/damaged setup file, or insufficient privileges.\r"
    "Software will auto choosing another installation directory\r"
    "to continue.\r"
    "\r"
    "If you still would like to install to original folder,\r"
    "please ensure you run the installer with administrator\r"
    "privileges (right click and select Run as administrator).";

inline constexpr char kDamagedSetupMessage[] =
    "This setup file is damaged: its contents are not what was published.\r"
    "Nothing has been installed.\r"
    "Please download the setup file again and run the new copy.";

// An installation folder whose files would pass the path limit of the system's 8-bit file
// functions: the run stops before it makes anything, rather than half-way through.
inline constexpr char kPathTooLongMessage[] =
    "The path of the installation folder is too long: the program's files would not fit within the "
    "system's limit of 259 characters for a path.\r"
    "Please choose a folder with a shorter path.";

// A folder field with "?" in it: no file name holds one, so it stands for a character that
// the system's code page cannot hold (the folder field marks them so). Refused by name rather
// than mapped to a look-alike folder or reported as a privilege problem.
inline constexpr char kFolderBeyondCodePageMessage[] =
    "The installation folder's name has characters that this system's code page cannot hold "
    "(shown as \"?\").\r"
    "Please choose a folder whose name has none of them.";

// Follows the cause of a failure that the run has taken back, when the cause is not the
// privilege case that the installation error message describes.
inline constexpr char kRunTakenBackNote[] = "Nothing has been installed: the installation folder is as it was before.";

// The journal that makes a run all or nothing cannot be written beside the installation
// folder: nothing is installed without it.
// The message is this text followed by the cause.
inline constexpr char kJournalFailedMessage[] =
    "Setup cannot keep its record of the installation beside the installation folder, so "
    "nothing has been installed:\r";

// The documents folder is the fallback, but a name with characters outside the system's code
// page reaches an 8-bit program only with those characters replaced by "?": that path is not
// the folder, so it is never used.
inline constexpr char kNoFallbackFolderMessage[] =
    "Setup cannot use your documents folder as the installation folder: its name has characters "
    "that this system's code page cannot show.\r"
    "Please choose another installation folder.";

// The wizard's side of the run.
class InstallRunUi {
 public:
  virtual ~InstallRunUi() = default;
  virtual std::string FolderField() = 0;
  virtual void SetFolderField(const std::string& text) = 0;
  virtual void ShowPage(int page) = 0;
  virtual void SetFillWidth(int width) = 0;
  virtual void SetProgressRange(int min, int max) = 0;
  virtual void SetProgressPosition(int position) = 0;
  virtual void SetEstimateText(const std::string& text) = 0;
  virtual void ShowMessage(const std::string& text) = 0;  // a plain message
  // The plain message's style with Retry (the default) and Cancel; true for Retry.
  virtual bool AskRetry(const std::string& text) = 0;
  virtual bool DesktopLinkChecked() = 0;
  virtual void ProcessMessages() = 0;
  virtual void Sleep(unsigned milliseconds) = 0;
  virtual std::uint32_t TickCount() = 0;  // milliseconds since system start, wrapping at 2^32
  // True when the folder field names the installation directory itself, as an unattended
  // run's /DIR does; the wizard's field names the folder that receives the product's own.
  virtual bool FolderIsInstallDir() { return false; }
};

// The system's side: folders, payload, shortcuts, log and registry.
class InstallRunSystem {
 public:
  virtual ~InstallRunSystem() = default;
  // Whether every payload entry, and the manifest, is as the build stored it.
  virtual bool PayloadIntact() = 0;
  virtual std::string ProductTitle() = 0;
  // No trailing backslash; empty when unknown or when its name cannot be written in the
  // system's code page.
  virtual std::string PersonalFolder() = 0;
  virtual bool DirectoryExists(const std::string& path) = 0;
  // Makes path with any missing parents; true when it exists afterwards.
  virtual bool ForceDirectories(const std::string& path) = 0;
  // Makes path as a single directory; throws when it cannot.
  virtual void MakeDirectory(const std::string& path) = 0;
  // Moves an earlier installation's folder aside whole, so that the run writes into an empty
  // one: no earlier file to look for or move aside one by one. Only when nothing in it stands
  // in the way of the `files` and `folders` that the run makes below it (a folder where a
  // file goes, a file where a folder goes): the run then meets that as it would without the
  // move. False when it stays where it is; its files are then replaced one by one.
  virtual bool MoveFolderAside(const std::string& path, const std::vector<std::string>& files,
                               const std::vector<std::string>& folders) {
    return false;
  }
  // The folders that the run is about to make (`paths` and their missing parents), told once
  // before the first of them.
  virtual void PlanFolders(const std::vector<std::string>& paths) {}
  // After the extraction: what the folders moved aside hold that the run did not write anew
  // (the user's own files) goes back into place. Throws when it cannot.
  virtual void ReturnItemsNotReplaced() {}

  // What keeps `files` (full paths of the run) or the installation folder from being
  // replaced: programs running from the folder, files held open. Changes nothing.
  virtual FilesInUse FindFilesInUse(const std::string& install_dir, const std::vector<std::string>& files) = 0;

  // The room on the installation folder's drive, and what the run puts there: the bytes
  // free to the user on the drive that holds `path` or its nearest existing parent (nothing
  // when it cannot be told), and the bytes of payload entry n.
  virtual std::optional<std::uint64_t> FreeBytes(const std::string& path) = 0;
  virtual std::uint64_t PayloadSize(int n) = 0;

  // The run's journal: begun before the run's first write (throws, with the cause in its
  // message, when it cannot be), then every folder and file goes through it until the run
  // either undoes it (the state before the run comes back) or commits it.
  virtual void BeginRun(const std::string& install_dir) = 0;
  virtual void UndoRun() = 0;
  virtual void CommitRun() = 0;

  virtual int EntryCount() = 0;
  virtual std::string Entry(int n) = 0;
  // The files that the run will write, in order (the payload's, then the log), told once
  // before the first of them.
  virtual void PlanWrites(const std::vector<std::string>& paths) {}
  virtual void WritePayload(int n, const std::string& path) = 0;  // throws on failure

  virtual void ClearLog() = 0;
  virtual void AddLogLine(const std::string& line) = 0;

  // Called at the start of the extraction when the desktop shortcut will be made: whatever
  // the shortcut needs to ask may start then, on a worker, and be used in CreateDesktopLink.
  virtual void PrepareDesktopLink() {}
  virtual void CreateDesktopLink(const std::string& title, const std::string& target) = 0;
  virtual void StartMenuStep() = 0;  // the folder lines and the Start Menu group
  virtual void SaveLog(const std::string& path) = 0;
  virtual void WriteUninstallEntry() = 0;
  virtual void NotifyAssociationsChanged() = 0;
};

// One install run from the folder field's current text, started on the folder page. Returns when it has finished or
// stopped; the pages, the messages and what is on disk tell which.
void RunInstall(SetupSettings& settings, InstallRunUi& ui, InstallRunSystem& system);

// Quick Install: the progress page at once, then the run in quick mode, which falls back
// silently to the documents folder when the default folder cannot be made. Started on the
// choice page, which a Cancel returns to.
void RunQuickInstall(SetupSettings& settings, InstallRunUi& ui, InstallRunSystem& system);

}  // namespace stampwell
