#pragma once
// Making a new folder with a free name ("New Folder", "New Folder (2)", ..., then "fldr",
// "fldr2", ...).

#include <string>

namespace stampwell {

// Creates a new folder in `directory` (empty: the current directory). True with the new
// folder's name in `name`; on failure a warning is shown and `name` is left empty.
bool CreateFolderIn(const std::string& directory, std::string& name);

// Shows the warning of a failed creation. A seam: tests put in a function that records the
// text instead of a message box that nobody would close.
using FolderWarningFn = void (*)(const std::string& text);
FolderWarningFn SetFolderWarning(FolderWarningFn warning) noexcept;

}  // namespace stampwell
