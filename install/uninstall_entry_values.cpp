#include "install/uninstall_entry_values.h"

namespace stampwell {

std::vector<UninstallEntryValue> UninstallEntryValues(const UninstallEntrySource& source) {
  std::string dir = source.installDir;
  if (dir.empty() || dir.back() != '\\') dir += '\\';
  return {
      {"DisplayName", source.productTitle},
      {"UninstallString", "\"" + dir + "unin00000.exe\""},
      {"DisplayIcon", dir + source.mainExeName},
      {"InstallLocation", dir},
      {"Publisher", source.publisherName},
      {"URLInfoAbout", source.homePageUrl},
      {"HelpLink", source.homePageUrl},
      {"URLUpdateInfo", source.homePageUrl},
  };
}

std::string FailedToSetDataMessage(const std::string& valueName) {
  return "Failed to set data for '" + valueName + "'";
}

}  // namespace stampwell
