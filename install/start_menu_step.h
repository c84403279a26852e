#pragma once
// The folder lines of the uninstall log and the product's Start Menu group.

#include <functional>
#include <string>

#include "install/install_log.h"
#include "install/run_journal.h"
#include "setup/setup_settings.h"

namespace stampwell {

inline constexpr char kStartMenuFolderFailedMessage[] = "Error! Can not create Start Menu Folder!";

struct StartMenuStepContext {
  SetupSettings& settings;  // InstallDir ends in a backslash; PublisherName may be shortened
  std::string product_title;
  bool make_group = true;  // the Start Menu box
  TInstallLog& log;
  std::function<void(const std::string&)> show_message;  // a plain message
  std::string programs_folder;                           // ends in a backslash, or empty
  RunJournal* journal = nullptr;  // the run's, which the group's folders and shortcuts go through
};

// Adds the twelve folder lines and the installation directory's line; then, when the group
// is wanted and the Programs folder is known, makes the group folder and its five shortcuts
// and adds their lines. A group folder that cannot be made gets the message and no lines.
// Errors of the shortcuts pass to the caller, leaving the shortcuts made before and no line
// of the group.
void RunStartMenuStep(StartMenuStepContext& context);

}  // namespace stampwell
