// The course of the install run through every outcome, against a recording window side and
// an in-memory system side: which pages, messages and steps each outcome reaches, and what
// it leaves behind.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "setup/setup_settings.h"
#include "install/files_in_use.h"
#include "install/install_error.h"
#include "install/install_paths.h"
#include "install/space_needed.h"
#include "install/install_run.h"
#include "install/logged_install_system.h"

namespace stampwell {
namespace {

constexpr char kPersonal[] = "C:\\users\\me\\Documents";
constexpr char kFallbackDir[] = "C:\\users\\me\\Documents\\Quendra Soft\\Quendra Stampwell\\";

struct RecordingUi : InstallRunUi {
  std::string folder = "C:\\Program Files (x86)\\Quendra Soft";
  std::vector<int> pages;
  std::vector<std::string> messages;
  std::vector<std::string> estimates;
  std::vector<int> widths;
  int range_min = -1, range_max = -1, position = -1;
  bool desktop_link = true;
  int pumps = 0, sleeps = 0;
  std::uint32_t tick = 0;
  std::function<std::uint32_t()> ticks;  // when set, the tick source

  std::string FolderField() override { return folder; }
  void SetFolderField(const std::string& text) override { folder = text; }
  void ShowPage(int page) override { pages.push_back(page); }
  void SetFillWidth(int width) override { widths.push_back(width); }
  void SetProgressRange(int min, int max) override { range_min = min, range_max = max; }
  void SetProgressPosition(int p) override { position = p; }
  void SetEstimateText(const std::string& text) override { estimates.push_back(text); }
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  std::vector<std::string> questions;  // the Retry/Cancel questions
  bool retry = false;                  // the answer to each
  bool AskRetry(const std::string& text) override {
    questions.push_back(text);
    return retry;
  }
  bool DesktopLinkChecked() override { return desktop_link; }
  void ProcessMessages() override { ++pumps; }
  void Sleep(unsigned ms) override {
    ++sleeps;
    tick += ms;
  }
  std::uint32_t TickCount() override { return ticks ? ticks() : tick; }
  int Page() const { return pages.empty() ? -1 : pages.back(); }
  bool folder_is_install_dir = false;
  bool FolderIsInstallDir() override { return folder_is_install_dir; }
};

struct MemorySystem : InstallRunSystem {
  std::set<std::string> dirs;
  std::function<bool(const std::string&)> can_make = [](const std::string&) { return true; };
  std::vector<std::string> manifest = {"Help.CHM", "Stampwell.exe", "Data\\SDL.dll", "Example\\Cute\\01.png"};
  int failing_entry = 0;
  std::map<std::string, int> files;
  std::vector<std::string> log;
  std::vector<std::string> steps;  // desktop, group, save, registry, commit, notify
  std::string throw_at;            // the step that raises
  bool intact = true;              // the payload's check
  int prepared_at_entry = -1;      // files written when the desktop shortcut was prepared

  bool PayloadIntact() override { return intact; }
  std::string ProductTitle() override { return "Quendra Stampwell"; }
  std::string personal = kPersonal;  // empty: the shell cannot name it in the code page
  std::string PersonalFolder() override { return personal; }
  bool DirectoryExists(const std::string& p) override { return dirs.count(WithTrailingBackslash(p)) > 0; }
  bool ForceDirectories(const std::string& p) override {
    if (!can_make(p)) return false;
    dirs.insert(WithTrailingBackslash(p));
    return true;
  }
  void MakeDirectory(const std::string& p) override {
    if (!ForceDirectories(p)) throw std::runtime_error("cannot make " + p);
  }
  // What the n-th look (from 1) finds in use; nothing when unset.
  std::function<FilesInUse(int)> in_use;
  int in_use_looks = 0;
  std::vector<std::string> looked_at;  // the files of the last look
  FilesInUse FindFilesInUse(const std::string&, const std::vector<std::string>& paths) override {
    looked_at = paths;
    ++in_use_looks;
    return in_use ? in_use(in_use_looks) : FilesInUse{};
  }
  std::optional<std::uint64_t> free_bytes;  // nothing: the drive cannot tell
  std::optional<std::uint64_t> FreeBytes(const std::string&) override { return free_bytes; }
  std::uint64_t PayloadSize(int n) override { return 10000u * static_cast<unsigned>(n); }

  // The journal: what the folders and files were when the run began, back on an undo.
  std::vector<std::string> journal;  // begin, undo, commit
  bool journal_fails = false;
  std::set<std::string> dirs_before;
  std::map<std::string, int> files_before;
  void BeginRun(const std::string&) override {
    if (journal_fails) throw std::runtime_error("Cannot create file \"C:\\j\". Access is denied");
    journal.push_back("begin");
    dirs_before = dirs;
    files_before = files;
  }
  void UndoRun() override {
    journal.push_back("undo");
    dirs = dirs_before;
    files = files_before;
  }
  void CommitRun() override {
    journal.push_back("commit");
    steps.push_back("commit");
  }
  int EntryCount() override { return static_cast<int>(manifest.size()); }
  std::string Entry(int n) override { return manifest.at(n - 1); }
  std::optional<InstallError> failure;  // what the failing entry raises; unset: an error without a cause
  void WritePayload(int n, const std::string& path) override {
    if (n == failing_entry && failure) throw *failure;
    if (n == failing_entry) throw std::runtime_error("in use");
    files[path] = n;
  }
  void ClearLog() override { log.clear(); }
  void AddLogLine(const std::string& line) override { log.push_back(line); }
  void Step(const std::string& name) {
    steps.push_back(name);
    if (name == throw_at) throw InstallError(name + " failed");
  }
  void PrepareDesktopLink() override { prepared_at_entry = static_cast<int>(files.size()); }
  void CreateDesktopLink(const std::string& title, const std::string& target) override {
    Step("desktop");
    log.push_back("desktop:" + title + ":" + target);
  }
  void StartMenuStep() override { Step("group"); }
  void SaveLog(const std::string& path) override { Step("save:" + path); }
  void WriteUninstallEntry() override { Step("registry"); }
  void NotifyAssociationsChanged() override { Step("notify"); }
};

struct InstallRunCourse : ::testing::Test {
  SetupSettings settings;
  RecordingUi ui;
  MemorySystem system;
  void SetUp() override { AssignSetupSettings(settings, true); }
};

TEST_F(InstallRunCourse, SuccessRunsEveryStepInOrder) {
  RunInstall(settings, ui, system);
  const std::string dir = "C:\\Program Files (x86)\\Quendra Soft\\Quendra Stampwell\\";
  EXPECT_EQ(settings.InstallDir, dir);
  EXPECT_EQ(ui.pages, (std::vector<int>{3, 4}));
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_TRUE(system.dirs.count(dir + "Data\\"));
  EXPECT_TRUE(system.dirs.count(dir + "Example\\User\\"));
  EXPECT_TRUE(system.dirs.count(dir + "Example\\Protection\\"));
  EXPECT_EQ(system.files.size(), 4u);
  EXPECT_EQ(system.log, (std::vector<std::string>{"Quendra Stampwell Uninstall", dir + "Help.CHM",
                                                  dir + "Stampwell.exe", dir + "Data\\SDL.dll",
                                                  dir + "Example\\Cute\\01.png", dir + "Uninstall.txt",
                                                  "desktop:Quendra Stampwell:" + dir + "Stampwell.exe"}));
  EXPECT_EQ(system.steps, (std::vector<std::string>{"desktop", "group", "save:" + dir + "Uninstall.txt", "registry",
                                                    "commit", "notify"}));
  // One pump and one pause per entry; the bar in step with the fill.
  EXPECT_EQ(ui.pumps, 4);
  EXPECT_EQ(ui.sleeps, 4);
  EXPECT_EQ(ui.range_min, 1);
  EXPECT_EQ(ui.range_max, 4);
  EXPECT_EQ(ui.position, 4);
  EXPECT_EQ(ui.widths, (std::vector<int>{0, 98, 196, 294, 392, 392}));
  EXPECT_EQ(ui.estimates.front(), "The installation process may take about 2 seconds");
  EXPECT_EQ(ui.estimates.back(), "The installation process may take about 1 seconds");
  EXPECT_EQ(settings.CurrentEntry, "Example\\Cute\\01.png");
  // Committed once every step is done: the shortcuts, the log and the entry are undone too.
  EXPECT_EQ(system.journal, (std::vector<std::string>{"begin", "commit"}));
}

TEST_F(InstallRunCourse, DesktopBoxClearedMakesNoDesktopLink) {
  ui.desktop_link = false;
  RunInstall(settings, ui, system);
  EXPECT_EQ(system.steps.front(), "group");
  EXPECT_EQ(ui.Page(), 4);
  EXPECT_EQ(system.prepared_at_entry, -1);  // nothing is asked for a shortcut that is not made
}

TEST_F(InstallRunCourse, TheDesktopShortcutIsPreparedBeforeTheFirstEntry) {
  RunInstall(settings, ui, system);
  EXPECT_EQ(system.prepared_at_entry, 0);
}

// A payload that fails its check: the message, the folder page, and nothing made or asked.
TEST_F(InstallRunCourse, DamagedPayloadIsRefusedBeforeAnythingIsMade) {
  system.intact = false;
  RunQuickInstall(settings, ui, system);
  EXPECT_EQ(ui.messages, std::vector<std::string>{kDamagedSetupMessage});
  EXPECT_EQ(ui.pages, (std::vector<int>{3, 2}));
  EXPECT_EQ(ui.folder, "C:\\Program Files (x86)\\Quendra Soft");
  EXPECT_TRUE(system.dirs.empty());
  EXPECT_TRUE(system.files.empty());
  EXPECT_TRUE(system.log.empty());
  EXPECT_TRUE(system.steps.empty());
  EXPECT_EQ(system.prepared_at_entry, -1);
  EXPECT_EQ(ui.pumps, 0);
}

TEST_F(InstallRunCourse, FolderThatCannotBeMadeStopsACustomInstallWithTheFallback) {
  system.can_make = [](const std::string& p) { return p.rfind(kPersonal, 0) == 0; };
  RunInstall(settings, ui, system);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0], kCreateFolderFailedMessage);
  EXPECT_EQ(ui.messages[0].substr(0, 22), "Create folder failed!\r");
  EXPECT_EQ(ui.pages, (std::vector<int>{2}));
  EXPECT_EQ(ui.folder, "C:\\users\\me\\Documents\\Quendra Soft");
  EXPECT_TRUE(system.dirs.empty());
  EXPECT_TRUE(system.log.empty());
  EXPECT_TRUE(system.steps.empty());

  // The second Install goes into the fallback folder the field now holds.
  RunInstall(settings, ui, system);
  EXPECT_EQ(settings.InstallDir, kFallbackDir);
  EXPECT_EQ(ui.Page(), 4);
  EXPECT_EQ(ui.messages.size(), 1u);
}

TEST_F(InstallRunCourse, QuickInstallFallsBackOnceAndSilently) {
  system.can_make = [](const std::string& p) { return p.rfind(kPersonal, 0) == 0; };
  RunQuickInstall(settings, ui, system);
  EXPECT_TRUE(ui.messages.empty());
  // Through the folder page on its way back to the progress page.
  EXPECT_EQ(ui.pages, (std::vector<int>{3, 2, 3, 4}));
  EXPECT_EQ(settings.InstallDir, kFallbackDir);
  EXPECT_FALSE(settings.QuickInstallMode);
}

TEST_F(InstallRunCourse, QuickInstallWhoseFallbackFailsTooShowsTheMessage) {
  system.can_make = [](const std::string&) { return false; };
  RunQuickInstall(settings, ui, system);
  EXPECT_EQ(ui.messages, (std::vector<std::string>{kCreateFolderFailedMessage}));
  EXPECT_EQ(ui.pages, (std::vector<int>{3, 2, 2}));
  EXPECT_EQ(ui.folder, "C:\\users\\me\\Documents\\Quendra Soft");
  EXPECT_FALSE(settings.QuickInstallMode);
  EXPECT_TRUE(system.steps.empty());
}

TEST_F(InstallRunCourse, EmptyOrRelativeFolderAsksForAFullPathAndMakesNothing) {
  for (const char* folder : {"", "Quendra Soft", "C:Quendra", "\\Quendra Soft"}) {
    RecordingUi fresh;
    fresh.folder = folder;
    RunInstall(settings, fresh, system);
    EXPECT_EQ(fresh.messages, (std::vector<std::string>{kFullFolderPathNeeded})) << folder;
    EXPECT_EQ(fresh.pages, (std::vector<int>{2})) << folder;
    EXPECT_EQ(fresh.folder, folder);  // the user's text stays for correcting
  }
  EXPECT_TRUE(system.dirs.empty());
  EXPECT_TRUE(system.steps.empty());
}

TEST_F(InstallRunCourse, FolderWithLettersBeyondTheCodePageIsRefusedByName) {
  // The folder field marks each such letter "?", which no file name holds.
  for (bool quick : {false, true}) {
    RecordingUi marked;
    marked.folder = "C:\\?\xf3" "d?";
    quick ? RunQuickInstall(settings, marked, system) : RunInstall(settings, marked, system);
    EXPECT_EQ(marked.messages, (std::vector<std::string>{kFolderBeyondCodePageMessage}));
    EXPECT_EQ(marked.Page(), 2);
    EXPECT_EQ(marked.folder, "C:\\?\xf3" "d?");
  }
  EXPECT_TRUE(system.dirs.empty());
  EXPECT_TRUE(system.steps.empty());
  EXPECT_EQ(system.in_use_looks, 0);
}

// The four entries take 10000, 20000, 30000 and 40000 bytes: 3, 5, 8 and 10 units of 4096
// bytes, 106496 bytes in all, and the room of the log and the journal, 393216 bytes, beside.
constexpr std::uint64_t kFourEntriesNeed = 106496 + 393216;

TEST_F(InstallRunCourse, DriveWithTooLittleRoomIsRefusedBeforeAnythingIsMade) {
  system.free_bytes = kFourEntriesNeed - 1;
  RunQuickInstall(settings, ui, system);
  EXPECT_EQ(ui.messages, (std::vector<std::string>{NotEnoughSpaceMessage("Quendra Stampwell", kFourEntriesNeed,
                                                                         kFourEntriesNeed - 1)}));
  EXPECT_EQ(ui.pages, (std::vector<int>{3, 2}));  // the folder page, to choose another folder
  EXPECT_EQ(ui.folder, "C:\\Program Files (x86)\\Quendra Soft");
  EXPECT_TRUE(system.dirs.empty());
  EXPECT_TRUE(system.files.empty());
  EXPECT_TRUE(system.steps.empty());

  // Exactly enough is enough; a drive that cannot tell is left to the writes.
  for (std::optional<std::uint64_t> free : {std::optional<std::uint64_t>(kFourEntriesNeed), std::optional<std::uint64_t>()}) {
    MemorySystem fresh;
    RecordingUi fresh_ui;
    fresh.free_bytes = free;
    RunInstall(settings, fresh_ui, fresh);
    EXPECT_EQ(fresh_ui.Page(), 4);
    EXPECT_TRUE(fresh_ui.messages.empty());
  }
}

TEST(SpaceNeeded, WholeUnitsOfEveryFileAndTheRoomOfLogAndJournal) {
  EXPECT_EQ(BytesNeeded({}), 393216u);
  EXPECT_EQ(BytesNeeded({0, 1, 4096, 4097}), 393216u + 0 + 4096 + 4096 + 8192);
  EXPECT_EQ(NotEnoughSpaceMessage("Quendra Stampwell", 28 * 1048576 + 524288, 3 * 1048576),
            "There is not enough free space on the drive of the installation folder.\r"
            "Quendra Stampwell needs 28.50 MB; the drive has 3.00 MB free.\r"
            "Please free some space on the drive, or choose another folder.");
}

TEST_F(InstallRunCourse, DataFolderThatCannotBeMadeIsCaseB) {
  settings.QuickInstallMode = true;
  system.can_make = [](const std::string& p) { return p.find("\\Data") == std::string::npos; };
  RunInstall(settings, ui, system);
  EXPECT_EQ(ui.messages, (std::vector<std::string>{kInstallationErrorMessage}));
  EXPECT_EQ(ui.pages, (std::vector<int>{3, 2}));
  EXPECT_EQ(ui.folder, "C:\\users\\me\\Documents\\Quendra Soft");
  EXPECT_TRUE(settings.QuickInstallMode);  // unchanged by this case
  EXPECT_TRUE(system.dirs.empty());  // the run's folders taken back
  EXPECT_TRUE(system.files.empty());
  EXPECT_TRUE(system.steps.empty());
  EXPECT_EQ(system.journal, (std::vector<std::string>{"begin", "undo"}));
}

TEST_F(InstallRunCourse, FailingEntryIsCaseCAndTakesBackEveryFileAndFolderOfTheRun) {
  const std::string dir = "C:\\Program Files (x86)\\Quendra Soft\\Quendra Stampwell\\";
  system.dirs.insert(dir);  // an earlier installation, with a file of the user's changed
  system.files[dir + "Help.CHM"] = -1;
  system.failing_entry = 3;
  RunInstall(settings, ui, system);
  EXPECT_EQ(ui.messages, (std::vector<std::string>{kInstallationErrorMessage}));
  EXPECT_EQ(ui.Page(), 2);
  EXPECT_EQ(system.dirs, std::set<std::string>{dir});
  EXPECT_EQ(system.files, (std::map<std::string, int>{{dir + "Help.CHM", -1}}));
  EXPECT_EQ(system.journal, (std::vector<std::string>{"begin", "undo"}));
  EXPECT_TRUE(system.steps.empty());  // no shortcut, no log file, no registry entry
  EXPECT_EQ(system.log.size(), 3u);   // the lines stay until the next run clears them
  EXPECT_EQ(settings.CurrentEntry, "Data\\SDL.dll");
}

// The installation error and its other folder are for the privilege case they describe;
// another cause is named, and the folder stays for another try.
TEST_F(InstallRunCourse, FailureOtherThanPrivilegesIsNamedAndKeepsTheFolder) {
  system.failing_entry = 3;
  system.failure = InstallError("Cannot write file \"X\". There is not enough space on the disk");
  RunQuickInstall(settings, ui, system);
  EXPECT_EQ(ui.messages, (std::vector<std::string>{"Cannot write file \"X\". There is not enough space on the disk\r" +
                                                   std::string(kRunTakenBackNote)}));
  EXPECT_EQ(ui.pages, (std::vector<int>{3, 3, 2}));
  EXPECT_EQ(ui.folder, "C:\\Program Files (x86)\\Quendra Soft");
  EXPECT_TRUE(system.files.empty());
  EXPECT_EQ(system.journal, (std::vector<std::string>{"begin", "undo"}));

  MemorySystem denied;
  denied.failing_entry = 3;
  denied.failure = InstallError("Cannot create file \"X\". Access is denied", FailureCause::kPrivileges);
  RecordingUi privileges;
  RunInstall(settings, privileges, denied);
  EXPECT_EQ(privileges.messages, (std::vector<std::string>{kInstallationErrorMessage}));
  EXPECT_EQ(privileges.folder, "C:\\users\\me\\Documents\\Quendra Soft");
}

TEST_F(InstallRunCourse, FolderWhoseFilesWouldPassThePathLimitMakesNothing) {
  // The deepest folder made, Example\Protection, may reach 247 characters.
  const std::string fits = "C:\\" + std::string(207, 'f');
  ui.folder = fits;
  RunInstall(settings, ui, system);
  EXPECT_EQ(settings.InstallDir.size() + std::string("Example\\Protection").size(), 247u);
  EXPECT_EQ(ui.Page(), 4);

  for (bool quick : {false, true}) {
    MemorySystem fresh;
    RecordingUi long_folder;
    long_folder.folder = fits + "g";
    quick ? RunQuickInstall(settings, long_folder, fresh) : RunInstall(settings, long_folder, fresh);
    EXPECT_EQ(long_folder.messages, (std::vector<std::string>{kPathTooLongMessage}));
    EXPECT_EQ(long_folder.Page(), 2);
    EXPECT_EQ(long_folder.folder, fits + "g");  // for the user to shorten
    EXPECT_TRUE(fresh.dirs.empty());
    EXPECT_TRUE(fresh.files.empty());
    EXPECT_TRUE(fresh.steps.empty());
  }
}

TEST_F(InstallRunCourse, WithoutAFallbackFolderTheFieldStaysAndTheUserIsTold) {
  system.personal = "";
  system.can_make = [](const std::string&) { return false; };
  RunQuickInstall(settings, ui, system);
  EXPECT_EQ(ui.messages, (std::vector<std::string>{kCreateFolderFailedMessage, kNoFallbackFolderMessage}));
  EXPECT_EQ(ui.pages, (std::vector<int>{3, 2}));
  EXPECT_EQ(ui.folder, "C:\\Program Files (x86)\\Quendra Soft");
  EXPECT_TRUE(system.dirs.empty());

  // A file that cannot be written: the installation error, then the same word instead of a fallback.
  MemorySystem failing;
  failing.personal = "";
  failing.failing_entry = 2;
  RecordingUi custom;
  RunInstall(settings, custom, failing);
  EXPECT_EQ(custom.messages, (std::vector<std::string>{kInstallationErrorMessage, kNoFallbackFolderMessage}));
  EXPECT_EQ(custom.Page(), 2);
  EXPECT_EQ(custom.folder, "C:\\Program Files (x86)\\Quendra Soft");
}

// An update that meets the product running: asked before anything is written, never sent to
// another folder.
struct InstallRunInUse : InstallRunCourse {
  const std::string dir = "C:\\Program Files (x86)\\Quendra Soft\\Quendra Stampwell\\";
  void SetUp() override {
    InstallRunCourse::SetUp();
    system.dirs.insert(dir);  // an earlier installation
  }
  static FilesInUse ProductRunning(const std::string& dir) {
    return FilesInUse{{dir + "Stampwell.exe"}, {dir + "Stampwell.exe"}, {}};
  }
};

TEST_F(InstallRunInUse, CancelWritesNothingAndReturnsToThePageTheRunCameFrom) {
  system.in_use = [this](int) { return ProductRunning(dir); };
  RunInstall(settings, ui, system);
  ASSERT_EQ(ui.questions.size(), 1u);
  EXPECT_EQ(ui.questions[0].rfind("Quendra Stampwell is running:\r    " + dir + "Stampwell.exe\r", 0), 0u)
      << ui.questions[0];
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(ui.pages, (std::vector<int>{2}));
  EXPECT_EQ(ui.folder, "C:\\Program Files (x86)\\Quendra Soft");
  EXPECT_EQ(system.dirs, std::set<std::string>{dir});
  EXPECT_TRUE(system.files.empty());
  EXPECT_TRUE(system.log.empty());
  EXPECT_TRUE(system.steps.empty());

  // Quick Install came from the choice page.
  RecordingUi quick;
  RunQuickInstall(settings, quick, system);
  EXPECT_EQ(quick.pages, (std::vector<int>{3, 0}));
  EXPECT_EQ(quick.questions.size(), 1u);
  EXPECT_TRUE(quick.messages.empty());
  EXPECT_TRUE(system.files.empty());
}

TEST_F(InstallRunInUse, RetryLooksAgainAndInstallsOnceNothingHoldsAFile) {
  system.in_use = [this](int look) { return look <= 2 ? ProductRunning(dir) : FilesInUse{}; };
  ui.retry = true;
  RunQuickInstall(settings, ui, system);
  EXPECT_EQ(ui.questions.size(), 2u);
  EXPECT_EQ(system.in_use_looks, 3);
  EXPECT_EQ(ui.pages, (std::vector<int>{3, 3, 4}));
  EXPECT_EQ(system.files.size(), 4u);
  // Every file that the run writes was looked at, the log among them.
  EXPECT_EQ(system.looked_at, (std::vector<std::string>{dir + "Uninstall.txt", dir + "Help.CHM", dir + "Stampwell.exe",
                                                        dir + "Data\\SDL.dll", dir + "Example\\Cute\\01.png"}));
}

TEST_F(InstallRunInUse, FileTakenDuringTheExtractionIsAskedAboutNotSentToTheDocumentsFolder) {
  // Free at the first look; the product starts while the run extracts.
  system.in_use = [this](int look) { return look == 1 ? FilesInUse{} : ProductRunning(dir); };
  system.failing_entry = 2;
  RunInstall(settings, ui, system);
  EXPECT_EQ(ui.questions.size(), 1u);
  EXPECT_TRUE(ui.messages.empty());  // not the installation error
  EXPECT_EQ(ui.Page(), 2);
  EXPECT_EQ(ui.folder, "C:\\Program Files (x86)\\Quendra Soft");
  EXPECT_TRUE(system.steps.empty());

  // Retry, once it is closed, runs again from the start and writes every entry.
  MemorySystem again;
  again.dirs.insert(dir);
  again.failing_entry = 2;
  again.in_use = [&](int look) {
    if (look != 2) return FilesInUse{};
    again.failing_entry = 0;  // closed while the question shows
    return ProductRunning(dir);
  };
  RecordingUi retrying;
  retrying.retry = true;
  RunInstall(settings, retrying, again);
  EXPECT_EQ(retrying.questions.size(), 1u);
  EXPECT_EQ(again.in_use_looks, 3);
  EXPECT_EQ(retrying.Page(), 4);
  EXPECT_EQ(again.files.size(), 4u);
}

TEST(FilesInUseMessage, NamesEachPathOnceCutsLongListsAndSaysWhoHoldsThem) {
  FilesInUse in_use;
  in_use.programs = {"C:\\Q\\Stampwell.exe"};
  in_use.files = {"C:\\Q\\STAMPWELL.EXE"};
  for (int i = 1; i <= 10; ++i) in_use.files.push_back("C:\\Q\\Data\\" + std::to_string(i) + ".dll");
  in_use.holders = {"Quendra Stampwell", "Viewer"};
  EXPECT_EQ(FilesInUseMessage("Quendra Stampwell", in_use),
            "Quendra Stampwell is running:\r"
            "    C:\\Q\\Stampwell.exe\r"
            "These files of Quendra Stampwell are in use:\r"
            "    C:\\Q\\Data\\1.dll\r    C:\\Q\\Data\\2.dll\r    C:\\Q\\Data\\3.dll\r    C:\\Q\\Data\\4.dll\r"
            "    C:\\Q\\Data\\5.dll\r    C:\\Q\\Data\\6.dll\r    C:\\Q\\Data\\7.dll\r    C:\\Q\\Data\\8.dll\r"
            "    and 2 more\r"
            "Used by: Quendra Stampwell, Viewer\r"
            "\rPlease close Quendra Stampwell, then click Retry.\r"
            "Cancel leaves the installed files as they are.");
  // Files held by another program only: that program is to be closed.
  FilesInUse held;
  held.files = {"C:\\Q\\Help.CHM"};
  const std::string text = FilesInUseMessage("Quendra Stampwell", held);
  EXPECT_EQ(text.rfind("These files of Quendra Stampwell are in use:\r    C:\\Q\\Help.CHM\r\r", 0), 0u) << text;
  EXPECT_NE(text.find("Please close the programs that use them"), std::string::npos);
}

// The journal cannot be written beside the folder: nothing is made, and the course is the one
// of a folder that cannot be made, with the cause told.
TEST_F(InstallRunCourse, JournalThatCannotBeWrittenStopsTheRunBeforeItsFirstWrite) {
  system.journal_fails = true;
  RunInstall(settings, ui, system);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0], std::string(kJournalFailedMessage) + "Cannot create file \"C:\\j\". Access is denied");
  EXPECT_EQ(ui.pages, (std::vector<int>{2}));
  EXPECT_EQ(ui.folder, "C:\\users\\me\\Documents\\Quendra Soft");
  EXPECT_TRUE(system.dirs.empty());
  EXPECT_TRUE(system.journal.empty());

  // Quick Install falls back silently, as for a folder that cannot be made; the fallback's
  // journal fails as well here, and then the user hears why.
  RecordingUi quick;
  RunQuickInstall(settings, quick, system);
  EXPECT_EQ(quick.messages.size(), 1u);
  EXPECT_EQ(quick.pages, (std::vector<int>{3, 2, 2}));
  EXPECT_TRUE(system.dirs.empty());
}

TEST_F(InstallRunCourse, InstallationErrorMessageHasEightLinesTheFifthEmpty) {
  std::vector<std::string> lines;
  std::string text = kInstallationErrorMessage;
  for (std::size_t start = 0;;) {
    std::size_t cr = text.find('\r', start);
    lines.push_back(text.substr(start, cr - start));
    if (cr == std::string::npos) break;
    start = cr + 1;
  }
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[4], "");
  EXPECT_EQ(lines[7], "privileges (right click and select Run as administrator).");
  EXPECT_EQ(text.find('\n'), std::string::npos);
}

// A shortcut, the log or a registry value that fails takes the whole run back, its files
// included, and names its cause; no later step runs.
TEST_F(InstallRunCourse, AFailureAfterTheExtractionTakesTheWholeRunBack) {
  struct Case {
    const char* step;
    std::vector<std::string> reached;
  };
  const std::string save = "save:C:\\Program Files (x86)\\Quendra Soft\\Quendra Stampwell\\Uninstall.txt";
  for (const Case& c : {Case{"desktop", {"desktop"}}, Case{"group", {"desktop", "group"}},
                        Case{"save", {"desktop", "group", save}},
                        Case{"registry", {"desktop", "group", save, "registry"}}}) {
    MemorySystem fresh;
    RecordingUi fresh_ui;
    fresh.files = {{"C:\\users\\notes.txt", 7}};
    fresh.throw_at = c.step == std::string("save") ? save : c.step;
    RunInstall(settings, fresh_ui, fresh);
    EXPECT_EQ(fresh.steps, c.reached) << c.step;
    EXPECT_EQ(fresh.journal, (std::vector<std::string>{"begin", "undo"})) << c.step;
    EXPECT_EQ(fresh.files, (std::map<std::string, int>{{"C:\\users\\notes.txt", 7}})) << c.step;
    EXPECT_EQ(fresh_ui.messages, std::vector<std::string>{fresh.throw_at + " failed\r" + kRunTakenBackNote}) << c.step;
    EXPECT_EQ(fresh_ui.Page(), 2) << c.step;
  }
}

TEST_F(InstallRunCourse, EmptyManifestStillLogsAndFinishes) {
  system.manifest.clear();
  RunInstall(settings, ui, system);
  ASSERT_EQ(system.log.size(), 3u);
  EXPECT_EQ(system.log[1], settings.InstallDir + "Uninstall.txt");
  EXPECT_EQ(ui.widths, (std::vector<int>{0, 392}));
  EXPECT_EQ(ui.estimates, (std::vector<std::string>{"The installation process may take about 2 seconds"}));
  EXPECT_EQ(ui.pumps, 0);
  EXPECT_EQ(ui.Page(), 4);
}

TEST_F(InstallRunCourse, EstimateFromAWrappingTickSourceFallsToOne) {
  system.manifest.assign(50, "Help.CHM");
  // Starts just below 2^32 and advances irregularly, so the count wraps mid-run.
  std::uint32_t now = 0xFFFFFF00u;
  int call = 0;
  ui.ticks = [&] { return now += (++call % 3 == 0 ? 7 : 3); };
  RunInstall(settings, ui, system);
  ASSERT_EQ(ui.estimates.size(), 51u);
  int previous = 60;
  for (std::size_t i = 1; i < ui.estimates.size(); ++i) {
    std::string digits = ui.estimates[i].substr(40);
    int seconds = std::stoi(digits);
    EXPECT_LE(seconds, previous) << i;
    EXPECT_GE(seconds, 1);
    previous = seconds;
  }
  EXPECT_EQ(ui.estimates.back(), "The installation process may take about 1 seconds");
  EXPECT_LT(now, 0x1000u);  // the source really wrapped
}

// An unattended run's /DIR names the installation directory itself: no product subfolder,
// and with no quick mode a folder that cannot be made ends the run without a fallback.
TEST_F(InstallRunCourse, AFolderThatIsTheInstallDirGetsNoSubfolder) {
  ui.folder_is_install_dir = true;
  for (const char* folder : {"D:\\Apps\\Stampwell", "D:\\Apps\\Stampwell\\\\"}) {
    ui.folder = folder;
    RunInstall(settings, ui, system);
    EXPECT_EQ(settings.InstallDir, "D:\\Apps\\Stampwell\\") << folder;
    EXPECT_EQ(ui.Page(), 4);
    EXPECT_TRUE(system.files.count("D:\\Apps\\Stampwell\\Stampwell.exe"));
  }
  ui.folder = "E:\\";
  RunInstall(settings, ui, system);
  EXPECT_EQ(settings.InstallDir, "E:\\");
  EXPECT_TRUE(system.files.count("E:\\Data\\SDL.dll"));

  system.can_make = [](const std::string& p) { return p.rfind("F:", 0) != 0; };
  ui.messages.clear();
  ui.folder = "F:\\Locked";
  RunInstall(settings, ui, system);
  EXPECT_EQ(ui.Page(), 2);
  EXPECT_EQ(ui.messages, std::vector<std::string>{kCreateFolderFailedMessage});
  EXPECT_EQ(ui.folder, std::string(kPersonal) + "\\Quendra Soft");  // offered, never used
}

// The run log's side of a run: each step with its outcome, a failure with the error's text
// (and still passed on), and what was made, parents of a folder included, in order.
TEST_F(InstallRunCourse, ALoggedRunTellsEachStepAndRemembersWhatItMade) {
  system.dirs = {"C:\\"};
  system.manifest = {"Help.CHM", "Data\\SDL.dll"};
  ui.folder = "C:\\Apps";
  std::vector<std::string> lines;
  LoggedInstallSystem logged(system, [&](const std::string& line) { lines.push_back(line); });
  RunInstall(settings, ui, logged);
  ASSERT_EQ(ui.Page(), 4);
  const std::string dir = "C:\\Apps\\Quendra Stampwell\\";
  const std::vector<std::string> first = {"Payload check: every file is as the build stored it",
                                          "Journal beside C:\\Apps\\Quendra Stampwell: begun",
                                          "Folder C:\\Apps\\Quendra Stampwell: made",
                                          "Folder " + dir + "Data: made"};
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 4), first);
  const std::vector<std::string> last = {"File " + dir + "Help.CHM: written",
                                         "File " + dir + "Data\\SDL.dll: written",
                                         "Desktop shortcut to " + dir + "Stampwell.exe: done",
                                         "Folder lines and Start Menu group: done",
                                         "Uninstall log " + dir + "Uninstall.txt: saved",
                                         "Uninstall entry: written",
                                         "Every step done: the replaced files and the journal removed"};
  EXPECT_EQ(std::vector<std::string>(lines.end() - 7, lines.end()), last);
  EXPECT_EQ(logged.FilesWritten(), 2);
  ASSERT_GE(logged.Made().size(), 5u);
  EXPECT_EQ(logged.Made()[0].path, "C:\\Apps");  // the parent that the first folder needed
  EXPECT_EQ(logged.Made()[1].path, "C:\\Apps\\Quendra Stampwell");
  EXPECT_EQ(logged.Made()[2].path, dir + "Data");
  EXPECT_TRUE(logged.Made()[2].folder);
  EXPECT_EQ(logged.Made().back().path, dir + "Data\\SDL.dll");
  EXPECT_FALSE(logged.Made().back().folder);

  lines.clear();
  system.throw_at = "registry";
  RunInstall(settings, ui, logged);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 2], "Uninstall entry: failed: registry failed");
  system.throw_at.clear();
  system.failing_entry = 2;
  lines.clear();
  RunInstall(settings, ui, logged);
  EXPECT_EQ(ui.Page(), 2);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 2], "File " + dir + "Data\\SDL.dll: failed: in use");
  EXPECT_EQ(lines.back(), "Everything the run made, replaced or set taken back: the machine is as it was before");
}

}  // namespace
}  // namespace stampwell
