#include "install/start_menu_step.h"

#include "install/directories.h"
#include "install/install_layout.h"
#include "install/shell_link.h"

namespace stampwell {

void RunStartMenuStep(StartMenuStepContext& c) {
  SetupSettings& s = c.settings;
  for (std::string& line : InstallFolderLogLines(s.InstallDir)) c.log.Add(std::move(line));
  if (!c.make_group || c.programs_folder.empty()) return;
  // The shortened name is the one the registry entry records later.
  if (!s.PublisherName.empty() && s.PublisherName.front() == '\\') s.PublisherName.erase(0, 1);
  std::string group = StartMenuGroupDirFor(c.programs_folder, s.PublisherName, c.product_title);
  if (!(c.journal ? c.journal->MakeFolders(group) : ForceDirectories(group))) {
    c.show_message(kStartMenuFolderFailedMessage);
    return;
  }
  auto shortcuts = GroupShortcuts({group, c.product_title, s.HomePageUrl, s.BuyPageUrl, s.InstallDir, s.MainExeName});
  for (const GroupShortcut& shortcut : shortcuts) CreateLink(shortcut.target, "", shortcut.link_file, "", c.journal);
  for (std::string& line : GroupLogLines(shortcuts, group)) c.log.Add(std::move(line));
}

}  // namespace stampwell
