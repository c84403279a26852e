#include "install/install_system.h"

#include <windows.h>
#include <shlobj.h>

#include "setup/program_version.h"
#include "setup/system_queries.h"
#include "install/desktop_link.h"
#include "install/directories.h"
#include "install/drive_space.h"
#include "install/payload_check.h"
#include "install/exact_ansi_path.h"
#include "install/in_use_finder.h"
#include "install/start_menu_step.h"
#include "install/uninstall_entry.h"
#include "install/uninstall_entry_values.h"

namespace stampwell {

WindowsInstallSystem::WindowsInstallSystem(SetupSettings& settings, TInstallLog& log, const PayloadStore& payload,
                                           Hooks hooks, LeftoverRemoval* leftovers)
    : settings_(settings), log_(log), payload_(payload), hooks_(std::move(hooks)), leftovers_(leftovers) {}

bool WindowsInstallSystem::PayloadIntact() {
  // The program's own payload was checked ahead, from start-up; another module's is checked now.
  if (payload_.Module() == GetModuleHandleA(nullptr)) return ProgramPayloadIntact();
  return CheckPayload(payload_.Module()).intact;
}

std::string WindowsInstallSystem::ProductTitle() { return hooks_.product_title(); }
std::string WindowsInstallSystem::PersonalFolder() { return ExactPersonalFolder(); }
bool WindowsInstallSystem::DirectoryExists(const std::string& path) { return stampwell::DirectoryExists(path); }
bool WindowsInstallSystem::ForceDirectories(const std::string& path) {
  return journal_ ? journal_->MakeFolders(path) : stampwell::ForceDirectories(path);
}
void WindowsInstallSystem::MakeDirectory(const std::string& path) {
  if (journal_)
    journal_->MakeFolder(path);
  else
    CreateSingleDirectory(path);
}
bool WindowsInstallSystem::MoveFolderAside(const std::string& path, const std::vector<std::string>& files,
                                           const std::vector<std::string>& folders) {
  return journal_ && journal_->MoveFolderAside(path, files, folders);
}
void WindowsInstallSystem::PlanFolders(const std::vector<std::string>& paths) {
  if (journal_) journal_->PlanFolders(paths);
}
void WindowsInstallSystem::ReturnItemsNotReplaced() {
  if (journal_) journal_->ReturnItemsNotReplaced();
}
FilesInUse WindowsInstallSystem::FindFilesInUse(const std::string& install_dir,
                                                const std::vector<std::string>& files) {
  return stampwell::FindFilesInUse(install_dir, files);
}
std::optional<std::uint64_t> WindowsInstallSystem::FreeBytes(const std::string& path) {
  return FreeBytesForPath(path);
}
std::uint64_t WindowsInstallSystem::PayloadSize(int n) { return payload_.Open(n).size(); }

void WindowsInstallSystem::BeginRun(const std::string& install_dir) {
  journal_.reset();
  // The journal of the run before is still on disk until its leftovers are gone.
  if (leftovers_) leftovers_->Wait();
  // No folder of the path exists: the folder cannot be made either, and that failure is the
  // one to report.
  const std::string journal = JournalPathFor(install_dir);
  if (!journal.empty()) journal_ = std::make_unique<RunJournal>(journal);
}

void WindowsInstallSystem::RemoveLater(RunLeftovers leftovers) {
  if (leftovers_)
    leftovers_->Start(std::move(leftovers));
  else
    RemoveLeftovers(leftovers);
}

void WindowsInstallSystem::UndoRun() {
  if (journal_) RemoveLater(journal_->Undo());
  journal_.reset();
}

void WindowsInstallSystem::CommitRun() {
  if (journal_) RemoveLater(journal_->Commit());
  journal_.reset();
}
int WindowsInstallSystem::EntryCount() { return payload_.EntryCount(); }
std::string WindowsInstallSystem::Entry(int n) { return payload_.Entry(n); }
void WindowsInstallSystem::PlanWrites(const std::vector<std::string>& paths) {
  if (journal_) journal_->PlanWrites(paths);
}
void WindowsInstallSystem::WritePayload(int n, const std::string& path) {
  if (!journal_) {
    payload_.WriteToFile(n, path);
    return;
  }
  // The journal leaves the path free: a file that was there is moved aside.
  journal_->BeforeWrite(path);
  if (payload_.WriteToNewFile(n, path)) return;
  // Something came there since the journal looked (a new file is written without a look): it
  // is recorded and moved aside as any file that the run replaces.
  journal_->BeforeWrite(path);
  payload_.WriteToFile(n, path);
}
void WindowsInstallSystem::ClearLog() { log_.Clear(); }
void WindowsInstallSystem::AddLogLine(const std::string& line) { log_.Add(line); }

void WindowsInstallSystem::PrepareDesktopLink() { user_query_ = std::make_unique<LoggedOnUserQuery>(); }

void WindowsInstallSystem::CreateDesktopLink(const std::string& title, const std::string& target) {
  stampwell::CreateDesktopLink(title, target, log_, user_query_ ? user_query_->Name() : LoggedOnUser(),
                               journal_.get());
}

void WindowsInstallSystem::StartMenuStep() {
  // The shell is asked for the Programs folder only when a group goes there.
  const bool make_group = hooks_.start_menu_checked();
  StartMenuStepContext context{settings_, hooks_.product_title(), make_group, log_, hooks_.show_message,
                               make_group ? GetProgramsFolder() : std::string(), journal_.get()};
  RunStartMenuStep(context);
}

void WindowsInstallSystem::SaveLog(const std::string& path) {
  if (journal_) journal_->BeforeWrite(path);
  log_.SaveToFile(path);
}

namespace {

std::uint64_t PayloadBytes(const PayloadStore& payload) {
  std::uint64_t bytes = 0;
  for (int n = 1; n <= payload.EntryCount(); ++n) bytes += payload.Open(n).size();
  return bytes;
}

}  // namespace

void WindowsInstallSystem::WriteUninstallEntry() {
  const std::vector<UninstallEntryValue> values =
      UninstallEntryValues({hooks_.product_title(), settings_.InstallDir, settings_.MainExeName,
                            settings_.PublisherName, settings_.HomePageUrl, ProgramVersion(), PayloadBytes(payload_)});
  if (journal_) {
    std::vector<std::string> names;
    for (const UninstallEntryValue& value : values) names.push_back(value.name);
    journal_->BeforeRegistryValues(settings_.UninstallKeyPath, names);
  }
  stampwell::WriteUninstallEntry(settings_.UninstallKeyPath, values);
}

void WindowsInstallSystem::NotifyAssociationsChanged() {
  SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

}  // namespace stampwell
