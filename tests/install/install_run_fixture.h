#pragma once
// A real install run of the program's own payload into a scratch folder, with the traces of
// earlier runs (shortcuts, the uninstall entry) removed before and after each test.

#include <gtest/gtest.h>

#include <windows.h>
#include <ole2.h>

#include <cstdlib>
#include <string>

#include "install/install_run.h"
#include "install/install_system.h"
#include "install/payload_store.h"
#include "setup/setup_settings.h"
#include "setup/system_queries.h"
#include "tests/install/install_test_support.h"
#include "tests/install/win32_test_support.h"

namespace stampwell::testing {

class InstallRunFixture : public ::testing::Test {
 protected:
  explicit InstallRunFixture(const std::string& scratch_name) : scratch(scratch_name) {}

  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    RemoveInstallationTraces();
    AssignSetupSettings(settings, IsWindows64Bit());
    window.folder = scratch.path() + "Quendra Soft";
  }
  void TearDown() override {
    RemoveInstallationTraces();
    OleUninitialize();
  }

  WindowsInstallSystem System() {
    return WindowsInstallSystem(settings, log, ProgramPayload(),
                                {[] { return std::string(kProductName); }, [this] { return start_menu; },
                                 [this](const std::string& text) { window.messages.push_back(text); }});
  }
  // The payload folder the build compiled into the program, as a Windows path ending in a
  // backslash; empty when the test runs without it.
  static std::string PayloadFolder() {
    const char* folder = std::getenv("STAMPWELL_PAYLOAD_FOLDER");
    if (!folder) return {};
    std::string path = std::string("Z:") + folder + "\\";
    for (char& c : path)
      if (c == '/') c = '\\';
    return path;
  }
  void Install(bool quick = false) {
    WindowsInstallSystem system = System();
    if (quick)
      RunQuickInstall(settings, window, system);
    else
      RunInstall(settings, window, system);
  }

  ScratchFolder scratch;
  SetupSettings settings;
  TInstallLog log;
  RecordingWindow window;
  bool start_menu = true;
};

}  // namespace stampwell::testing
