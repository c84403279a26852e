#pragma once
// Values of keys below HKEY_CURRENT_USER read and put back exactly as they were (their type
// and bytes, through the wide functions, so that no text is converted on the way), for the
// journal of the install run.

#include <optional>
#include <string>

#include "install/journal_records.h"

namespace stampwell {

bool RegistryKeyExists(const std::string& key);
// The value's type and bytes; nothing when the key or the value does not exist.
std::optional<RegistryData> ReadRegistryValue(const std::string& key, const std::string& name);
// Sets the value to `earlier`, or removes it when it did not exist.
void RestoreRegistryValue(const std::string& key, const std::string& name, const std::optional<RegistryData>& earlier);
// Removes the key when nothing is left in it (no value, no subkey): what someone else put
// there since stays.
void RemoveRegistryKeyIfEmpty(const std::string& key);

}  // namespace stampwell
