#include "wizard/picture.h"

#include <stdexcept>
#include <string>

namespace stampwell::wizard {

Picture Picture::FromResource(const char* name) {
  Picture picture;
  picture.bitmap_.reset(static_cast<HBITMAP>(::LoadImageA(
      ::GetModuleHandleA(nullptr), name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  DIBSECTION section{};
  if (!picture.bitmap_ ||
      ::GetObjectA(picture.bitmap_.get(), sizeof section, &section) != sizeof section) {
    throw std::runtime_error(std::string("The picture resource ") + name + " is missing");
  }
  if (section.dsBm.bmBitsPixel != 24 || section.dsBmih.biHeight <= 0) {
    throw std::runtime_error(std::string("The picture resource ") + name +
                             " is not a bottom-up 24-bit bitmap");
  }
  picture.bits_ = static_cast<const std::uint8_t*>(section.dsBm.bmBits);
  picture.width_ = section.dsBm.bmWidth;
  picture.height_ = section.dsBm.bmHeight;
  picture.stride_ = section.dsBm.bmWidthBytes;
  return picture;
}

void Picture::Draw(HDC dc, int x, int y, int sx, int sy, int w, int h) const {
  if (empty()) return;
  unique_hdc source(::CreateCompatibleDC(dc));
  scoped_select_object select(source.get(), bitmap_.get());
  ::BitBlt(dc, x, y, w, h, source.get(), sx, sy, SRCCOPY);
}

void Picture::Stretch(HDC dc, int x, int y, int dw, int dh) const {
  if (empty() || dw <= 0 || dh <= 0) return;
  unique_hdc source(::CreateCompatibleDC(dc));
  scoped_select_object select(source.get(), bitmap_.get());
  int old_mode = ::SetStretchBltMode(dc, COLORONCOLOR);
  ::StretchBlt(dc, x, y, dw, dh, source.get(), 0, 0, width_, height_, SRCCOPY);
  ::SetStretchBltMode(dc, old_mode);
}

}  // namespace stampwell::wizard
