// An installation made the way the install run makes it, then removed by the demo uninstaller
// that it carries: everything listed goes, nothing else is touched, the entry goes.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "framework/unique_handle.h"
#include "install/install_log.h"
#include "install/payload_store.h"
#include "install/uninstall_entry.h"
#include "setup/setup_settings.h"
#include "tests/install/win32_test_support.h"

namespace stampwell {
namespace {

using testing::Exists;
using testing::ScratchFolder;
using testing::WriteWholeFile;

const char* const kCategories[] = {"Example\\Animated", "Example\\Business", "Example\\Cute",  "Example\\Digital",
                                   "Example\\Feature",  "Example\\Festival", "Example\\Icon",  "Example\\Life",
                                   "Example\\Love",     "Example\\User",     "Example\\Protection"};
const char* const kListedFolders[] = {"Example\\Animated", "Example\\Business", "Example\\Cute",
                                      "Example\\Digital",  "Example\\Feature",  "Example\\Festival",
                                      "Example\\Icon",     "Example\\Life",     "Example\\Love",
                                      "Example\\Protection", "Example",         "Data"};

bool KeyExists(const char* path) {
  unique_hkey key;
  return RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

// Starts a program in `directory`; an empty handle when it can't be started.
unique_handle StartProgram(const std::string& program, const std::string& arguments, const std::string& directory) {
  std::string command = "\"" + program + "\"" + (arguments.empty() ? "" : " " + arguments);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, directory.c_str(), &startup,
                      &info))
    return unique_handle();
  unique_handle thread(info.hThread);
  return unique_handle(info.hProcess);
}

// Runs a program and returns its exit code, or -1 when it can't be started or hangs.
DWORD RunProgram(const std::string& program, const std::string& arguments, const std::string& directory) {
  unique_handle process = StartProgram(program, arguments, directory);
  if (!process) return static_cast<DWORD>(-1);
  if (WaitForSingleObject(process.get(), 60000) != WAIT_OBJECT_0) return static_cast<DWORD>(-1);
  DWORD code = 0;
  GetExitCodeProcess(process.get(), &code);
  return code;
}

// Runs the uninstaller without /quiet and answers its boxes as a user would: Yes to its
// question, OK to its report. Returns the exit code (-1 when it hangs) and the boxes' texts.
DWORD RunAnswering(const std::string& program, const std::string& directory, std::vector<std::string>& texts) {
  unique_handle process = StartProgram(program, "", directory);
  if (!process) return static_cast<DWORD>(-1);
  for (int i = 0; i < 600 && WaitForSingleObject(process.get(), 100) == WAIT_TIMEOUT; ++i) {
    HWND box = FindWindowA("#32770", "Quendra Stampwell Uninstall");
    if (!box) continue;
    char text[8192] = {};
    // The message box's text control; empty while the box is still being made or going.
    if (!GetDlgItemTextA(box, 0xFFFF, text, sizeof text)) continue;
    if (texts.empty() || texts.back() != text) texts.push_back(text);
    PostMessageA(box, WM_COMMAND, GetDlgItem(box, IDYES) ? IDYES : IDOK, 0);
    Sleep(300);
  }
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0) GetExitCodeProcess(process.get(), &code);
  return code;
}

bool WaitUntilGone(const std::string& path) {
  for (int i = 0; i < 200 && Exists(path); ++i) Sleep(100);
  return !Exists(path);
}

class UninstallerRoundTrip : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* kind = std::getenv("STAMPWELL_PAYLOAD_KIND");
    if (!kind || std::string(kind) != "demo") GTEST_SKIP() << "the setup program carries no demo uninstaller";
    RegDeleteKeyA(HKEY_CURRENT_USER, kUninstallKeyPath);
    parent_ = root_.path() + "Quendra Soft\\";
    install_dir_ = parent_ + "Quendra Stampwell\\";
    group_ = root_.path() + "Programs\\Quendra Soft\\Quendra Stampwell";
  }
  void TearDown() override {
    RegDeleteKeyA(HKEY_CURRENT_USER, kUninstallKeyPath);
    RemoveRemovalCopies();
  }

  // The uninstaller's copy in the temporary folder can only go once it has ended; on Windows
  // it goes at the next start.
  static void RemoveRemovalCopies() {
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(sizeof temp, temp);
    WIN32_FIND_DATAA found{};
    unique_find search(FindFirstFileA((std::string(temp) + "unin00000-*.exe").c_str(), &found));
    if (!search) return;
    do {
      std::string copy = std::string(temp) + found.cFileName;
      for (int i = 0; i < 50 && !DeleteFileA(copy.c_str()); ++i) Sleep(100);
    } while (FindNextFileA(search.get(), &found));
  }

  // What the install run and the shortcut step leave behind, with the log that lists it.
  void Install(bool make_user_folder, bool add_relative_line = false) {
    MakeFolders(install_dir_);
    CreateDirectoryA((install_dir_ + "Data").c_str(), nullptr);
    for (const char* category : kCategories)
      if (make_user_folder || std::string(category) != "Example\\User") MakeFolders(install_dir_ + category);

    unique_hmodule setup(
        LoadLibraryExA(testing::BuildTreePath("StampwellSetup.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(setup);
    PayloadStore payload = PayloadStore::FromModule(setup.get());
    log_.Clear();
    log_.Add(kUninstallTitle);
    for (int n = 1; n <= payload.EntryCount(); ++n) {
      payload.WriteToFile(n, install_dir_ + payload.Entry(n));
      log_.Add(install_dir_ + payload.Entry(n));
      files_.push_back(install_dir_ + payload.Entry(n));
    }
    // The licence text of the demo payload keeps CR LF line ends, whatever the checkout has.
    std::string licence = testing::ReadWholeFile(install_dir_ + "Updata.dat");
    EXPECT_EQ(licence.rfind("END USER LICENSE AGREEMENT\r\n\r\n", 0), 0u);
    for (std::size_t i = 0; i < licence.size(); ++i)
      if (licence[i] == '\n') {
        ASSERT_TRUE(i > 0 && licence[i - 1] == '\r') << "bare LF at " << i;
      }

    log_.Add(install_dir_ + kUninstallLogName);
    files_.push_back(install_dir_ + kUninstallLogName);

    MakeFolders(root_.path() + "Desktop");
    std::string desktop_link = root_.path() + "Desktop\\Quendra Stampwell.lnk";
    WriteWholeFile(desktop_link, "link");
    log_.Add(desktop_link);
    files_.push_back(desktop_link);

    for (const char* folder : kListedFolders) log_.Add(std::string(kFolderMarker) + install_dir_ + folder);
    log_.Add(std::string(kTopFolderMarker) + install_dir_);
    MakeFolders(group_);
    for (const char* link : {"\\Quendra Stampwell.lnk", "\\Buy Quendra Stampwell on online.lnk", "\\Help.lnk",
                             "\\Uninstall.lnk", "\\Quendra Stampwell on the web.lnk"}) {
      WriteWholeFile(group_ + link, "link");
      log_.Add(group_ + link);
      files_.push_back(group_ + link);
    }
    log_.Add(std::string(kTopFolderMarker) + group_);
    // A relative line: the uninstaller runs in the folder where it would find this file.
    if (add_relative_line) log_.Add("notes.txt");
    log_.SaveToFile(install_dir_ + kUninstallLogName);

    WriteUninstallEntry(kUninstallKeyPath, UninstallEntryValues({kProductName, install_dir_, kMainExeName,
                                                                 kPublisherName, kHomePageUrl, "3.3.0.0", 1024}));
    ASSERT_TRUE(KeyExists(kUninstallKeyPath));
  }

  void MakeFolders(const std::string& path) {
    std::string partial;
    for (char c : path + "\\") {
      if (c == '\\' && !partial.empty() && partial.back() != ':') CreateDirectoryA(partial.c_str(), nullptr);
      partial += c;
    }
  }

  std::vector<std::string> Unlisted() {
    return {parent_ + "notes.txt", root_.path() + "Desktop\\other.lnk", root_.path() + "Programs\\Quendra Soft\\x.lnk"};
  }

  DWORD Uninstall() { return RunProgram(install_dir_ + "unin00000.exe", "/quiet", parent_); }

  ScratchFolder root_{"uninstaller_round_trip"};
  std::string parent_, install_dir_, group_;
  TInstallLog log_;
  std::vector<std::string> files_;
};

TEST_F(UninstallerRoundTrip, RemovesEverythingListedAndItself) {
  // The install run makes "Example\User" and never lists it.
  Install(/*make_user_folder=*/true);
  for (const auto& path : Unlisted()) WriteWholeFile(path, "mine");

  EXPECT_EQ(Uninstall(), 0u);
  // The uninstaller's own file and the folder that held it go once it has ended.
  EXPECT_TRUE(WaitUntilGone(install_dir_ + "unin00000.exe"));
  EXPECT_TRUE(WaitUntilGone(install_dir_));
  for (const auto& file : files_) EXPECT_FALSE(Exists(file)) << file;
  EXPECT_FALSE(Exists(group_));
  EXPECT_FALSE(KeyExists(kUninstallKeyPath));
  // The parents of the two top folders, and whatever the log does not list, stay.
  EXPECT_TRUE(Exists(parent_));
  EXPECT_TRUE(Exists(root_.path() + "Programs\\Quendra Soft"));
  for (const auto& path : Unlisted()) EXPECT_EQ(testing::ReadWholeFile(path), "mine") << path;
}

TEST_F(UninstallerRoundTrip, LeavesFoldersThatHoldUnlistedFilesRefusesRelativeLinesAndSaysSo) {
  Install(/*make_user_folder=*/true, /*add_relative_line=*/true);
  std::string mine = install_dir_ + "Example\\User\\mine.png";
  WriteWholeFile(mine, "mine");
  WriteWholeFile(parent_ + "notes.txt", "mine");

  EXPECT_EQ(Uninstall(), 2u);  // something could not be removed
  EXPECT_TRUE(WaitUntilGone(install_dir_ + "unin00000.exe"));
  for (const auto& file : files_) EXPECT_FALSE(Exists(file)) << file;
  for (const char* folder : kListedFolders)
    if (std::string(folder) != "Example") {
      EXPECT_FALSE(Exists(install_dir_ + folder)) << folder;
    }
  EXPECT_EQ(testing::ReadWholeFile(mine), "mine");
  EXPECT_EQ(testing::ReadWholeFile(parent_ + "notes.txt"), "mine");  // never a relative path
  EXPECT_TRUE(Exists(install_dir_ + "Example"));
  EXPECT_FALSE(Exists(group_));
  EXPECT_FALSE(KeyExists(kUninstallKeyPath));
}

TEST_F(UninstallerRoundTrip, ReportsTheFoldersThatAUsersFileKeeps) {
  Install(/*make_user_folder=*/true);
  std::string mine = install_dir_ + "Example\\User\\mine.png";
  WriteWholeFile(mine, "mine");

  std::vector<std::string> boxes;
  EXPECT_EQ(RunAnswering(install_dir_ + "unin00000.exe", parent_, boxes), 2u);
  EXPECT_TRUE(WaitUntilGone(install_dir_ + "unin00000.exe"));
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0], "Do you want to remove Quendra Stampwell and all of its components?");
  const std::string kept = ": kept, because it holds files that were not installed with the program";
  for (const std::string& folder : {install_dir_ + "Example\\User", install_dir_ + "Example",
                                    install_dir_.substr(0, install_dir_.size() - 1)})
    EXPECT_NE(boxes[1].find(folder + kept), std::string::npos) << folder << " in\n" << boxes[1];
  EXPECT_EQ(testing::ReadWholeFile(mine), "mine");
  for (const auto& file : files_) EXPECT_FALSE(Exists(file)) << file;
  // The empty folders beside it went.
  EXPECT_FALSE(Exists(install_dir_ + "Example\\Cute"));
  EXPECT_FALSE(Exists(install_dir_ + "Data"));
}

TEST_F(UninstallerRoundTrip, RefusesALogOfAnotherProductAndRemovesNothing) {
  Install(/*make_user_folder=*/false);
  TInstallLog other;
  other.Add("Another Product Uninstall");
  for (const auto& file : files_) other.Add(file);
  other.SaveToFile(install_dir_ + kUninstallLogName);

  EXPECT_EQ(Uninstall(), 1u);
  for (const auto& file : files_) EXPECT_TRUE(Exists(file)) << file;
  EXPECT_TRUE(KeyExists(kUninstallKeyPath));
}

}  // namespace
}  // namespace stampwell
