#include "install/files_in_use.h"

#include <algorithm>
#include <cstddef>

namespace stampwell {
namespace {

// A message box taller than the screen hides its buttons.
constexpr std::size_t kLongestList = 8;

void AppendList(std::string& text, const std::vector<std::string>& paths) {
  const std::size_t shown = std::min(paths.size(), kLongestList);
  for (std::size_t i = 0; i < shown; ++i) text += "    " + paths[i] + "\r";
  if (paths.size() > shown) text += "    and " + std::to_string(paths.size() - shown) + " more\r";
}

bool ContainsIgnoringCase(const std::vector<std::string>& paths, const std::string& path) {
  auto lower = [](std::string s) {
    for (char& c : s)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
  };
  const std::string wanted = lower(path);
  return std::any_of(paths.begin(), paths.end(), [&](const std::string& p) { return lower(p) == wanted; });
}

}  // namespace

std::string FilesInUseMessage(const std::string& product_title, const FilesInUse& in_use) {
  std::string text;
  if (!in_use.programs.empty()) {
    text += product_title + " is running:\r";
    AppendList(text, in_use.programs);
  }
  // A running program's own file is held by it: named once, as the program.
  std::vector<std::string> files;
  for (const std::string& file : in_use.files)
    if (!ContainsIgnoringCase(in_use.programs, file)) files.push_back(file);
  if (!files.empty()) {
    text += "These files of " + product_title + " are in use:\r";
    AppendList(text, files);
  }
  if (!in_use.holders.empty()) {
    text += "Used by:";
    for (std::size_t i = 0; i < in_use.holders.size(); ++i) text += (i ? ", " : " ") + in_use.holders[i];
    text += "\r";
  }
  text += in_use.programs.empty() ? "\rPlease close the programs that use them, then click Retry.\r"
                                  : "\rPlease close " + product_title + ", then click Retry.\r";
  text += "Cancel leaves the installed files as they are.";
  return text;
}

}  // namespace stampwell
