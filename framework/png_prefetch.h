#pragma once
// The larger drawings that the first page paints, read and scaled by a worker while the program
// makes its window. Above 96 dpi the first paint would otherwise read each drawing and shrink it
// to the window's DPI itself; with the worker it waits, if at all, only for what is not done yet,
// and copies the rest.

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "framework/png_resource.h"

namespace stampwell {

// A drawing at 200 % (a PNG resource) to read ahead, and how its picture is drawn: a strip of
// `frames` equal frames (TPicture::ForDpi's `frames`).
struct DrawingToRead {
  std::string name;
  int frames = 1;
};

class PngPrefetch {
 public:
  // Starts reading `drawings`, in that order, on a worker of its own, and shrinking each to what
  // TPicture::ForDpi(dpi, frames) makes of it for a picture of half its size. While it lives, it
  // is the one that TakePrefetchedPng and TakePrefetchedScaled ask (unless another one already
  // is). Throws std::system_error when no thread can be started.
  PngPrefetch(std::vector<DrawingToRead> drawings, unsigned dpi);
  PngPrefetch(const PngPrefetch&) = delete;
  PngPrefetch& operator=(const PngPrefetch&) = delete;
  // Waits for the worker to end.
  ~PngPrefetch();

  // Copies the drawing `name` into `bitmap` once the worker has read it, waiting for that.
  // False when `name` is not one of its drawings, or could not be read (`bitmap` untouched).
  bool Take(const std::string& name, TBitmap& bitmap);
  // Copies the drawing `name` as the worker shrank it into `bitmap`, waiting for that, where it
  // is what a picture of `width` by `height` pixels at 96 dpi, drawn `frames` frames at `dpi`,
  // needs. False otherwise (`bitmap` untouched): another name, DPI or number of frames, or a
  // drawing that is not twice that picture's size.
  bool TakeScaled(const std::string& name, int width, int height, unsigned dpi, int frames, TBitmap& bitmap);

  // The one living now, or null; for the window thread.
  static PngPrefetch* Current();

 private:
  struct Item {
    DrawingToRead drawing;
    BgrPicture picture;
    bool read = false;
    BgrPicture scaled;  // empty where the drawing was not shrunk
  };
  void Run();
  // The item of `name` once the worker is done with it; null when there is none.
  const Item* Finished(const std::string& name);

  std::vector<Item> items_;
  unsigned dpi_;
  std::mutex mutex_;
  std::condition_variable progress_;
  std::size_t finished_ = 0;  // items_[0, finished_) are done with, read or not
  bool current_ = false;
  std::thread worker_;  // last: started once everything it uses exists
};

// What the living PngPrefetch has of `name`, as PngPrefetch::Take and TakeScaled; false when
// there is none.
bool TakePrefetchedPng(const std::string& name, TBitmap& bitmap);
bool TakePrefetchedScaled(const std::string& name, int width, int height, unsigned dpi, int frames, TBitmap& bitmap);

}  // namespace stampwell
