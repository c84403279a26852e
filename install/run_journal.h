#pragma once
// The journal of one install run: every folder and file that the run makes, every file that
// it replaces, moved aside (on its own volume, by a rename) before the new one is written,
// and every registry value that it sets, with what the value held before. A failed run is
// undone from it, in reverse, to the state before the run; a successful one commits it,
// which removes the moved-aside files and the journal.
//
// The journal is a file beside the installation folder. Each change's record reaches the
// disk (written and flushed) before the change is made, so that a run ended from outside,
// even by a power cut, leaves what undoes it. Records are flushed together where the changes
// allow it: the files of the extraction are recorded in one go before the first of them.

#include <map>
#include <string>
#include <unordered_set>
#include <vector>

#include "framework/unique_handle.h"
#include "install/journal_records.h"

namespace stampwell {

// Where the run on `install_dir` keeps its journal: beside the installation folder, in the
// nearest folder of its path that exists. Empty when none exists (a drive that is not
// there): such a run can make nothing, so it needs no journal.
std::string JournalPathFor(const std::string& install_dir);

class RunJournal {
 public:
  // Starts the journal file at `path`; throws InstallError with the system's message when it
  // cannot be written (then the run must not start).
  explicit RunJournal(const std::string& path);
  // Closes the file and leaves it: neither undone nor committed, as after a run ended from
  // outside. Undo and Commit are the ways to end a journal.
  ~RunJournal() = default;
  RunJournal(const RunJournal&) = delete;
  RunJournal& operator=(const RunJournal&) = delete;

  // Makes `path` and its missing parents, all recorded first; true when it exists after.
  bool MakeFolders(const std::string& path);
  // Makes one folder, recorded first; throws InstallError when it cannot.
  void MakeFolder(const std::string& path);
  // Records, with one flush, what BeforeWrite will do for each of `paths`, so that the
  // writes that follow cost no flush of their own.
  void PlanWrites(const std::vector<std::string>& paths);
  // Before the run writes `path`: an existing file is moved aside, a new one recorded. Throws
  // InstallError when the record or the move fails. In a folder that this journal made, no
  // file is looked for: the folder was empty when it was made, and the run writes each of its
  // files once.
  void BeforeWrite(const std::string& path);
  // Before the run sets the values `names` of `key` (below HKEY_CURRENT_USER): the key's
  // making, when it is missing, and each value's earlier content are recorded.
  void BeforeRegistryValues(const std::string& key, const std::vector<std::string>& names);

  // Takes back every change in reverse and removes the journal.
  void Undo();
  // Removes the moved-aside files and the journal.
  void Commit();

 private:
  // Kept in memory at once; on disk at the next Flush.
  void Record(const JournalRecord& record);
  // Puts the records not yet written on disk; throws InstallError when it cannot.
  void Flush();
  void MoveAside(const std::string& path, const std::string& backup);

  std::string path_;
  unique_file file_;
  std::vector<JournalRecord> records_;
  std::string unwritten_;
  // From PlanWrites: each planned file and its backup (empty: a new file).
  std::map<std::string, std::string> planned_;
  bool InAFolderMadeByThisRun(const std::string& path) const;
  // The folders that CreateDirectory made for this run, without a trailing backslash.
  std::unordered_set<std::string> made_folders_;
};

// Undoes the journal file at `path` that a run left without ending it, and removes it; of
// its records, only those within `scope` (its `folder` is the journal's own). Nothing
// happens when there is none.
void UndoJournalFile(const std::string& path, JournalScope scope);

// Where the next start finds a journal that a run left: a value of the current user's,
// set while a journal is open and removed when it is undone or committed.
inline constexpr char kUnfinishedRunKey[] = "Software\\Quendra Soft\\Quendra Stampwell Setup";
inline constexpr char kUnfinishedRunValue[] = "UnfinishedRun";

// At start, before the wizard shows: undoes the journal of a run that never ended (the
// process was ended from outside, the machine went down), so that the machine is as it was
// before that run. Nothing happens when every run ended.
void UndoUnfinishedRun();

}  // namespace stampwell
