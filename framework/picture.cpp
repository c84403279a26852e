// TPicture's copies for displays of other than 96 pixels per inch.

#include <algorithm>

#include "framework/area_scale.h"
#include "framework/graphics.h"

namespace stampwell {

struct TPicture::Scaled {
  UINT dpi;
  int frames;
  TBitmap bitmap;
};

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

int ScaleForDpi(int length, UINT dpi) {
  return static_cast<int>((static_cast<long long>(length) * dpi + 48) / 96);
}

namespace {

PixelRect PixelsOf(const TBitmap& bitmap) {
  PixelRect rect;
  rect.pixels = bitmap.ScanLine(0);
  rect.width = bitmap.Width();
  rect.height = bitmap.Height();
  rect.stride = bitmap.Stride();
  rect.channels = bitmap.PixelFormat() == TPixelFormat::pf32bit ? 4 : 3;
  return rect;
}

// Scales `source` to `width` by `height` into `target`, frame by frame.
void ScaleInto(const TBitmap& source, int frames, int width, int height, TBitmap& target) {
  target.SetPixelFormat(source.PixelFormat() == TPixelFormat::pf32bit ? TPixelFormat::pf32bit : TPixelFormat::pf24bit);
  target.SetSize(width, height);
  PixelRect from = PixelsOf(source), to = PixelsOf(target);
  if (!from.pixels || !to.pixels) return;
  ScaleFramesByArea(from, to, frames);
}

}  // namespace

const TBitmap& TPicture::ForDpi(UINT dpi, int frames) const {
  if (dpi == 0 || dpi == 96 || bitmap_.Empty()) return bitmap_;
  if (scaled_version_ != bitmap_.Version()) {
    scaled_.clear();
    scaled_version_ = bitmap_.Version();
  }
  frames = std::max(frames, 1);
  for (const auto& scaled : scaled_)
    if (scaled->dpi == dpi && scaled->frames == frames) return scaled->bitmap;

  // Along the strip's long axis every frame is scaled and rounded on its own.
  const bool across = Width() >= Height();
  const int long_side = across ? Width() : Height();
  const int split = long_side % frames == 0 ? frames : 1;
  const int scaled_long = ScaleForDpi(long_side / split, dpi) * split;
  const int width = across ? scaled_long : ScaleForDpi(Width(), dpi);
  const int height = across ? ScaleForDpi(Height(), dpi) : scaled_long;

  auto scaled = std::make_unique<Scaled>();
  scaled->dpi = dpi;
  scaled->frames = frames;
  ScaleInto(bitmap_, split, width, height, scaled->bitmap);
  scaled_.push_back(std::move(scaled));
  return scaled_.back()->bitmap;
}

}  // namespace stampwell
