#pragma once
// The folder operations of the install run and the Start Menu step.

#include <string>

namespace stampwell {

// True when path names an existing directory (a trailing backslash is allowed).
bool DirectoryExists(const std::string& path);

// Makes path and any missing parents; true when it exists as a directory afterwards.
// A path below an existing file, or one that the account may not create, answers false.
bool ForceDirectories(const std::string& path);

// Makes path as a single directory; throws InstallError with the system's message when it
// cannot (its parent missing, no rights, a file of that name).
void CreateSingleDirectory(const std::string& path);

}  // namespace stampwell
