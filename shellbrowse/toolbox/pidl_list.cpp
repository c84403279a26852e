#include "shellbrowse/toolbox/pidl_list.h"

#include <algorithm>
#include <string>

#include "shellbrowse/toolbox/id_list.h"
#include "shellbrowse/toolbox/toolbox_error.h"

namespace stampwell {
namespace {

[[noreturn]] void IndexError(const char* what, int value) {
  throw ToolboxError(std::string("TPTPidlList: ") + what + " out of bounds (" +
                     std::to_string(value) + ")");
}

}  // namespace

int PidlList::CompareLists(const void* a, const void* b) const {
  return compare_ ? compare_(a, b) : CompareIdListBytes(a, b);
}

bool PidlList::Find(const void* list, int& index) const {
  bool found = false;
  int lo = 0;
  int hi = Count() - 1;
  while (lo <= hi) {
    int mid = lo + (hi - lo) / 2;
    int order = CompareLists(entries_[static_cast<std::size_t>(mid)].list, list);
    if (order < 0) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
      if (order == 0) {
        found = true;
        if (duplicates_ != PidlDuplicates::Accept) lo = mid;
      }
    }
  }
  index = lo;
  return found;
}

int PidlList::AddObject(void* list, std::int32_t data) {
  try {
    int index = Count();
    if (sorted_ && Find(list, index)) {
      if (duplicates_ == PidlDuplicates::Ignore) {
        ReleaseList(list);
        return index;
      }
      if (duplicates_ == PidlDuplicates::Error) throw ToolboxError("TPTPidlList: Duplicate PIDL");
    }
    Insert(index, list, data);
    return index;
  } catch (...) {
    ReleaseList(list);
    throw;
  }
}

int PidlList::IndexOf(const void* list) const {
  if (sorted_) {
    int index;
    return Find(list, index) ? index : -1;
  }
  for (int i = 0; i < Count(); ++i)
    if (CompareLists(entries_[static_cast<std::size_t>(i)].list, list) == 0) return i;
  return -1;
}

void PidlList::Delete(int index) {
  void* list = At(index).list;
  entries_.erase(static_cast<std::size_t>(index));
  ReleaseList(list);
}

void PidlList::Clear() {
  std::vector<Entry> entries = entries_.flatten();
  entries_.clear();
  capacity_ = 0;
  for (Entry& entry : entries) ReleaseList(entry.list);
}

void PidlList::Sort() {
  // A shell folder's order need not be a strict weak order; a merge sort stays in bounds
  // whatever the comparison answers.
  std::vector<Entry> entries = entries_.flatten();
  std::stable_sort(entries.begin(), entries.end(), [this](const Entry& a, const Entry& b) {
    return CompareLists(a.list, b.list) < 0;
  });
  entries_.assign(entries);
}

void PidlList::SetSorted(bool sorted) {
  if (sorted && !sorted_) Sort();
  sorted_ = sorted;
}

void PidlList::SetCapacity(int capacity) {
  if (capacity < Count()) IndexError("Capacity", capacity);
  capacity_ = capacity;
}

PidlList::Entry& PidlList::At(int index) {
  if (index < 0 || index >= Count()) IndexError("Index", index);
  return entries_[static_cast<std::size_t>(index)];
}

const PidlList::Entry& PidlList::At(int index) const {
  if (index < 0 || index >= Count()) IndexError("Index", index);
  return entries_[static_cast<std::size_t>(index)];
}

void PidlList::Insert(int index, void* list, std::int32_t data) {
  entries_.insert(static_cast<std::size_t>(index), Entry{list, data});
  if (Count() > capacity_) capacity_ = capacity_ < 4 ? 4 : capacity_ > (1 << 29) ? Count() : capacity_ * 2;
  if (capacity_ < Count()) capacity_ = Count();
}

void PidlList::ReleaseList(void* list) noexcept {
  if (release_ && list) release_(list);
}

}  // namespace stampwell
