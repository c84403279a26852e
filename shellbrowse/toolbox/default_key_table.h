#pragma once
// The library's default keys: select all, delete, copy, cut, paste, refresh, rename.

#include <string>

#include "shellbrowse/toolbox/shortcut_text.h"

namespace stampwell {

enum class DefaultKey { SelectAll = 0, Delete, Copy, Cut, Paste, Refresh, Rename };
constexpr int kDefaultKeyCount = 7;

struct DefaultKeyEntry {
  std::string text;     // from the string table
  TShortCut shortcut;   // the text parsed, once
};

// Entry `key` (index 0 to 6); the texts are read and parsed on first use.
const DefaultKeyEntry& DefaultKeyTable(DefaultKey key);
const DefaultKeyEntry& DefaultKeyTable(int index);

// Reads the seven texts again (at subsystem start).
void LoadDefaultKeyTable();

}  // namespace stampwell
