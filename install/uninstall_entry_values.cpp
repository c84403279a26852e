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
      {"DisplayVersion", source.displayVersion},
      {"EstimatedSize", EstimatedSizeKb(source.payloadBytes)},
      {"NoModify", 1u},
      {"NoRepair", 1u},
  };
}

std::uint32_t EstimatedSizeKb(std::uint64_t bytes) {
  // Rounded up, so that a payload of a few bytes does not read as nothing.
  const std::uint64_t kb = (bytes + 1023) / 1024;
  return kb > UINT32_MAX ? UINT32_MAX : static_cast<std::uint32_t>(kb);
}

std::string FailedToSetDataMessage(const std::string& valueName) {
  return "Failed to set data for '" + valueName + "'";
}

}  // namespace stampwell
