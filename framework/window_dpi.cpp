#include "framework/window_dpi.h"

#include "framework/unique_handle.h"

namespace stampwell {

namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);

// user32 is always loaded; the function exists from Windows 10 1607 on.
GetDpiForWindowFn GetDpiForWindowEntry() {
  static const auto entry = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
  return entry;
}

}  // namespace

UINT SystemDpi() {
  scoped_window_dc screen(nullptr);
  const int dpi = screen.get() ? ::GetDeviceCaps(screen.get(), LOGPIXELSX) : 0;
  return dpi > 0 ? static_cast<UINT>(dpi) : kDesignDpi;
}

UINT WindowDpi(HWND window) {
  if (window) {
    if (GetDpiForWindowFn entry = GetDpiForWindowEntry()) {
      const UINT dpi = entry(window);
      if (dpi > 0) return dpi;
    }
  }
  return SystemDpi();
}

RECT WorkAreaOf(HWND window) {
  HMONITOR monitor = window ? ::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST)
                            : ::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (monitor && ::GetMonitorInfoA(monitor, &info)) return info.rcWork;
  RECT work{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  return work;
}

RECT KeptInside(const RECT& window, const RECT& work) {
  const ScreenBox kept = KeepInsideWorkArea(ScreenBox{window.left, window.top, window.right, window.bottom},
                                            ScreenBox{work.left, work.top, work.right, work.bottom});
  return RECT{kept.left, kept.top, kept.right, kept.bottom};
}

}  // namespace stampwell
