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
  // kRegistryKey: a key made below HKEY_CURRENT_USER; kRegistryValue: a value about to be
  // set, with what it held before (nothing: it did not exist).
  enum class Kind { kFolder, kFile, kMovedAside, kRegistryKey, kRegistryValue };
  Kind kind;
  std::string path;    // the folder made, the file made or moved aside, or the registry key
  std::string backup;  // kMovedAside: where the earlier file lies meanwhile
  std::string value_name;               // kRegistryValue
  std::optional<RegistryData> earlier;  // kRegistryValue

  static JournalRecord Folder(std::string folder) { return {Kind::kFolder, std::move(folder), {}, {}, {}}; }
  static JournalRecord File(std::string file) { return {Kind::kFile, std::move(file), {}, {}, {}}; }
  static JournalRecord MovedAside(std::string file, std::string backup) {
    return {Kind::kMovedAside, std::move(file), std::move(backup), {}, {}};
  }
  static JournalRecord RegistryKey(std::string key) { return {Kind::kRegistryKey, std::move(key), {}, {}, {}}; }
  static JournalRecord RegistryValue(std::string key, std::string name, std::optional<RegistryData> earlier) {
    return {Kind::kRegistryValue, std::move(key), {}, std::move(name), std::move(earlier)};
  }

  bool operator==(const JournalRecord&) const = default;
};

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
// a moved-aside file's backup is the file's own name with ".setup-old" and a number perhaps
// after it. Whoever edited the file or the value that names it, nothing else is taken back.
bool RecordBelongsTo(const JournalRecord& record, const JournalScope& scope);

// The records of a journal's text, in order. A text without the header holds none; reading
// stops at the first line that is not a whole record (the last one, cut short by the end of
// the run that wrote it). Only full paths ("X:\..." or "\\server\share\...") are taken.
std::vector<JournalRecord> ReadJournal(std::string_view text);

}  // namespace stampwell
