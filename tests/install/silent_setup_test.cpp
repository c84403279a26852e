// The shipped setup program run unattended, as a deployment tool runs it: started with its
// switches, watched from outside while it runs (its windows, the programs it starts), its
// exit code read inside Wine with GetExitCodeProcess (Wine hands Linux only the code modulo
// 256, which would turn 1603 into 67), and what it leaves behind checked.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "app/setup_instance.h"
#include "framework/unique_handle.h"
#include "setup/exit_codes.h"
#include "setup/setup_settings.h"
#include "setup/system_queries.h"
#include "tests/install/install_test_support.h"
#include "tests/install/win32_test_support.h"

namespace stampwell {
namespace {

using testing::Exists;
using testing::ReadEntryValue;
using testing::ReadWholeFile;
using testing::ScratchFolder;

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// What was seen of one run of the setup program while it ran, and how it ended.
struct SetupRun {
  DWORD exit_code = 0xFFFFFFFF;
  std::set<std::string> visible_windows;   // captions of its visible top-level windows
  std::set<std::string> visible_classes;   // and their window classes, for a failure's message
  std::set<std::string> started_programs;  // its child processes, lower-case
};

std::string Joined(const std::set<std::string>& names) {
  std::string joined;
  for (const std::string& name : names) joined += (joined.empty() ? "" : ", ") + name;
  return joined;
}

struct WindowSearch {
  DWORD process_id;
  std::vector<HWND> windows;
};

BOOL CALLBACK CollectVisibleWindow(HWND window, LPARAM context) noexcept {
  auto* search = reinterpret_cast<WindowSearch*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->process_id && IsWindowVisible(window)) search->windows.push_back(window);
  return TRUE;
}

std::vector<HWND> VisibleWindowsOf(DWORD process_id) {
  WindowSearch search{process_id, {}};
  EnumWindows(CollectVisibleWindow, reinterpret_cast<LPARAM>(&search));
  return search.windows;
}

std::string Caption(HWND window) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

// Every process of the system: its lower-case name, and its parent.
std::vector<PROCESSENTRY32> Processes() {
  std::vector<PROCESSENTRY32> processes;
  unique_handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot || snapshot.get() == INVALID_HANDLE_VALUE) return processes;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot.get(), &entry); more; more = Process32Next(snapshot.get(), &entry))
    processes.push_back(entry);
  return processes;
}

bool AnyProcessNamed(const std::string& lower_name) {
  for (const PROCESSENTRY32& p : Processes())
    if (Lower(p.szExeFile) == lower_name) return true;
  return false;
}

ULONGLONG CreationTime(HANDLE process) {
  FILETIME created{}, exited{}, kernel{}, user{};
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
  return (static_cast<ULONGLONG>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

// A process that names the setup as its parent but is older than the setup is not its
// child: its parent ended long ago and the setup was given that parent's reused id (Wine
// hands out ids again as soon as 256 are free).
bool StartedBefore(DWORD process_id, ULONGLONG time) {
  unique_handle other(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process_id));
  if (!other) return false;
  const ULONGLONG created = CreationTime(other.get());
  return created != 0 && created < time;
}

std::string SetupProgram() { return testing::BuildTreePath("StampwellSetup.exe"); }

// Starts the setup program with arguments and watches it until it ends: every pass looks at
// its visible windows and its child processes, and gives them to `watch`, which may act on
// the run (close a window). Fails the test when the program has not ended after two minutes.
SetupRun RunSetup(const std::string& arguments,
                  const std::function<void(DWORD process_id, const std::vector<HWND>& windows)>& watch = {}) {
  SetupRun run;
  std::string command = "\"" + SetupProgram() + "\" " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) {
    ADD_FAILURE() << "cannot start " << command << ": error " << GetLastError();
    return run;
  }
  unique_handle process(started.hProcess), thread(started.hThread);
  const DWORD start = GetTickCount();
  const ULONGLONG setup_started = CreationTime(process.get());
  for (;;) {
    const bool ended = WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0;
    std::vector<HWND> windows = VisibleWindowsOf(started.dwProcessId);
    for (HWND window : windows) {
      const std::string caption = Caption(window);
      char class_name[256] = {};
      GetClassNameA(window, class_name, sizeof class_name);
      // A window that the program destroyed between the enumeration and these reads (its
      // last window, as it ends) reads as no caption and no class; what it was, earlier
      // passes saw.
      if (!IsWindow(window)) continue;
      run.visible_windows.insert(caption);
      run.visible_classes.insert(class_name);
    }
    // Wine starts a desktop's shell (explorer.exe) from whichever process first needs a desktop
    // that is not there, as that process's child; on Windows the shell is the logon session's.
    // It is Wine's, not a program that the setup chose to start.
    for (const PROCESSENTRY32& p : Processes())
      if (p.th32ParentProcessID == started.dwProcessId && p.th32ProcessID != started.dwProcessId &&
          !StartedBefore(p.th32ProcessID, setup_started))
        if (Lower(p.szExeFile) != "explorer.exe") run.started_programs.insert(Lower(p.szExeFile));
    if (ended) break;
    if (watch) watch(started.dwProcessId, windows);
    if (GetTickCount() - start > 120000) {
      TerminateProcess(process.get(), 1);
      ADD_FAILURE() << command << " did not end within two minutes";
      break;
    }
    Sleep(1);  // a poll, not a wait for a state: the loop ends when the process does
  }
  GetExitCodeProcess(process.get(), &run.exit_code);
  return run;
}

bool ReadEntryNumber(const char* name, DWORD& number) {
  DWORD size = sizeof number;
  return RegGetValueA(HKEY_CURRENT_USER, kUninstallKeyPath, name, RRF_RT_REG_DWORD, nullptr, &number, &size) ==
         ERROR_SUCCESS;
}

std::vector<std::string> PayloadManifest() {
  const char* source = std::getenv("STAMPWELL_SOURCE_DIR");
  std::ifstream in(std::string("Z:") + (source ? source : "") + "/resources/payload/manifest.txt");
  std::vector<std::string> entries;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) entries.push_back(line);
  }
  return entries;
}

std::string PayloadFolder() {
  const char* folder = std::getenv("STAMPWELL_PAYLOAD_FOLDER");
  std::string path = std::string("Z:") + (folder ? folder : "") + "\\";
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

class SilentSetup : public ::testing::Test {
 protected:
  SilentSetup() : scratch("silent-setup") {}
  void SetUp() override { testing::RemoveInstallationTraces(); }
  void TearDown() override { testing::RemoveInstallationTraces(); }

  std::string LogText() { return ReadWholeFile(log); }
  void ExpectNothingInstalled() {
    std::string data;
    EXPECT_FALSE(ReadEntryValue("DisplayName", data));
    EXPECT_FALSE(Exists(dir + "Stampwell.exe"));
    EXPECT_FALSE(Exists(testing::DesktopLinkFile()));
  }

  ScratchFolder scratch;
  const std::string dir = scratch.path() + "Deployed Stampwell\\";
  const std::string log = scratch.path() + "setup log.txt";
};

TEST_F(SilentSetup, VerySilentInstallsEverythingWithoutAWindowAndStartsNothing) {
  ASSERT_FALSE(AnyProcessNamed("stampwell.exe"));
  SetupRun run = RunSetup("/VERYSILENT /DIR=\"" + dir + "\" -log=\"" + log + "\"");
  EXPECT_EQ(run.exit_code, static_cast<DWORD>(kExitInstalled)) << LogText();
  EXPECT_TRUE(run.visible_windows.empty()) << "a window of class " << *run.visible_classes.begin();
  // The desktop shortcut asks the system who is logged on through wmic (a console program,
  // run hidden); nothing else may start: not the product, not a browser for the web page.
  for (const std::string& program : run.started_programs) EXPECT_EQ(program, "wmic.exe");
  EXPECT_FALSE(AnyProcessNamed("stampwell.exe"));

  // Every file, byte for byte, straight in /DIR: no product subfolder below it.
  const std::vector<std::string> manifest = PayloadManifest();
  ASSERT_EQ(manifest.size(), 228u);
  std::uint64_t payload_bytes = 0;
  for (const std::string& entry : manifest) {
    const std::string expected = ReadWholeFile(PayloadFolder() + entry);
    payload_bytes += expected.size();
    EXPECT_EQ(ReadWholeFile(dir + entry), expected) << entry;
  }
  EXPECT_TRUE(Exists(dir + "Uninstall.txt"));
  EXPECT_TRUE(Exists(testing::DesktopLinkFile()));
  EXPECT_TRUE(Exists(testing::StartMenuGroupFolder() + "\\Uninstall.lnk"));

  // The entry: the eight values and what deployment tools read.
  std::string data;
  EXPECT_TRUE(ReadEntryValue("DisplayName", data) && data == kProductName) << data;
  EXPECT_TRUE(ReadEntryValue("InstallLocation", data) && data == dir) << data;
  EXPECT_TRUE(ReadEntryValue("UninstallString", data) && data == "\"" + dir + "unin00000.exe\"") << data;
  EXPECT_TRUE(ReadEntryValue("DisplayVersion", data) && data == "3.3.0.0") << data;
  DWORD number = 0;
  EXPECT_TRUE(ReadEntryNumber("EstimatedSize", number));
  EXPECT_EQ(number, (payload_bytes + 1023) / 1024);
  EXPECT_TRUE(ReadEntryNumber("NoModify", number) && number == 1);
  EXPECT_TRUE(ReadEntryNumber("NoRepair", number) && number == 1);

  // The log: the start, each file with its outcome, the result.
  const std::string text = LogText();
  EXPECT_NE(text.find("Setup started: "), std::string::npos);
  for (const std::string& entry : manifest)
    EXPECT_NE(text.find("File " + dir + entry + ": written\r\n"), std::string::npos) << entry;
  EXPECT_NE(text.find("Installed 228 files into " + dir + "\r\n"), std::string::npos);
  EXPECT_NE(text.find("Setup ended with exit code 0\r\n"), std::string::npos);
}

TEST_F(SilentSetup, SilentShowsOnlyTheProgressWindowAndNoIconsMakesNoShortcut) {
  SetupRun run = RunSetup("/SILENT /NOICONS /SUPPRESSMSGBOXES /NORESTART /DIR=\"" + dir + "\"");
  EXPECT_EQ(run.exit_code, static_cast<DWORD>(kExitInstalled));
  // The wizard window, on its progress page: the only window of the run.
  EXPECT_EQ(run.visible_windows, std::set<std::string>{kProductName}) << "classes: " << Joined(run.visible_classes);
  EXPECT_TRUE(run.started_programs.empty()) << Joined(run.started_programs);
  EXPECT_TRUE(Exists(dir + "Stampwell.exe"));
  EXPECT_FALSE(Exists(testing::DesktopLinkFile()));
  EXPECT_FALSE(Exists(testing::StartMenuGroupFolder()));
  std::string data;
  EXPECT_TRUE(ReadEntryValue("DisplayName", data));
}

// Without a window and without shortcuts the program does without OLE: the run must still
// be whole.
TEST_F(SilentSetup, VerySilentWithNoIconsInstallsEveryFileAndTheEntryAndNoShortcut) {
  SetupRun run = RunSetup("/VERYSILENT /NOICONS /DIR=\"" + dir + "\"");
  EXPECT_EQ(run.exit_code, static_cast<DWORD>(kExitInstalled));
  EXPECT_TRUE(run.visible_windows.empty()) << "a window of class " << *run.visible_classes.begin();
  EXPECT_TRUE(run.started_programs.empty()) << Joined(run.started_programs);
  for (const std::string& entry : PayloadManifest())
    EXPECT_EQ(ReadWholeFile(dir + entry), ReadWholeFile(PayloadFolder() + entry)) << entry;
  EXPECT_TRUE(Exists(dir + "Uninstall.txt"));
  EXPECT_FALSE(Exists(testing::DesktopLinkFile()));
  EXPECT_FALSE(Exists(testing::StartMenuGroupFolder()));
  std::string data;
  EXPECT_TRUE(ReadEntryValue("InstallLocation", data) && data == dir) << data;
}

TEST_F(SilentSetup, AFolderThatCannotBeMadeFailsWith1603AndSaysWhyInTheLog) {
  const std::string file = scratch.path() + "a file";
  testing::WriteWholeFile(file, "not a folder");
  SetupRun run = RunSetup("/VERYSILENT \"/DIR=" + file + "\\Stampwell\" /LOG=\"" + log + "\"");
  EXPECT_EQ(run.exit_code, static_cast<DWORD>(kExitFailed));
  EXPECT_TRUE(run.visible_windows.empty());
  std::string data;
  EXPECT_FALSE(ReadEntryValue("DisplayName", data));
  const std::string text = LogText();
  EXPECT_NE(text.find("Message: Create folder failed! "), std::string::npos) << text;
  EXPECT_NE(text.find("Setup ended with exit code 1603"), std::string::npos) << text;
}

// The mutex is what a running setup holds; holding it here is another setup in progress.
TEST_F(SilentSetup, AnotherSetupRunningGives1618AndInstallsNothing) {
  unique_handle other(CreateMutexA(nullptr, FALSE, kSetupRunningMutexName));
  ASSERT_TRUE(other);
  SetupRun run = RunSetup("/VERYSILENT /DIR=\"" + dir + "\" /LOG=\"" + log + "\"");
  EXPECT_EQ(run.exit_code, static_cast<DWORD>(kExitAnotherSetupRunning));
  EXPECT_TRUE(run.visible_windows.empty());
  ExpectNothingInstalled();
  EXPECT_NE(LogText().find("Another setup of this product is running"), std::string::npos);
  other.reset();
  EXPECT_EQ(RunSetup("/VERYSILENT /DIR=\"" + dir + "\"").exit_code, static_cast<DWORD>(kExitInstalled));
}

TEST_F(SilentSetup, ABadSwitchGives87WithTheUsageBoxOnlyWhereAWindowMayShow) {
  SetupRun silent = RunSetup("/VERYSILENT /DIR=\"" + dir + "\" /BOGUS");
  EXPECT_EQ(silent.exit_code, static_cast<DWORD>(kExitBadCommandLine));
  EXPECT_TRUE(silent.visible_windows.empty());
  ExpectNothingInstalled();

  // Without a silent switch the usage box shows; it is answered as a person would, with OK.
  std::string box_text;
  SetupRun shown = RunSetup("-dir=x /S", [&](DWORD, const std::vector<HWND>& windows) {
    for (HWND window : windows) {
      HWND text = FindWindowExA(window, nullptr, "Static", nullptr);
      while (text && GetWindowTextLengthA(text) < 10) text = FindWindowExA(window, text, "Static", nullptr);
      if (!text) continue;
      box_text = Caption(text);
      PostMessageA(window, WM_COMMAND, IDOK, 0);
    }
  });
  EXPECT_EQ(shown.exit_code, static_cast<DWORD>(kExitBadCommandLine));
  EXPECT_EQ(box_text.rfind("Unknown switch: /S\n\nUsage: StampwellSetup.exe", 0), 0u) << box_text;
  ExpectNothingInstalled();

  SetupRun suppressed = RunSetup("/SUPPRESSMSGBOXES /DIR");
  EXPECT_EQ(suppressed.exit_code, static_cast<DWORD>(kExitBadCommandLine));
  EXPECT_TRUE(suppressed.visible_windows.empty());
}

// Without arguments the wizard runs as it always did; closed before it installs, and the
// question answered Yes, it says so in its exit code.
TEST_F(SilentSetup, TheWizardClosedBeforeItInstallsExitsWith1602) {
  bool close_asked = false, answered = false;
  SetupRun run = RunSetup("", [&](DWORD, const std::vector<HWND>& windows) {
    for (HWND window : windows) {
      if (Caption(window) == "Tip") {
        PostMessageA(window, WM_COMMAND, IDYES, 0);
        answered = true;
      } else if (Caption(window) == kProductName && !close_asked) {
        PostMessageA(window, WM_CLOSE, 0, 0);
        close_asked = true;
      }
    }
  });
  EXPECT_TRUE(answered);
  EXPECT_EQ(run.exit_code, static_cast<DWORD>(kExitCancelled));
  EXPECT_TRUE(run.started_programs.empty()) << Joined(run.started_programs);
  ExpectNothingInstalled();
}

TEST_F(SilentSetup, HelpShowsTheUsageAndExitsWithZero) {
  bool answered = false;
  SetupRun run = RunSetup("/?", [&](DWORD, const std::vector<HWND>& windows) {
    for (HWND window : windows)
      if (FindWindowExA(window, nullptr, "Button", nullptr)) {
        PostMessageA(window, WM_COMMAND, IDOK, 0);
        answered = true;
      }
  });
  EXPECT_TRUE(answered);
  EXPECT_EQ(run.exit_code, static_cast<DWORD>(kExitInstalled));
  EXPECT_EQ(run.visible_windows, std::set<std::string>{kProductName});  // the box's caption
  ExpectNothingInstalled();
}

// A running product cannot be replaced; an unattended run does not close it and says so.
TEST_F(SilentSetup, TheProductRunningGivesItsOwnCodeAndChangesNothing) {
  ASSERT_EQ(RunSetup("/VERYSILENT /NOICONS /DIR=\"" + dir + "\"").exit_code, static_cast<DWORD>(kExitInstalled));
  const std::string before = ReadWholeFile(dir + "Uninstall.txt");
  testing::WriteWholeFile(dir + "Uninstall.txt", "kept");

  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  std::string command = "\"" + dir + "Stampwell.exe\"";
  ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &startup,
                             &started));
  unique_handle product(started.hProcess), product_thread(started.hThread);
  ASSERT_EQ(WaitForInputIdle(product.get(), 30000), 0u);

  SetupRun run = RunSetup("/VERYSILENT /DIR=\"" + dir + "\" /LOG=\"" + log + "\"");
  TerminateProcess(product.get(), 0);
  WaitForSingleObject(product.get(), 10000);
  EXPECT_EQ(run.exit_code, static_cast<DWORD>(kExitProductRunning));
  EXPECT_EQ(ReadWholeFile(dir + "Uninstall.txt"), "kept");
  EXPECT_NE(LogText().find("The product is running"), std::string::npos) << LogText();
  EXPECT_FALSE(before.empty());
}

}  // namespace
}  // namespace stampwell
