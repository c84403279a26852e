#pragma once
// An install run's system side that tells a run log what each step did: the payload's check,
// every folder and file with its outcome, the shortcuts, the uninstall log and the entry.
// Portable: it wraps another system side and hands its lines to a sink.

#include <cstdint>
#include <exception>
#include <optional>
#include <functional>
#include <string>
#include <vector>

#include "install/install_run.h"

namespace stampwell {

// The text of an error for a log line: what() of a standard exception, else "unknown error".
std::string ErrorText(const std::exception_ptr& error);

class LoggedInstallSystem : public InstallRunSystem {
 public:
  using Sink = std::function<void(const std::string& line)>;
  // inner must outlive this object.
  LoggedInstallSystem(InstallRunSystem& inner, Sink sink) : inner_(inner), sink_(std::move(sink)) {}

  bool PayloadIntact() override;
  std::string ProductTitle() override { return inner_.ProductTitle(); }
  std::string PersonalFolder() override { return inner_.PersonalFolder(); }
  bool DirectoryExists(const std::string& path) override { return inner_.DirectoryExists(path); }
  bool ForceDirectories(const std::string& path) override;
  void MakeDirectory(const std::string& path) override;
  bool MoveFolderAside(const std::string& path, const std::vector<std::string>& files,
                       const std::vector<std::string>& folders) override;
  void ReturnItemsNotReplaced() override;
  void PlanFolders(const std::vector<std::string>& paths) override { inner_.PlanFolders(paths); }
  FilesInUse FindFilesInUse(const std::string& install_dir, const std::vector<std::string>& files) override {
    return inner_.FindFilesInUse(install_dir, files);
  }
  std::optional<std::uint64_t> FreeBytes(const std::string& path) override { return inner_.FreeBytes(path); }
  std::uint64_t PayloadSize(int n) override { return inner_.PayloadSize(n); }
  void BeginRun(const std::string& install_dir) override;
  void UndoRun() override;
  void CommitRun() override;
  int EntryCount() override { return inner_.EntryCount(); }
  std::string Entry(int n) override { return inner_.Entry(n); }
  void PlanWrites(const std::vector<std::string>& paths) override { inner_.PlanWrites(paths); }
  void WritePayload(int n, const std::string& path) override;
  void ClearLog() override { inner_.ClearLog(); }
  void AddLogLine(const std::string& line) override { inner_.AddLogLine(line); }
  void PrepareDesktopLink() override { inner_.PrepareDesktopLink(); }
  void CreateDesktopLink(const std::string& title, const std::string& target) override;
  void StartMenuStep() override;
  void SaveLog(const std::string& path) override;
  void WriteUninstallEntry() override;
  void NotifyAssociationsChanged() override { inner_.NotifyAssociationsChanged(); }

  int FilesWritten() const { return files_written_; }

  // What the run made, in the order made: each folder that did not exist before (parents
  // made on the way included) and each file written. A cancelled run takes them away again.
  struct MadeItem {
    std::string path;
    bool folder;
  };
  const std::vector<MadeItem>& Made() const { return made_; }

 private:
  // Runs step; its failure is logged with the error's text and passed on unchanged.
  void Logged(const std::string& what, const std::function<void()>& step, const char* outcome = "done");

  InstallRunSystem& inner_;
  Sink sink_;
  int files_written_ = 0;
  int folders_moved_aside_ = 0;
  std::vector<MadeItem> made_;
};

}  // namespace stampwell
