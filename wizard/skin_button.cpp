#include "wizard/skin_button.h"

#include <cstring>

#include "controls/blend.h"

namespace stampwell::wizard {

SkinButton::SkinButton(int left, int top, Picture picture) : picture_(std::move(picture)) {
  frame_width_ = picture_.width() / 4;
  bounds_ = {left, top, left + frame_width_, top + picture_.height()};
  blend_stride_ = (frame_width_ * 3 + 3) & ~3;
  blend_.resize(static_cast<size_t>(blend_stride_) * picture_.height());
}

void SkinButton::SetEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  StopFade();
  Show(enabled ? kNormal : kDisabled);
}

void SkinButton::SetVisible(bool visible) {
  if (visible_ == visible) return;
  visible_ = visible;
  if (invalidate) invalidate();
}

void SkinButton::Show(int frame) {
  shown_frame_ = frame;
  if (invalidate) invalidate();
}

void SkinButton::Paint(HDC dc) const {
  if (!visible_ || picture_.empty()) return;
  if (shown_frame_ >= 0) {
    picture_.Draw(dc, bounds_.left, bounds_.top, shown_frame_ * frame_width_, 0, frame_width_,
                  picture_.height());
    return;
  }
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = frame_width_;
  info.bmiHeader.biHeight = picture_.height();
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  ::SetDIBitsToDevice(dc, bounds_.left, bounds_.top, frame_width_, picture_.height(), 0, 0, 0,
                      picture_.height(), blend_.data(), &info, DIB_RGB_COLORS);
}

bool SkinButton::MouseEnter() {
  if (!enabled_) return false;
  fading_in_ = true;
  fading_out_ = false;
  return true;
}

bool SkinButton::MouseLeave() {
  if (!enabled_) return false;
  fading_out_ = true;
  fading_in_ = false;
  return true;
}

void SkinButton::MouseDown() {
  StopFade();
  fade_level_ = 255;
  Show(kPressed);
}

void SkinButton::MouseUp(bool inside) {
  StopFade();
  Show(kHover);
  if (inside && OnClick) OnClick();
}

bool SkinButton::FadeStep() {
  if (!fading()) return false;
  const int h = picture_.height();
  const int row_bytes = frame_width_ * 3;
  const stampwell::BlendTable& table = stampwell::BlendTable::Shared();
  const int level = fade_level_ < 0 ? 0 : (fade_level_ > 255 ? 255 : fade_level_);
  for (int y = 0; y < h; ++y) {
    // Rows are bottom-up in both the strip and the blend buffer.
    const std::uint8_t* strip_row = picture_.bits() + y * picture_.stride();
    std::uint8_t* out = blend_.data() + y * blend_stride_;
    std::memcpy(out, strip_row, row_bytes);
    BlendRow(out, strip_row + row_bytes, static_cast<size_t>(row_bytes), level, table);
  }
  shown_frame_ = -1;
  fade_level_ += fading_in_ ? kFadeStep : -kFadeStep;
  if (fade_level_ >= 0 && fade_level_ <= 255) {
    if (invalidate) invalidate();
    return true;
  }
  fade_level_ = fading_in_ ? 255 : 0;
  int frame = fading_in_ ? kHover : kNormal;
  StopFade();
  Show(frame);
  return false;
}

}  // namespace stampwell::wizard
