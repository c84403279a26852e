#pragma once
// The system's message text for a Win32 error code, as the error reports quote it.

#include <windows.h>

#include <string>

namespace stampwell {

// FormatMessage's text without its trailing line end and full stop ("Access is denied");
// "System error <code>" when the system has no text for the code.
std::string SystemErrorText(DWORD code);

}  // namespace stampwell
