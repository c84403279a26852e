// The uninstall log file and the per-user uninstall entry, written for real.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "framework/unique_handle.h"
#include "install/install_error.h"
#include "install/install_log.h"
#include "install/uninstall_entry.h"
#include "setup/setup_settings.h"
#include "tests/install/win32_test_support.h"

namespace stampwell {
namespace {

using testing::ReadWholeFile;
using testing::ScratchFolder;

constexpr char kTestRoot[] = "Software\\QuendraStampwellTests";
constexpr char kTestKey[] = "Software\\QuendraStampwellTests\\Uninstall\\QuendraStampwell";

using Values = std::vector<std::pair<std::string, std::string>>;

// Every value of the key, in the order that the registry enumerates them; a REG_DWORD as its
// number in decimal.
Values ReadValues(const char* path) {
  Values values;
  unique_hkey key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, key.put()) != ERROR_SUCCESS) return values;
  for (DWORD i = 0;; ++i) {
    char name[256];
    char data[1024];
    DWORD nameSize = sizeof name, dataSize = sizeof data, type = 0;
    if (RegEnumValueA(key.get(), i, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(data), &dataSize) !=
        ERROR_SUCCESS)
      break;
    if (type == REG_DWORD) {
      EXPECT_EQ(dataSize, sizeof(DWORD)) << name;
      DWORD number = 0;
      std::memcpy(&number, data, sizeof number);
      values.emplace_back(name, std::to_string(number));
      continue;
    }
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ)) << name;
    EXPECT_GT(dataSize, 0u);
    EXPECT_EQ(data[dataSize - 1], '\0') << name;  // stored with its terminating zero
    values.emplace_back(name, std::string(data, dataSize ? dataSize - 1 : 0));
  }
  return values;
}

class UninstallEntry : public ::testing::Test {
 protected:
  void SetUp() override { RegDeleteTreeA(HKEY_CURRENT_USER, kTestRoot); }
  void TearDown() override {
    SetRegistryString = &SetRegistryStringValue;
    SetRegistryDword = &SetRegistryDwordValue;
    RegDeleteTreeA(HKEY_CURRENT_USER, kTestRoot);
  }
  std::vector<UninstallEntryValue> Entry() {
    return UninstallEntryValues(
        {"Quendra Stampwell", "C:\\Q Soft\\Quendra Stampwell\\", "Stampwell.exe", "Quendra Soft", "http://h/",
         "3.3.0.0", 28 * 1024 * 1024 + 1});
  }
};

std::vector<std::string>& WrittenNames() {
  static std::vector<std::string> names;
  return names;
}

TEST_F(UninstallEntry, WritesItsValuesInOrderAndOverwritesAnEarlierEntry) {
  WriteUninstallEntry(kTestKey, {{"DisplayName", "old"}, {"HelpLink", "old"}, {"Keep", "other"}});
  WrittenNames().clear();
  SetRegistryString = [](HKEY key, const char* name, const std::string& data) -> LSTATUS {
    WrittenNames().push_back(name);
    return SetRegistryStringValue(key, name, data);
  };
  SetRegistryDword = [](HKEY key, const char* name, DWORD data) -> LSTATUS {
    WrittenNames().push_back(std::string(name) + " (DWORD)");
    return SetRegistryDwordValue(key, name, data);
  };
  WriteUninstallEntry(kTestKey, Entry());
  // The eight values that the uninstaller reads first, then what deployment tools read.
  EXPECT_EQ(WrittenNames(), (std::vector<std::string>{"DisplayName", "UninstallString", "DisplayIcon", "InstallLocation",
                                                      "Publisher", "URLInfoAbout", "HelpLink", "URLUpdateInfo",
                                                      "DisplayVersion", "EstimatedSize (DWORD)", "NoModify (DWORD)",
                                                      "NoRepair (DWORD)"}));
  // Wine enumerates values sorted by name, not in the order of writing. Nothing is deleted.
  Values expected = {
      {"DisplayIcon", "C:\\Q Soft\\Quendra Stampwell\\Stampwell.exe"},
      {"DisplayName", "Quendra Stampwell"},
      {"DisplayVersion", "3.3.0.0"},
      {"EstimatedSize", "28673"},  // KB, rounded up
      {"HelpLink", "http://h/"},
      {"InstallLocation", "C:\\Q Soft\\Quendra Stampwell\\"},
      {"Keep", "other"},
      {"NoModify", "1"},
      {"NoRepair", "1"},
      {"Publisher", "Quendra Soft"},
      {"UninstallString", "\"C:\\Q Soft\\Quendra Stampwell\\unin00000.exe\""},
      {"URLInfoAbout", "http://h/"},
      {"URLUpdateInfo", "http://h/"},
  };
  Values got = ReadValues(kTestKey);
  std::sort(got.begin(), got.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(got, expected);
}

TEST_F(UninstallEntry, ANumberThatCannotBeWrittenStopsTheEntryAsAStringDoes) {
  SetRegistryDword = [](HKEY key, const char* name, DWORD data) -> LSTATUS {
    if (std::string(name) == "NoModify") return ERROR_ACCESS_DENIED;
    return SetRegistryDwordValue(key, name, data);
  };
  try {
    WriteUninstallEntry(kTestKey, Entry());
    FAIL() << "NoModify cannot be written";
  } catch (const InstallError& e) {
    EXPECT_STREQ(e.what(), "Failed to set data for 'NoModify'");
  }
  Values got = ReadValues(kTestKey);
  EXPECT_EQ(got.size(), 10u);
  EXPECT_TRUE(std::none_of(got.begin(), got.end(), [](const auto& v) { return v.first == "NoRepair"; }));
}

// Wine writes every value of a key that it has opened for writing, so the failing write is
// made through the seam; the values before it must stay, and none after it may be written.
TEST_F(UninstallEntry, StopsAtTheFirstValueThatCannotBeWritten) {
  SetRegistryString = [](HKEY key, const char* name, const std::string& data) -> LSTATUS {
    if (std::string(name) == "InstallLocation") return ERROR_ACCESS_DENIED;
    return SetRegistryStringValue(key, name, data);
  };
  try {
    WriteUninstallEntry(kTestKey, Entry());
    FAIL() << "InstallLocation cannot be written";
  } catch (const InstallError& e) {
    EXPECT_STREQ(e.what(), "Failed to set data for 'InstallLocation'");
  }
  std::vector<std::string> names;
  for (auto& [name, data] : ReadValues(kTestKey)) names.push_back(name);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"DisplayIcon", "DisplayName", "UninstallString"}));
}

// A non-volatile key cannot be made below a volatile one: the platform itself refuses the key.
TEST_F(UninstallEntry, AKeyThatCannotBeCreatedIsReportedAsDisplayName) {
  unique_hkey volatileKey;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\QuendraStampwellTests\\Volatile", 0, nullptr,
                            REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, volatileKey.put(), nullptr),
            ERROR_SUCCESS);
  try {
    WriteUninstallEntry("Software\\QuendraStampwellTests\\Volatile\\QuendraStampwell", Entry());
    FAIL() << "the key cannot be created";
  } catch (const InstallError& e) {
    EXPECT_STREQ(e.what(), "Failed to set data for 'DisplayName'");
  }
}

TEST(InstallLogFile, HoldsExactlyTheLinesEachEndedByCrLf) {
  ScratchFolder folder("uninstall_log_test");
  std::string path = folder.path() + "Uninstall.txt";
  testing::WriteWholeFile(path, std::string(10000, 'x'));  // an older, longer log
  TInstallLog log;
  log.Add(kUninstallTitle);
  log.Add(folder.path() + "Help.CHM");
  log.Add(std::string(kFolderMarker) + folder.path() + "Data");
  log.Add(std::string(kTopFolderMarker) + folder.path());
  log.SaveToFile(path);
  EXPECT_EQ(ReadWholeFile(path), "Quendra Stampwell Uninstall\r\n" + folder.path() + "Help.CHM\r\n<DIR>" +
                                     folder.path() + "Data\r\n<SDIR>" + folder.path() + "\r\n");
  log.Clear();
  log.SaveToFile(path);
  EXPECT_EQ(ReadWholeFile(path), "");
  EXPECT_TRUE(testing::Exists(path));
}

TEST(InstallLogFile, AFileThatCannotBeCreatedGivesTheCannotCreateFileError) {
  ScratchFolder folder("uninstall_log_fail");
  std::string path = folder.path() + "missing\\Uninstall.txt";
  TInstallLog log;
  log.Add(kUninstallTitle);
  try {
    log.SaveToFile(path);
    FAIL() << "the folder does not exist";
  } catch (const InstallError& e) {
    std::string prefix = "Cannot create file \"" + path + "\". ";
    EXPECT_EQ(std::string(e.what()).substr(0, prefix.size()), prefix) << e.what();
    EXPECT_GT(std::string(e.what()).size(), prefix.size());
  }
}

}  // namespace
}  // namespace stampwell
