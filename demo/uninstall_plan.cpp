#include "demo/uninstall_plan.h"

#include <stdexcept>

#include "framework/ascii.h"
#include "install/text_lines.h"

namespace stampwell::demo {
namespace {

bool SafeComponents(std::string_view rest, int minimum) {
  int count = 0;
  std::size_t start = 0;
  while (start <= rest.size()) {
    std::size_t end = rest.find('\\', start);
    if (end == std::string_view::npos) end = rest.size();
    std::string_view component = rest.substr(start, end - start);
    if (component.empty() || component == "." || component == "..") return false;
    ++count;
    start = end + 1;
  }
  return count >= minimum;
}

}  // namespace

bool IsSafeAbsolutePath(std::string_view path) {
  if (path.find_first_of("/*?\"<>|") != std::string_view::npos) return false;
  for (unsigned char c : path)
    if (c < 32) return false;
  if (path.size() >= 3 && ((AsciiUpper(path[0]) >= 'A' && AsciiUpper(path[0]) <= 'Z') && path[1] == ':' && path[2] == '\\')) {
    std::string_view rest = path.substr(3);
    return rest.find(':') == std::string_view::npos && SafeComponents(rest, 1);
  }
  // \\server\share\something; "\\?\" and "\\.\" device paths are not for a log.
  if (path.starts_with("\\\\")) {
    std::string_view rest = path.substr(2);
    return rest.find(':') == std::string_view::npos && !rest.starts_with("?\\") && !rest.starts_with(".\\") &&
           SafeComponents(rest, 3);
  }
  return false;
}

bool SamePath(std::string_view a, std::string_view b) {
  return EqualIgnoringAsciiCase(a, b);
}

bool IsInsideFolder(std::string_view path, std::string_view folder) {
  while (!folder.empty() && folder.back() == '\\') folder.remove_suffix(1);
  return path.size() > folder.size() + 1 && path[folder.size()] == '\\' &&
         SamePath(path.substr(0, folder.size()), folder);
}

UninstallPlan ReadUninstallLog(std::string_view text, std::string_view title) {
  std::vector<std::string_view> lines = SplitTextLines(text);
  if (lines.empty() || lines.front() != title)
    throw std::runtime_error("the file is not an uninstall log of this product");

  UninstallPlan plan;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    std::string_view line = lines[i];
    int number = static_cast<int>(i) + 1;
    if (line.empty()) continue;
    std::vector<std::string>* into = &plan.files;
    if (line.starts_with("<DIR>")) {
      line.remove_prefix(5);
      into = &plan.folders;
    } else if (line.starts_with("<SDIR>")) {
      line.remove_prefix(6);
      into = &plan.top_folders;
    }
    if (into != &plan.files && line.size() > 3 && line.back() == '\\') line.remove_suffix(1);
    if (!IsSafeAbsolutePath(line)) {
      plan.refused.push_back({number, std::string(lines[i]), "not a plain absolute path"});
      continue;
    }
    into->emplace_back(line);
  }
  return plan;
}

}  // namespace stampwell::demo
