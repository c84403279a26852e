#pragma once
// The folder browse dialog's option set: ten options, bit N for the option of ordinal N, held
// in 16 bits. Form resources store the set as a list of the options' names, and only when it
// differs from the default. Portable.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "shellbrowse/tree/shell_tree_options.h"

namespace stampwell {

enum TPTFolderBrowseDlgOption : std::uint8_t {
  ptfbCreateDeleteButtons,
  ptfbContextMenus,
  ptfbReadOnly,
  ptfbIncludeNonFolders,
  ptfbOleDrag,
  ptfbOleDrop,
  ptfbCreateFolderIcon,
  ptfbDeleteFolderIcon,
  ptfbVirtualFolders,
  ptfbShowHidden,
};
constexpr int kFolderBrowseDlgOptionCount = 10;

using TPTFolderBrowseDlgOptions = std::uint16_t;

constexpr TPTFolderBrowseDlgOptions FolderBrowseOption(TPTFolderBrowseDlgOption option) {
  return static_cast<TPTFolderBrowseDlgOptions>(1u << option);
}
constexpr bool HasFolderBrowseOption(TPTFolderBrowseDlgOptions options, TPTFolderBrowseDlgOption option) {
  return (options & FolderBrowseOption(option)) != 0;
}

// [ptfbContextMenus, ptfbCreateFolderIcon, ptfbDeleteFolderIcon, ptfbShowHidden].
constexpr TPTFolderBrowseDlgOptions kDefaultFolderBrowseDlgOptions = 706;

// The name of an option ("ptfbShowHidden"); names follow the ordinals.
const char* FolderBrowseOptionName(TPTFolderBrowseDlgOption option);

// The names of the options in the set, in ordinal order.
std::vector<std::string> FolderBrowseOptionNames(TPTFolderBrowseDlgOptions options);

// What a form resource stores for the set: the names, or nothing when the set is the default.
std::optional<std::vector<std::string>> StoredFolderBrowseOptions(TPTFolderBrowseDlgOptions options);

// The set that a list of names gives. A name that is no option leaves the result empty and
// is reported in `unknown`; repeated names count once. The empty list is the empty set.
std::optional<TPTFolderBrowseDlgOptions> FolderBrowseOptionsFromNames(const std::vector<std::string>& names,
                                                                       std::string* unknown = nullptr);

// The tree's options under the dialog's: the six options that the dialog governs (OLE drag,
// OLE drop, non-folders, virtual folders, context menus, hidden items) follow the dialog's set;
// the others (auto fill, design interaction, default keys, dynamic refresh) keep their values.
TPTShellTreeOptions TreeOptionsForDialog(TPTFolderBrowseDlgOptions dialog, TPTShellTreeOptions tree);

}  // namespace stampwell
