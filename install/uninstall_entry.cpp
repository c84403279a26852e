#include "install/uninstall_entry.h"

#include "app/product_title.h"
#include "app/setup_settings.h"
#include "framework/unique_handle.h"
#include "install/install_error.h"

namespace stampwell {

LSTATUS SetRegistryStringValue(HKEY key, const char* name, const std::string& data) {
  return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                        static_cast<DWORD>(data.size() + 1));
}

SetRegistryStringFn SetRegistryString = &SetRegistryStringValue;

void WriteUninstallEntry(const std::string& keyPath, const std::vector<UninstallEntryValue>& values) {
  if (values.empty()) return;
  unique_hkey key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                      nullptr, key.put(), nullptr) != ERROR_SUCCESS)
    throw InstallError(FailedToSetDataMessage(values.front().name));
  for (const auto& value : values)
    if (SetRegistryString(key.get(), value.name.c_str(), value.data) != ERROR_SUCCESS)
      throw InstallError(FailedToSetDataMessage(value.name));
}

void WriteUninstallEntry() {
  const SetupSettings& settings = Settings();
  WriteUninstallEntry(settings.UninstallKeyPath,
                      UninstallEntryValues({ProductTitle(), settings.InstallDir, settings.MainExeName,
                                            settings.PublisherName, settings.HomePageUrl}));
}

}  // namespace stampwell
