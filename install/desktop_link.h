#pragma once
// The desktop shortcut of the product, on the desktop of the user who is logged on.

#include <string>

#include "install/install_log.h"
#include "install/run_journal.h"

namespace stampwell {

// Writes <desktop>\<title>.lnk pointing at target (working folder its directory, icon the
// target's first, description the title) and adds its path to log before saving it. The
// desktop is the running account's, with the account's name in its path replaced by the
// logged-on user's; with no logged-on user known, the running account's own. With a
// journal, an earlier shortcut of that name is moved aside first (a new one recorded).
// Throws InstallError "Cannot create file "<path>". <system message>" when the ShellLink
// object cannot be made or the shortcut cannot be saved.
void CreateDesktopLink(const std::string& title, const std::string& target, TInstallLog& log);
// The same with the logged-on user's name already asked (LoggedOnUserQuery).
void CreateDesktopLink(const std::string& title, const std::string& target, TInstallLog& log,
                       const std::string& logged_on_user, RunJournal* journal = nullptr);

// The name of the account that runs the program; empty when it cannot be read.
std::string RunningAccountName();

}  // namespace stampwell
