#pragma once
// Byte arithmetic of item identifier lists, without the shell.
//
// A list is a run of items, each led by its 16-bit size (which counts those two bytes), ended
// by a 16-bit zero; the empty list (only the terminator) is the desktop. A null pointer means
// no list and is accepted wherever a list is read. Lists given to these functions come from the
// shell or from this code and are trusted to be well formed; bytes from outside go through
// MeasureIdList first.

#include <cstddef>
#include <cstdint>
#include <optional>

namespace stampwell {

// Where new lists come from and where they go back to. The Win32 side adapts the shell's task
// allocator; tests use plain memory.
class IdListAllocator {
 public:
  // Null when the memory is not there.
  virtual void* Allocate(std::size_t bytes) noexcept = 0;
  virtual void Free(void* block) noexcept = 0;

 protected:
  ~IdListAllocator() = default;
};

// Total size in bytes, the terminator included: 2 for the empty list, 0 for no list.
std::size_t IdListSize(const void* list) noexcept;

// Number of items: 0 for the empty list and for no list.
int IdListItemCount(const void* list) noexcept;

// The item at `index` (0-based) inside `list`, not copied; null for no list or an index out of
// range.
const void* IdListItem(const void* list, int index) noexcept;

// Bytes of the first `items` items, without a terminator; `items` is clamped to the count.
std::size_t IdListPrefixSize(const void* list, int items) noexcept;

// True for a list that is there and has no items (the desktop).
bool IsEmptyIdList(const void* list) noexcept;

// The size of the well-formed list at the start of `data` (terminator included), reading no
// byte at or past `available`; nothing when an item's size is below 2 or runs past the end, or
// the terminator is missing.
std::optional<std::size_t> MeasureIdList(const void* data, std::size_t available) noexcept;

// A new list with the items of `list` (a new empty list for no list). Throws std::bad_alloc
// when the allocator has no memory. The caller owns the result and frees it with `allocator`.
void* CopyIdList(IdListAllocator& allocator, const void* list);

// A new list with the items of `first`, then those of `second`; either may be null (no items).
void* ConcatIdLists(IdListAllocator& allocator, const void* first, const void* second);

// A new list with `count` items of `list` from item `first` on, both clamped to the list.
void* CopyIdListItems(IdListAllocator& allocator, const void* list, int first, int count);

// Bytewise order: the first differing byte (unsigned) decides over the smaller of the two
// sizes, else the difference of the sizes. No list has size 0 and so sorts first.
int CompareIdListBytes(const void* a, const void* b) noexcept;

}  // namespace stampwell
