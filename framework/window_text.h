#pragma once
// A window's text (caption, edit contents) as an 8-bit string in the ANSI code page.

#include <windows.h>

#include <string>

namespace stampwell {

// Empty for a window without text or a handle that names no window.
std::string WindowText(HWND window);

}  // namespace stampwell
