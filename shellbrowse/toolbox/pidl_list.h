#pragma once
// The ordering behind TPTPidlList: entries of (identifier list, 32-bit data), optionally kept
// sorted, with what to do about equal lists, and optionally owning the lists.
//
// This part knows nothing of the shell: the order is a comparison hook (bytewise when none) and
// ownership a release hook. TPTPidlList (shell_pidl_list.h) sets the hooks from a shell folder's
// CompareIDs and an IMalloc.

#include <cstdint>
#include <functional>
#include <vector>

#include "shellbrowse/toolbox/block_list.h"

namespace stampwell {

enum class PidlDuplicates { Ignore = 0, Accept = 1, Error = 2 };

class PidlList {
 public:
  using Compare = std::function<int(const void* a, const void* b)>;
  using Release = std::function<void(void* list)>;

  PidlList() = default;
  PidlList(const PidlList&) = delete;
  PidlList& operator=(const PidlList&) = delete;
  virtual ~PidlList() { Clear(); }

  // Adds `list` with data 0 / with `data`. Unsorted: appended. Sorted: placed where Find says;
  // an equal list already there is kept and its index returned (Ignore), raises "TPTPidlList:
  // Duplicate PIDL" (Error), or the new one goes before the equal ones (Accept).
  // While the list owns its entries (a release hook is set), `list` is handed over by the call:
  // when it is not added (Ignore, Error, or no memory), it is released before the call returns.
  int Add(void* list) { return AddObject(list, 0); }
  int AddObject(void* list, std::int32_t data);

  // Binary search over a sorted list: true when an equal list is there. `index` is where the
  // list is or belongs: with Accept the first of the equal lists, else the first one met.
  bool Find(const void* list, int& index) const;

  // Sorted: Find; unsorted: the first equal entry. -1 when absent.
  int IndexOf(const void* list) const;

  // Releases entry `index`'s list when the list owns it, then removes the entry.
  void Delete(int index);
  void Clear();
  void Sort();

  int Count() const noexcept { return static_cast<int>(entries_.size()); }
  void* IdList(int index) const { return At(index).list; }
  std::int32_t Data(int index) const { return At(index).data; }
  void SetData(int index, std::int32_t data) { At(index).data = data; }

  // The number of entries the list has made room for: at least Count, grown by doubling, or
  // what SetCapacity asked for. Storage comes in blocks, so it is a figure the list keeps for its
  // callers, not memory held back.
  int Capacity() const noexcept { return capacity_ < Count() ? Count() : capacity_; }
  // Not below Count.
  void SetCapacity(int capacity);

  bool Sorted() const noexcept { return sorted_; }
  // Turning it on sorts at once.
  void SetSorted(bool sorted);

  PidlDuplicates Duplicates() const noexcept { return duplicates_; }
  void SetDuplicates(PidlDuplicates duplicates) noexcept { duplicates_ = duplicates; }

  // The order: `compare` (a negative, zero or positive result), or bytewise when empty.
  void SetCompare(Compare compare) { compare_ = std::move(compare); }
  // Makes the list own its entries (or stop owning them, for an empty hook).
  void SetRelease(Release release) { release_ = std::move(release); }
  bool OwnsLists() const noexcept { return static_cast<bool>(release_); }

  int CompareLists(const void* a, const void* b) const;

 private:
  struct Entry {
    void* list;
    std::int32_t data;
  };
  Entry& At(int index);
  const Entry& At(int index) const;
  void Insert(int index, void* list, std::int32_t data);
  void ReleaseList(void* list) noexcept;

  BlockList<Entry> entries_;
  int capacity_ = 0;
  bool sorted_ = false;
  PidlDuplicates duplicates_ = PidlDuplicates::Error;
  Compare compare_;
  Release release_;
};

}  // namespace stampwell
