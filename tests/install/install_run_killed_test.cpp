// An update ended from outside in the middle of its extraction, for real: a second process of
// this test program runs the update, signals when it has replaced 100 files and waits there;
// this one ends it with TerminateProcess, finds what the end left (the new files, the earlier
// ones moved aside, the journal) and takes it back as the next start does, the user's changed
// file included. The waiting victim makes the kill land mid-run every time, whatever the
// machine's speed.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>

#include "framework/unique_handle.h"
#include "install/install_run.h"
#include "install/install_system.h"
#include "install/payload_store.h"
#include "install/run_journal.h"
#include "tests/install/install_run_fixture.h"
#include "tests/install/install_test_support.h"
#include "tests/install/win32_test_support.h"

namespace stampwell {
namespace {

using testing::Exists;
using testing::ReadWholeFile;
using testing::Tree;
using testing::WriteWholeFile;

constexpr char kVictimFolder[] = "STAMPWELL_KILLED_RUN_FOLDER";
constexpr char kVictimReady[] = "STAMPWELL_KILLED_RUN_READY";
constexpr int kLastEntryWritten = 100;

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// Tells the killer when entry 100 is written, then waits to be ended.
class StopsAfterEntry100 : public WindowsInstallSystem {
 public:
  StopsAfterEntry100(SetupSettings& settings, TInstallLog& log, HANDLE ready)
      : WindowsInstallSystem(settings, log, ProgramPayload(),
                             {[] { return std::string(kProductName); }, [] { return false; }, [](const std::string&) {}}),
        ready_(ready) {}
  void WritePayload(int n, const std::string& path) override {
    WindowsInstallSystem::WritePayload(n, path);
    if (n != kLastEntryWritten) return;
    SetEvent(ready_);
    Sleep(INFINITE);
  }

 private:
  HANDLE ready_;
};

// The victim: run only by KilledRun below, in a process of its own.
TEST(KilledRunVictim, DISABLED_UpdatesUntilEntry100ThenWaits) {
  const std::string folder = Environment(kVictimFolder);
  ASSERT_FALSE(folder.empty());
  unique_handle ready(OpenEventA(EVENT_MODIFY_STATE, FALSE, Environment(kVictimReady).c_str()));
  ASSERT_TRUE(ready);
  SetupSettings settings;
  AssignSetupSettings(settings, IsWindows64Bit());
  TInstallLog log;
  testing::RecordingWindow window;
  window.folder = folder;
  window.desktop_link = false;
  StopsAfterEntry100 system(settings, log, ready.get());
  RunInstall(settings, window, system);
  FAIL() << "the run ended by itself";
}

class KilledRun : public testing::InstallRunFixture {
 protected:
  KilledRun() : InstallRunFixture("install-run-killed") {}
  std::string Dir() const { return scratch.path() + "Quendra Soft\\Quendra Stampwell\\"; }
};

TEST_F(KilledRun, UpdateEndedFromOutsideMidExtractionIsTakenBackAtTheNextStart) {
  Install();
  ASSERT_EQ(window.Page(), kFinishPage);
  WriteWholeFile(Dir() + "Help.CHM", "changed by the user");
  WriteWholeFile(Dir() + "Example\\User\\mine.png", "the user's own");
  const auto before = Tree(scratch.path());

  const std::string event_name = "Local\\StampwellKilledRun" + std::to_string(GetCurrentProcessId());
  unique_handle ready(CreateEventA(nullptr, TRUE, FALSE, event_name.c_str()));
  ASSERT_TRUE(ready);
  SetEnvironmentVariableA(kVictimFolder, window.folder.c_str());
  SetEnvironmentVariableA(kVictimReady, event_name.c_str());
  char program[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, program, MAX_PATH);
  std::string command = std::string("\"") + program +
                        "\" --gtest_also_run_disabled_tests --gtest_filter=KilledRunVictim.*";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started));
  SetEnvironmentVariableA(kVictimFolder, nullptr);
  SetEnvironmentVariableA(kVictimReady, nullptr);
  unique_handle process(started.hProcess);
  unique_handle thread(started.hThread);
  // The victim's readiness, or its end (a failure of its own): whichever comes first.
  const HANDLE waited[] = {ready.get(), process.get()};
  const DWORD which = WaitForMultipleObjects(2, waited, FALSE, 5 * 60 * 1000);
  ASSERT_EQ(which, WAIT_OBJECT_0) << "the victim ended or never reached entry " << kLastEntryWritten;
  ASSERT_TRUE(TerminateProcess(process.get(), 9));
  ASSERT_EQ(WaitForSingleObject(process.get(), 60 * 1000), WAIT_OBJECT_0);

  // What the end left: entry 100 and those before it written, the earlier files moved aside
  // (the product's folders whole, the user's file still among them), the later ones not yet
  // written, the journal.
  const std::vector<std::string> manifest = ProgramPayload().Manifest();
  const auto earlier = [](const std::string& entry) {  // "Example\\..." as moved aside
    return entry.substr(0, entry.find('\\')) + ".setup-old" + entry.substr(entry.find('\\'));
  };
  ASSERT_EQ(manifest[kLastEntryWritten].rfind("Example\\", 0), 0u);
  EXPECT_NE(ReadWholeFile(Dir() + "Help.CHM"), "changed by the user");
  EXPECT_EQ(ReadWholeFile(Dir() + "Help.CHM.setup-old"), "changed by the user");
  EXPECT_TRUE(Exists(Dir() + manifest[kLastEntryWritten - 1]));
  EXPECT_FALSE(Exists(Dir() + manifest[kLastEntryWritten]));
  EXPECT_TRUE(Exists(Dir() + earlier(manifest[kLastEntryWritten])));
  EXPECT_EQ(ReadWholeFile(Dir() + "Example.setup-old\\User\\mine.png"), "the user's own");
  EXPECT_TRUE(Exists(scratch.path() + "Quendra Soft\\Quendra Stampwell.setup-journal"));

  UndoUnfinishedRun();
  EXPECT_EQ(Tree(scratch.path()), before);
  EXPECT_EQ(ReadWholeFile(Dir() + "Help.CHM"), "changed by the user");
}

}  // namespace
}  // namespace stampwell
