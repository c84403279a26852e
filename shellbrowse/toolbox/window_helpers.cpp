#include "shellbrowse/toolbox/window_helpers.h"

namespace stampwell {

void WaitWithHourglass(DWORD milliseconds) {
  ScopedHourglass hourglass;
  Sleep(milliseconds);
}

HWND GetOwnerFormHandle(HWND control) noexcept {
  if (!control || !IsWindow(control)) return nullptr;
  // The root stops below the desktop; a child window whose chain ends there has no form.
  HWND top = GetAncestor(control, GA_ROOT);
  if (!top || (GetWindowLongA(top, GWL_STYLE) & WS_CHILD)) return nullptr;
  return top;
}

void SetWindowStyleBits(HWND window, LONG bits, bool on) noexcept {
  if (!window) return;
  LONG style = GetWindowLongA(window, GWL_STYLE);
  LONG wanted = on ? (style | bits) : (style & ~bits);
  if (wanted != style) SetWindowLongA(window, GWL_STYLE, wanted);
}

bool HasScrollRange(HWND control, int bar) noexcept {
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
  if (!GetScrollInfo(control, bar == 0 ? SB_HORZ : SB_VERT, &info)) return false;
  // The range counts its positions (nMin to nMax, both included).
  return static_cast<long long>(info.nMax) - info.nMin + 1 - static_cast<long long>(info.nPage) > 0;
}

void ScrollOneStep(HWND control, int bar, int code) noexcept {
  if (HasScrollRange(control, bar))
    SendMessageA(control, bar == 0 ? WM_HSCROLL : WM_VSCROLL, static_cast<WPARAM>(code), 0);
}

bool WheelScroll(HWND control, bool vertical, int line_code, int page_code) noexcept {
  UINT lines = 3;
  SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  int bar = vertical ? 1 : 0;
  if (lines == WHEEL_PAGESCROLL) {
    ScrollOneStep(control, bar, page_code);
  } else {
    UINT steps = vertical ? lines : 1;
    for (UINT i = 0; i < steps; ++i) ScrollOneStep(control, bar, line_code);
  }
  return true;
}

}  // namespace stampwell
