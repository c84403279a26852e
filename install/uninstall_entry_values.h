#pragma once
// The values of the per-user uninstall entry, in the order in which they are written.
// Portable; install/uninstall_entry.h writes them to the registry.

#include <string>
#include <vector>

namespace stampwell {

struct UninstallEntryValue {
  std::string name;
  std::string data;  // written as REG_SZ
};

struct UninstallEntrySource {
  std::string productTitle;
  std::string installDir;  // a missing final backslash is supplied
  std::string mainExeName;
  std::string publisherName;
  std::string homePageUrl;
};

// DisplayName, UninstallString, DisplayIcon, InstallLocation, Publisher, URLInfoAbout,
// HelpLink, URLUpdateInfo.
std::vector<UninstallEntryValue> UninstallEntryValues(const UninstallEntrySource& source);

// "Failed to set data for '<name>'"
std::string FailedToSetDataMessage(const std::string& valueName);

}  // namespace stampwell
