#pragma once
// The system's message text for a Win32 error code, as the error reports quote it.

#include <windows.h>

#include <string>

#include "install/install_error.h"

namespace stampwell {

// FormatMessage's text without its trailing line end and full stop ("Access is denied");
// "System error <code>" when the system has no text for the code.
std::string SystemErrorText(DWORD code);

// A write refused to the account is the privilege case; everything else is another cause.
FailureCause CauseOfSystemError(DWORD code);

}  // namespace stampwell
