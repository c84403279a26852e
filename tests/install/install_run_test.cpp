// Whole install runs under Wine with the demo payload, each into a fresh temporary folder:
// the files, the uninstall log, the shortcuts and the registry entry that every outcome
// leaves behind.
#include <gtest/gtest.h>

#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "framework/unique_handle.h"
#include "install/directories.h"
#include "install/install_layout.h"
#include "install/install_run.h"
#include "install/install_system.h"
#include "install/payload_store.h"
#include "install/shell_link.h"
#include "install/start_menu_step.h"
#include "setup/setup_settings.h"
#include "setup/system_queries.h"
#include "tests/install/install_run_fixture.h"
#include "tests/install/install_test_support.h"
#include "tests/install/win32_test_support.h"

namespace stampwell {
namespace {

using testing::Exists;
using testing::LinkInfo;
using testing::ReadEntryValue;
using testing::ReadLink;
using testing::ReadWholeFile;

class InstallRun : public testing::InstallRunFixture {
 protected:
  InstallRun() : InstallRunFixture("install-run") {}
  void TearDown() override {
    seams::CreateShellLink = seams::CreateShellLinkObject;
    InstallRunFixture::TearDown();
  }

  std::vector<std::string> SavedLog() {
    std::vector<std::string> lines;
    EXPECT_TRUE(testing::SplitCrLfLines(ReadWholeFile(settings.InstallDir + "Uninstall.txt"), lines));
    return lines;
  }
  // The file lines: the title, one line per entry, the log itself.
  std::vector<std::string> FileLines(const std::string& dir) {
    std::vector<std::string> lines{"Quendra Stampwell Uninstall"};
    for (const std::string& entry : ProgramPayload().Manifest()) lines.push_back(dir + entry);
    lines.push_back(dir + "Uninstall.txt");
    return lines;
  }
  void ExpectNoEntry() {
    std::string data;
    EXPECT_FALSE(ReadEntryValue("DisplayName", data));
  }

};

TEST_F(InstallRun, QuickInstallMakesTheWholeInstallation) {
  Install(/*quick=*/true);
  const std::string dir = scratch.path() + "Quendra Soft\\Quendra Stampwell\\";
  ASSERT_EQ(settings.InstallDir, dir);
  // Quick Install shows the progress page itself, and the run shows it again.
  EXPECT_EQ(window.pages, (std::vector<int>{3, 3, 4}));
  EXPECT_TRUE(window.messages.empty());
  EXPECT_EQ(window.width, 392);
  EXPECT_EQ(window.estimate, "The installation process may take about 1 seconds");
  EXPECT_EQ(window.position, 228);

  // Every file byte for byte as the payload folder holds it.
  const std::string source = PayloadFolder();
  ASSERT_FALSE(source.empty()) << "STAMPWELL_PAYLOAD_FOLDER is not set";
  const auto& manifest = ProgramPayload().Manifest();
  ASSERT_EQ(manifest.size(), 228u);
  for (const std::string& entry : manifest) {
    std::string installed = ReadWholeFile(dir + entry);
    EXPECT_TRUE(Exists(dir + entry)) << entry;
    EXPECT_EQ(installed, ReadWholeFile(source + entry)) << entry;
  }
  EXPECT_TRUE(DirectoryExists(dir + "Example\\User"));

  // The log: 250 lines in their order.
  std::vector<std::string> expected = FileLines(dir);
  expected.push_back(testing::DesktopLinkFile());
  for (const std::string& line : InstallFolderLogLines(dir)) expected.push_back(line);
  const std::string group = testing::StartMenuGroupFolder();
  for (const char* name : {"\\Quendra Stampwell.lnk", "\\Buy Quendra Stampwell on online.lnk", "\\Help.lnk",
                           "\\Uninstall.lnk", "\\Quendra Stampwell on the web.lnk"})
    expected.push_back(group + name);
  expected.push_back("<SDIR>" + group);
  ASSERT_EQ(expected.size(), 250u);
  EXPECT_EQ(SavedLog(), expected);
  EXPECT_EQ(log.Lines(), expected);

  // The desktop shortcut, read back.
  LinkInfo desktop = ReadLink(testing::DesktopLinkFile());
  ASSERT_TRUE(desktop.loaded);
  EXPECT_EQ(desktop.path, dir + "Stampwell.exe");
  EXPECT_EQ(desktop.working_directory, dir);
  EXPECT_EQ(desktop.description, "Quendra Stampwell");
  EXPECT_EQ(desktop.icon, dir + "Stampwell.exe");
  EXPECT_EQ(desktop.icon_index, 0);

  // The group's shortcuts to files; the two web addresses Wine stores as relative paths, so
  // only their files are checked there.
  struct Expected {
    const char* link;
    std::string target;
  };
  for (const Expected& e : {Expected{"\\Uninstall.lnk", dir + "unin00000.exe"}, Expected{"\\Help.lnk", dir + "Help.CHM"},
                            Expected{"\\Quendra Stampwell.lnk", dir + "Stampwell.exe"}}) {
    LinkInfo link = ReadLink(group + e.link);
    ASSERT_TRUE(link.loaded) << e.link;
    EXPECT_EQ(link.path, e.target) << e.link;
    EXPECT_EQ(link.working_directory, dir) << e.link;
    EXPECT_EQ(link.arguments, "") << e.link;
    EXPECT_EQ(link.description, "") << e.link;
  }
  EXPECT_TRUE(ReadLink(group + "\\Quendra Stampwell on the web.lnk").loaded);
  EXPECT_TRUE(ReadLink(group + "\\Buy Quendra Stampwell on online.lnk").loaded);

  // The registry entry's eight values.
  struct Value {
    const char* name;
    std::string data;
  };
  for (const Value& v : {Value{"DisplayName", "Quendra Stampwell"}, Value{"UninstallString", "\"" + dir + "unin00000.exe\""},
                         Value{"DisplayIcon", dir + "Stampwell.exe"}, Value{"InstallLocation", dir},
                         Value{"Publisher", "Quendra Soft"}, Value{"URLInfoAbout", kHomePageUrl},
                         Value{"HelpLink", kHomePageUrl}, Value{"URLUpdateInfo", kHomePageUrl}}) {
    std::string data;
    EXPECT_TRUE(ReadEntryValue(v.name, data)) << v.name;
    EXPECT_EQ(data, v.data) << v.name;
  }
}

TEST_F(InstallRun, BothShortcutBoxesClearedMakeNoShortcut) {
  window.desktop_link = false;
  start_menu = false;
  Install();
  const std::string dir = settings.InstallDir;
  std::vector<std::string> expected = FileLines(dir);
  for (const std::string& line : InstallFolderLogLines(dir)) expected.push_back(line);
  EXPECT_EQ(SavedLog(), expected);
  EXPECT_FALSE(Exists(testing::DesktopLinkFile()));
  EXPECT_FALSE(Exists(testing::StartMenuGroupFolder()));
  EXPECT_EQ(window.Page(), 4);
}

TEST_F(InstallRun, StartMenuFolderThatCannotBeMadeCostsOnlyTheGroup) {
  // A file where the publisher's folder of the Start Menu would go.
  testing::WriteWholeFile(GetProgramsFolder() + kPublisherName, "in the way");
  window.desktop_link = false;
  Install();
  EXPECT_EQ(window.messages, (std::vector<std::string>{kStartMenuFolderFailedMessage}));
  std::vector<std::string> lines = SavedLog();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "<SDIR>" + settings.InstallDir);
  std::string data;
  EXPECT_TRUE(ReadEntryValue("DisplayName", data));
  EXPECT_EQ(window.Page(), 4);
}

TEST_F(InstallRun, FolderBelowAFileFallsBackToTheDocumentsFolder) {
  testing::WriteWholeFile(scratch.path() + "a file", "x");
  window.folder = scratch.path() + "a file\\Quendra Soft";
  Install();
  const std::string fallback = GetSpecialFolderPath(CSIDL_PERSONAL) + "\\Quendra Soft";
  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_EQ(window.messages[0].rfind("Create folder failed!\r", 0), 0u);
  EXPECT_EQ(window.pages, (std::vector<int>{2}));
  EXPECT_EQ(window.folder, fallback);
  EXPECT_FALSE(Exists(fallback));
  ExpectNoEntry();

  // A second Install installs into the folder the field now holds.
  Install();
  EXPECT_EQ(settings.InstallDir, fallback + "\\Quendra Stampwell\\");
  EXPECT_TRUE(Exists(settings.InstallDir + "Uninstall.txt"));
  EXPECT_EQ(window.Page(), 4);
}

TEST_F(InstallRun, QuickInstallFallsBackSilently) {
  testing::WriteWholeFile(scratch.path() + "a file", "x");
  window.folder = scratch.path() + "a file";
  Install(/*quick=*/true);
  EXPECT_TRUE(window.messages.empty());
  EXPECT_EQ(window.pages, (std::vector<int>{3, 2, 3, 4}));
  EXPECT_EQ(settings.InstallDir, GetSpecialFolderPath(CSIDL_PERSONAL) + "\\Quendra Soft\\Quendra Stampwell\\");
  EXPECT_TRUE(Exists(settings.InstallDir + "Uninstall.txt"));
  EXPECT_FALSE(settings.QuickInstallMode);
}

TEST_F(InstallRun, PayloadFileHeldOpenIsAskedAboutBeforeAnyFileIsWritten) {
  const std::string dir = scratch.path() + "Quendra Soft\\Quendra Stampwell\\";
  ASSERT_TRUE(ForceDirectories(dir + "Data"));
  const auto& manifest = ProgramPayload().Manifest();
  const int held = 13;  // a library of "Data", as a running product holds it
  unique_file open(CreateFileA((dir + manifest[held - 1]).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(open);
  Install();  // Cancel
  open.reset();
  ASSERT_EQ(window.questions.size(), 1u);
  EXPECT_NE(window.questions[0].find(dir + manifest[held - 1]), std::string::npos) << window.questions[0];
  // Neither the installation error nor the documents folder: the cause is the holder.
  EXPECT_TRUE(window.messages.empty());
  EXPECT_EQ(window.pages, (std::vector<int>{2}));
  EXPECT_EQ(window.folder, scratch.path() + "Quendra Soft");
  for (int n = 1; n <= static_cast<int>(manifest.size()); ++n) {
    if (n == held) continue;
    EXPECT_FALSE(Exists(dir + manifest[n - 1])) << manifest[n - 1];
  }
  EXPECT_FALSE(Exists(dir + "Uninstall.txt"));
  EXPECT_FALSE(Exists(testing::DesktopLinkFile()));
  EXPECT_FALSE(Exists(testing::StartMenuGroupFolder()));
  ExpectNoEntry();
}

TEST_F(InstallRun, DriveRootAndTrailingBackslashGiveNoDoubleBackslash) {
  window.desktop_link = false;
  start_menu = false;
  window.folder = scratch.path();  // ends in a backslash
  Install();
  EXPECT_EQ(settings.InstallDir, scratch.path() + "Quendra Stampwell\\");
  EXPECT_EQ(SavedLog().back(), "<SDIR>" + scratch.path() + "Quendra Stampwell\\");

  window.folder = "C:\\";
  Install();
  EXPECT_EQ(settings.InstallDir, "C:\\Quendra Stampwell\\");
  std::vector<std::string> lines = SavedLog();
  testing::RemoveTree("C:\\Quendra Stampwell");
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[1], "C:\\Quendra Stampwell\\Help.CHM");
  EXPECT_EQ(lines.back(), "<SDIR>C:\\Quendra Stampwell\\");
  for (const std::string& line : lines) EXPECT_EQ(line.find("\\\\"), std::string::npos) << line;
}

TEST_F(InstallRun, RelativeFolderMakesNothing) {
  window.folder = "Quendra Soft";
  Install();
  EXPECT_EQ(window.messages.size(), 1u);
  EXPECT_EQ(window.pages, (std::vector<int>{2}));
  EXPECT_FALSE(Exists("Quendra Soft"));
  ExpectNoEntry();
}

}  // namespace
}  // namespace stampwell
