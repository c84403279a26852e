#pragma once
// Finds what keeps an installation's files from being replaced, without changing anything:
// the processes started from the installation folder, and the files of the run that cannot
// be opened for writing as the run will open them.

#include <string>
#include <vector>

#include "install/files_in_use.h"

namespace stampwell {

// install_dir: the installation directory, with or without a trailing backslash.
// files: the full paths that the run will write; those that do not exist are not in use.
// The setup's own process never counts.
FilesInUse FindFilesInUse(const std::string& install_dir, const std::vector<std::string>& files);

}  // namespace stampwell
