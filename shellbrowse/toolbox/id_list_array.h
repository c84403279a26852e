#pragma once
// TPTIdListArray: a read-only, indexable view of one identifier list.
//
// The viewed list is neither copied nor owned. Each call that returns a list frees the previous
// result first, so a returned list stays valid only until the next such call or the view's end;
// callers copy what they keep.

#include "shellbrowse/toolbox/id_list.h"

namespace stampwell {

class TPTIdListArray {
 public:
  TPTIdListArray(IdListAllocator& allocator, const void* list) noexcept
      : allocator_(allocator), list_(list) {}
  TPTIdListArray(const TPTIdListArray&) = delete;
  TPTIdListArray& operator=(const TPTIdListArray&) = delete;
  ~TPTIdListArray() { FreeResult(); }

  int Count() const noexcept { return IdListItemCount(list_); }

  // The first Count - levels items and a terminator; `levels` = Count gives the empty list.
  // Null for no list or `levels` outside 0..Count.
  const void* ParentPart(int levels);

  // Item `index` alone with a terminator; null for no list, a negative index, or an index at or
  // past Count. (On the empty list every index reads as the empty list.)
  const void* Item(int index);

 private:
  const void* Keep(void* result) noexcept;
  void FreeResult() noexcept;

  IdListAllocator& allocator_;
  const void* list_;
  void* result_ = nullptr;
};

}  // namespace stampwell
