#include "shellbrowse/folderbrowse/folder_browse_options.h"

#include <array>
#include <utility>

namespace stampwell {
namespace {

constexpr std::array<const char*, kFolderBrowseDlgOptionCount> kNames = {
    "ptfbCreateDeleteButtons", "ptfbContextMenus",     "ptfbReadOnly",         "ptfbIncludeNonFolders",
    "ptfbOleDrag",             "ptfbOleDrop",          "ptfbCreateFolderIcon", "ptfbDeleteFolderIcon",
    "ptfbVirtualFolders",      "ptfbShowHidden",
};

}  // namespace

const char* FolderBrowseOptionName(TPTFolderBrowseDlgOption option) {
  return option < kNames.size() ? kNames[option] : "";
}

std::vector<std::string> FolderBrowseOptionNames(TPTFolderBrowseDlgOptions options) {
  std::vector<std::string> names;
  for (int i = 0; i < kFolderBrowseDlgOptionCount; ++i) {
    if (options & (1u << i)) names.emplace_back(kNames[static_cast<size_t>(i)]);
  }
  return names;
}

std::optional<std::vector<std::string>> StoredFolderBrowseOptions(TPTFolderBrowseDlgOptions options) {
  if (options == kDefaultFolderBrowseDlgOptions) return std::nullopt;
  return FolderBrowseOptionNames(options);
}

std::optional<TPTFolderBrowseDlgOptions> FolderBrowseOptionsFromNames(const std::vector<std::string>& names,
                                                                       std::string* unknown) {
  TPTFolderBrowseDlgOptions options = 0;
  for (const std::string& name : names) {
    bool found = false;
    for (size_t i = 0; i < kNames.size(); ++i) {
      if (name == kNames[i]) {
        options = static_cast<TPTFolderBrowseDlgOptions>(options | (1u << i));
        found = true;
        break;
      }
    }
    if (!found) {
      if (unknown) *unknown = name;
      return std::nullopt;
    }
  }
  return options;
}

TPTShellTreeOptions TreeOptionsForDialog(TPTFolderBrowseDlgOptions dialog, TPTShellTreeOptions tree) {
  static constexpr std::pair<TPTFolderBrowseDlgOption, TPTShellTreeOption> kGoverned[] = {
      {ptfbOleDrag, ptstoOleDrag},
      {ptfbOleDrop, ptstoOleDrop},
      {ptfbIncludeNonFolders, ptstoIncludeNonFolders},
      {ptfbVirtualFolders, ptstoVirtualFolders},
      {ptfbContextMenus, ptstoContextMenus},
      {ptfbShowHidden, ptstoShowHidden},
  };
  for (const auto& [option, tree_option] : kGoverned) {
    if (HasFolderBrowseOption(dialog, option)) tree += tree_option;
    else tree -= tree_option;
  }
  return tree;
}

}  // namespace stampwell
