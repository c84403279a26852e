#pragma once
// Whether the product's main program is running from an installation directory.

#include <string>

namespace stampwell {

// True when path names a program that a running process has mapped: Windows then refuses
// every opening for writing, whatever sharing the opener allows. A missing file, or one that
// can be opened, is not in use. Nothing is changed: the file is opened, never written.
bool ProgramFileInUse(const std::string& path);

}  // namespace stampwell
