#pragma once
// The rules that a payload manifest must follow. Portable: the build's payload compiler refuses
// a manifest that breaks them, and the setup program reads the manifest it was built with.
//
// An entry is a path relative to the installation directory, in the system's ANSI code page,
// whose components are separated by single backslashes. The install run writes into folders
// that it has made itself and creates no others, so an entry must lie in the installation
// directory itself, in "Data", or in one of the "Example" category folders.

#include <string>
#include <string_view>
#include <vector>

namespace stampwell {

// The folders, relative to the installation directory, that the install run creates; "" is
// the installation directory itself.
const std::vector<std::string>& PayloadFolders();

// Why path cannot be a manifest entry, or an empty string when it can.
std::string ManifestEntryProblem(std::string_view path);

struct ManifestProblem {
  int entry = 0;  // from 1
  std::string path;
  std::string reason;
};

// "entry N "path": reason"
std::string FormatManifestProblem(const ManifestProblem& problem);

struct ParsedManifest {
  std::vector<std::string> entries;
  std::vector<ManifestProblem> problems;  // empty when the manifest is sound
};

// Splits manifest text into its entries, one a line (LF or CR LF; the last line may lack its
// line end), and checks each entry and that no path appears twice (in any letter case: the
// second would silently overwrite the first).
ParsedManifest ParseManifest(std::string_view text);

}  // namespace stampwell
