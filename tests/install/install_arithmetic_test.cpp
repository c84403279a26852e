// The arithmetic of the install run: folder and link paths, the progress fill, the
// remaining-time estimate and the decoding of the user query's output.
#include <gtest/gtest.h>

#include <cfenv>
#include <cstdint>
#include <string>

#include "install/command_output.h"
#include "install/install_layout.h"
#include "install/install_paths.h"
#include "install/install_progress.h"

namespace stampwell {
namespace {

TEST(InstallPaths, InstallDirNeverGetsADoubleBackslash) {
  EXPECT_EQ(InstallDirFor("C:\\", "Quendra Stampwell"), "C:\\Quendra Stampwell");
  EXPECT_EQ(InstallDirFor("D:\\Apps\\", "Quendra Stampwell"), "D:\\Apps\\Quendra Stampwell");
  EXPECT_EQ(InstallDirFor("D:\\Apps", "Quendra Stampwell"), "D:\\Apps\\Quendra Stampwell");
  // The title is appended even when the folder already ends in it.
  EXPECT_EQ(InstallDirFor("D:\\Quendra Stampwell", "Quendra Stampwell"),
            "D:\\Quendra Stampwell\\Quendra Stampwell");
  EXPECT_EQ(WithTrailingBackslash("C:\\Quendra Stampwell"), "C:\\Quendra Stampwell\\");
  EXPECT_EQ(WithTrailingBackslash("C:\\Quendra Stampwell\\"), "C:\\Quendra Stampwell\\");
}

TEST(InstallPaths, AFieldNamesTheInstallDirItselfOnlyWhenToldSo) {
  EXPECT_EQ(InstallDirNamedBy("D:\\Apps\\Stampwell\\\\", true, "Quendra Stampwell"), "D:\\Apps\\Stampwell");
  EXPECT_EQ(InstallDirNamedBy("E:\\", true, "Quendra Stampwell"), "E:\\");
  EXPECT_EQ(InstallDirNamedBy("D:\\Apps\\", false, "Quendra Stampwell"), "D:\\Apps\\Quendra Stampwell");
}

TEST(InstallPaths, OnlyFoldersThatNameTheirDriveAreAccepted) {
  for (const char* ok : {"C:\\", "c:\\x", "Z:\\Program Files\\Quendra Soft", "\\\\server\\share", "\\\\s\\d\\x"})
    EXPECT_TRUE(IsFullFolderPath(ok)) << ok;
  for (const char* bad : {"", "C:", "C:folder", "folder", "Quendra Soft\\x", "\\folder", "\\\\", "\\\\server",
                          "\\\\server\\", "\\\\\\share", "1:\\x", ".\\x", "..\\x"})
    EXPECT_FALSE(IsFullFolderPath(bad)) << bad;
}

TEST(InstallPaths, PathLimitsOfFilesAndFolders) {
  const std::vector<std::string> folders{"Data", "Example\\Protection"};
  // Files: the folder, a backslash and the file, 259 characters at most.
  std::string dir(200, 'd');
  EXPECT_TRUE(InstallPathsFit(dir, {std::string(58, 'f')}, {}));
  EXPECT_FALSE(InstallPathsFit(dir, {std::string(59, 'f')}, {}));
  // The folder that holds a file, and the folders made, 247 at most.
  EXPECT_TRUE(InstallPathsFit(dir, {std::string(46, 'a') + "\\x"}, {}));
  EXPECT_FALSE(InstallPathsFit(dir, {std::string(47, 'a') + "\\x"}, {}));
  EXPECT_TRUE(InstallPathsFit(std::string(247 - 19, 'd'), {}, folders));
  EXPECT_FALSE(InstallPathsFit(std::string(248 - 19, 'd'), {}, folders));
  EXPECT_FALSE(InstallPathsFit(std::string(248, 'd'), {}, {}));
}

TEST(InstallPaths, DirectoryPartAndLinkExtension) {
  EXPECT_EQ(DirectoryPart("C:\\Q\\Stampwell.exe"), "C:\\Q\\");
  EXPECT_EQ(DirectoryPart("C:x.exe"), "C:");
  EXPECT_EQ(DirectoryPart("http://www.quendrasoft.com/stampwell/"), "http:");
  EXPECT_EQ(DirectoryPart("plain.exe"), "");

  EXPECT_TRUE(HasLinkExtension("C:\\a\\b.lnk"));
  EXPECT_TRUE(HasLinkExtension("C:\\a\\b.LnK"));
  EXPECT_FALSE(HasLinkExtension("C:\\a\\b.url"));
  EXPECT_FALSE(HasLinkExtension("C:\\a\\b"));
  // A dot in a folder name is no extension of the file.
  EXPECT_FALSE(HasLinkExtension("C:\\a.lnk\\b"));
  EXPECT_FALSE(HasLinkExtension("C:\\a\\b.lnk.txt"));
}

TEST(InstallPaths, DesktopLinkGoesToTheLoggedOnUser) {
  // Setup run as admin1 while user1 is logged on: only the first occurrence is replaced.
  EXPECT_EQ(DesktopLinkPath("C:\\Users\\admin1\\Desktop", "Quendra Stampwell", "admin1", "user1"),
            "C:\\Users\\user1\\Desktop\\Quendra Stampwell.lnk");
  EXPECT_EQ(DesktopLinkPath("C:\\Users\\ann\\ann\\Desktop", "T", "ann", "bob"), "C:\\Users\\bob\\ann\\Desktop\\T.lnk");
  // Same account, or a profile folder that no longer carries the name: unchanged.
  EXPECT_EQ(DesktopLinkPath("C:\\Users\\me\\Desktop", "T", "me", "me"), "C:\\Users\\me\\Desktop\\T.lnk");
  EXPECT_EQ(DesktopLinkPath("C:\\Users\\old\\Desktop", "T", "new", "user1"), "C:\\Users\\old\\Desktop\\T.lnk");
  // Case-sensitive comparison.
  EXPECT_EQ(DesktopLinkPath("C:\\Users\\Admin\\Desktop", "T", "admin", "u"), "C:\\Users\\Admin\\Desktop\\T.lnk");
  // No logged-on user known, or no account name: the running account's desktop, not a
  // folder that does not exist.
  EXPECT_EQ(DesktopLinkPath("C:\\Users\\admin1\\Desktop", "T", "admin1", ""), "C:\\Users\\admin1\\Desktop\\T.lnk");
  EXPECT_EQ(DesktopLinkPath("C:\\Users\\a\\Desktop", "T", "", "user1"), "C:\\Users\\a\\Desktop\\T.lnk");
}

TEST(InstallLayout, FolderAndGroupLinesInTheirLogOrder) {
  auto lines = InstallFolderLogLines("C:\\Q\\");
  ASSERT_EQ(lines.size(), 13u);
  EXPECT_EQ(lines[0], "<DIR>C:\\Q\\Example\\Animated");
  EXPECT_EQ(lines[8], "<DIR>C:\\Q\\Example\\Love");
  EXPECT_EQ(lines[9], "<DIR>C:\\Q\\Example\\Protection");
  EXPECT_EQ(lines[10], "<DIR>C:\\Q\\Example");
  EXPECT_EQ(lines[11], "<DIR>C:\\Q\\Data");
  EXPECT_EQ(lines[12], "<SDIR>C:\\Q\\");
  for (const auto& line : lines) EXPECT_EQ(line.find("User"), std::string::npos) << line;

  std::string group = StartMenuGroupDirFor("P\\", "Quendra Soft", "Quendra Stampwell");
  EXPECT_EQ(group, "P\\Quendra Soft\\Quendra Stampwell");
  auto made = GroupShortcuts({group, "Quendra Stampwell", "http://h/", "http://b", "C:\\Q\\", "Stampwell.exe"});
  EXPECT_EQ(made[0].link_file, group + "\\Quendra Stampwell on the web.lnk");
  EXPECT_EQ(made[0].target, "http://h/");
  EXPECT_EQ(made[1].link_file, group + "\\Buy Quendra Stampwell on online.lnk");
  EXPECT_EQ(made[2].target, "C:\\Q\\unin00000.exe");
  EXPECT_EQ(made[3].target, "C:\\Q\\Help.CHM");
  EXPECT_EQ(made[4].target, "C:\\Q\\Stampwell.exe");
  auto logged = GroupLogLines(made, group);
  std::vector<std::string> expected = {group + "\\Quendra Stampwell.lnk", group + "\\Buy Quendra Stampwell on online.lnk",
                                       group + "\\Help.lnk", group + "\\Uninstall.lnk",
                                       group + "\\Quendra Stampwell on the web.lnk", "<SDIR>" + group};
  EXPECT_EQ(logged, expected);
}

TEST(InstallProgress, FillWidthRoundsHalvesToEven) {
  EXPECT_EQ(ProgressFillWidth(228, 228), 392);
  EXPECT_EQ(ProgressFillWidth(228, 1), 2);     // 1.719...
  EXPECT_EQ(ProgressFillWidth(16, 1), 24);     // 24.5 goes to the even 24
  EXPECT_EQ(ProgressFillWidth(16, 3), 74);     // 73.5 goes to 74
  EXPECT_EQ(ProgressFillWidth(784, 1), 0);     // 0.5 goes to 0
  EXPECT_EQ(ProgressFillWidth(784, 3), 2);     // 1.5 goes to 2
  for (int n = 1; n <= 228; ++n) EXPECT_LE(ProgressFillWidth(228, n - 1), ProgressFillWidth(228, n));
  // Whatever mode the floating-point unit was left in by other code.
  std::fesetround(FE_UPWARD);
  EXPECT_EQ(ProgressFillWidth(16, 1), 24);
  EXPECT_EQ(RoundHalfToEven(2.5), 2);
  EXPECT_EQ(RoundHalfToEven(3.5), 4);
  EXPECT_EQ(RoundHalfToEven(-0.5), 0);
  std::fesetround(FE_TONEAREST);
}

TEST(InstallProgress, EstimateNeverRisesAndEndsAtOne) {
  RemainingTimeEstimate estimate;
  EXPECT_EQ(estimate.Seconds(), 60);
  // A slow first entry: 1 s times 227 entries to come is far above 60; the figure stays.
  estimate.Update(1000, 2000, 228, 1);
  EXPECT_EQ(estimate.Seconds(), 60);
  estimate.Update(0, 100, 228, 2);  // 22.6 s
  EXPECT_EQ(estimate.Seconds(), 23);
  estimate.Update(0, 500, 228, 3);  // would be 112.5: no rise
  EXPECT_EQ(estimate.Seconds(), 23);
  estimate.Update(0, 100, 25, 20);  // exactly 0.5 s: half to even gives 0, shown as 1
  EXPECT_EQ(estimate.Seconds(), 1);
  EXPECT_EQ(estimate.Text(), "The installation process may take about 1 seconds");

  RemainingTimeEstimate halves;
  halves.Update(0, 500, 8, 1);  // 3.5 s goes to 4
  EXPECT_EQ(halves.Seconds(), 4);
  halves.Update(0, 500, 6, 1);  // 2.5 s goes to 2
  EXPECT_EQ(halves.Seconds(), 2);
  // The last entry has nothing left to come: 1, however long it took.
  RemainingTimeEstimate last;
  last.Update(0, 4'000'000'000u, 228, 228);
  EXPECT_EQ(last.Seconds(), 1);
}

TEST(InstallProgress, TickDifferenceSurvivesTheWrapOfTwoToThe32) {
  RemainingTimeEstimate estimate;
  // Past 2^31 and wrapping during an entry: 0xFFFFFFF0 to 0x00000010 is 32 ms.
  estimate.Update(0xFFFFFFF0u, 0x00000010u, 228, 1);
  EXPECT_EQ(estimate.Seconds(), 7);  // 32 * 227 / 1000 = 7.264
  estimate.Update(0x80000000u, 0x80000014u, 228, 2);  // 20 ms * 226 = 4.52
  EXPECT_EQ(estimate.Seconds(), 5);
  // The largest difference times many entries overflows 32 bits but not the estimate.
  RemainingTimeEstimate large;
  large.Update(1, 0, 100000, 1);
  EXPECT_EQ(large.Seconds(), 60);
}

TEST(CommandOutput, Utf16WithByteOrderMarkAsWritten) {
  // What the management command writes into a pipe on some systems.
  std::u16string text = u"UserName  \r\nPC\\root  \r\n";
  std::string bytes = "\xFF\xFE";
  for (char16_t c : text) bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
  bytes += '\x41';  // an odd byte at the end is dropped
  ASSERT_TRUE(IsUtf16WithByteOrderMark(bytes));
  EXPECT_EQ(Utf16Units(bytes), text);
  EXPECT_FALSE(IsUtf16WithByteOrderMark("UserName"));
  EXPECT_FALSE(IsUtf16WithByteOrderMark("\xFF"));
  std::string with_nul = std::string("\xFF\xFE" "A\0\0\0B\0", 8);
  EXPECT_EQ(Utf16Units(with_nul), u"A");
}

TEST(CommandOutput, LinesAndTheUserInTheAnswer) {
  EXPECT_EQ(UpToFirstNul(std::string_view("ab\0cd", 5)), "ab");
  EXPECT_EQ(WithCrLfLines(""), "");
  EXPECT_EQ(WithCrLfLines("a"), "a\r\n");
  EXPECT_EQ(WithCrLfLines("a\r\nb\rc\nd"), "a\r\nb\r\nc\r\nd\r\n");
  EXPECT_EQ(WithCrLfLines("a\r\r\nb\n\n"), "a\r\n\r\nb\r\n\r\n");

  EXPECT_EQ(LoggedOnUserFromOutput("UserName  \r\nPC\\user1  \r\n\r\n"), "user1");
  EXPECT_EQ(LoggedOnUserFromOutput("UserName\r\nDOM\\a\\b\r\n"), "a\\b");  // after the first backslash
  EXPECT_EQ(LoggedOnUserFromOutput("UserName  \r\n\r\n"), "");              // nobody logged on
  EXPECT_EQ(LoggedOnUserFromOutput("PC\\ \t\r\n"), "");
  EXPECT_EQ(LoggedOnUserFromOutput(""), "");
}

}  // namespace
}  // namespace stampwell
