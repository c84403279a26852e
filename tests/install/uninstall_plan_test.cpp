// The demo uninstaller's reading of the log: it acts only on plain absolute paths.
#include <gtest/gtest.h>

#include <stdexcept>

#include "demo/uninstall_plan.h"

namespace stampwell::demo {
namespace {

constexpr char kTitle[] = "Quendra Stampwell Uninstall";

TEST(UninstallPlan, SortsFilesFoldersAndTopFoldersInLogOrder) {
  UninstallPlan plan = ReadUninstallLog(
      "Quendra Stampwell Uninstall\r\nC:\\Q\\a.exe\r\n<DIR>C:\\Q\\Data\r\nC:\\D\\Q.lnk\r\n<DIR>C:\\Q\\Example\r\n"
      "<SDIR>C:\\Q\\\r\n<SDIR>C:\\P\\G\r\n",
      kTitle);
  EXPECT_EQ(plan.files, (std::vector<std::string>{"C:\\Q\\a.exe", "C:\\D\\Q.lnk"}));
  EXPECT_EQ(plan.folders, (std::vector<std::string>{"C:\\Q\\Data", "C:\\Q\\Example"}));
  EXPECT_EQ(plan.top_folders, (std::vector<std::string>{"C:\\Q", "C:\\P\\G"}));
  EXPECT_TRUE(plan.refused.empty());
}

TEST(UninstallPlan, RefusesALogOfAnotherTitle) {
  EXPECT_THROW(ReadUninstallLog("", kTitle), std::runtime_error);
  EXPECT_THROW(ReadUninstallLog("Other Uninstall\r\nC:\\Q\\a.exe\r\n", kTitle), std::runtime_error);
  EXPECT_THROW(ReadUninstallLog("C:\\Q\\a.exe\r\nQuendra Stampwell Uninstall\r\n", kTitle), std::runtime_error);
}

TEST(UninstallPlan, RefusesEveryLineThatIsNotAPlainAbsolutePath) {
  UninstallPlan plan = ReadUninstallLog(
      "Quendra Stampwell Uninstall\nData\\a.dll\n\\Windows\\x.dll\nC:x.dll\nC:\\Q\\..\\..\\Windows\\win.ini\n"
      "C:\\Q\\*.*\nC:\\Q/../x\n<SDIR>C:\\\n<DIR>Data\n\\\\?\\C:\\x\n\\\\server\\share\nC:\\Q\\\\a\nC:\\Q\\a:s\n"
      "\\\\server\\share\\a.txt\n",
      kTitle);
  ASSERT_EQ(plan.refused.size(), 12u);
  EXPECT_EQ(plan.refused[0].line, 2);
  EXPECT_EQ(plan.refused[0].text, "Data\\a.dll");
  EXPECT_EQ(plan.files, (std::vector<std::string>{"\\\\server\\share\\a.txt"}));
  EXPECT_TRUE(plan.folders.empty());
  EXPECT_TRUE(plan.top_folders.empty());
}

TEST(UninstallPlan, PathComparisonsIgnoreLetterCase) {
  EXPECT_TRUE(SamePath("C:\\Q\\unin00000.exe", "c:\\q\\UNIN00000.EXE"));
  EXPECT_FALSE(SamePath("C:\\Q\\a", "C:\\Q\\ab"));
  EXPECT_TRUE(IsInsideFolder("C:\\Q\\unin00000.exe", "c:\\q"));
  EXPECT_TRUE(IsInsideFolder("C:\\Q\\unin00000.exe", "C:\\Q\\"));
  EXPECT_FALSE(IsInsideFolder("C:\\QQ\\unin00000.exe", "C:\\Q"));
  EXPECT_FALSE(IsInsideFolder("C:\\Q", "C:\\Q"));
}

}  // namespace
}  // namespace stampwell::demo
