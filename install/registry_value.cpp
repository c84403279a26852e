#include "install/registry_value.h"

#include <windows.h>

#include "framework/unique_handle.h"
#include "install/shell_link.h"

namespace stampwell {
namespace {

unique_hkey OpenKey(const std::string& key, REGSAM access) {
  unique_hkey opened;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, WidePath(key).c_str(), 0, access, opened.put()) != ERROR_SUCCESS) return {};
  return opened;
}

}  // namespace

bool RegistryKeyExists(const std::string& key) { return static_cast<bool>(OpenKey(key, KEY_QUERY_VALUE)); }

std::optional<RegistryData> ReadRegistryValue(const std::string& key, const std::string& name) {
  const unique_hkey opened = OpenKey(key, KEY_QUERY_VALUE);
  if (!opened) return std::nullopt;
  const std::wstring wide_name = WidePath(name);
  RegistryData data;
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(opened.get(), wide_name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
    return std::nullopt;
  data.bytes.resize(size);
  if (RegQueryValueExW(opened.get(), wide_name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.bytes.data()),
                       &size) != ERROR_SUCCESS)
    return std::nullopt;
  data.bytes.resize(size);
  data.type = type;
  return data;
}

void RestoreRegistryValue(const std::string& key, const std::string& name, const std::optional<RegistryData>& earlier) {
  const unique_hkey opened = OpenKey(key, KEY_SET_VALUE);
  if (!opened) return;  // the key is gone, and with it the value
  const std::wstring wide_name = WidePath(name);
  if (!earlier) {
    RegDeleteValueW(opened.get(), wide_name.c_str());
    return;
  }
  RegSetValueExW(opened.get(), wide_name.c_str(), 0, earlier->type,
                 reinterpret_cast<const BYTE*>(earlier->bytes.data()), static_cast<DWORD>(earlier->bytes.size()));
}

void RemoveRegistryKeyIfEmpty(const std::string& key) {
  DWORD subkeys = 0, values = 0;
  {
    const unique_hkey opened = OpenKey(key, KEY_QUERY_VALUE);
    if (!opened || RegQueryInfoKeyW(opened.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                                    nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      return;
  }
  if (subkeys == 0 && values == 0) RegDeleteKeyW(HKEY_CURRENT_USER, WidePath(key).c_str());
}

}  // namespace stampwell
