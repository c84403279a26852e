#pragma once
// What the demo uninstaller removes, read from the uninstall log. Portable.
//
// The uninstaller acts only on what the log lists, and only on absolute paths that cannot
// climb out of where they point: a log is a plain text file that anyone may edit, and the
// uninstaller runs with the rights of whoever starts it.

#include <string>
#include <string_view>
#include <vector>

namespace stampwell::demo {

struct RefusedLine {
  int line = 0;  // from 1
  std::string text;
  std::string reason;
};

struct UninstallPlan {
  std::vector<std::string> files;        // in log order
  std::vector<std::string> folders;      // "<DIR>" lines in log order, without the marker
  std::vector<std::string> top_folders;  // "<SDIR>" lines in log order, without marker and final backslash
  std::vector<RefusedLine> refused;
};

// True when path is "X:\..." or "\\server\share\..." and has no empty, "." or ".."
// component, no forward slash and no wildcard, and is not a drive or share root.
bool IsSafeAbsolutePath(std::string_view path);

// Splits the log (CR LF or LF line ends). Throws std::runtime_error when the first line is not
// title: the file is then not a log of this product and nothing in it is to be trusted.
UninstallPlan ReadUninstallLog(std::string_view text, std::string_view title);

// True when path lies inside folder (case-insensitive, as Windows compares paths).
bool IsInsideFolder(std::string_view path, std::string_view folder);

// Case-insensitive comparison of two paths.
bool SamePath(std::string_view a, std::string_view b);

}  // namespace stampwell::demo
