#pragma once
// The window that the shell is given as owner when the locator resolves a special folder.

#include <windows.h>

namespace stampwell {

HWND LocatorApplicationWindow() noexcept;

}  // namespace stampwell
