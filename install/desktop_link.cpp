#include "install/desktop_link.h"

#include <windows.h>
#include <shlobj.h>

#include "install/install_paths.h"
#include "install/logged_on_user.h"
#include "install/shell_link.h"
#include "setup/system_queries.h"

namespace stampwell {

std::string RunningAccountName() {
  char name[260];
  DWORD size = sizeof name;
  if (!GetUserNameA(name, &size) || size == 0) return {};
  return std::string(name, size - 1);
}

void CreateDesktopLink(const std::string& title, const std::string& target, TInstallLog& log) {
  CreateDesktopLink(title, target, log, LoggedOnUser());
}

void CreateDesktopLink(const std::string& title, const std::string& target, TInstallLog& log,
                       const std::string& user, RunJournal* journal) {
  const std::string desktop = GetSpecialFolderPath(CSIDL_DESKTOPDIRECTORY);
  // Without a desktop the path would fall to the root of the current drive: make nothing,
  // and log nothing that was not made.
  if (desktop.empty()) return;
  const std::string path = DesktopLinkPath(desktop, title, RunningAccountName(), user);
  ShellLinkObject object = MakeShellLinkFor(path);
  object.link->SetPath(target.c_str());
  object.link->SetWorkingDirectory(DirectoryPart(target).c_str());
  object.link->SetDescription(title.c_str());
  object.link->SetIconLocation(target.c_str(), 0);
  log.Add(path);
  SaveShellLink(object, path, journal);
}

}  // namespace stampwell
