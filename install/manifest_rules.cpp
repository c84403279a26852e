#include "install/manifest_rules.h"

#include <algorithm>
#include <array>
#include <map>
#include <utility>

#include "framework/ascii.h"
#include "install/install_layout.h"
#include "install/text_lines.h"

namespace stampwell {
namespace {

bool SameFolder(std::string_view a, std::string_view b) { return EqualIgnoringAsciiCase(a, b); }

// Names that Windows takes as devices whatever the extension ("NUL.txt" is the device NUL).
bool IsDeviceName(std::string_view component) {
  std::string stem = AsciiUpper(component.substr(0, component.find('.')));
  static constexpr std::array<std::string_view, 4> kPlain = {"CON", "PRN", "AUX", "NUL"};
  if (std::find(kPlain.begin(), kPlain.end(), stem) != kPlain.end()) return true;
  return stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")) && stem[3] >= '1' &&
         stem[3] <= '9';
}

std::string ComponentProblem(std::string_view component) {
  if (component.empty()) return "it has an empty component";
  if (component == "." || component == "..") return "it has a \"" + std::string(component) + "\" component";
  for (unsigned char c : component) {
    if (c < 32) return "it contains a control character";
    if (std::string_view("<>:\"|?*").find(static_cast<char>(c)) != std::string_view::npos)
      return std::string("it contains the character '") + static_cast<char>(c) + "', which file names cannot hold";
  }
  // Windows drops trailing dots and spaces, so the file would land under another name.
  if (component.back() == '.' || component.back() == ' ')
    return "a component ends in a dot or a space";
  if (IsDeviceName(component)) return "\"" + std::string(component) + "\" is a device name";
  return {};
}

}  // namespace

const std::vector<std::string>& PayloadFolders() {
  // The installation directory itself, then the folders that the install run makes.
  static const std::vector<std::string> kFolders = [] {
    std::vector<std::string> folders{""};
    for (std::string& folder : ProductFolders()) folders.push_back(std::move(folder));
    return folders;
  }();
  return kFolders;
}

std::string ManifestEntryProblem(std::string_view path) {
  if (path.empty()) return "the path is empty";
  if (path.size() >= 2 && path[1] == ':') return "it names a drive";
  if (path[0] == '\\') return "it is absolute (starts with a backslash)";
  if (path.find('/') != std::string_view::npos) return "it contains a forward slash; separate folders with a backslash";

  std::string_view folder;
  std::size_t start = 0;
  for (;;) {
    std::size_t end = path.find('\\', start);
    std::string_view component = path.substr(start, end == std::string_view::npos ? path.size() - start : end - start);
    if (std::string problem = ComponentProblem(component); !problem.empty()) return problem;
    if (end == std::string_view::npos) break;
    folder = path.substr(0, end);
    start = end + 1;
  }

  const auto& folders = PayloadFolders();
  if (std::none_of(folders.begin(), folders.end(), [&](const std::string& f) { return SameFolder(f, folder); }))
    return "its folder \"" + std::string(folder) + "\" is not one that the install run creates";
  // The install run writes its own log there after the payload.
  if (folder.empty() && SameFolder(path, "Uninstall.txt")) return "\"Uninstall.txt\" is the uninstall log's own name";
  return {};
}

std::string FormatManifestProblem(const ManifestProblem& problem) {
  return "entry " + std::to_string(problem.entry) + " \"" + problem.path + "\": " + problem.reason;
}

ParsedManifest ParseManifest(std::string_view text) {
  ParsedManifest result;
  std::map<std::string, int> seen;  // upper-cased path -> entry
  for (std::string_view line : SplitTextLines(text)) {
    int entry = static_cast<int>(result.entries.size()) + 1;
    result.entries.emplace_back(line);
    if (std::string problem = ManifestEntryProblem(line); !problem.empty()) {
      result.problems.push_back({entry, std::string(line), problem});
      continue;
    }
    auto [it, inserted] = seen.emplace(AsciiUpper(line), entry);
    if (!inserted)
      result.problems.push_back({entry, std::string(line), "it repeats entry " + std::to_string(it->second)});
  }
  return result;
}

}  // namespace stampwell
