#pragma once
// The values of the per-user uninstall entry, in the order in which they are written.
// Portable; install/uninstall_entry.h writes them to the registry.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace stampwell {

struct UninstallEntryValue {
  UninstallEntryValue(std::string value_name, std::string text) : name(std::move(value_name)), data(std::move(text)) {}
  UninstallEntryValue(std::string value_name, std::uint32_t number) : name(std::move(value_name)), dword(number) {}

  std::string name;
  std::string data;                    // written as REG_SZ
  std::optional<std::uint32_t> dword;  // when set, written as REG_DWORD instead
};

struct UninstallEntrySource {
  std::string productTitle;
  std::string installDir;  // a missing final backslash is supplied
  std::string mainExeName;
  std::string publisherName;
  std::string homePageUrl;
  std::string displayVersion;        // the program's version record
  std::uint64_t payloadBytes = 0;    // every file of the payload together
};

// Deployment tools and the list of installed programs read the size in KB.
std::uint32_t EstimatedSizeKb(std::uint64_t bytes);

// DisplayName, UninstallString, DisplayIcon, InstallLocation, Publisher, URLInfoAbout,
// HelpLink, URLUpdateInfo; then DisplayVersion, EstimatedSize (REG_DWORD, KB), NoModify and
// NoRepair (REG_DWORD 1: the setup offers neither, so the list shows Uninstall alone).
std::vector<UninstallEntryValue> UninstallEntryValues(const UninstallEntrySource& source);

// "Failed to set data for '<name>'"
std::string FailedToSetDataMessage(const std::string& valueName);

}  // namespace stampwell
