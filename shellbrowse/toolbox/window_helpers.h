#pragma once
// Small window helpers of the shell controls: the hourglass, the owning form, style bits and
// scrolling by one step or by the wheel.

#include <windows.h>

namespace stampwell {

// The hourglass cursor for the lifetime of the scope; the previous cursor comes back in every
// outcome, exceptions included.
class ScopedHourglass {
 public:
  ScopedHourglass() noexcept : previous_(SetCursor(LoadCursorA(nullptr, IDC_WAIT))) {}
  ScopedHourglass(const ScopedHourglass&) = delete;
  ScopedHourglass& operator=(const ScopedHourglass&) = delete;
  ~ScopedHourglass() { SetCursor(previous_); }

 private:
  HCURSOR previous_;
};

// Shows the hourglass, sleeps `milliseconds`, restores the cursor.
void WaitWithHourglass(DWORD milliseconds);

// The top-most parent of `control` when that is a form (a top-level window), else null.
HWND GetOwnerFormHandle(HWND control) noexcept;

// Sets (`on`) or clears `bits` of the window style, writing it back only when it changes;
// nothing for no window.
void SetWindowStyleBits(HWND window, LONG bits, bool on) noexcept;

// Whether the horizontal (bar 0) or vertical (bar 1) scroll bar has something to scroll (range
// minus page above 0).
bool HasScrollRange(HWND control, int bar) noexcept;

// One WM_HSCROLL (bar 0) or WM_VSCROLL (bar 1) with `code`, sent only when the bar has
// something to scroll.
void ScrollOneStep(HWND control, int bar, int code) noexcept;

// A wheel notch: one page step when the system scrolls wheels by pages, else as many line steps
// as the system's wheel setting says (one for a horizontal bar). Always true (handled).
bool WheelScroll(HWND control, bool vertical, int line_code, int page_code) noexcept;

}  // namespace stampwell
