#pragma once
// A 24-bit picture from a bitmap resource of the running module, kept as a DIB section so
// that its pixels can be read directly (the button fade blends them).

#include <windows.h>

#include <cstdint>

#include "framework/unique_handle.h"

namespace stampwell::wizard {

class Picture {
 public:
  Picture() = default;
  // Throws std::runtime_error naming the resource when it is missing or not 24-bit.
  static Picture FromResource(const char* name);

  HBITMAP bitmap() const noexcept { return bitmap_.get(); }
  int width() const noexcept { return width_; }
  int height() const noexcept { return height_; }
  bool empty() const noexcept { return width_ == 0 || height_ == 0; }
  // Bottom-up rows of three bytes per pixel (blue, green, red), each padded to 4 bytes.
  const std::uint8_t* bits() const noexcept { return bits_; }
  int stride() const noexcept { return stride_; }
  // The pixel row `y` counted from the top.
  const std::uint8_t* row(int y) const noexcept { return bits_ + (height_ - 1 - y) * stride_; }

  // Draws the rectangle (sx, sy, w, h) of the picture at (x, y), or stretched to (x, y, dw, dh).
  void Draw(HDC dc, int x, int y, int sx, int sy, int w, int h) const;
  void Stretch(HDC dc, int x, int y, int dw, int dh) const;

 private:
  unique_hbitmap bitmap_;
  const std::uint8_t* bits_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  int stride_ = 0;
};

}  // namespace stampwell::wizard
