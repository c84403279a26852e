// The install run as all or nothing, under Wine with the demo payload: a failure at an entry
// takes back everything the run did, over a fresh folder and over an earlier installation
// with a file of the user's changed; and a run ended from outside is taken back from its
// journal at the next start.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <string>

#include "framework/unique_handle.h"
#include "install/directories.h"
#include "install/install_error.h"
#include "install/install_run.h"
#include "install/install_system.h"
#include "install/payload_store.h"
#include "install/run_journal.h"
#include "tests/install/install_run_fixture.h"
#include "tests/install/install_test_support.h"
#include "tests/install/win32_test_support.h"

namespace stampwell {
namespace {

using testing::Exists;
using testing::ReadWholeFile;
using testing::Tree;
using testing::WriteWholeFile;

bool UnfinishedRunNamed() {
  unique_hkey key;
  return RegOpenKeyExA(HKEY_CURRENT_USER, kUnfinishedRunKey, 0, KEY_QUERY_VALUE, key.put()) == ERROR_SUCCESS;
}

class InstallRunJournal : public testing::InstallRunFixture {
 protected:
  InstallRunJournal() : InstallRunFixture("install-run-journal") {}
  std::string Dir() const { return scratch.path() + "Quendra Soft\\Quendra Stampwell\\"; }
  // A folder standing where entry 100 goes: the run cannot write it.
  void BlockEntry100() {
    const std::string entry = Dir() + ProgramPayload().Manifest()[99];
    DeleteFileA(entry.c_str());
    ASSERT_TRUE(ForceDirectories(entry));
  }
  void ExpectStoppedAtEntry100() {
    EXPECT_EQ(window.messages, (std::vector<std::string>{kInstallationErrorMessage}));
    EXPECT_EQ(window.Page(), 2);
    EXPECT_EQ(settings.CurrentEntry, ProgramPayload().Manifest()[99]);
    EXPECT_FALSE(Exists(scratch.path() + "Quendra Stampwell.setup-journal"));
    EXPECT_FALSE(Exists(scratch.path() + "Quendra Soft\\Quendra Stampwell.setup-journal"));
    EXPECT_FALSE(UnfinishedRunNamed());
  }
};

TEST_F(InstallRunJournal, FailureAtAnEntryOfAFreshInstallationLeavesTheFolderAsItWas) {
  BlockEntry100();
  const auto before = Tree(scratch.path());
  Install();
  ExpectStoppedAtEntry100();
  EXPECT_EQ(Tree(scratch.path()), before);
}

TEST_F(InstallRunJournal, FailureAtAnEntryOfAnUpdateLeavesTheInstallationByteForByte) {
  Install();
  ASSERT_EQ(window.Page(), 4);
  WriteWholeFile(Dir() + "Help.CHM", "changed by the user");
  WriteWholeFile(Dir() + "notes.txt", "the user's own");
  BlockEntry100();
  const auto before = Tree(scratch.path());
  window = {};
  window.folder = scratch.path() + "Quendra Soft";
  Install();
  ExpectStoppedAtEntry100();
  EXPECT_EQ(Tree(scratch.path()), before);
  EXPECT_EQ(ReadWholeFile(Dir() + "Help.CHM"), "changed by the user");
}

// A run that the machine ends midway: the undo that the run would make never comes.
class EndsAtEntry50 : public WindowsInstallSystem {
 public:
  using WindowsInstallSystem::WindowsInstallSystem;
  void WritePayload(int n, const std::string& path) override {
    if (n == 50) throw std::runtime_error("the process ends here");
    WindowsInstallSystem::WritePayload(n, path);
  }
  void UndoRun() override {}
};

TEST_F(InstallRunJournal, RunEndedFromOutsideIsTakenBackAtTheNextStart) {
  Install();
  ASSERT_EQ(window.Page(), 4);
  WriteWholeFile(Dir() + "Help.CHM", "changed by the user");
  const auto before = Tree(scratch.path());
  window = {};
  window.folder = scratch.path() + "Quendra Soft";
  {
    EndsAtEntry50 system(settings, log, ProgramPayload(),
                         {[] { return std::string(kProductName); }, [] { return false; },
                          [this](const std::string& text) { window.messages.push_back(text); }});
    RunInstall(settings, window, system);
  }
  // Left as the end found it: 49 files replaced, the earlier ones moved aside, the journal.
  EXPECT_NE(ReadWholeFile(Dir() + "Help.CHM"), "changed by the user");
  EXPECT_TRUE(Exists(Dir() + "Help.CHM.setup-old"));
  EXPECT_TRUE(Exists(scratch.path() + "Quendra Soft\\Quendra Stampwell.setup-journal"));
  ASSERT_TRUE(UnfinishedRunNamed());
  // A record added by someone else, for a file outside the journal's folder, is not obeyed.
  const std::string journal = scratch.path() + "Quendra Soft\\Quendra Stampwell.setup-journal";
  WriteWholeFile(scratch.path() + "outside.txt", "not the run's");
  WriteWholeFile(journal, ReadWholeFile(journal) + "file\t" + scratch.path() + "outside.txt\r\n");
  const auto with_outside = [&] {
    auto tree = before;
    tree["outside.txt"] = "not the run's";
    return tree;
  }();

  UndoUnfinishedRun();
  EXPECT_EQ(Tree(scratch.path()), with_outside);
  EXPECT_FALSE(UnfinishedRunNamed());
  UndoUnfinishedRun();  // a start after a run that ended finds nothing to do
  EXPECT_EQ(Tree(scratch.path()), with_outside);
}

// A fresh installation records its folders and files in one go before its folder is made,
// and makes them without a record of their own: ended after 49 files, it is taken back whole.
TEST_F(InstallRunJournal, FreshInstallationEndedFromOutsideIsTakenBackWholeAtTheNextStart) {
  const auto before = Tree(scratch.path());
  {
    EndsAtEntry50 system(settings, log, ProgramPayload(),
                         {[] { return std::string(kProductName); }, [] { return false; },
                          [this](const std::string& text) { window.messages.push_back(text); }});
    RunInstall(settings, window, system);
  }
  ASSERT_TRUE(Exists(Dir() + ProgramPayload().Manifest()[48]));
  ASSERT_TRUE(Exists(Dir() + "Example\\Protection\\"));
  ASSERT_TRUE(UnfinishedRunNamed());

  UndoUnfinishedRun();
  EXPECT_EQ(Tree(scratch.path()), before);
  EXPECT_FALSE(UnfinishedRunNamed());
}

// Another program puts a file where entry 20 goes, in a folder that this run made and so
// writes into without a look, after the run planned its writes; the run then fails at entry
// 30.
class AnotherFileAtEntry20 : public WindowsInstallSystem {
 public:
  using WindowsInstallSystem::WindowsInstallSystem;
  void WritePayload(int n, const std::string& path) override {
    if (n == 20) WriteWholeFile(path, "another program's");
    if (n == 30) throw InstallError("entry 30 cannot be written");
    WindowsInstallSystem::WritePayload(n, path);
  }
};

TEST_F(InstallRunJournal, AFileThatAnotherProgramPutsInAFolderOfTheRunIsBackAfterTheUndo) {
  ASSERT_EQ(ProgramPayload().Manifest()[19].rfind("Example\\Animated\\", 0), 0u);
  {
    AnotherFileAtEntry20 system(settings, log, ProgramPayload(),
                                {[] { return std::string(kProductName); }, [] { return false; },
                                 [this](const std::string& text) { window.messages.push_back(text); }});
    RunInstall(settings, window, system);
  }
  ASSERT_EQ(settings.CurrentEntry, ProgramPayload().Manifest()[29]);
  // Only that file is left, as it was, in the folders that hold it.
  const std::string dir = "Quendra Soft\\Quendra Stampwell\\";
  EXPECT_EQ(Tree(scratch.path()), (std::map<std::string, std::string>{
                                      {"Quendra Soft\\", "<folder>"},
                                      {dir, "<folder>"},
                                      {dir + "Example\\", "<folder>"},
                                      {dir + "Example\\Animated\\", "<folder>"},
                                      {dir + ProgramPayload().Manifest()[19], "another program's"}}));
  EXPECT_FALSE(UnfinishedRunNamed());
}

TEST_F(InstallRunJournal, JournalLiesBesideTheFolderInTheNearestFolderThatExists) {
  EXPECT_EQ(JournalPathFor(scratch.path() + "A\\B\\Quendra Stampwell\\"), scratch.path() + "Quendra Stampwell.setup-journal");
  EXPECT_EQ(JournalPathFor("C:\\Quendra Stampwell"), "C:\\Quendra Stampwell.setup-journal");
  // A drive that is not there: no journal, and the run tells that the folder cannot be made.
  const DWORD drives = GetLogicalDrives();
  char letter = 'Q';
  while (letter > 'D' && (drives & (1u << (letter - 'A')))) --letter;
  ASSERT_FALSE(drives & (1u << (letter - 'A')));
  const std::string missing = std::string(1, letter) + ":\\Quendra Soft";
  EXPECT_EQ(JournalPathFor(missing + "\\Quendra Stampwell"), "");
  window.folder = missing;
  window.desktop_link = false;
  Install();
  ASSERT_FALSE(window.messages.empty());
  EXPECT_EQ(window.messages[0], kCreateFolderFailedMessage);
  EXPECT_FALSE(Exists("\\Quendra Stampwell.setup-journal"));
}

TEST_F(InstallRunJournal, SuccessfulUpdateReplacesThePayloadKeepsTheUsersOwnAndLeavesNothingAside) {
  Install();
  ASSERT_EQ(window.Page(), kFinishPage);
  auto expected = Tree(scratch.path());
  const std::string entry = ProgramPayload().Manifest()[99];  // in a folder moved aside whole
  WriteWholeFile(Dir() + "Help.CHM", "changed by the user");
  WriteWholeFile(Dir() + entry, "changed by the user");
  // The user's own, in the product's folders: a file, a folder of theirs with more inside.
  WriteWholeFile(Dir() + "Example\\User\\mine.png", "the user's own");
  ASSERT_TRUE(ForceDirectories(Dir() + "Data\\Saved\\2026"));
  WriteWholeFile(Dir() + "Data\\Saved\\2026\\game.dat", "kept");
  expected["Quendra Soft\\Quendra Stampwell\\Example\\User\\mine.png"] = "the user's own";
  expected["Quendra Soft\\Quendra Stampwell\\Data\\Saved\\"] = "<folder>";
  expected["Quendra Soft\\Quendra Stampwell\\Data\\Saved\\2026\\"] = "<folder>";
  expected["Quendra Soft\\Quendra Stampwell\\Data\\Saved\\2026\\game.dat"] = "kept";
  window = {};
  window.folder = scratch.path() + "Quendra Soft";
  Install();
  ASSERT_EQ(window.Page(), kFinishPage);
  EXPECT_EQ(Tree(scratch.path()), expected);  // nothing ".setup-" is left either
  EXPECT_FALSE(UnfinishedRunNamed());
}

// The journal of a run that ended, committed or taken back, whose leftovers the end of the
// process cut off: the next start removes the leftovers and takes back nothing.
class EndedRunJournal : public InstallRunJournal {
 protected:
  void SetUp() override {
    InstallRunJournal::SetUp();
    Install();
    ASSERT_EQ(window.Page(), kFinishPage);
    WriteWholeFile(Dir() + "Example\\User\\mine.png", "the user's own");
    before = Tree(scratch.path());
  }
  // A run that moves "Example" aside and writes one file into a new one.
  void RunThatWritesOneFile(RunJournal& run) {
    const std::string example = Dir() + "Example", file = example + "\\new.png";
    ASSERT_TRUE(run.MoveFolderAside(example, {file}, {}));
    run.MakeFolder(example);
    run.PlanWrites({file});
    run.BeforeWrite(file);
    WriteWholeFile(file, "new");
  }
  std::map<std::string, std::string> before;
};

TEST_F(EndedRunJournal, CommittedRunKeepsItsFilesAndLosesItsLeftoversAtTheNextStart) {
  {
    RunJournal run(JournalPathFor(Dir()));
    RunThatWritesOneFile(run);
    run.ReturnItemsNotReplaced();
    run.Commit();  // its leftovers never removed
  }
  ASSERT_TRUE(Exists(Dir() + "Example.setup-old"));
  ASSERT_TRUE(UnfinishedRunNamed());
  UndoUnfinishedRun();
  auto expected = before;
  expected["Quendra Soft\\Quendra Stampwell\\Example\\new.png"] = "new";
  EXPECT_EQ(Tree(scratch.path()), expected);
  EXPECT_FALSE(UnfinishedRunNamed());
}

TEST_F(EndedRunJournal, UndoneRunLosesItsDiscardedFolderAtTheNextStartAndIsNotUndoneAgain) {
  {
    RunJournal run(JournalPathFor(Dir()));
    RunThatWritesOneFile(run);
    run.Undo();  // its leftovers never removed
  }
  ASSERT_TRUE(Exists(Dir() + "Example.setup-new\\new.png"));
  // Made after the undo, where the run had written: the user's, and it stays.
  WriteWholeFile(Dir() + "Example\\new.png", "the user's own");
  UndoUnfinishedRun();
  auto expected = before;
  expected["Quendra Soft\\Quendra Stampwell\\Example\\new.png"] = "the user's own";
  EXPECT_EQ(Tree(scratch.path()), expected);
  EXPECT_FALSE(UnfinishedRunNamed());
}

}  // namespace
}  // namespace stampwell
