// Updates that meet the installed product at work, under Wine: the product started from the
// installation folder, a file held open by another program, and a program started while the
// run extracts. Each is asked about before anything is replaced, and none leads to another
// folder.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/unique_handle.h"
#include "install/in_use_finder.h"
#include "install/install_run.h"
#include "install/install_system.h"
#include "install/payload_store.h"
#include "tests/install/install_run_fixture.h"
#include "tests/install/install_test_support.h"
#include "tests/install/win32_test_support.h"

namespace stampwell {
namespace {

using testing::ReadWholeFile;
using testing::WriteWholeFile;

// A program of the installation, running until the test ends it.
class RunningProgram {
 public:
  explicit RunningProgram(const std::string& path) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::string command = "\"" + path + "\"";
    if (!CreateProcessA(path.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
      return;
    process_.reset(info.hProcess);
    unique_handle thread(info.hThread);
    // Its window is up: the program's file is mapped and the process named by its path.
    WaitForInputIdle(process_.get(), 30000);
  }
  ~RunningProgram() { End(); }
  RunningProgram(const RunningProgram&) = delete;
  RunningProgram& operator=(const RunningProgram&) = delete;

  bool Running() const { return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }
  void End() {
    if (!process_) return;
    TerminateProcess(process_.get(), 0);
    WaitForSingleObject(process_.get(), 30000);
    process_.reset();
  }

 private:
  unique_handle process_;
};

class InstallRunInUse : public testing::InstallRunFixture {
 protected:
  InstallRunInUse() : InstallRunFixture("install-run-in-use") {}

  // A whole installation to update, with a change of the user's in its first file.
  void InstallFirst() {
    Install();
    ASSERT_EQ(window.Page(), 4);
    dir = settings.InstallDir;
    WriteWholeFile(dir + "Help.CHM", "changed by the user");
    log_before = ReadWholeFile(dir + "Uninstall.txt");
    window = {};
    window.folder = scratch.path() + "Quendra Soft";
  }
  void ExpectNothingWritten() {
    EXPECT_EQ(ReadWholeFile(dir + "Help.CHM"), "changed by the user");
    EXPECT_EQ(ReadWholeFile(dir + "Uninstall.txt"), log_before);
  }
  void ExpectWholeInstallation() {
    EXPECT_EQ(window.Page(), 4);
    const std::string source = PayloadFolder();
    ASSERT_FALSE(source.empty()) << "STAMPWELL_PAYLOAD_FOLDER is not set";
    for (const std::string& entry : ProgramPayload().Manifest())
      EXPECT_TRUE(ReadWholeFile(dir + entry) == ReadWholeFile(source + entry)) << entry;
  }

  std::string dir;
  std::string log_before;
};

TEST_F(InstallRunInUse, RunningProductIsNamedCancelWritesNothingRetryInstallsOnceItIsClosed) {
  InstallFirst();
  RunningProgram product(dir + "Stampwell.exe");
  ASSERT_TRUE(product.Running());

  Install();
  ASSERT_EQ(window.questions.size(), 1u);
  EXPECT_EQ(window.questions[0].rfind("Quendra Stampwell is running:\r    " + dir + "Stampwell.exe\r", 0), 0u)
      << window.questions[0];
  EXPECT_TRUE(window.messages.empty());
  EXPECT_EQ(window.pages, (std::vector<int>{2}));
  EXPECT_EQ(window.folder, scratch.path() + "Quendra Soft");
  ExpectNothingWritten();

  // Retry while it still runs asks again; after it has been closed the update goes through.
  window = {};
  window.folder = scratch.path() + "Quendra Soft";
  window.retry = [&] {
    if (window.questions.size() == 2) product.End();
    return true;
  };
  Install(/*quick=*/true);
  EXPECT_EQ(window.questions.size(), 2u);
  EXPECT_TRUE(window.messages.empty());
  ExpectWholeInstallation();
}

TEST_F(InstallRunInUse, FileHeldOpenIsNamedAndNeverLeadsToTheDocumentsFolder) {
  InstallFirst();
  const std::string held = dir + "Data\\SDL.dll";
  unique_file reader(CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(reader);

  Install(/*quick=*/true);
  ASSERT_EQ(window.questions.size(), 1u);
  EXPECT_EQ(window.questions[0].rfind("These files of Quendra Stampwell are in use:\r    " + held + "\r", 0), 0u)
      << window.questions[0];
  EXPECT_TRUE(window.messages.empty());
  EXPECT_EQ(window.pages, (std::vector<int>{3, 0}));  // back to the choice page it came from
  EXPECT_EQ(window.folder, scratch.path() + "Quendra Soft");
  ExpectNothingWritten();
}

TEST_F(InstallRunInUse, ReadOnlyFileIsNotInUse) {
  // Its failure is the run's own (a privilege case), not a program to close.
  InstallFirst();
  ASSERT_TRUE(SetFileAttributesA((dir + "Help.CHM").c_str(), FILE_ATTRIBUTE_READONLY));
  std::vector<std::string> files{dir + "Help.CHM", dir + "not there.txt"};
  EXPECT_TRUE(FindFilesInUse(dir, files).empty());
  SetFileAttributesA((dir + "Help.CHM").c_str(), FILE_ATTRIBUTE_NORMAL);
  // A folder that does not exist holds nothing, and costs no look at the processes.
  EXPECT_TRUE(FindFilesInUse(scratch.path() + "nothing here", files).empty());
}

// The look before the run finds nothing; right after it another program opens a file of the
// installation, shared with nobody who would rename or replace it. The file lies directly in
// the installation folder, whose files the run replaces one by one: a product folder is moved
// aside whole, which Windows refuses while a file in it is open (the run then replaces its
// files one by one and meets the same file) but Wine allows, as Linux does.
class HoldsAFileAfterTheLook : public WindowsInstallSystem {
 public:
  using WindowsInstallSystem::WindowsInstallSystem;
  FilesInUse FindFilesInUse(const std::string& install_dir, const std::vector<std::string>& files) override {
    FilesInUse found = WindowsInstallSystem::FindFilesInUse(install_dir, files);
    if (!held) {
      const std::string path = (install_dir.back() == '\\' ? install_dir : install_dir + "\\") + "Help.CHM";
      held.reset(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    }
    return found;
  }
  unique_file held;
};

TEST_F(InstallRunInUse, FileTakenDuringTheExtractionIsAskedAboutAndTheRunTakenBack) {
  InstallFirst();
  HoldsAFileAfterTheLook system(settings, log, ProgramPayload(),
                                {[] { return std::string(kProductName); }, [] { return true; },
                                 [this](const std::string& text) { window.messages.push_back(text); }});
  RunInstall(settings, window, system);
  ASSERT_TRUE(system.held);
  ASSERT_EQ(window.questions.size(), 1u);
  EXPECT_NE(window.questions[0].find(dir + "Help.CHM"), std::string::npos) << window.questions[0];
  EXPECT_TRUE(window.messages.empty());  // not the installation error with its other folder
  EXPECT_EQ(window.Page(), 2);
  EXPECT_EQ(window.folder, scratch.path() + "Quendra Soft");
  ExpectNothingWritten();  // the files replaced before it are back
}

// Windows renames the file of a running program: one started after the look is no hindrance,
// and the update goes through.
class StartsTheProductAfterTheLook : public WindowsInstallSystem {
 public:
  using WindowsInstallSystem::WindowsInstallSystem;
  FilesInUse FindFilesInUse(const std::string& install_dir, const std::vector<std::string>& files) override {
    FilesInUse found = WindowsInstallSystem::FindFilesInUse(install_dir, files);
    if (!product)
      product = std::make_unique<RunningProgram>((install_dir.back() == '\\' ? install_dir : install_dir + "\\") +
                                                 "Stampwell.exe");
    return found;
  }
  std::unique_ptr<RunningProgram> product;
};

TEST_F(InstallRunInUse, ProductStartedDuringTheExtractionDoesNotStopTheUpdate) {
  InstallFirst();
  StartsTheProductAfterTheLook system(settings, log, ProgramPayload(),
                                      {[] { return std::string(kProductName); }, [] { return true; },
                                       [this](const std::string& text) { window.messages.push_back(text); }});
  RunInstall(settings, window, system);
  ASSERT_TRUE(system.product && system.product->Running());
  EXPECT_TRUE(window.questions.empty());
  EXPECT_TRUE(window.messages.empty());
  ExpectWholeInstallation();
}

}  // namespace
}  // namespace stampwell
