#pragma once
// Identifier lists made from plain bytes, and an allocator that counts what is still live, for
// the portable tests.

#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <vector>

#include "shellbrowse/toolbox/id_list.h"

namespace stampwell::testing {

class CountingAllocator final : public IdListAllocator {
 public:
  ~CountingAllocator() = default;
  void* Allocate(std::size_t bytes) noexcept override {
    if (fail_next_) {
      fail_next_ = false;
      return nullptr;
    }
    ++live_;
    return std::malloc(bytes);
  }
  void Free(void* block) noexcept override {
    if (!block) return;
    --live_;
    std::free(block);
  }
  int live() const { return live_; }
  void FailNext() { fail_next_ = true; }

 private:
  int live_ = 0;
  bool fail_next_ = false;
};

// A list whose items carry the given payloads ("" makes a two-byte item).
inline std::vector<std::uint8_t> MakeList(std::initializer_list<std::string> items) {
  std::vector<std::uint8_t> bytes;
  for (const std::string& item : items) {
    std::size_t cb = item.size() + 2;
    bytes.push_back(static_cast<std::uint8_t>(cb & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(cb >> 8));
    bytes.insert(bytes.end(), item.begin(), item.end());
  }
  bytes.push_back(0);
  bytes.push_back(0);
  return bytes;
}

inline std::vector<std::uint8_t> BytesOf(const void* list) {
  const auto* p = static_cast<const std::uint8_t*>(list);
  return std::vector<std::uint8_t>(p, p + IdListSize(list));
}

}  // namespace stampwell::testing
