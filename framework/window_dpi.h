#pragma once
// The DPI that a window is shown at, and the monitor area that it must stay inside.

#include <windows.h>

#include "framework/dpi_scale.h"

namespace stampwell {

// The window's own DPI where the system knows one per window (Windows 10 1607 and later),
// else the system DPI; 96 for a null window on a system without per-window DPI.
UINT WindowDpi(HWND window);
// The DPI of the screen as a whole (the primary monitor's, for a DPI-aware process).
UINT SystemDpi();
// The work area (the monitor less the taskbar) of the monitor that holds most of `window`,
// or of the primary monitor for a null window.
RECT WorkAreaOf(HWND window);
// `window` kept inside `work` (see KeepInsideWorkArea).
RECT KeptInside(const RECT& window, const RECT& work);

}  // namespace stampwell
