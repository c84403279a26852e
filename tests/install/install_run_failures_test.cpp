// Install runs that the machine stops, each produced for real under Wine: a file or folder in
// the way, a path beyond the limit, documents folders with names beyond ASCII, a full drive
// and a read-only one. Each checks the page, the message and exactly what is left behind.
#include <gtest/gtest.h>

#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "framework/unique_handle.h"
#include "install/directories.h"
#include "install/drive_space.h"
#include "install/exact_ansi_path.h"
#include "install/install_error.h"
#include "install/install_run.h"
#include "install/install_system.h"
#include "install/payload_store.h"
#include "setup/setup_settings.h"
#include "setup/system_queries.h"
#include "tests/install/install_run_fixture.h"
#include "tests/install/install_test_support.h"
#include "tests/install/win32_test_support.h"

namespace stampwell {
namespace {

using testing::Exists;
using testing::ReadEntryValue;
using testing::ReadWholeFile;

// The names in a folder, "." and ".." left out.
std::vector<std::wstring> Listing(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found{};
  unique_find search(FindFirstFileW((folder + L"\\*").c_str(), &found));
  if (!search) return names;
  do {
    std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (FindNextFileW(search.get(), &found));
  return names;
}

std::wstring Wide(const std::string& ansi) {
  std::wstring wide(ansi.size(), L'\0');
  int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(),
                              static_cast<int>(wide.size()));
  wide.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  return wide;
}

// Points the user's documents folder somewhere else for the test's time, as the shell reads
// it (the user's shell folders in the registry), and puts the old value back after.
class DocumentsFolderOverride {
 public:
  explicit DocumentsFolderOverride(const std::wstring& path) {
    RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key_.put(), nullptr);
    wchar_t old[MAX_PATH * 2] = {};
    DWORD size = sizeof old - sizeof(wchar_t);
    if (RegQueryValueExW(key_.get(), L"Personal", nullptr, &type_, reinterpret_cast<BYTE*>(old), &size) ==
        ERROR_SUCCESS)
      old_ = std::wstring(old);
    Set(path, REG_EXPAND_SZ);
  }
  ~DocumentsFolderOverride() {
    if (old_)
      Set(*old_, type_);
    else
      RegDeleteValueW(key_.get(), L"Personal");
  }
  DocumentsFolderOverride(const DocumentsFolderOverride&) = delete;
  DocumentsFolderOverride& operator=(const DocumentsFolderOverride&) = delete;

 private:
  static constexpr wchar_t kKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
  void Set(const std::wstring& path, DWORD type) {
    RegSetValueExW(key_.get(), L"Personal", 0, type, reinterpret_cast<const BYTE*>(path.c_str()),
                   static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t)));
  }
  unique_hkey key_;
  DWORD type_ = REG_EXPAND_SZ;
  std::optional<std::wstring> old_;
};

class InstallRunFailure : public testing::InstallRunFixture {
 protected:
  InstallRunFailure() : InstallRunFixture("install-run-failure") {}

  std::string Fallback() const { return GetSpecialFolderPath(CSIDL_PERSONAL) + "\\Quendra Soft"; }
  // Neither the log, the shortcuts nor the entry: what every stop before the shortcuts leaves out.
  void ExpectNoLogShortcutOrEntry(const std::string& dir) {
    EXPECT_FALSE(Exists(dir + "Uninstall.txt"));
    EXPECT_FALSE(Exists(testing::DesktopLinkFile()));
    EXPECT_FALSE(Exists(testing::StartMenuGroupFolder()));
    std::string data;
    EXPECT_FALSE(ReadEntryValue("DisplayName", data));
  }

};

TEST_F(InstallRunFailure, FileNamedDataStopsStepTwoNamedWithTheInstallationFolderOnly) {
  const std::string dir = scratch.path() + "Quendra Soft\\Quendra Stampwell\\";
  ASSERT_TRUE(ForceDirectories(dir));
  testing::WriteWholeFile(dir + "Data", "a file of the user's");
  Install();
  // Not a matter of privileges: the file in the way is named, and no other folder offered.
  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_EQ(window.messages[0].rfind("Unable to create directory \"" + dir + "Data\". ", 0), 0u) << window.messages[0];
  EXPECT_EQ(window.messages[0].substr(window.messages[0].size() - std::string(kRunTakenBackNote).size()),
            kRunTakenBackNote);
  EXPECT_EQ(window.pages, (std::vector<int>{3, 2}));
  EXPECT_EQ(window.folder, scratch.path() + "Quendra Soft");
  // "Data" is the first folder made: nothing was made before the error.
  EXPECT_EQ(Listing(Wide(dir.substr(0, dir.size() - 1))), std::vector<std::wstring>{L"Data"});
  EXPECT_EQ(ReadWholeFile(dir + "Data"), "a file of the user's");
  ExpectNoLogShortcutOrEntry(dir);
}

TEST_F(InstallRunFailure, FolderWhosePathsPassTheLimitIsRefusedBeforeAnythingIsMade) {
  // The deepest folder made, <dir>\Example\Protection, may have 247 characters; the folder
  // field's own part is the rest less "\Quendra Stampwell\".
  const std::size_t field_length = 247 - std::string("\\Quendra Stampwell\\Example\\Protection").size();
  std::string field = scratch.path() + "deep";
  while (field.size() + 13 < field_length) field += "\\" + std::string(10, 'd');
  field += "\\" + std::string(field_length - field.size() - 1, 'e');
  ASSERT_EQ(field.size(), field_length);

  window.folder = field + "x";
  Install();
  EXPECT_EQ(window.messages, (std::vector<std::string>{kPathTooLongMessage}));
  EXPECT_EQ(window.pages, (std::vector<int>{2}));
  EXPECT_EQ(window.folder, field + "x");
  EXPECT_FALSE(Exists(scratch.path() + "deep"));
  ExpectNoLogShortcutOrEntry(field + "x\\Quendra Stampwell\\");

  // One character less installs whole: the limit costs no folder that works.
  window.messages.clear();
  window.folder = field;
  Install();
  EXPECT_TRUE(window.messages.empty()) << window.messages.front();
  EXPECT_EQ(window.Page(), 4);
  EXPECT_EQ((settings.InstallDir + "Example\\Protection").size(), 247u);
  for (const std::string& entry : ProgramPayload().Manifest()) EXPECT_TRUE(Exists(settings.InstallDir + entry)) << entry;
}

TEST_F(InstallRunFailure, DocumentsFolderWithCodePageLettersServesAsTheFallback) {
  if (GetACP() != 1252) GTEST_SKIP() << "the prefix's ANSI code page is " << GetACP() << ", not 1252";
  const std::wstring documents = Wide(scratch.path()) + L"Docum\u00e9nts";
  ASSERT_TRUE(CreateDirectoryW(documents.c_str(), nullptr));
  DocumentsFolderOverride override_documents(documents);
  ASSERT_EQ(ExactPersonalFolder(), scratch.path() + "Docum\xe9nts");

  // Quick Install whose default folder cannot be made falls back silently.
  testing::WriteWholeFile(scratch.path() + "a file", "x");
  window.folder = scratch.path() + "a file";
  Install(/*quick=*/true);
  EXPECT_TRUE(window.messages.empty());
  EXPECT_EQ(window.pages, (std::vector<int>{3, 2, 3, 4}));
  const std::string dir = scratch.path() + "Docum\xe9nts\\Quendra Soft\\Quendra Stampwell\\";
  EXPECT_EQ(settings.InstallDir, dir);
  EXPECT_NE(GetFileAttributesW((documents + L"\\Quendra Soft\\Quendra Stampwell\\Stampwell.exe").c_str()),
            INVALID_FILE_ATTRIBUTES);
  std::vector<std::string> lines;
  ASSERT_TRUE(testing::SplitCrLfLines(ReadWholeFile(dir + "Uninstall.txt"), lines));
  ASSERT_GT(lines.size(), 2u);
  EXPECT_EQ(lines[1], dir + "Help.CHM");  // the log's 8-bit text in the code page
  std::string location;
  EXPECT_TRUE(ReadEntryValue("InstallLocation", location));
  EXPECT_EQ(location, dir);
  testing::RemoveTree(scratch.path() + "Docum\xe9nts\\Quendra Soft");
}

TEST_F(InstallRunFailure, DocumentsFolderBeyondTheCodePageIsNeverUsed) {
  // A name that the prefix's ANSI code page cannot hold.
  std::wstring name;
  for (const wchar_t* candidate : {L"\u0414\u043e\u043a\u0443\u043c\u0435\u043d\u0442\u044b", L"\u6587\u6863",
                                   L"\u0627\u0644\u0645\u0633\u062a\u0646\u062f\u0627\u062a"})
    if (!ExactAnsiPath(candidate)) {
      name = candidate;
      break;
    }
  if (name.empty()) GTEST_SKIP() << "the prefix's ANSI code page " << GetACP() << " holds every candidate name";
  const std::wstring documents = Wide(scratch.path()) + name;
  ASSERT_TRUE(CreateDirectoryW(documents.c_str(), nullptr));
  {
    DocumentsFolderOverride override_documents(documents);
    // The 8-bit path the shell gives has "?" where the letters were.
    EXPECT_NE(GetSpecialFolderPath(CSIDL_PERSONAL).find('?'), std::string::npos);

    testing::WriteWholeFile(scratch.path() + "a file", "x");
    window.folder = scratch.path() + "a file";
    Install(/*quick=*/true);
    EXPECT_EQ(window.messages, (std::vector<std::string>{kCreateFolderFailedMessage, kNoFallbackFolderMessage}));
    EXPECT_EQ(window.pages, (std::vector<int>{3, 2}));
    EXPECT_EQ(window.folder, scratch.path() + "a file");

    // A stop in extraction offers no fallback either.
    window = {};
    window.folder = scratch.path() + "Quendra Soft";
    const std::string dir = window.folder + "\\Quendra Stampwell\\";
    ASSERT_TRUE(ForceDirectories(dir + "Help.CHM"));  // the first entry cannot be written
    Install();
    EXPECT_EQ(window.messages, (std::vector<std::string>{kInstallationErrorMessage, kNoFallbackFolderMessage}));
    EXPECT_EQ(window.Page(), 2);
    EXPECT_EQ(window.folder, scratch.path() + "Quendra Soft");
    ExpectNoLogShortcutOrEntry(dir);
  }
  EXPECT_TRUE(Listing(documents).empty());
  EXPECT_TRUE(RemoveDirectoryW(documents.c_str()));
}

// A drive of a few megabytes, mapped into the prefix by tests/install/small_drives.sh, which
// runs this case with the drive's letter in STAMPWELL_SMALL_DRIVE; skipped without it.
TEST_F(InstallRunFailure, FullDriveIsRefusedBeforeAnyFileAndFillingUpIsTakenBack) {
  const char* drive = std::getenv("STAMPWELL_SMALL_DRIVE");
  if (!drive || !*drive) GTEST_SKIP() << "no small drive (tests/install/small_drives.sh maps one)";
  window.folder = std::string(drive) + "\\Quendra Soft";
  const std::string dir = window.folder + "\\Quendra Stampwell\\";
  Install();
  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_EQ(window.messages[0].rfind("There is not enough free space on the drive of the installation folder.\r", 0), 0u)
      << window.messages[0];
  EXPECT_EQ(window.pages, (std::vector<int>{2}));
  EXPECT_EQ(window.folder, std::string(drive) + "\\Quendra Soft");  // no other folder offered
  EXPECT_FALSE(Exists(window.folder));

  // A drive that fills up all the same (another program writes to it meanwhile; here its free
  // space is not told): the run is taken back whole, and the drive is as it was.
  struct FreeSpaceUntold : WindowsInstallSystem {
    using WindowsInstallSystem::WindowsInstallSystem;
    std::optional<std::uint64_t> FreeBytes(const std::string&) override { return std::nullopt; }
  } system(settings, log, ProgramPayload(),
           {[] { return std::string(kProductName); }, [this] { return start_menu; },
            [this](const std::string& text) { window.messages.push_back(text); }});
  window = {};
  window.folder = std::string(drive) + "\\Quendra Soft";
  RunInstall(settings, window, system);
  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_NE(window.messages[0].find(kRunTakenBackNote), std::string::npos) << window.messages[0];
  std::cout << "the message: " << window.messages[0] << "\n";
  EXPECT_EQ(window.pages, (std::vector<int>{3, 2}));
  EXPECT_EQ(window.folder, std::string(drive) + "\\Quendra Soft");
  std::cout << "the drive filled up at entry " << settings.CurrentEntry << "\n";
  EXPECT_NE(settings.CurrentEntry, ProgramPayload().Manifest().back()) << "the drive did not fill up";
  EXPECT_FALSE(Exists(std::string(drive) + "\\Quendra Soft"));
  EXPECT_FALSE(Exists(std::string(drive) + "\\Quendra Stampwell.setup-journal"));
  ExpectNoLogShortcutOrEntry(dir);
}

// The free space is asked of the nearest folder that exists.
TEST_F(InstallRunFailure, FreeSpaceIsAskedOfTheNearestExistingFolder) {
  const std::optional<std::uint64_t> deep = FreeBytesForPath(scratch.path() + "not\\made\\yet\\");
  ASSERT_TRUE(deep.has_value());
  EXPECT_GT(*deep, 0u);
  EXPECT_FALSE(FreeBytesForPath("nowhere\\at all").has_value());
}

// A drive mounted read-only by tests/install/small_drives.sh, holding an empty
// "Quendra Soft\Quendra Stampwell"; its letter in STAMPWELL_READ_ONLY_DRIVE.
TEST_F(InstallRunFailure, ReadOnlyInstallationFolderStopsBeforeAnyFile) {
  const char* drive = std::getenv("STAMPWELL_READ_ONLY_DRIVE");
  if (!drive || !*drive) GTEST_SKIP() << "no read-only drive (tests/install/small_drives.sh maps one)";
  window.folder = std::string(drive) + "\\Quendra Soft";
  const std::string dir = window.folder + "\\Quendra Stampwell\\";
  ASSERT_TRUE(DirectoryExists(dir));
  Install();
  // Not even the journal can be written beside the folder: nothing starts, and the cause is
  // told, with the documents folder offered as for a folder that cannot be made.
  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_EQ(window.messages[0].rfind(std::string(kJournalFailedMessage) + "Cannot create file \"" + drive +
                                         "\\Quendra Soft\\Quendra Stampwell.setup-journal\". ",
                                     0),
            0u)
      << window.messages[0];
  EXPECT_EQ(window.pages, (std::vector<int>{2}));
  EXPECT_EQ(window.folder, Fallback());
  EXPECT_TRUE(Listing(Wide(dir.substr(0, dir.size() - 1))).empty());
  ExpectNoLogShortcutOrEntry(dir);

  // A folder to be made below the read-only one: the journal would lie at the drive's root.
  window = {};
  window.folder = std::string(drive) + "\\Other Publisher";
  Install();
  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_EQ(window.messages[0].rfind(kJournalFailedMessage, 0), 0u) << window.messages[0];
  EXPECT_EQ(window.pages, (std::vector<int>{2}));
}

}  // namespace
}  // namespace stampwell
