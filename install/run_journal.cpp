#include "install/run_journal.h"

#include <windows.h>
#include <shlobj.h>

#include <map>
#include <set>

#include "install/directories.h"
#include "install/file_tree.h"
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

bool IsInOrBelow(const std::string& path, const std::string& folder) {
  return path.compare(0, folder.size(), folder) == 0 && (path.size() == folder.size() || path[folder.size()] == '\\');
}

// Each record taken back; a change that never took place (its record was written ahead and
// the run ended first) is passed over.
void UndoRecords(const std::vector<JournalRecord>& records, const std::map<std::string, std::string>& discards) {
  // A folder moved aside whole comes back whole: what the run made in its place is put out of
  // the way in one rename, not taken back file by file.
  std::vector<std::string> replaced_folders;
  for (const JournalRecord& record : records)
    if (record.kind == JournalRecord::Kind::kFolderMovedAside && AnythingAt(record.backup))
      replaced_folders.push_back(record.path);
  const auto in_a_replaced_folder = [&](const std::string& path) {
    for (const std::string& folder : replaced_folders)
      if (IsInOrBelow(path, folder)) return true;
    return false;
  };
  // A file recorded as new that a later record found there after all (someone else's, made
  // meanwhile) was moved aside and is back in place: it stays.
  std::set<std::string> restored;
  for (auto record = records.rbegin(); record != records.rend(); ++record) {
    switch (record->kind) {
      case JournalRecord::Kind::kFolder:
        // Only an empty one: nothing of anyone else's goes.
        if (!in_a_replaced_folder(record->path)) RemoveDirectoryA(record->path.c_str());
        break;
      case JournalRecord::Kind::kFile:
        if (!restored.count(record->path) && !in_a_replaced_folder(record->path)) DeleteFileA(record->path.c_str());
        break;
      case JournalRecord::Kind::kMovedAside:
        // One rename over the new file: the earlier one is back whole or not moved at all.
        if (MoveFileExA(record->backup.c_str(), record->path.c_str(), MOVEFILE_REPLACE_EXISTING) ||
            FileExists(record->backup)) {
          restored.insert(record->path);
        }
        break;
      case JournalRecord::Kind::kFolderMovedAside:
        if (!AnythingAt(record->backup)) break;  // never moved
        if (const auto discard = discards.find(record->path); discard != discards.end()) {
          if (!MoveFileExA(record->path.c_str(), discard->second.c_str(), 0)) break;
        }
        MoveFileExA(record->backup.c_str(), record->path.c_str(), 0);
        break;
      case JournalRecord::Kind::kReturned:
        if (AnythingAt(record->path) && !AnythingAt(record->backup))
          MoveFileExA(record->path.c_str(), record->backup.c_str(), 0);
        break;
      case JournalRecord::Kind::kRegistryKey:
        RemoveRegistryKeyIfEmpty(record->path);
        break;
      case JournalRecord::Kind::kRegistryValue:
        RestoreRegistryValue(record->path, record->value_name, record->earlier);
        break;
      case JournalRecord::Kind::kDiscard:
      case JournalRecord::Kind::kCommitted:
      case JournalRecord::Kind::kUndone:
        break;
    }
  }
}

std::string FreeDiscardName(const std::string& folder) {
  std::string name = folder + std::string(kDiscardSuffix);
  for (int n = 2; AnythingAt(name); ++n) name = folder + std::string(kDiscardSuffix) + std::to_string(n);
  return name;
}

// The names that the undo gives the folders made in place of those moved aside whole, where
// they wait for their removal; recorded before the undo, so that a run ended meanwhile still
// finds them.
std::map<std::string, std::string> DiscardNames(const std::vector<JournalRecord>& records) {
  std::map<std::string, std::string> names;
  for (const JournalRecord& record : records)
    if (record.kind == JournalRecord::Kind::kFolderMovedAside && AnythingAt(record.backup) && AnythingAt(record.path))
      names[record.path] = FreeDiscardName(record.path);
  return names;
}

// What a run that ended leaves: the earlier files and folders of a committed run, and the
// failed run's folders put out of the way.
std::vector<std::string> LeftoversOf(const std::vector<JournalRecord>& records, bool committed) {
  std::vector<std::string> paths;
  for (const JournalRecord& record : records) {
    const bool earlier = record.kind == JournalRecord::Kind::kMovedAside ||
                         record.kind == JournalRecord::Kind::kFolderMovedAside;
    if (committed && earlier) paths.push_back(record.backup);
    if (record.kind == JournalRecord::Kind::kDiscard) paths.push_back(record.path);
  }
  return paths;
}

// Best effort: the journal of a run being taken back at the next start gains the name of a
// discarded folder before the folder takes it.
void AppendToFile(const std::string& path, const std::string& text) {
  unique_file file(CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  DWORD written = 0;
  if (file && WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr))
    FlushFileBuffers(file.get());
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

std::string UnfinishedRunJournal();

// A removal that ends after a newer run began must not take that run's value.
void ClearUnfinishedRunIfItNames(const std::string& journal_path) {
  if (UnfinishedRunJournal() == journal_path) ClearUnfinishedRun();
}

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

bool RunJournal::IsFolderOfThisRun(const std::string& folder) const {
  return planned_folders_.count(folder) != 0 || made_folders_.count(folder) != 0;
}

std::optional<std::vector<std::string>> RunJournal::MissingFolders(const std::string& path) const {
  std::vector<std::string> missing;
  for (std::string folder = WithoutTrailingBackslashes(path); !folder.empty();) {
    if (made_folders_.count(folder)) break;
    // A folder planned, or one below a folder that this run planned or made, was not there
    // when the run looked: it is taken as missing without a look of its own (under Wine a
    // look for a name that is not there reads its whole folder). Should another program make
    // it meanwhile, the run's make finds it there and uses it.
    const std::size_t last = folder.find_last_of('\\');
    const bool known_missing = planned_folders_.count(folder) != 0 ||
                               (last != std::string::npos && IsFolderOfThisRun(folder.substr(0, last)));
    if (!known_missing) {
      if (DirectoryExists(folder)) break;
      if (AnythingAt(folder)) return std::nullopt;  // a file stands where the folder goes
    }
    missing.push_back(folder);
    const std::size_t slash = folder.find_last_of('\\');
    if (slash == std::string::npos || folder.size() <= 3) return std::nullopt;  // a root that does not exist
    folder = folder.substr(0, slash);
    if (folder.size() == 2 && folder[1] == ':') folder += '\\';
  }
  return std::vector<std::string>(missing.rbegin(), missing.rend());
}

void RunJournal::RecordFolder(const std::string& folder) {
  if (!planned_folders_.count(folder)) Record(JournalRecord::Folder(folder));
}

void RunJournal::PlanFolders(const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    const std::optional<std::vector<std::string>> missing = MissingFolders(path);
    if (!missing) continue;  // MakeFolders finds it so again and says so
    for (const std::string& folder : *missing) {
      RecordFolder(folder);
      planned_folders_.insert(folder);
    }
  }
}

bool RunJournal::MakeFolders(const std::string& path) {
  const std::optional<std::vector<std::string>> missing = MissingFolders(path);
  if (!missing) return false;
  for (const std::string& folder : *missing) RecordFolder(folder);
  Flush();
  for (const std::string& folder : *missing) {
    if (CreateDirectoryA(folder.c_str(), nullptr))
      made_folders_.insert(folder);
    else if (!DirectoryExists(folder))
      return false;
  }
  return true;
}

void RunJournal::MakeFolder(const std::string& path) {
  const std::string folder = WithoutTrailingBackslashes(path);
  RecordFolder(folder);
  Flush();
  CreateSingleDirectory(folder);
  made_folders_.insert(folder);
}

bool RunJournal::MoveFolderAside(const std::string& path, const std::vector<std::string>& files,
                                 const std::vector<std::string>& folders) {
  for (const std::string& file : files) {
    const DWORD attributes = GetFileAttributesA(file.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
  }
  // A link among the product's folders (a junction the user made to keep examples
  // elsewhere) is written through, as before, and stays a link.
  const auto stands_in_the_way = [](const std::string& folder) {
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (!(attributes & FILE_ATTRIBUTE_DIRECTORY) || (attributes & FILE_ATTRIBUTE_REPARSE_POINT));
  };
  if (stands_in_the_way(path)) return false;
  for (const std::string& made : folders)
    if (stands_in_the_way(made)) return false;
  const std::string folder = WithoutTrailingBackslashes(path);
  const std::string backup = FreeBackupName(folder);
  Record(JournalRecord::FolderMovedAside(folder, backup));
  Flush();
  // Undo tells a move that failed by its backup, which is not there then.
  if (!MoveFileExA(folder.c_str(), backup.c_str(), 0)) return false;
  folders_moved_aside_.emplace_back(folder, backup);
  return true;
}

void RunJournal::ReturnItemsNotReplaced() {
  for (const auto& [folder, backup] : folders_moved_aside_) ReturnFrom(backup, folder);
}

void RunJournal::ReturnFrom(const std::string& earlier, const std::string& now) {
  std::vector<std::string> returned, deeper;
  WIN32_FIND_DATAA found{};
  if (unique_find search{FindFirstFileA((earlier + "\\*").c_str(), &found)}) {
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      const DWORD now_attributes = GetFileAttributesA((now + "\\" + name).c_str());
      const auto is_folder = [](DWORD attributes) {
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
      };
      if (now_attributes == INVALID_FILE_ATTRIBUTES)
        returned.push_back(name);
      else if (is_folder(now_attributes) && is_folder(found.dwFileAttributes))
        deeper.push_back(name);
      // Otherwise the run wrote it anew: the earlier one goes with its folder.
    } while (FindNextFileA(search.get(), &found));
  }
  for (const std::string& name : returned) Record(JournalRecord::Returned(now + "\\" + name, earlier + "\\" + name));
  Flush();
  for (const std::string& name : returned) {
    const std::string from = earlier + "\\" + name, to = now + "\\" + name;
    if (!MoveFileExA(from.c_str(), to.c_str(), 0)) {
      const DWORD error = GetLastError();
      throw InstallError("Cannot move \"" + from + "\" to \"" + to + "\". " + SystemErrorText(error),
                         CauseOfSystemError(error));
    }
  }
  for (const std::string& name : deeper) ReturnFrom(earlier + "\\" + name, now + "\\" + name);
}

bool RunJournal::InAFolderMadeByThisRun(const std::string& path) const {
  const std::size_t slash = path.find_last_of('\\');
  return slash != std::string::npos && made_folders_.count(path.substr(0, slash)) != 0;
}

void RunJournal::PlanWrites(const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    if (planned_.count(path)) continue;
    const std::size_t slash = path.find_last_of('\\');
    // A folder that this run plans or made holds only what the run writes into it.
    const bool in_a_folder_of_this_run = slash != std::string::npos && IsFolderOfThisRun(path.substr(0, slash));
    if (!in_a_folder_of_this_run && FileExists(path)) {
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
}

void RunJournal::MoveAside(const std::string& path, const std::string& backup) {
  // A rename: the earlier file keeps its bytes, its volume and its room until the commit.
  if (!MoveFileExA(path.c_str(), backup.c_str(), 0)) {
    const DWORD error = GetLastError();
    throw InstallError("Cannot replace file \"" + path + "\". " + SystemErrorText(error), CauseOfSystemError(error));
  }
}

void RunJournal::BeforeWrite(const std::string& path) {
  // The plan's records, when this is its first write.
  Flush();
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

void RunJournal::RecordEnd(const JournalRecord& end) {
  Record(end);
  try {
    Flush();
  } catch (const InstallError&) {
    // The disk refuses even this line: the end is not on disk, and a run ended before the
    // leftovers are gone would be undone again at the next start, which finds nothing of
    // this run's to take back but its leftovers.
  }
  records_.clear();
  planned_.clear();
  folders_moved_aside_.clear();
  file_.reset();
}

RunLeftovers RunJournal::Undo() {
  const std::map<std::string, std::string> discards = DiscardNames(records_);
  std::vector<std::string> discarded;
  for (const auto& [folder, discard] : discards) {
    Record(JournalRecord::Discard(discard));
    discarded.push_back(discard);
  }
  try {
    Flush();
  } catch (const InstallError&) {
    // Taken back all the same; only a run ended before the removal would leave them.
  }
  UndoRecords(records_, discards);
  RecordEnd(JournalRecord::Undone());
  return {std::move(discarded), path_};
}

RunLeftovers RunJournal::Commit() {
  std::vector<std::string> earlier = LeftoversOf(records_, true);
  RecordEnd(JournalRecord::Committed());
  return {std::move(earlier), path_};
}

void RemoveLeftovers(const RunLeftovers& leftovers) {
  for (const std::string& path : leftovers.paths) RemoveFileTree(path);
  DeleteFileA(leftovers.journal.c_str());
  ClearUnfinishedRunIfItNames(leftovers.journal);
}

void UndoJournalFile(const std::string& path, JournalScope scope) {
  if (!FileExists(path)) return;
  const std::size_t slash = path.find_last_of('\\');
  scope.folder = slash == std::string::npos ? std::string() : path.substr(0, slash);
  std::vector<JournalRecord> records;
  bool ended = false, committed = false;
  for (JournalRecord& record : ReadJournal(ReadFileText(path))) {
    if (!RecordBelongsTo(record, scope)) continue;
    committed = committed || record.kind == JournalRecord::Kind::kCommitted;
    ended = ended || committed || record.kind == JournalRecord::Kind::kUndone;
    records.push_back(std::move(record));
  }
  std::vector<std::string> leftovers = LeftoversOf(records, committed);
  if (!ended) {
    const std::map<std::string, std::string> discards = DiscardNames(records);
    std::string lines;
    for (const auto& [folder, discard] : discards) {
      lines += JournalLine(JournalRecord::Discard(discard));
      leftovers.push_back(discard);
    }
    if (!lines.empty()) AppendToFile(path, lines);
    UndoRecords(records, discards);
  }
  RemoveLeftovers({std::move(leftovers), path});
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
