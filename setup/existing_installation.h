#pragma once
// The installation that our uninstall entry names: an update goes into it rather than beside
// it, whichever install button the user takes.

#include <optional>
#include <string>
#include <string_view>

namespace stampwell {

// The folder field's text that installs into `install_location` (the entry's location, which
// ends in the product's own folder and a backslash): the location less that folder. Nothing
// when the location does not end in the product's folder or does not name its drive.
std::optional<std::string> FolderFieldForInstallation(std::string_view install_location, std::string_view title);

// The folder field's text for the installation that the current user's uninstall entry
// (`key_path` under HKEY_CURRENT_USER) names, when that folder still holds `main_exe`;
// otherwise nothing.
std::optional<std::string> ExistingInstallationFolder(const std::string& key_path, const std::string& title,
                                                      const std::string& main_exe);

}  // namespace stampwell
