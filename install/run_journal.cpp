#include "install/run_journal.h"

#include <windows.h>

#include "install/directories.h"
#include "install/install_error.h"
#include "install/system_message.h"

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

// Each record taken back; a change that never took place (its record was written just
// before the run ended) is passed over.
void UndoRecords(const std::vector<JournalRecord>& records) {
  for (auto record = records.rbegin(); record != records.rend(); ++record) {
    switch (record->kind) {
      case JournalRecord::Kind::kFolder:
        RemoveDirectoryA(record->path.c_str());  // only an empty one: nothing of anyone else's goes
        break;
      case JournalRecord::Kind::kFile:
        DeleteFileA(record->path.c_str());
        break;
      case JournalRecord::Kind::kMovedAside:
        if (FileExists(record->backup)) {
          DeleteFileA(record->path.c_str());
          MoveFileExA(record->backup.c_str(), record->path.c_str(), MOVEFILE_REPLACE_EXISTING);
        }
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
  const std::string header = std::string(kJournalHeader) + "\r\n";
  DWORD written = 0;
  if (!WriteFile(file_.get(), header.data(), static_cast<DWORD>(header.size()), &written, nullptr) ||
      written != header.size()) {
    const DWORD error = GetLastError();
    file_.reset();
    DeleteFileA(path.c_str());
    ClearUnfinishedRun();
    throw InstallError("Cannot write file \"" + path + "\". " + SystemErrorText(error));
  }
}

void RunJournal::Record(const JournalRecord& record) {
  // Kept in memory first: an undo after a record that could not be written still takes back
  // whatever the change did.
  records_.push_back(record);
  const std::string line = JournalLine(record);
  DWORD written = 0;
  const BOOL ok = WriteFile(file_.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  if (ok && written == line.size()) return;
  const DWORD error = ok ? ERROR_HANDLE_DISK_FULL : GetLastError();
  throw InstallError("Cannot write file \"" + path_ + "\". " + SystemErrorText(error), CauseOfSystemError(error));
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
  for (auto folder = missing.rbegin(); folder != missing.rend(); ++folder) {
    Record({JournalRecord::Kind::kFolder, *folder, {}});
    if (CreateDirectoryA(folder->c_str(), nullptr))
      made_folders_.insert(*folder);
    else if (!DirectoryExists(*folder))
      return false;
  }
  return true;
}

void RunJournal::MakeFolder(const std::string& path) {
  const std::string folder = WithoutTrailingBackslashes(path);
  Record({JournalRecord::Kind::kFolder, folder, {}});
  CreateSingleDirectory(folder);
  made_folders_.insert(folder);
}

void RunJournal::BeforeWrite(const std::string& path) {
  // Under Wine a look for a file that is not there reads its whole folder, as the create
  // after it does again.
  const std::size_t slash = path.find_last_of('\\');
  const bool in_a_made_folder = slash != std::string::npos && made_folders_.count(path.substr(0, slash)) != 0;
  if (in_a_made_folder || !FileExists(path)) {
    Record({JournalRecord::Kind::kFile, path, {}});
    return;
  }
  std::string backup = path + ".setup-old";
  for (int n = 2; AnythingAt(backup); ++n) backup = path + ".setup-old" + std::to_string(n);
  Record({JournalRecord::Kind::kMovedAside, path, backup});
  // A rename: the earlier file keeps its bytes, its volume and its room until the commit.
  if (!MoveFileExA(path.c_str(), backup.c_str(), 0)) {
    const DWORD error = GetLastError();
    throw InstallError("Cannot replace file \"" + path + "\". " + SystemErrorText(error), CauseOfSystemError(error));
  }
}

void RunJournal::Undo() {
  UndoRecords(records_);
  records_.clear();
  file_.reset();
  DeleteFileA(path_.c_str());
  ClearUnfinishedRun();
}

void RunJournal::Commit() {
  // A program started from a file after it was moved aside (Windows renames a running
  // program's file) keeps it until it ends: it goes at the next restart then.
  for (const JournalRecord& record : records_)
    if (record.kind == JournalRecord::Kind::kMovedAside && !DeleteFileA(record.backup.c_str()))
      MoveFileExA(record.backup.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  records_.clear();
  file_.reset();
  DeleteFileA(path_.c_str());
  ClearUnfinishedRun();
}

void UndoJournalFile(const std::string& path) {
  if (!FileExists(path)) return;
  const std::size_t slash = path.find_last_of('\\');
  const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash);
  std::vector<JournalRecord> records;
  for (JournalRecord& record : ReadJournal(ReadFileText(path)))
    if (RecordBelongsTo(record, folder)) records.push_back(std::move(record));
  UndoRecords(records);
  DeleteFileA(path.c_str());
}

void UndoUnfinishedRun() {
  const std::string journal = UnfinishedRunJournal();
  if (!journal.empty()) UndoJournalFile(journal);
  ClearUnfinishedRun();
}

}  // namespace stampwell
