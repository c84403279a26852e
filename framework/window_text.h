#pragma once
// A window's text (caption, edit contents) as an 8-bit string in the ANSI code page, or whole.

#include <windows.h>

#include <string>

namespace stampwell {

// Empty for a window without text or a handle that names no window.
std::string WindowText(HWND window);

// The same in UTF-16: whole only for a Unicode window (an ANSI one keeps no more than its
// code page holds).
std::wstring WideWindowText(HWND window);

// An 8-bit text of the ANSI code page in UTF-16.
std::wstring WideFromAnsi(const std::string& text);
// UTF-16 in the ANSI code page, what it cannot hold replaced by its default character.
std::string AnsiFromWide(const std::wstring& text);

}  // namespace stampwell
