#pragma once
// A bitmap of a given size selected into a memory DC compatible with a window (null: the
// screen), for tests that have a control print or paint into it. Everything goes at the end of
// the scope, the selection first.

#include <windows.h>

#include "framework/unique_handle.h"

namespace stampwell::testing {

class MemoryCanvas {
 public:
  MemoryCanvas(HWND window, int width, int height)
      : window_dc_(window),
        dc_(::CreateCompatibleDC(window_dc_.get())),
        bitmap_(::CreateCompatibleBitmap(window_dc_.get(), width, height)),
        select_(dc_.get(), bitmap_.get()) {}

  HDC get() const noexcept { return dc_.get(); }

 private:
  scoped_window_dc window_dc_;
  unique_hdc dc_;
  unique_hbitmap bitmap_;
  scoped_select_object select_;
};

}  // namespace stampwell::testing
