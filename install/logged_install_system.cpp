#include "install/logged_install_system.h"

#include "install/install_paths.h"

namespace stampwell {

std::string ErrorText(const std::exception_ptr& error) {
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return "unknown error";
  }
}

void LoggedInstallSystem::Logged(const std::string& what, const std::function<void()>& step, const char* outcome) {
  try {
    step();
  } catch (...) {
    sink_(what + ": failed: " + ErrorText(std::current_exception()));
    throw;
  }
  sink_(what + ": " + outcome);
}

bool LoggedInstallSystem::PayloadIntact() {
  const bool intact = inner_.PayloadIntact();
  sink_(intact ? "Payload check: every file is as the build stored it"
               : "Payload check: failed: this setup file is damaged");
  return intact;
}

void LoggedInstallSystem::BeginRun(const std::string& install_dir) {
  Logged("Journal beside " + install_dir, [&] { inner_.BeginRun(install_dir); }, "begun");
}

void LoggedInstallSystem::UndoRun() {
  inner_.UndoRun();
  sink_("Everything the run made, replaced or set taken back: the machine is as it was before");
}

void LoggedInstallSystem::CommitRun() {
  inner_.CommitRun();
  sink_("Every step done: the replaced files and the journal removed");
}

bool LoggedInstallSystem::ForceDirectories(const std::string& path) {
  // The folders that this call will make: path and its missing parents, deepest first.
  std::vector<std::string> missing;
  std::string folder = WithoutTrailingBackslash(path);
  while (IsFullFolderPath(folder) && !inner_.DirectoryExists(folder)) {
    missing.push_back(folder);
    std::string parent = WithoutTrailingBackslash(DirectoryPart(folder));
    if (parent == folder) break;  // a drive's root that is not there
    folder = std::move(parent);
  }
  const bool made = inner_.ForceDirectories(path);
  sink_("Folder " + path + (made ? ": made" : ": failed: cannot be made"));
  if (made)
    for (auto folder = missing.rbegin(); folder != missing.rend(); ++folder) made_.push_back({*folder, true});
  return made;
}

void LoggedInstallSystem::MakeDirectory(const std::string& path) {
  Logged("Folder " + path, [&] { inner_.MakeDirectory(path); }, "made");
  made_.push_back({WithoutTrailingBackslash(path), true});
}

bool LoggedInstallSystem::MoveFolderAside(const std::string& path, const std::vector<std::string>& files,
                                          const std::vector<std::string>& folders) {
  bool moved = false;
  const std::string what = "Earlier folder " + path;
  try {
    moved = inner_.MoveFolderAside(path, files, folders);
  } catch (...) {
    sink_(what + ": failed: " + ErrorText(std::current_exception()));
    throw;
  }
  sink_(what + (moved ? ": moved aside whole until the run ends" : ": stays; its files are replaced one by one"));
  folders_moved_aside_ += moved ? 1 : 0;
  return moved;
}

void LoggedInstallSystem::ReturnItemsNotReplaced() {
  if (folders_moved_aside_ == 0) return inner_.ReturnItemsNotReplaced();
  Logged("Files of the earlier installation that the run did not replace", [&] { inner_.ReturnItemsNotReplaced(); },
         "back in place");
}

void LoggedInstallSystem::WritePayload(int n, const std::string& path) {
  // A file that failed half-way is removed by the write itself; it counts as made all the same.
  made_.push_back({path, false});
  Logged("File " + path, [&] { inner_.WritePayload(n, path); }, "written");
  ++files_written_;
}

void LoggedInstallSystem::CreateDesktopLink(const std::string& title, const std::string& target) {
  Logged("Desktop shortcut to " + target, [&] { inner_.CreateDesktopLink(title, target); });
}

void LoggedInstallSystem::StartMenuStep() {
  Logged("Folder lines and Start Menu group", [&] { inner_.StartMenuStep(); });
}

void LoggedInstallSystem::SaveLog(const std::string& path) {
  Logged("Uninstall log " + path, [&] { inner_.SaveLog(path); }, "saved");
}

void LoggedInstallSystem::WriteUninstallEntry() {
  Logged("Uninstall entry", [&] { inner_.WriteUninstallEntry(); }, "written");
}

}  // namespace stampwell
