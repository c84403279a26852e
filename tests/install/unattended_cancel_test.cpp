// Closing the progress window of a /SILENT run cancels it: exit code 1602, and what the run
// had made is taken away. The close is posted before the run starts, so the run meets it at
// its first file whatever the machine's speed.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "app/unattended_install.h"
#include "framework/application.h"
#include "setup/command_line.h"
#include "setup/exit_codes.h"
#include "setup/setup_settings.h"
#include "tests/install/install_test_support.h"
#include "tests/install/win32_test_support.h"
#include "wizard/form1.h"

namespace stampwell {
namespace {

using testing::Exists;
using testing::ReadWholeFile;

TEST(UnattendedCancel, ClosingTheProgressWindowCancelsAndTakesAwayWhatTheRunMade) {
  testing::RemoveInstallationTraces();
  testing::ScratchFolder scratch("unattended-cancel");
  SetupOptions options;
  options.mode = SetupUiMode::Silent;
  options.install_dir = scratch.path() + "New Folder\\Stampwell";
  options.log_file = scratch.path() + "setup.log";
  wizard::TForm1 form;
  form.ShowPage(kProgressPage);
  form.Show();
  PostMessageA(form.hwnd(), WM_CLOSE, 0, 0);

  EXPECT_EQ(RunUnattendedInstall(options, &form, false), kExitCancelled);
  // The run refused the close and kept its window, as the wizard's run does.
  EXPECT_TRUE(IsWindowVisible(form.hwnd()));
  EXPECT_FALSE(form.InstallRunning());
  EXPECT_FALSE(Exists(scratch.path() + "New Folder"));  // made for the run, so taken away
  EXPECT_TRUE(Exists(scratch.path()));
  std::string data;
  EXPECT_FALSE(testing::ReadEntryValue("DisplayName", data));
  const std::string log = ReadWholeFile(*options.log_file);
  EXPECT_NE(log.find("Cancelled by the user\r\n"), std::string::npos) << log;
  EXPECT_EQ(log.find("Message: "), std::string::npos) << log;  // the stop's own message is not the cause
  EXPECT_NE(log.find("Setup ended with exit code 1602\r\n"), std::string::npos) << log;
  testing::RemoveInstallationTraces();
}

}  // namespace
}  // namespace stampwell
