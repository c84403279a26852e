#pragma once
// Loading system libraries and naming system programs by full path.
//
// An elevated setup is often started from a Downloads folder full of strangers' files, so a
// library or program is never named bare where the search order could find one in the
// program's own folder or the current directory.

#include <string>

#include "framework/unique_handle.h"

namespace stampwell {

// The system folder (System32, or SysWOW64 for a 32-bit process on 64-bit Windows),
// without a trailing backslash.
std::string SystemDirectory();

// Loads `file_name` (e.g. "comctl32.dll") from the system folder only. Empty on failure;
// GetLastError tells why.
unique_hmodule LoadSystemLibrary(const char* file_name);

// The full path of a program in the system folder, e.g. "C:\windows\system32\wbem\wmic.exe"
// for "wbem\wmic.exe".
std::string SystemProgramPath(const char* relative_path);

}  // namespace stampwell
