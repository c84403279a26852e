#pragma once
// The main window shown until the wizard window takes its place: borderless, captioned with
// the product name, 600 x 350 and centred on the primary screen.

#include <windows.h>

namespace stampwell {

HWND CreateStartupWindow(HINSTANCE instance);

}  // namespace stampwell
