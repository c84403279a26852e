#pragma once
// The larger drawings that the first page paints, read by a worker while the program makes its
// window. Above 96 dpi the first paint would otherwise wait for the imaging library to load and
// for each drawing to be read; with the worker it waits, if at all, only for what is not read yet.

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "framework/png_resource.h"

namespace stampwell {

class PngPrefetch {
 public:
  // Starts reading the PNG resources `names`, in that order, on a worker of its own. While it
  // lives, it is the one that TakePrefetchedPng asks (unless another one already is). Throws
  // std::system_error when no thread can be started.
  explicit PngPrefetch(std::vector<std::string> names);
  PngPrefetch(const PngPrefetch&) = delete;
  PngPrefetch& operator=(const PngPrefetch&) = delete;
  // Waits for the worker to end.
  ~PngPrefetch();

  // Copies the resource `name` into `bitmap` once the worker has read it, waiting for that.
  // False when `name` is not one of its resources, or could not be read (`bitmap` untouched).
  bool Take(const std::string& name, TBitmap& bitmap);

  // The one living now, or null; for the window thread.
  static PngPrefetch* Current();

 private:
  struct Item {
    std::string name;
    BgrPicture picture;
    bool read = false;
  };
  void Run();

  std::vector<Item> items_;
  std::mutex mutex_;
  std::condition_variable progress_;
  std::size_t finished_ = 0;  // items_[0, finished_) are done with, read or not
  bool current_ = false;
  std::thread worker_;  // last: started once everything it uses exists
};

// What the living PngPrefetch has of `name`, as PngPrefetch::Take; false when there is none.
bool TakePrefetchedPng(const std::string& name, TBitmap& bitmap);

}  // namespace stampwell
