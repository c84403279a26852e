// Shell links, the desktop shortcut's account, the logged-on user query and the command
// capture behind its fallback, on the real platform.
#include <gtest/gtest.h>

#include <windows.h>
#include <ole2.h>

#include <shlobj.h>

#include <optional>
#include <string>

#include "framework/system_library.h"
#include "install/command_capture.h"
#include "install/desktop_link.h"
#include "install/install_error.h"
#include "install/logged_on_user.h"
#include "install/shell_link.h"
#include "setup/system_queries.h"
#include "tests/install/install_test_support.h"
#include "tests/install/win32_test_support.h"

namespace stampwell {
namespace {

struct ShellLinks : ::testing::Test {
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
  void TearDown() override {
    seams::CreateShellLink = seams::CreateShellLinkObject;
    seams::QueryUserName = QueryUserNameThroughWmi;
    OleUninitialize();
  }
  testing::ScratchFolder scratch{"shell-links"};
};

TEST_F(ShellLinks, LinkFileIsWrittenAndReadsBack) {
  std::string target = scratch.path() + "Stampwell.exe";
  testing::WriteWholeFile(target, "MZ");
  CreateLink(target, "-x", scratch.path() + "one.LnK", "a description");
  testing::LinkInfo link = testing::ReadLink(scratch.path() + "one.LnK");
  ASSERT_TRUE(link.loaded);
  EXPECT_EQ(link.path, target);
  EXPECT_EQ(link.working_directory, scratch.path());
  EXPECT_EQ(link.arguments, "-x");
  EXPECT_EQ(link.description, "a description");

  // An existing link is replaced.
  CreateLink(scratch.path() + "Help.CHM", "", scratch.path() + "one.LnK", "");
  EXPECT_EQ(testing::ReadLink(scratch.path() + "one.LnK").path, scratch.path() + "Help.CHM");
}

TEST_F(ShellLinks, OnlyLnkFilesAndOnlyWithAShellLinkObject) {
  for (const char* name : {"two.url", "two", "two.lnk\\x"}) {
    try {
      CreateLink("C:\\x.exe", "", scratch.path() + name, "");
      ADD_FAILURE() << name;
    } catch (const InstallError& error) {
      EXPECT_STREQ(error.what(), "EXT name only is 'LNK'!");
    }
    EXPECT_FALSE(testing::Exists(scratch.path() + name));
  }
  seams::CreateShellLink = [](IShellLinkA**) -> HRESULT { return REGDB_E_CLASSNOTREG; };
  EXPECT_THROW(CreateLink("C:\\x.exe", "", scratch.path() + "three.lnk", ""), InstallError);
  TInstallLog log;
  EXPECT_THROW(CreateDesktopLink("T", "C:\\x.exe", log), InstallError);
  EXPECT_EQ(log.Count(), 0u);  // nothing logged for a shortcut that was not made
}

TEST_F(ShellLinks, UserQueryAnswersThroughComAndThroughTheCommand) {
  // Wine's management interface names the Unix user who runs it, as COMPUTER\name.
  std::optional<std::string> com = QueryUserNameThroughWmi();
  ASSERT_TRUE(com.has_value());
  ASSERT_NE(com->find('\\'), std::string::npos) << *com;
  std::string user = LoggedOnUser();
  EXPECT_EQ(user, com->substr(com->find('\\') + 1));

  // Where COM cannot answer, the command by its full path gives the same name; its output
  // arrives as UTF-16 with a byte-order mark on Wine, 8-bit text on Windows.
  seams::QueryUserName = [](unsigned) -> std::optional<std::string> { return std::nullopt; };
  testing::WriteWholeFile("TempWmicBatchFile.bat", "rem left behind");
  EXPECT_EQ(LoggedOnUser(), user);
  EXPECT_FALSE(testing::Exists("TempWmicBatchFile.bat"));

  // Nobody logged on: the desktop shortcut stays on the running account's desktop.
  seams::QueryUserName = [](unsigned) -> std::optional<std::string> { return std::string(); };
  EXPECT_EQ(LoggedOnUser(), "");
  TInstallLog log;
  std::string target = scratch.path() + "Stampwell.exe";
  CreateDesktopLink("Quendra Stampwell test", target, log);
  std::string expected = GetSpecialFolderPath(CSIDL_DESKTOPDIRECTORY) + "\\Quendra Stampwell test.lnk";
  ASSERT_EQ(log.Lines(), std::vector<std::string>{expected});
  testing::LinkInfo link = testing::ReadLink(expected);
  DeleteFileA(expected.c_str());
  ASSERT_TRUE(link.loaded);
  EXPECT_EQ(link.path, target);
  EXPECT_EQ(link.working_directory, scratch.path());
  EXPECT_EQ(link.icon, target);
}

TEST(CommandCapture, OutputLinesOfEightBitText) {
  std::string cmd = "\"" + SystemProgramPath("cmd.exe") + "\" /c echo one& echo two";
  EXPECT_EQ(RunAndCapture(cmd), "one\r\ntwo\r\n");
  EXPECT_EQ(DecodeCommandOutput(std::string("\xFF\xFE" "A\0\r\0\n\0", 8)), "A\r\n");
  EXPECT_EQ(DecodeCommandOutput(std::string("A\nB\0C", 5)), "A\r\nB\r\n");
}

TEST(CommandCapture, LongOutputDoesNotStallTheCommand) {
  // Far more than a pipe's buffer: read while the command runs, it ends normally.
  std::string cmd = "\"" + SystemProgramPath("cmd.exe") + "\" /c for /l %i in (1,1,3000) do @echo line %i";
  std::string output = RunAndCapture(cmd, 60000);
  EXPECT_EQ(output.rfind("line 1\r\n", 0), 0u);
  EXPECT_NE(output.find("line 3000\r\n"), std::string::npos);
}

TEST(CommandCapture, HangingOrMissingCommandRaises) {
  std::string hang = "\"" + SystemProgramPath("cmd.exe") + "\" /c for /l %i in (0,0,1) do @rem";
  DWORD start = GetTickCount();
  try {
    RunAndCapture(hang, 1500);
    ADD_FAILURE() << "a command that never ends returned";
  } catch (const InstallError& error) {
    EXPECT_NE(std::string(error.what()).find("did not end"), std::string::npos) << error.what();
  }
  EXPECT_LT(GetTickCount() - start, 10000u);

  try {
    RunAndCapture("\"C:\\no such folder\\wmic.exe\" path win32_computersystem get username");
    ADD_FAILURE() << "a missing program started";
  } catch (const InstallError& error) {
    EXPECT_GT(std::string(error.what()).size(), 0u);
  }
}

}  // namespace
}  // namespace stampwell
