#include "install/run_journal.h"

#include <windows.h>
#include <shlobj.h>

#include <set>

#include "install/directories.h"
#include "install/install_error.h"
#include "install/registry_value.h"
#include "install/system_message.h"
#include "setup/setup_settings.h"
#include "setup/system_queries.h"

namespace stampwell {
namespace {

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool AnythingAt(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string WithoutTrailingBackslashes(std::string path) {
  while (path.size() > 3 && path.back() == '\\') path.pop_back();
  return path;
}

std::string FreeBackupName(const std::string& path) {
  std::string backup = path + ".setup-old";
  for (int n = 2; AnythingAt(backup); ++n) backup = path + ".setup-old" + std::to_string(n);
  return backup;
}

// Each record taken back; a change that never took place (its record was written ahead and
// the run ended first) is passed over.
void UndoRecords(const std::vector<JournalRecord>& records) {
  // A file recorded as new that a later record found there after all (someone else's, made
  // meanwhile) was moved aside and is back in place: it stays.
  std::set<std::string> restored;
  for (auto record = records.rbegin(); record != records.rend(); ++record) {
    switch (record->kind) {
      case JournalRecord::Kind::kFolder:
        RemoveDirectoryA(record->path.c_str());  // only an empty one: nothing of anyone else's goes
        break;
      case JournalRecord::Kind::kFile:
        if (!restored.count(record->path)) DeleteFileA(record->path.c_str());
        break;
      case JournalRecord::Kind::kMovedAside:
        // One rename over the new file: the earlier one is back whole or not moved at all.
        if (MoveFileExA(record->backup.c_str(), record->path.c_str(), MOVEFILE_REPLACE_EXISTING) ||
            FileExists(record->backup)) {
          restored.insert(record->path);
        }
        break;
      case JournalRecord::Kind::kRegistryKey:
        RemoveRegistryKeyIfEmpty(record->path);
        break;
      case JournalRecord::Kind::kRegistryValue:
        RestoreRegistryValue(record->path, record->value_name, record->earlier);
        break;
    }
  }
}

std::string ReadFileText(const std::string& path) {
  unique_file file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return {};
  std::string text;
  char buffer[65536];
  DWORD read = 0;
  while (ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) text.append(buffer, read);
  return text;
}

void SetUnfinishedRun(const std::string& journal_path) {
  unique_hkey key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kUnfinishedRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(),
                      nullptr) != ERROR_SUCCESS ||
      RegSetValueExA(key.get(), kUnfinishedRunValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(journal_path.c_str()),
                     static_cast<DWORD>(journal_path.size() + 1)) != ERROR_SUCCESS)
    throw InstallError("Failed to set data for '" + std::string(kUnfinishedRunValue) + "'");
  // The value must outlive a power cut as the journal's records do.
  RegFlushKey(key.get());
}

void ClearUnfinishedRun() { RegDeleteKeyA(HKEY_CURRENT_USER, kUnfinishedRunKey); }

std::string UnfinishedRunJournal() {
  unique_hkey key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kUnfinishedRunKey, 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS) return {};
  char path[MAX_PATH + 1] = {};
  DWORD type = 0, size = MAX_PATH;
  if (RegQueryValueExA(key.get(), kUnfinishedRunValue, nullptr, &type, reinterpret_cast<BYTE*>(path), &size) !=
          ERROR_SUCCESS ||
      type != REG_SZ)
    return {};
  return path;
}

[[noreturn]] void ThrowJournalError(const std::string& path, DWORD error) {
  throw InstallError("Cannot write file \"" + path + "\". " + SystemErrorText(error), CauseOfSystemError(error));
}

}  // namespace

std::string JournalPathFor(const std::string& install_dir) {
  std::string dir = WithoutTrailingBackslashes(install_dir);
  const std::size_t slash = dir.find_last_of('\\');
  const std::string name = slash == std::string::npos ? dir : dir.substr(slash + 1);
  std::string folder = slash == std::string::npos ? std::string() : dir.substr(0, slash);
  while (!folder.empty() && !DirectoryExists(folder.size() == 2 ? folder + "\\" : folder)) {
    const std::size_t up = folder.find_last_of('\\');
    folder = up == std::string::npos ? std::string() : folder.substr(0, up);
  }
  if (folder.empty()) return {};
  // At a drive's root the folder is "C:", and the journal "C:\<name>.setup-journal".
  return folder + "\\" + name + ".setup-journal";
}

RunJournal::RunJournal(const std::string& path) : path_(path) {
  // Named before it exists: a run ended between the two leaves a name of nothing, which the
  // next start passes over.
  SetUnfinishedRun(path);
  file_.reset(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file_) {
    const DWORD error = GetLastError();
    ClearUnfinishedRun();
    throw InstallError("Cannot create file \"" + path + "\". " + SystemErrorText(error));
  }
  unwritten_ = std::string(kJournalHeader) + "\r\n";
  try {
    Flush();
  } catch (...) {
    file_.reset();
    DeleteFileA(path.c_str());
    ClearUnfinishedRun();
    throw;
  }
}

void RunJournal::Record(const JournalRecord& record) {
  // Kept in memory first: an undo after a record that could not be written still takes back
  // whatever the change did.
  records_.push_back(record);
  unwritten_ += JournalLine(record);
}

void RunJournal::Flush() {
  if (unwritten_.empty()) return;
  DWORD written = 0;
  const BOOL ok = WriteFile(file_.get(), unwritten_.data(), static_cast<DWORD>(unwritten_.size()), &written, nullptr);
  if (!ok || written != unwritten_.size()) ThrowJournalError(path_, ok ? ERROR_HANDLE_DISK_FULL : GetLastError());
  unwritten_.clear();
  // On the disk, not only in the system's cache: a power cut must find the record too.
  if (!FlushFileBuffers(file_.get())) ThrowJournalError(path_, GetLastError());
}

bool RunJournal::MakeFolders(const std::string& path) {
  std::vector<std::string> missing;
  for (std::string folder = WithoutTrailingBackslashes(path); !folder.empty() && !DirectoryExists(folder);) {
    if (AnythingAt(folder)) return false;  // a file stands where the folder goes
    missing.push_back(folder);
    const std::size_t slash = folder.find_last_of('\\');
    if (slash == std::string::npos || folder.size() <= 3) return false;  // a root that does not exist
    folder = folder.substr(0, slash);
    if (folder.size() == 2 && folder[1] == ':') folder += '\\';
  }
  for (auto folder = missing.rbegin(); folder != missing.rend(); ++folder) Record(JournalRecord::Folder(*folder));
  Flush();
  for (auto folder = missing.rbegin(); folder != missing.rend(); ++folder) {
    if (CreateDirectoryA(folder->c_str(), nullptr))
      made_folders_.insert(*folder);
    else if (!DirectoryExists(*folder))
      return false;
  }
  return true;
}

void RunJournal::MakeFolder(const std::string& path) {
  const std::string folder = WithoutTrailingBackslashes(path);
  Record(JournalRecord::Folder(folder));
  Flush();
  CreateSingleDirectory(folder);
  made_folders_.insert(folder);
}

bool RunJournal::InAFolderMadeByThisRun(const std::string& path) const {
  const std::size_t slash = path.find_last_of('\\');
  return slash != std::string::npos && made_folders_.count(path.substr(0, slash)) != 0;
}

void RunJournal::PlanWrites(const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    if (planned_.count(path)) continue;
    if (!InAFolderMadeByThisRun(path) && FileExists(path)) {
      std::string backup = FreeBackupName(path);
      // Two planned files never share a backup: "a" and "a.setup-old" both in the plan.
      while (AnythingAt(backup) || planned_.count(backup)) backup += "0";
      Record(JournalRecord::MovedAside(path, backup));
      planned_[path] = backup;
    } else {
      Record(JournalRecord::File(path));
      planned_[path].clear();
    }
  }
  Flush();
}

void RunJournal::MoveAside(const std::string& path, const std::string& backup) {
  // A rename: the earlier file keeps its bytes, its volume and its room until the commit.
  if (!MoveFileExA(path.c_str(), backup.c_str(), 0)) {
    const DWORD error = GetLastError();
    throw InstallError("Cannot replace file \"" + path + "\". " + SystemErrorText(error), CauseOfSystemError(error));
  }
}

void RunJournal::BeforeWrite(const std::string& path) {
  const auto planned = planned_.find(path);
  if (planned != planned_.end()) {
    const std::string backup = planned->second;
    planned_.erase(planned);
    // The rename itself tells whether the file is still there: no look of its own.
    if (!backup.empty() && MoveFileExA(path.c_str(), backup.c_str(), 0)) return;
    // Under Wine a look for a file that is not there reads its whole folder, as the create
    // after it does again; a folder this run made held nothing before it.
    if (backup.empty() && (InAFolderMadeByThisRun(path) || !FileExists(path))) return;
    // The file came or went since the plan: a record of what is there now follows.
  }
  const bool exists = FileExists(path);
  if (!exists) {
    Record(JournalRecord::File(path));
    Flush();
    return;
  }
  const std::string backup = FreeBackupName(path);
  Record(JournalRecord::MovedAside(path, backup));
  Flush();
  MoveAside(path, backup);
}

void RunJournal::BeforeRegistryValues(const std::string& key, const std::vector<std::string>& names) {
  if (!RegistryKeyExists(key)) Record(JournalRecord::RegistryKey(key));
  for (const std::string& name : names) Record(JournalRecord::RegistryValue(key, name, ReadRegistryValue(key, name)));
  Flush();
}

void RunJournal::Undo() {
  UndoRecords(records_);
  records_.clear();
  planned_.clear();
  file_.reset();
  DeleteFileA(path_.c_str());
  ClearUnfinishedRun();
}

void RunJournal::Commit() {
  // A program started from a file after it was moved aside (Windows renames a running
  // program's file) keeps it until it ends: it goes at the next restart then.
  for (const JournalRecord& record : records_)
    if (record.kind == JournalRecord::Kind::kMovedAside && !DeleteFileA(record.backup.c_str()) &&
        GetLastError() != ERROR_FILE_NOT_FOUND)
      MoveFileExA(record.backup.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  records_.clear();
  planned_.clear();
  file_.reset();
  DeleteFileA(path_.c_str());
  ClearUnfinishedRun();
}

void UndoJournalFile(const std::string& path, JournalScope scope) {
  if (!FileExists(path)) return;
  const std::size_t slash = path.find_last_of('\\');
  scope.folder = slash == std::string::npos ? std::string() : path.substr(0, slash);
  std::vector<JournalRecord> records;
  for (JournalRecord& record : ReadJournal(ReadFileText(path)))
    if (RecordBelongsTo(record, scope)) records.push_back(std::move(record));
  UndoRecords(records);
  DeleteFileA(path.c_str());
}

void UndoUnfinishedRun() {
  const std::string journal = UnfinishedRunJournal();
  if (!journal.empty()) {
    // The places of the run's shortcuts and its entry, as this start sees them.
    JournalScope scope;
    for (int folder : {CSIDL_DESKTOPDIRECTORY, CSIDL_PROGRAMS}) {
      std::string path = WithoutTrailingBackslashes(GetSpecialFolderPath(folder));
      if (!path.empty()) scope.link_folders.push_back(std::move(path));
    }
    scope.registry_key = kUninstallKeyPath;
    UndoJournalFile(journal, std::move(scope));
  }
  ClearUnfinishedRun();
}

}  // namespace stampwell
