// The portable rules of the payload and the uninstall record.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "install/install_log.h"
#include "install/manifest_rules.h"
#include "install/payload_naming.h"
#include "install/uninstall_entry_values.h"

namespace stampwell {
namespace {

TEST(PayloadNaming, PlainDecimalDigitsWithoutLeadingZeros) {
  EXPECT_EQ(PayloadResourceName(1), "A1");
  EXPECT_EQ(PayloadResourceType(1), "1A");
  EXPECT_EQ(PayloadResourceName(10), "A10");
  EXPECT_EQ(PayloadResourceType(10), "10A");
  EXPECT_EQ(PayloadResourceName(228), "A228");
  EXPECT_EQ(PayloadResourceType(228), "228A");
  EXPECT_EQ(PayloadLookupName(17), "a17");
  EXPECT_EQ(PayloadLookupType(17), "17a");
  EXPECT_THROW(PayloadResourceName(0), std::out_of_range);
  EXPECT_THROW(PayloadLookupType(-3), std::out_of_range);
}

TEST(ManifestRules, AcceptsTheFoldersThatTheInstallRunCreates) {
  for (const char* path : {"Help.CHM", "Data\\SDL.dll", "Example\\Animated\\010.gif", "Example\\Protection\\19.png",
                           "example\\user\\x.png", "DATA\\a b.dat"})
    EXPECT_EQ(ManifestEntryProblem(path), "") << path;
}

TEST(ManifestRules, RefusesPathsThatLeaveOrMissTheCreatedFolders) {
  struct Case {
    const char* path;
    const char* reason_part;
  };
  for (const Case& c : {
           Case{"", "empty"},
           Case{"C:\\x.dll", "drive"},
           Case{"C:x.dll", "drive"},
           Case{"\\Data\\x.dll", "absolute"},
           Case{"\\\\server\\share\\x", "absolute"},
           Case{"Data\\\\x.dll", "empty component"},
           Case{"Data\\", "empty component"},
           Case{".\\x.dll", "\".\""},
           Case{"Data\\..\\..\\x.dll", "\"..\""},
           Case{"Data/x.dll", "forward slash"},
           Case{"Other\\x.dll", "\"Other\" is not one"},
           Case{"Example\\x.png", "\"Example\" is not one"},
           Case{"Example\\Animated\\Deep\\x.gif", "not one"},
           Case{"Data\\x?.dll", "'?'"},
           Case{"Data\\x.dll.", "dot or a space"},
           Case{"nul.txt", "device"},
           Case{"Data\\COM1", "device"},
           Case{"uninstall.TXT", "uninstall log"},
       }) {
    std::string problem = ManifestEntryProblem(c.path);
    EXPECT_NE(problem.find(c.reason_part), std::string::npos) << c.path << ": " << problem;
  }
  // Names that merely resemble device names are files like any other.
  EXPECT_EQ(ManifestEntryProblem("CONFIG.SYS"), "");
  EXPECT_EQ(ManifestEntryProblem("COM10"), "");
}

TEST(ManifestRules, ParseNumbersEntriesAndReportsEachProblemWithItsEntry) {
  ParsedManifest parsed = ParseManifest("Help.CHM\r\nData\\..\\x\nData\\a.dll\n\nDATA\\A.DLL");
  EXPECT_EQ(parsed.entries, (std::vector<std::string>{"Help.CHM", "Data\\..\\x", "Data\\a.dll", "", "DATA\\A.DLL"}));
  ASSERT_EQ(parsed.problems.size(), 3u);
  EXPECT_EQ(parsed.problems[0].entry, 2);
  EXPECT_EQ(FormatManifestProblem(parsed.problems[0]), "entry 2 \"Data\\..\\x\": it has a \"..\" component");
  EXPECT_EQ(parsed.problems[1].entry, 4);
  EXPECT_EQ(parsed.problems[2].entry, 5);
  EXPECT_EQ(parsed.problems[2].reason, "it repeats entry 3");

  EXPECT_TRUE(ParseManifest("").entries.empty());
  EXPECT_EQ(ParseManifest("a.txt\n").entries.size(), 1u);
}

TEST(ManifestRules, TheProductManifestIsSoundAndInItsOrder) {
  const char* source = std::getenv("STAMPWELL_SOURCE_DIR");
  ASSERT_NE(source, nullptr);
  std::ifstream file(std::string(source) + "/resources/payload/manifest.txt", std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  ParsedManifest parsed = ParseManifest(text.str());
  EXPECT_TRUE(parsed.problems.empty()) << FormatManifestProblem(parsed.problems.front());
  ASSERT_EQ(parsed.entries.size(), 228u);
  EXPECT_EQ(parsed.entries[0], "Help.CHM");
  EXPECT_EQ(parsed.entries[1], "Stampwell.exe");
  EXPECT_EQ(parsed.entries[4], "unin00000.exe");
  EXPECT_EQ(parsed.entries[6], "Data\\avcodec-54.dll");
  EXPECT_EQ(parsed.entries[14], "Data\\OldFilm.Dat");
  EXPECT_EQ(parsed.entries[15], "Example\\Animated\\01.gif");
  EXPECT_EQ(parsed.entries[24], "Example\\Animated\\010.gif");
  EXPECT_EQ(parsed.entries[87], "Example\\Animated\\073.gif");
  EXPECT_EQ(parsed.entries[88], "Example\\Business\\01.png");
  EXPECT_EQ(parsed.entries[209], "Example\\Protection\\01.png");
  EXPECT_EQ(parsed.entries[227], "Example\\Protection\\19.png");
}

TEST(InstallLog, FileTextEndsEveryLineInCrLfAndAddsNothingElse) {
  TInstallLog log;
  EXPECT_EQ(log.FileText(), "");
  log.Add("Quendra Stampwell Uninstall");
  log.Add("C:\\Q S\\Help.CHM");
  log.Add("C:\\Q S\\Help.CHM");  // duplicates are kept
  log.Add(std::string(kFolderMarker) + "C:\\Q S\\Data");
  log.Add(std::string(kTopFolderMarker) + "C:\\Q S\\");
  log.Add("C:\\Q S\\\xC4\xE3.png");  // ANSI bytes pass unchanged
  EXPECT_EQ(log.FileText(),
            "Quendra Stampwell Uninstall\r\nC:\\Q S\\Help.CHM\r\nC:\\Q S\\Help.CHM\r\n<DIR>C:\\Q S\\Data\r\n"
            "<SDIR>C:\\Q S\\\r\nC:\\Q S\\\xC4\xE3.png\r\n");
  log.Clear();
  log.Add("");
  EXPECT_EQ(log.FileText(), "\r\n");
}

TEST(UninstallEntryValues, TheEightValuesInOrderThenVersionSizeAndNeitherModifyNorRepair) {
  auto values = UninstallEntryValues({"Quendra Stampwell", "C:\\P\\Quendra Stampwell\\", "Stampwell.exe",
                                      "Quendra Soft", "http://h/", "3.3.0.0", 2048});
  std::vector<std::pair<std::string, std::string>> got;
  for (auto& v : values) got.emplace_back(v.name, v.dword ? "dword " + std::to_string(*v.dword) : v.data);
  EXPECT_EQ(got, (std::vector<std::pair<std::string, std::string>>{
                     {"DisplayName", "Quendra Stampwell"},
                     {"UninstallString", "\"C:\\P\\Quendra Stampwell\\unin00000.exe\""},
                     {"DisplayIcon", "C:\\P\\Quendra Stampwell\\Stampwell.exe"},
                     {"InstallLocation", "C:\\P\\Quendra Stampwell\\"},
                     {"Publisher", "Quendra Soft"},
                     {"URLInfoAbout", "http://h/"},
                     {"HelpLink", "http://h/"},
                     {"URLUpdateInfo", "http://h/"},
                     {"DisplayVersion", "3.3.0.0"},
                     {"EstimatedSize", "dword 2"},
                     {"NoModify", "dword 1"},
                     {"NoRepair", "dword 1"},
                 }));
  // A directory without its final backslash still gives well-formed paths.
  EXPECT_EQ(UninstallEntryValues({"T", "C:\\D", "M.exe", "P", "u", "1.0.0.0", 0})[1].data,
            "\"C:\\D\\unin00000.exe\"");
  EXPECT_EQ(FailedToSetDataMessage("HelpLink"), "Failed to set data for 'HelpLink'");
}

TEST(UninstallEntryValues, TheSizeIsInKilobytesRoundedUp) {
  EXPECT_EQ(EstimatedSizeKb(0), 0u);
  EXPECT_EQ(EstimatedSizeKb(1), 1u);
  EXPECT_EQ(EstimatedSizeKb(1024), 1u);
  EXPECT_EQ(EstimatedSizeKb(1025), 2u);
  EXPECT_EQ(EstimatedSizeKb(std::uint64_t{1} << 50), 0xFFFFFFFFu);  // beyond what a DWORD holds
}

}  // namespace
}  // namespace stampwell
