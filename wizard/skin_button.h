#pragma once
// A windowless image button drawn from a strip of four frames (normal, hover, pressed,
// disabled) on the page that hosts it. With a picture it cross-fades between the normal and
// the hover frame in steps of 10 ms while the mouse enters or leaves.
//
// The host (wizard/page.h) owns the window: it forwards the mouse and the fade timer here and
// paints the button through Paint(); the button asks the host to repaint through `invalidate`.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "wizard/picture.h"

namespace stampwell::wizard {

class SkinButton {
 public:
  enum Frame { kNormal = 0, kHover = 1, kPressed = 2, kDisabled = 3 };
  static constexpr int kFadeInterval = 10;  // ms
  static constexpr int kFadeStep = 10;      // level change per tick

  SkinButton(int left, int top, Picture picture);

  std::function<void()> OnClick;

  const RECT& bounds() const noexcept { return bounds_; }
  bool enabled() const noexcept { return enabled_; }
  bool visible() const noexcept { return visible_; }
  void SetEnabled(bool enabled);
  void SetVisible(bool visible);
  // The frame or blend that Paint() shows now; -1 while a blend is shown.
  int shown_frame() const noexcept { return shown_frame_; }
  int fade_level() const noexcept { return fade_level_; }
  bool fading() const noexcept { return fading_in_ || fading_out_; }

  void Paint(HDC dc) const;

  // Events from the host. Enter and leave come also for a disabled button; press and release
  // only for an enabled one. Each returns true when the fade timer must run.
  bool MouseEnter();
  bool MouseLeave();
  void MouseDown();
  void MouseUp(bool inside);
  // One tick of the fade timer; false when the fade has finished and the timer can stop.
  bool FadeStep();

  // Called whenever the look changed; the host invalidates the button's rectangle.
  std::function<void()> invalidate;

 private:
  void Show(int frame);
  void StopFade() noexcept { fading_in_ = fading_out_ = false; }

  Picture picture_;
  RECT bounds_{};
  int frame_width_ = 0;
  bool enabled_ = true;
  bool visible_ = true;
  int shown_frame_ = kNormal;
  int fade_level_ = 0;
  bool fading_in_ = false;
  bool fading_out_ = false;
  // The blended look: frame-sized 24-bit rows, bottom-up like a DIB.
  std::vector<std::uint8_t> blend_;
  int blend_stride_ = 0;
};

}  // namespace stampwell::wizard
