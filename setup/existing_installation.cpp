#include "setup/existing_installation.h"

#include <windows.h>

#include "framework/unique_handle.h"

namespace stampwell {

std::optional<std::string> ExistingInstallationFolder(const std::string& key_path, const std::string& title,
                                                      const std::string& main_exe) {
  unique_hkey key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key_path.c_str(), 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS)
    return std::nullopt;
  char location[MAX_PATH + 1] = {};
  DWORD type = 0, size = MAX_PATH;  // one byte is kept for the zero that a value may lack
  if (RegQueryValueExA(key.get(), "InstallLocation", nullptr, &type, reinterpret_cast<BYTE*>(location), &size) !=
          ERROR_SUCCESS ||
      type != REG_SZ)
    return std::nullopt;
  std::string path(location);
  std::optional<std::string> folder = FolderFieldForInstallation(path, title);
  if (!folder) return std::nullopt;
  // An entry whose folder has been emptied or removed by hand names no installation.
  if (path.back() != '\\') path += '\\';
  const DWORD attributes = GetFileAttributesA((path + main_exe).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return std::nullopt;
  return folder;
}

}  // namespace stampwell
