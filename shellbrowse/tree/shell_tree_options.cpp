#include "shellbrowse/tree/shell_tree_options.h"

namespace stampwell {
namespace {

constexpr const char* kNames[kShellTreeOptionCount] = {
    "ptstoAutoFill",          "ptstoVirtualFolders", "ptstoDesignInteractive", "ptstoDefaultKeyHandling",
    "ptstoContextMenus",      "ptstoDynamicRefresh", "ptstoIncludeNonFolders", "ptstoOleDrag",
    "ptstoOleDrop",           "ptstoShowHidden",
};

}  // namespace

std::string ShellTreeOptionName(int ordinal) {
  if (ordinal < 0 || ordinal >= kShellTreeOptionCount) return std::string();
  return kNames[ordinal];
}

std::vector<std::string> ShellTreeOptionNames(TPTShellTreeOptions options) {
  std::vector<std::string> names;
  for (int i = 0; i < kShellTreeOptionCount; ++i) {
    if (options.Contains(static_cast<TPTShellTreeOption>(i))) names.emplace_back(kNames[i]);
  }
  return names;
}

bool ParseShellTreeOptions(const std::vector<std::string>& names, TPTShellTreeOptions& options, std::string& unknown) {
  TPTShellTreeOptions parsed;
  for (const std::string& name : names) {
    int found = -1;
    for (int i = 0; i < kShellTreeOptionCount && found < 0; ++i) {
      if (name == kNames[i]) found = i;
    }
    if (found < 0) {
      unknown = name;
      return false;
    }
    parsed += static_cast<TPTShellTreeOption>(found);
  }
  options = parsed;
  return true;
}

}  // namespace stampwell
