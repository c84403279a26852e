#pragma once
// The desktop shortcut of the product, on the desktop of the user who is logged on.

#include <string>

#include "install/install_log.h"

namespace stampwell {

// Writes <desktop>\<title>.lnk pointing at target (working folder its directory, icon the
// target's first, description the title) and adds its path to log before saving it. The
// desktop is the running account's, with the account's name in its path replaced by the
// logged-on user's; with no logged-on user known, the running account's own. Throws
// InstallError with the system's message when the ShellLink object cannot be made; a save
// that fails is not reported, and its line stays in the log.
void CreateDesktopLink(const std::string& title, const std::string& target, TInstallLog& log);
// The same with the logged-on user's name already asked (LoggedOnUserQuery).
void CreateDesktopLink(const std::string& title, const std::string& target, TInstallLog& log,
                       const std::string& logged_on_user);

// The name of the account that runs the program; empty when it cannot be read.
std::string RunningAccountName();

}  // namespace stampwell
