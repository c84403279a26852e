// The steps after the extraction under Wine with the demo payload: a desktop shortcut, a
// shortcut of the Start Menu group, the uninstall log or a value of the uninstall entry that
// fails takes the whole run back, so that the folder, the shortcuts and the registry are
// exactly as before the run, over a fresh machine and over an earlier installation.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <optional>
#include <string>

#include "framework/unique_handle.h"
#include "install/directories.h"
#include "install/install_run.h"
#include "install/run_journal.h"
#include "install/shell_link.h"
#include "install/uninstall_entry.h"
#include "setup/setup_settings.h"
#include "setup/system_queries.h"
#include "tests/install/install_run_fixture.h"
#include "tests/install/install_test_support.h"
#include "tests/install/win32_test_support.h"

namespace stampwell {
namespace {

using testing::Exists;
using testing::Tree;
using testing::WriteWholeFile;

// The values of the uninstall entry, each with its type and bytes; nothing without the key.
std::optional<std::map<std::wstring, std::pair<DWORD, std::string>>> EntryValues() {
  unique_hkey key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kUninstallKeyPath, 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS)
    return std::nullopt;
  std::map<std::wstring, std::pair<DWORD, std::string>> values;
  for (DWORD index = 0;; ++index) {
    wchar_t name[256];
    BYTE data[4096];
    DWORD name_size = 256, data_size = sizeof data, type = 0;
    if (RegEnumValueW(key.get(), index, name, &name_size, nullptr, &type, data, &data_size) != ERROR_SUCCESS) break;
    values[name] = {type, std::string(reinterpret_cast<char*>(data), data_size)};
  }
  return values;
}

// What a run can change: the folder it installs into, the desktop shortcut, the Start Menu
// group with the publisher's folder, the uninstall entry.
struct Machine {
  std::map<std::string, std::string> folder, group;
  bool desktop_link = false;
  std::string desktop_link_bytes;
  std::optional<std::map<std::wstring, std::pair<DWORD, std::string>>> entry;
  bool operator==(const Machine&) const = default;
};

Machine Look(const std::string& folder) {
  Machine machine;
  machine.folder = Tree(folder);
  machine.group = Tree(GetProgramsFolder() + kPublisherName + "\\");
  machine.desktop_link = Exists(testing::DesktopLinkFile());
  machine.desktop_link_bytes = testing::ReadWholeFile(testing::DesktopLinkFile());
  machine.entry = EntryValues();
  return machine;
}

// The n-th ShellLink object of a run cannot be made (1: the desktop shortcut, 2 to 6: the
// group's), as on a system without the shell's object.
int links_made = 0;
int failing_link = 0;
HRESULT FailingShellLink(IShellLinkA** link) {
  if (++links_made == failing_link) return REGDB_E_CLASSNOTREG;
  return seams::CreateShellLinkObject(link);
}

// Wine writes every value of a key that it has opened, so the registry's refusal is a seam.
LSTATUS FailAtHelpLink(HKEY key, const char* name, const std::string& data) {
  if (std::string(name) == "HelpLink") return ERROR_ACCESS_DENIED;
  return SetRegistryStringValue(key, name, data);
}

enum class Failure { kDesktopLink, kGroupLink, kRegistryValue, kLog };
const char* Name(Failure failure) {
  switch (failure) {
    case Failure::kDesktopLink: return "desktop shortcut";
    case Failure::kGroupLink: return "group shortcut";
    case Failure::kRegistryValue: return "registry value";
    case Failure::kLog: return "log";
  }
  return "";
}

class InstallRunUndo : public testing::InstallRunFixture {
 protected:
  InstallRunUndo() : InstallRunFixture("install-run-undo") {}
  void TearDown() override {
    seams::CreateShellLink = &seams::CreateShellLinkObject;
    SetRegistryString = &SetRegistryStringValue;
    InstallRunFixture::TearDown();
  }
  std::string Dir() const { return scratch.path() + "Quendra Soft\\Quendra Stampwell\\"; }

  // Makes `failure` happen in the next run; the start of the message that names its cause.
  std::string Arrange(Failure failure) {
    links_made = 0;
    switch (failure) {
      case Failure::kDesktopLink:
        failing_link = 1;
        seams::CreateShellLink = &FailingShellLink;
        return "Cannot create file \"" + testing::DesktopLinkFile() + "\". ";
      case Failure::kGroupLink:
        failing_link = 3;
        seams::CreateShellLink = &FailingShellLink;
        return "Cannot create file \"" + testing::StartMenuGroupFolder() + "\\";
      case Failure::kRegistryValue:
        SetRegistryString = &FailAtHelpLink;
        return "Failed to set data for 'HelpLink'\r";
      case Failure::kLog:
        // A folder where the log goes: the system refuses the file as "access denied", the
        // privilege case, so the installation error tells it.
        EXPECT_TRUE(ForceDirectories(Dir() + "Uninstall.txt"));
        return kInstallationErrorMessage;
    }
    return {};
  }

  void ExpectTakenBack(Failure failure, const std::string& cause, const Machine& before) {
    SCOPED_TRACE(Name(failure));
    ASSERT_EQ(window.messages.size(), 1u);
    EXPECT_EQ(window.messages[0].rfind(cause, 0), 0u) << window.messages[0];
    if (cause != kInstallationErrorMessage) {
      EXPECT_NE(window.messages[0].find(kRunTakenBackNote), std::string::npos);
    }
    EXPECT_EQ(window.Page(), kFolderPage);
    EXPECT_TRUE(Look(scratch.path()) == before);
    EXPECT_FALSE(Exists(scratch.path() + "Quendra Soft\\Quendra Stampwell.setup-journal"));
    unique_hkey unfinished;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, kUnfinishedRunKey, 0, KEY_QUERY_VALUE, unfinished.put()),
              ERROR_SUCCESS);
  }

  void RunExpectingTakenBack(Failure failure) {
    const std::string cause = Arrange(failure);
    const Machine before = Look(scratch.path());
    window = {};
    window.folder = scratch.path() + "Quendra Soft";
    Install();
    ExpectTakenBack(failure, cause, before);
    seams::CreateShellLink = &seams::CreateShellLinkObject;
    SetRegistryString = &SetRegistryStringValue;
  }
};

TEST_F(InstallRunUndo, FailureAfterTheExtractionLeavesAFreshMachineAsItWas) {
  for (Failure failure : {Failure::kDesktopLink, Failure::kGroupLink, Failure::kRegistryValue, Failure::kLog}) {
    RunExpectingTakenBack(failure);
    // Nothing of the run is left: not a file, a shortcut, a folder of the group, nor the entry.
    const Machine after = Look(scratch.path());
    EXPECT_FALSE(after.desktop_link) << Name(failure);
    EXPECT_TRUE(after.group.empty()) << Name(failure);
    EXPECT_FALSE(after.entry.has_value()) << Name(failure);
  }
}

TEST_F(InstallRunUndo, FailureAfterTheExtractionOfAnUpdateLeavesTheEarlierInstallationByteForByte) {
  Install();
  ASSERT_EQ(window.Page(), kFinishPage);
  // The earlier installation as its user left it: a changed file, a shortcut of its own
  // bytes, a log of another run, an entry with a value changed, one missing and one added.
  WriteWholeFile(Dir() + "Help.CHM", "changed by the user");
  WriteWholeFile(Dir() + "Uninstall.txt", "an older log\r\n");
  WriteWholeFile(testing::DesktopLinkFile(), "an older desktop shortcut");
  WriteWholeFile(testing::StartMenuGroupFolder() + "\\Uninstall.lnk", "an older group shortcut");
  {
    unique_hkey key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kUninstallKeyPath, 0, KEY_SET_VALUE, key.put()), ERROR_SUCCESS);
    const wchar_t older[] = L"Quendra Stampwell 3.2 \u0141";  // beyond the code page: restored as it was
    RegSetValueExW(key.get(), L"DisplayName", 0, REG_SZ, reinterpret_cast<const BYTE*>(older), sizeof older);
    RegDeleteValueA(key.get(), "URLInfoAbout");
    const BYTE odd[] = {0, 1, 2, 0xff};
    RegSetValueExA(key.get(), "Comments", 0, REG_BINARY, odd, sizeof odd);
  }
  for (Failure failure : {Failure::kDesktopLink, Failure::kGroupLink, Failure::kRegistryValue})
    RunExpectingTakenBack(failure);
  EXPECT_EQ(testing::ReadWholeFile(Dir() + "Help.CHM"), "changed by the user");
}

}  // namespace
}  // namespace stampwell
