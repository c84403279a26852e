// TPicture's copies for displays of other than 96 pixels per inch.

#include <algorithm>

#include "framework/area_scale.h"
#include "framework/dpi_scale.h"
#include "framework/exception.h"
#include "framework/graphics.h"
#include "framework/png_prefetch.h"
#include "framework/png_resource.h"

namespace stampwell {

struct TPicture::Scaled {
  UINT dpi;
  int frames;
  bool keyed;
  TBitmap bitmap;
};

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

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

// Scales `source` to `width` by `height` into `target`, frame by frame; `keyed`: with the
// colour of its bottom-left pixel clear.
void ScaleInto(const TBitmap& source, int frames, bool keyed, int width, int height, TBitmap& target) {
  target.SetPixelFormat(source.PixelFormat() == TPixelFormat::pf32bit ? TPixelFormat::pf32bit : TPixelFormat::pf24bit);
  target.SetSize(width, height);
  PixelRect from = PixelsOf(source), to = PixelsOf(target);
  if (!from.pixels || !to.pixels) return;
  if (keyed)
    ScaleFramesByAreaKeyed(from, to, frames, source.ScanLine(source.Height() - 1));
  else
    ScaleFramesByArea(from, to, frames);
}

}  // namespace

const TBitmap* TPicture::Large() const {
  if (!large_read_) {
    large_read_ = true;
    const std::string& name = bitmap_.ResourceName();
    auto large = std::make_unique<TBitmap>();
    // A drawing of another size than twice the picture's would shift every edge: unusable.
    // The first page's drawings were read by the start-up worker; the rest are read here.
    const bool read = !name.empty() && (TakePrefetchedPng(name + "_2X", *large) || LoadPngResource(*large, name + "_2X"));
    if (read && large->Width() == 2 * Width() && large->Height() == 2 * Height())
      large_ = std::move(large);
  }
  return large_.get();
}

SIZE TPicture::SizeForDpi(UINT dpi, int frames) const {
  if (dpi == 0 || dpi == 96 || bitmap_.Empty()) return SIZE{Width(), Height()};
  const StripScale scale = ScaleStrip(Width(), Height(), frames, dpi);
  return SIZE{scale.width, scale.height};
}

const TBitmap& TPicture::ForDpi(UINT dpi, int frames) const { return AtDpi(dpi, frames, false); }

const TBitmap& TPicture::GlyphForDpi(UINT dpi, int frames) const { return AtDpi(dpi, frames, true); }

const TBitmap& TPicture::AtDpi(UINT dpi, int frames, bool keyed) const {
  if (dpi == 0 || dpi == 96 || bitmap_.Empty()) return bitmap_;
  if (scaled_version_ != bitmap_.Version()) {
    scaled_.clear();
    large_.reset();
    large_read_ = false;
    scaled_version_ = bitmap_.Version();
  }
  frames = std::max(frames, 1);
  for (const auto& scaled : scaled_)
    if (scaled->dpi == dpi && scaled->frames == frames && scaled->keyed == keyed) return scaled->bitmap;

  auto scaled = std::make_unique<Scaled>();
  scaled->dpi = dpi;
  scaled->frames = frames;
  scaled->keyed = keyed;
  // The first page's pictures were shrunk by the start-up worker, which made them as below.
  const std::string& name = bitmap_.ResourceName();
  if (!keyed && !name.empty() &&
      TakePrefetchedScaled(name + "_2X", Width(), Height(), dpi, frames, scaled->bitmap)) {
    scaled_.push_back(std::move(scaled));
    return scaled_.back()->bitmap;
  }

  // Above 96 dpi from the double-size drawing where there is one: shrunk between 96 and 192,
  // as it is at 192, enlarged (soft) only beyond.
  const TBitmap* source = &bitmap_;
  if (dpi > 96) {
    if (const TBitmap* large = Large()) {
      if (dpi == 192) return *large;
      source = large;
    }
  }

  const StripScale scale = ScaleStrip(Width(), Height(), frames, dpi);
  try {
    ScaleInto(*source, scale.frames, keyed, scale.width, scale.height, scaled->bitmap);
  } catch (const Exception&) {
    // No room for another section: the picture at its own size is better than none. The next
    // paint tries again.
    return bitmap_;
  }
  scaled_.push_back(std::move(scaled));
  return scaled_.back()->bitmap;
}

}  // namespace stampwell
