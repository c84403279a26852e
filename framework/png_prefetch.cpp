#include "framework/png_prefetch.h"

#include <windows.h>
#include <objbase.h>

#include <utility>

#include "framework/exception.h"

namespace stampwell {

namespace {

PngPrefetch* current_prefetch = nullptr;

// The worker's COM, for its whole life: multithreaded, it has no window and no message loop.
class WorkerCom {
 public:
  WorkerCom() : started_(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_MULTITHREADED))) {}
  WorkerCom(const WorkerCom&) = delete;
  WorkerCom& operator=(const WorkerCom&) = delete;
  ~WorkerCom() {
    if (started_) ::CoUninitialize();
  }

 private:
  bool started_;
};

}  // namespace

PngPrefetch::PngPrefetch(std::vector<std::string> names) {
  items_.reserve(names.size());
  for (auto& name : names) items_.push_back(Item{std::move(name), {}, false});
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
  WorkerCom com;
  for (std::size_t i = 0; i < items_.size(); ++i) {
    BgrPicture picture;
    bool read = false;
    try {
      read = DecodePngResource(items_[i].name, picture);
    } catch (...) {
      // Unread: the window thread reads it itself when it needs it.
    }
    std::lock_guard<std::mutex> lock(mutex_);
    items_[i].picture = std::move(picture);
    items_[i].read = read;
    finished_ = i + 1;
    progress_.notify_all();
  }
}

bool PngPrefetch::Take(const std::string& name, TBitmap& bitmap) {
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].name != name) continue;
    std::unique_lock<std::mutex> lock(mutex_);
    progress_.wait(lock, [&] { return finished_ > i; });
    if (!items_[i].read) return false;
    // Finished items are never written again: the copy needs no lock.
    lock.unlock();
    try {
      CopyBgrPicture(items_[i].picture, bitmap);
    } catch (const Exception&) {
      return false;
    }
    return true;
  }
  return false;
}

bool TakePrefetchedPng(const std::string& name, TBitmap& bitmap) {
  PngPrefetch* prefetch = PngPrefetch::Current();
  return prefetch && prefetch->Take(name, bitmap);
}

}  // namespace stampwell
