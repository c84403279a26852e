#include "shellbrowse/toolbox/id_list.h"

#include <cstring>
#include <new>

namespace stampwell {
namespace {

// Items are not aligned: their sizes are read byte-wise.
std::uint16_t ItemSize(const std::uint8_t* item) noexcept {
  std::uint16_t size;
  std::memcpy(&size, item, sizeof size);
  return size;
}

const std::uint8_t* Bytes(const void* list) noexcept { return static_cast<const std::uint8_t*>(list); }

void* AllocateList(IdListAllocator& allocator, std::size_t bytes) {
  void* block = allocator.Allocate(bytes);
  if (!block) throw std::bad_alloc();
  return block;
}

void* NewList(IdListAllocator& allocator, const std::uint8_t* first, std::size_t first_bytes,
              const std::uint8_t* second, std::size_t second_bytes) {
  auto* out = static_cast<std::uint8_t*>(AllocateList(allocator, first_bytes + second_bytes + 2));
  if (first_bytes) std::memcpy(out, first, first_bytes);
  if (second_bytes) std::memcpy(out + first_bytes, second, second_bytes);
  out[first_bytes + second_bytes] = 0;
  out[first_bytes + second_bytes + 1] = 0;
  return out;
}

}  // namespace

std::size_t IdListSize(const void* list) noexcept {
  if (!list) return 0;
  const std::uint8_t* p = Bytes(list);
  std::size_t total = 0;
  for (std::uint16_t cb; (cb = ItemSize(p + total)) != 0;) total += cb;
  return total + 2;
}

int IdListItemCount(const void* list) noexcept {
  if (!list) return 0;
  const std::uint8_t* p = Bytes(list);
  int count = 0;
  for (std::uint16_t cb; (cb = ItemSize(p)) != 0; p += cb) ++count;
  return count;
}

const void* IdListItem(const void* list, int index) noexcept {
  if (!list || index < 0) return nullptr;
  const std::uint8_t* p = Bytes(list);
  for (std::uint16_t cb; (cb = ItemSize(p)) != 0; p += cb)
    if (index-- == 0) return p;
  return nullptr;
}

std::size_t IdListPrefixSize(const void* list, int items) noexcept {
  if (!list) return 0;
  const std::uint8_t* p = Bytes(list);
  std::size_t total = 0;
  for (std::uint16_t cb; items > 0 && (cb = ItemSize(p + total)) != 0; --items) total += cb;
  return total;
}

bool IsEmptyIdList(const void* list) noexcept { return list && ItemSize(Bytes(list)) == 0; }

std::optional<std::size_t> MeasureIdList(const void* data, std::size_t available) noexcept {
  if (!data) return std::nullopt;
  const std::uint8_t* p = Bytes(data);
  std::size_t offset = 0;
  while (available - offset >= 2) {
    std::uint16_t cb = ItemSize(p + offset);
    if (cb == 0) return offset + 2;
    if (cb < 2 || cb > available - offset) return std::nullopt;
    offset += cb;
  }
  return std::nullopt;
}

void* CopyIdList(IdListAllocator& allocator, const void* list) {
  std::size_t size = IdListSize(list);
  return NewList(allocator, Bytes(list), size ? size - 2 : 0, nullptr, 0);
}

void* ConcatIdLists(IdListAllocator& allocator, const void* first, const void* second) {
  std::size_t a = IdListSize(first), b = IdListSize(second);
  return NewList(allocator, Bytes(first), a ? a - 2 : 0, Bytes(second), b ? b - 2 : 0);
}

void* CopyIdListItems(IdListAllocator& allocator, const void* list, int first, int count) {
  if (first < 0) first = 0;
  if (count < 0) count = 0;
  std::size_t skip = IdListPrefixSize(list, first);
  const std::uint8_t* start = list ? Bytes(list) + skip : nullptr;
  return NewList(allocator, start, IdListPrefixSize(start, count), nullptr, 0);
}

int CompareIdListBytes(const void* a, const void* b) noexcept {
  std::size_t size_a = IdListSize(a), size_b = IdListSize(b);
  std::size_t common = size_a < size_b ? size_a : size_b;
  const std::uint8_t* pa = Bytes(a);
  const std::uint8_t* pb = Bytes(b);
  for (std::size_t i = 0; i < common; ++i)
    if (pa[i] != pb[i]) return int(pa[i]) - int(pb[i]);
  return static_cast<int>(static_cast<long long>(size_a) - static_cast<long long>(size_b));
}

}  // namespace stampwell
