#pragma once
// Movable global memory locked for the lifetime of the scope.

#include <windows.h>

namespace stampwell {

class GlobalLockScope {
 public:
  explicit GlobalLockScope(HGLOBAL memory) noexcept : memory_(memory), bytes_(GlobalLock(memory)) {}
  GlobalLockScope(const GlobalLockScope&) = delete;
  GlobalLockScope& operator=(const GlobalLockScope&) = delete;
  ~GlobalLockScope() {
    if (bytes_) GlobalUnlock(memory_);
  }
  // Null when the memory could not be locked (a discarded or invalid block).
  void* get() const noexcept { return bytes_; }

 private:
  HGLOBAL memory_;
  void* bytes_;
};

}  // namespace stampwell
