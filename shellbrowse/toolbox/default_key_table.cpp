#include "shellbrowse/toolbox/default_key_table.h"

#include <array>

#include "shellbrowse/toolbox/shell_strings.h"
#include "shellbrowse/toolbox/toolbox_error.h"
#include "shellbrowse_strings.h"

namespace stampwell {
namespace {

constexpr unsigned kKeyTextIds[kDefaultKeyCount] = {
    IDS_SB_KEY_SELECT_ALL, IDS_SB_KEY_DELETE, IDS_SB_KEY_COPY,  IDS_SB_KEY_CUT,
    IDS_SB_KEY_PASTE,      IDS_SB_KEY_REFRESH, IDS_SB_KEY_RENAME};

struct Table {
  bool loaded = false;
  std::array<DefaultKeyEntry, kDefaultKeyCount> entries;
};
Table& TheTable() {
  static Table table;
  return table;
}

}  // namespace

void LoadDefaultKeyTable() {
  Table& table = TheTable();
  for (int i = 0; i < kDefaultKeyCount; ++i) {
    std::string text = LoadToolboxString(kKeyTextIds[i]);
    table.entries[static_cast<std::size_t>(i)] = {text, ParseShortCutText(text)};
  }
  table.loaded = true;
}

const DefaultKeyEntry& DefaultKeyTable(int index) {
  if (index < 0 || index >= kDefaultKeyCount)
    throw ToolboxError("DefaultKeyTable: index out of bounds (" + std::to_string(index) + ")");
  if (!TheTable().loaded) LoadDefaultKeyTable();
  return TheTable().entries[static_cast<std::size_t>(index)];
}

const DefaultKeyEntry& DefaultKeyTable(DefaultKey key) { return DefaultKeyTable(static_cast<int>(key)); }

}  // namespace stampwell
