#pragma once
// The per-user uninstall entry under HKEY_CURRENT_USER, which lists the product among the
// installed programs and points at its uninstaller.

#include <windows.h>

#include <string>
#include <vector>

#include "install/uninstall_entry_values.h"

namespace stampwell {

// Opens keyPath under HKEY_CURRENT_USER with full access (creating it when missing) and writes
// the values as REG_SZ, in order. Throws InstallError "Failed to set data for '<name>'" at the
// first value that cannot be written, leaving those before it; when the key cannot be opened
// or created, the message names the first value.
void WriteUninstallEntry(const std::string& keyPath, const std::vector<UninstallEntryValue>& values);

// The entry of this installation, from SetupSettings, ProductTitle() and InstallDir.
void WriteUninstallEntry();

// The registry write that WriteUninstallEntry makes for each value. Wine writes every value
// of a key that it has opened, so tests swap this to make one value fail; nothing else does.
using SetRegistryStringFn = LSTATUS (*)(HKEY key, const char* name, const std::string& data);
extern SetRegistryStringFn SetRegistryString;
LSTATUS SetRegistryStringValue(HKEY key, const char* name, const std::string& data);

}  // namespace stampwell
