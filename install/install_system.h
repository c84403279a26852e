#pragma once
// The install run's system side on Windows: real folders, the payload of a module, the
// shortcuts, the uninstall log file and the registry entry.

#include <functional>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "install/install_log.h"
#include "install/install_run.h"
#include "install/leftover_removal.h"
#include "install/logged_on_user.h"
#include "install/payload_store.h"
#include "install/run_journal.h"
#include "setup/setup_settings.h"

namespace stampwell {

class WindowsInstallSystem : public InstallRunSystem {
 public:
  struct Hooks {
    std::function<std::string()> product_title;           // the wizard's caption
    std::function<bool()> start_menu_checked;             // the Start Menu box
    std::function<void(const std::string&)> show_message; // a plain message
  };

  // All references must outlive the run. What an ended run leaves over is removed by
  // `leftovers` when given, which the caller keeps beyond the run; otherwise before the run
  // returns.
  WindowsInstallSystem(SetupSettings& settings, TInstallLog& log, const PayloadStore& payload, Hooks hooks,
                       LeftoverRemoval* leftovers = nullptr);

  bool PayloadIntact() override;
  std::string ProductTitle() override;
  std::string PersonalFolder() override;
  bool DirectoryExists(const std::string& path) override;
  bool ForceDirectories(const std::string& path) override;
  void MakeDirectory(const std::string& path) override;
  bool MoveFolderAside(const std::string& path, const std::vector<std::string>& files,
                       const std::vector<std::string>& folders) override;
  void ReturnItemsNotReplaced() override;
  void PlanFolders(const std::vector<std::string>& paths) override;
  FilesInUse FindFilesInUse(const std::string& install_dir, const std::vector<std::string>& files) override;
  std::optional<std::uint64_t> FreeBytes(const std::string& path) override;
  std::uint64_t PayloadSize(int n) override;
  void BeginRun(const std::string& install_dir) override;
  void UndoRun() override;
  void CommitRun() override;
  int EntryCount() override;
  std::string Entry(int n) override;
  void PlanWrites(const std::vector<std::string>& paths) override;
  void WritePayload(int n, const std::string& path) override;
  void ClearLog() override;
  void AddLogLine(const std::string& line) override;
  void PrepareDesktopLink() override;
  void CreateDesktopLink(const std::string& title, const std::string& target) override;
  void StartMenuStep() override;
  void SaveLog(const std::string& path) override;
  void WriteUninstallEntry() override;
  void NotifyAssociationsChanged() override;

 private:
  SetupSettings& settings_;
  TInstallLog& log_;
  const PayloadStore& payload_;
  Hooks hooks_;
  std::unique_ptr<LoggedOnUserQuery> user_query_;  // asked ahead by PrepareDesktopLink
  // From BeginRun to UndoRun or CommitRun: the folders and files of the run go through it.
  std::unique_ptr<RunJournal> journal_;
  LeftoverRemoval* leftovers_;
  void RemoveLater(RunLeftovers leftovers);
};


}  // namespace stampwell
