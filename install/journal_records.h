#pragma once
// The records of an install run's journal and their text form. Portable.
//
// A run writes each record before the change that it names, so that a journal cut short
// (the run ended from outside) names every change that may have happened and perhaps one
// that did not: undoing a record tolerates a change that never took place.

#include <string>
#include <string_view>
#include <vector>

namespace stampwell {

struct JournalRecord {
  enum class Kind { kFolder, kFile, kMovedAside };
  Kind kind;
  std::string path;    // the folder made, the file made, or the file moved aside
  std::string backup;  // kMovedAside: where the earlier file lies meanwhile

  bool operator==(const JournalRecord&) const = default;
};

// The first line of every journal.
inline constexpr char kJournalHeader[] = "Quendra Stampwell setup journal 1";

// One record as a line, ending in CR LF.
std::string JournalLine(const JournalRecord& record);

// Whether a record read from a journal kept in `journal_folder` (no trailing backslash) is
// one that a run could have written there: its paths lie below that folder (letter case
// aside), and a moved-aside file's backup is the file's own name with ".setup-old" and a
// number perhaps after it. The next start undoes a journal with the setup's rights, so it
// takes back nothing else, whoever edited the file or the value that names it.
bool RecordBelongsTo(const JournalRecord& record, std::string_view journal_folder);

// The records of a journal's text, in order. A text without the header holds none; reading
// stops at the first line that is not a whole record (the last one, cut short by the end of
// the run that wrote it). Only full paths ("X:\..." or "\\server\share\...") are taken.
std::vector<JournalRecord> ReadJournal(std::string_view text);

}  // namespace stampwell
