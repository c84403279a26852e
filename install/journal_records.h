#pragma once
// The records of an install run's journal and their text form. Portable.
//
// A run writes each record before the change that it names, so that a journal cut short
// (the run ended from outside) names every change that may have happened and perhaps some
// that did not: undoing a record tolerates a change that never took place.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace stampwell {

// A registry value as it was: its type and its bytes.
struct RegistryData {
  std::uint32_t type = 0;
  std::string bytes;

  bool operator==(const RegistryData&) const = default;
};

struct JournalRecord {
  // kFolderMovedAside: an earlier installation's folder moved aside whole, so that the run
  // writes into an empty one of the same name; kReturned: a file or folder of the earlier
  // one that the run did not replace (the user's own), moved from `backup` back to `path`;
  // kDiscard: a folder of a run being taken back, put out of the way to be removed;
  // kRegistryKey: a key made below HKEY_CURRENT_USER; kRegistryValue: a value about to be
  // set, with what it held before (nothing: it did not exist). kCommitted and kUndone end a
  // run: what remains to do is only to remove what is left over (the earlier files, the
  // discarded folders).
  enum class Kind {
    kFolder, kFile, kMovedAside, kFolderMovedAside, kReturned, kDiscard,
    kRegistryKey, kRegistryValue, kCommitted, kUndone
  };
  Kind kind;
  std::string path;    // the folder made, the file made or moved aside, or the registry key
  std::string backup;  // kMovedAside, kFolderMovedAside: where the earlier one lies meanwhile;
                       // kReturned: where it was
  std::string value_name;               // kRegistryValue
  std::optional<RegistryData> earlier;  // kRegistryValue

  static JournalRecord Folder(std::string folder) { return {Kind::kFolder, std::move(folder), {}, {}, {}}; }
  static JournalRecord File(std::string file) { return {Kind::kFile, std::move(file), {}, {}, {}}; }
  static JournalRecord MovedAside(std::string file, std::string backup) {
    return {Kind::kMovedAside, std::move(file), std::move(backup), {}, {}};
  }
  static JournalRecord FolderMovedAside(std::string folder, std::string backup) {
    return {Kind::kFolderMovedAside, std::move(folder), std::move(backup), {}, {}};
  }
  static JournalRecord Returned(std::string path, std::string from) {
    return {Kind::kReturned, std::move(path), std::move(from), {}, {}};
  }
  static JournalRecord Discard(std::string folder) { return {Kind::kDiscard, std::move(folder), {}, {}, {}}; }
  static JournalRecord Committed() { return {Kind::kCommitted, {}, {}, {}, {}}; }
  static JournalRecord Undone() { return {Kind::kUndone, {}, {}, {}, {}}; }
  static JournalRecord RegistryKey(std::string key) { return {Kind::kRegistryKey, std::move(key), {}, {}, {}}; }
  static JournalRecord RegistryValue(std::string key, std::string name, std::optional<RegistryData> earlier) {
    return {Kind::kRegistryValue, std::move(key), {}, std::move(name), std::move(earlier)};
  }

  bool operator==(const JournalRecord&) const = default;
};

// What a backup's name adds to the name of the file or folder moved aside, and a discarded
// folder's to its own; a number may follow either, when the name was taken.
inline constexpr std::string_view kBackupSuffix = ".setup-old";
inline constexpr std::string_view kDiscardSuffix = ".setup-new";

// The first line of every journal.
inline constexpr char kJournalHeader[] = "Quendra Stampwell setup journal 1";

// One record as a line, ending in CR LF.
std::string JournalLine(const JournalRecord& record);

// What a journal kept in `folder` (no trailing backslash) may take back at the next start,
// which undoes it with the setup's rights: files and folders below `folder` (letter case
// aside), shortcut files (".lnk") and folders below one of `link_folders`, and values of
// `registry_key` alone.
struct JournalScope {
  std::string folder;
  std::vector<std::string> link_folders;
  std::string registry_key;
};

// Whether a record read from a journal is one that a run could have written within `scope`;
// a moved-aside file's or folder's backup is its own name with ".setup-old" and a number
// perhaps after it, a discarded folder's name ends in ".setup-new" and perhaps a number, and
// only files and folders below the journal's own folder are moved whole, returned or
// discarded. Whoever edited the file or the value that names it, nothing else is taken back.
bool RecordBelongsTo(const JournalRecord& record, const JournalScope& scope);

// The records of a journal's text, in order. A text without the header holds none; reading
// stops at the first line that is not a whole record (the last one, cut short by the end of
// the run that wrote it). Only full paths ("X:\..." or "\\server\share\...") are taken.
std::vector<JournalRecord> ReadJournal(std::string_view text);

}  // namespace stampwell
