#include "install/uninstall_entry.h"

#include "framework/unique_handle.h"
#include "install/install_error.h"

namespace stampwell {

LSTATUS SetRegistryStringValue(HKEY key, const char* name, const std::string& data) {
  return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                        static_cast<DWORD>(data.size() + 1));
}

SetRegistryStringFn SetRegistryString = &SetRegistryStringValue;

LSTATUS SetRegistryDwordValue(HKEY key, const char* name, DWORD data) {
  return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
}

SetRegistryDwordFn SetRegistryDword = &SetRegistryDwordValue;

void WriteUninstallEntry(const std::string& keyPath, const std::vector<UninstallEntryValue>& values) {
  if (values.empty()) return;
  unique_hkey key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                      nullptr, key.put(), nullptr) != ERROR_SUCCESS)
    throw InstallError(FailedToSetDataMessage(values.front().name));
  for (const auto& value : values) {
    const LSTATUS written = value.dword ? SetRegistryDword(key.get(), value.name.c_str(), *value.dword)
                                        : SetRegistryString(key.get(), value.name.c_str(), value.data);
    if (written != ERROR_SUCCESS) throw InstallError(FailedToSetDataMessage(value.name));
  }
}


}  // namespace stampwell
