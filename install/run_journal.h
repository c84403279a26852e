#pragma once
// The journal of one install run: every folder and file that the run makes, every file that
// it replaces, moved aside (on its own volume, by a rename) before the new one is written,
// every folder of an earlier installation moved aside whole, and every registry value that
// it sets, with what the value held before. A failed run is undone from it, in reverse, to
// the state before the run; a successful one commits it. Either way what is left over (the
// earlier files, or the failed run's) is removed after, perhaps on a thread of its own, and
// the journal with it; until then the journal says that nothing is left to undo.
//
// The journal is a file beside the installation folder. Each change's record reaches the
// disk (written and flushed) before the change is made, so that a run ended from outside,
// even by a power cut, leaves what undoes it. Records are flushed together where the changes
// allow it: what is planned waits for the first change after it, so that a fresh
// installation's folders and files are recorded in one go before its folder is made.

#include <map>
#include <optional>
#include <utility>
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

// What a journal leaves once its run is committed or taken back: files and folders that
// nobody needs any more, and the journal, which goes when they have gone.
struct RunLeftovers {
  std::vector<std::string> paths;
  std::string journal;
};

// Removes the leftovers, then the journal, and the value that names an unfinished run when it
// still names this journal. Never throws: a file that cannot go now goes at the next restart.
void RemoveLeftovers(const RunLeftovers& leftovers);

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
  // Records the folders of `paths` and their parents that do not exist, so that MakeFolders
  // and MakeFolder cost no flush of their own for them: the records reach the disk with the
  // first change that follows, in one flush with whatever else was planned before it.
  void PlanFolders(const std::vector<std::string>& paths);
  // Moves the existing folder `path` aside whole, recorded first, so that the run writes into
  // an empty one of the same name. False when it stays, and its files are replaced one by
  // one: when it cannot be moved (a file in it held open), or when something in it stands in
  // the way of the `files` or `folders` that the run makes below it (a folder where a file
  // goes, a file where a folder goes), which the run must meet as if nothing were moved, or
  // when it or one of those folders is a link.
  bool MoveFolderAside(const std::string& path, const std::vector<std::string>& files,
                       const std::vector<std::string>& folders);
  // After the extraction: whatever a folder moved aside holds that the run did not write anew
  // (the user's own files and folders) goes back to its place, recorded first. Throws
  // InstallError when an item cannot be moved back.
  void ReturnItemsNotReplaced();
  // Records what BeforeWrite will do for each of `paths`, so that the writes that follow cost
  // no flush of their own; the records reach the disk with the first change that follows. A
  // path in a folder that PlanFolders planned is a new file, and is not looked for.
  void PlanWrites(const std::vector<std::string>& paths);
  // Before the run writes `path`: an existing file is moved aside, a new one recorded. Throws
  // InstallError when the record or the move fails. In a folder that this journal made, no
  // file is looked for: the folder was empty when it was made, and the run writes each of its
  // files once.
  void BeforeWrite(const std::string& path);
  // Before the run sets the values `names` of `key` (below HKEY_CURRENT_USER): the key's
  // making, when it is missing, and each value's earlier content are recorded.
  void BeforeRegistryValues(const std::string& key, const std::vector<std::string>& names);

  // Takes back every change in reverse; the failed run's folders, moved out of the way, are
  // left over.
  RunLeftovers Undo();
  // Makes the run final; the files and folders moved aside are left over.
  RunLeftovers Commit();

 private:
  // Kept in memory at once; on disk at the next Flush.
  void Record(const JournalRecord& record);
  // Puts the records not yet written on disk; throws InstallError when it cannot.
  void Flush();
  void MoveAside(const std::string& path, const std::string& backup);
  // The folders of `path` and its parents that do not exist, outermost first; nothing when a
  // file stands where one of them goes, or the path has no root that exists.
  std::optional<std::vector<std::string>> MissingFolders(const std::string& path) const;
  // Records `folder` unless PlanFolders has.
  void RecordFolder(const std::string& folder);
  void ReturnFrom(const std::string& earlier, const std::string& now);
  // Writes the run's last record; what follows is only the removal of its leftovers.
  void RecordEnd(const JournalRecord& end);

  std::string path_;
  unique_file file_;
  std::vector<JournalRecord> records_;
  std::string unwritten_;
  // From PlanWrites: each planned file and its backup (empty: a new file).
  std::map<std::string, std::string> planned_;
  bool InAFolderMadeByThisRun(const std::string& path) const;
  // Planned by PlanFolders or made by this run: what it holds, the run put there.
  bool IsFolderOfThisRun(const std::string& folder) const;
  // The folders recorded ahead by PlanFolders, without a trailing backslash.
  std::unordered_set<std::string> planned_folders_;
  // The folders that CreateDirectory made for this run, without a trailing backslash.
  std::unordered_set<std::string> made_folders_;
  // The folders moved aside whole: each one's place and its backup.
  std::vector<std::pair<std::string, std::string>> folders_moved_aside_;
};

// Ends the journal file at `path` that a run left: a run that never ended is undone, and
// what a run that ended left over is removed, then the journal; of its records, only those
// within `scope` (its `folder` is the journal's own) are obeyed. Nothing happens when there
// is none.
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
