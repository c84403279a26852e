#pragma once
// The per-user uninstall entry under HKEY_CURRENT_USER, which lists the product among the
// installed programs and points at its uninstaller.

#include <windows.h>

#include <string>
#include <vector>

#include "install/uninstall_entry_values.h"

namespace stampwell {

// Opens keyPath under HKEY_CURRENT_USER with full access (creating it when missing) and writes
// the values in order, each as REG_SZ or REG_DWORD. Throws InstallError "Failed to set data for '<name>'" at the
// first value that cannot be written, leaving those before it; when the key cannot be opened
// or created, the message names the first value.
void WriteUninstallEntry(const std::string& keyPath, const std::vector<UninstallEntryValue>& values);

// The registry writes that WriteUninstallEntry makes for each value. Wine writes every value
// of a key that it has opened, so tests swap these to make one value fail; nothing else does.
using SetRegistryStringFn = LSTATUS (*)(HKEY key, const char* name, const std::string& data);
extern SetRegistryStringFn SetRegistryString;
LSTATUS SetRegistryStringValue(HKEY key, const char* name, const std::string& data);
using SetRegistryDwordFn = LSTATUS (*)(HKEY key, const char* name, DWORD data);
extern SetRegistryDwordFn SetRegistryDword;
LSTATUS SetRegistryDwordValue(HKEY key, const char* name, DWORD data);

}  // namespace stampwell
