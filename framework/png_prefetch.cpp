#include "framework/png_prefetch.h"

#include <utility>

#include "framework/area_scale.h"
#include "framework/dpi_scale.h"
#include "framework/exception.h"

namespace stampwell {

namespace {

PngPrefetch* current_prefetch = nullptr;

PixelRect PixelsOf(BgrPicture& picture) {
  return PixelRect{picture.rows.data(), picture.width, picture.height, static_cast<std::ptrdiff_t>(picture.width) * 3,
                   3};
}

// What TPicture::ForDpi(dpi, frames) makes of a picture of half the drawing's size from the
// drawing: the same sizes, the same filter, frame by frame. Empty where it would not use the
// drawing so: at 192 dpi, where the drawing is the picture, and for a drawing of odd size.
BgrPicture ShrunkFor(BgrPicture& drawing, unsigned dpi, int frames) {
  BgrPicture scaled;
  if (dpi <= kDesignDpi || dpi == 2 * kDesignDpi || drawing.width % 2 != 0 || drawing.height % 2 != 0) return scaled;
  const StripScale scale = ScaleStrip(drawing.width / 2, drawing.height / 2, frames, dpi);
  scaled.width = scale.width;
  scaled.height = scale.height;
  scaled.rows.resize(static_cast<std::size_t>(scale.width) * 3 * static_cast<std::size_t>(scale.height));
  ScaleFramesByArea(PixelsOf(drawing), PixelsOf(scaled), scale.frames);
  return scaled;
}

}  // namespace

PngPrefetch::PngPrefetch(std::vector<DrawingToRead> drawings, unsigned dpi) : dpi_(dpi) {
  items_.reserve(drawings.size());
  for (auto& drawing : drawings) items_.push_back(Item{std::move(drawing), {}, false, {}});
  worker_ = std::thread([this] { Run(); });
  if (!current_prefetch) {
    current_prefetch = this;
    current_ = true;
  }
}

PngPrefetch::~PngPrefetch() {
  if (current_) current_prefetch = nullptr;
  if (worker_.joinable()) worker_.join();
}

PngPrefetch* PngPrefetch::Current() { return current_prefetch; }

void PngPrefetch::Run() {
  for (std::size_t i = 0; i < items_.size(); ++i) {
    BgrPicture picture, scaled;
    bool read = false;
    try {
      read = DecodePngResource(items_[i].drawing.name, picture);
      if (read) scaled = ShrunkFor(picture, dpi_, items_[i].drawing.frames);
    } catch (...) {
      // Unread or unscaled: the window thread does it itself when it needs it.
    }
    std::lock_guard<std::mutex> lock(mutex_);
    items_[i].picture = std::move(picture);
    items_[i].read = read;
    items_[i].scaled = std::move(scaled);
    finished_ = i + 1;
    progress_.notify_all();
  }
}

const PngPrefetch::Item* PngPrefetch::Finished(const std::string& name) {
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].drawing.name != name) continue;
    std::unique_lock<std::mutex> lock(mutex_);
    progress_.wait(lock, [&] { return finished_ > i; });
    // Finished items are never written again: reading them needs no lock.
    return &items_[i];
  }
  return nullptr;
}

bool PngPrefetch::Take(const std::string& name, TBitmap& bitmap) {
  const Item* item = Finished(name);
  if (!item || !item->read) return false;
  try {
    CopyBgrPicture(item->picture, bitmap);
  } catch (const Exception&) {
    return false;
  }
  return true;
}

bool PngPrefetch::TakeScaled(const std::string& name, int width, int height, unsigned dpi, int frames,
                             TBitmap& bitmap) {
  const Item* item = Finished(name);
  if (!item || item->scaled.rows.empty() || dpi != dpi_ || frames != item->drawing.frames ||
      item->picture.width != 2 * width || item->picture.height != 2 * height)
    return false;
  try {
    CopyBgrPicture(item->scaled, bitmap);
  } catch (const Exception&) {
    return false;
  }
  return true;
}

bool TakePrefetchedPng(const std::string& name, TBitmap& bitmap) {
  PngPrefetch* prefetch = PngPrefetch::Current();
  return prefetch && prefetch->Take(name, bitmap);
}

bool TakePrefetchedScaled(const std::string& name, int width, int height, unsigned dpi, int frames, TBitmap& bitmap) {
  PngPrefetch* prefetch = PngPrefetch::Current();
  return prefetch && prefetch->TakeScaled(name, width, height, dpi, frames, bitmap);
}

}  // namespace stampwell
