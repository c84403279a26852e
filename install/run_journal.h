#pragma once
// The journal of one install run: every folder and file that the run makes, and every file
// that it replaces, moved aside (on its own volume, by a rename) before the new one is
// written. A failed run is undone from it, in reverse, to the state before the run; a
// successful one commits it, which removes the moved-aside files and the journal.
//
// The journal is a file beside the installation folder, written a record ahead of each
// change, so that a run ended from outside leaves what undoes it.

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

  // Makes `path` and its missing parents, each recorded first; true when it exists after.
  bool MakeFolders(const std::string& path);
  // Makes one folder, recorded first; throws InstallError when it cannot.
  void MakeFolder(const std::string& path);
  // Before the run writes `path`: an existing file is moved aside, a new one recorded. Throws
  // InstallError when the record or the move fails. In a folder that this journal made, no
  // file is looked for: the folder was empty when it was made, and the run writes each of its
  // files once.
  void BeforeWrite(const std::string& path);

  // Takes back every change in reverse and removes the journal.
  void Undo();
  // Removes the moved-aside files and the journal.
  void Commit();

 private:
  void Record(const JournalRecord& record);

  std::string path_;
  unique_file file_;
  std::vector<JournalRecord> records_;
  // The folders that CreateDirectory made for this run, without a trailing backslash.
  std::unordered_set<std::string> made_folders_;
};

// Undoes the journal file at `path` that a run left without ending it, and removes it.
// Nothing happens when there is none.
void UndoJournalFile(const std::string& path);

// Where the next start finds a journal that a run left: a value of the current user's,
// set while a journal is open and removed when it is undone or committed.
inline constexpr char kUnfinishedRunKey[] = "Software\\Quendra Soft\\Quendra Stampwell Setup";
inline constexpr char kUnfinishedRunValue[] = "UnfinishedRun";

// At start, before the wizard shows: undoes the journal of a run that never ended (the
// process was ended from outside, the machine went down), so that the machine is as it was
// before that run. Nothing happens when every run ended.
void UndoUnfinishedRun();

}  // namespace stampwell
