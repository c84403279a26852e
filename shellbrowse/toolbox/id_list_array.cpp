#include "shellbrowse/toolbox/id_list_array.h"

namespace stampwell {

const void* TPTIdListArray::ParentPart(int levels) {
  FreeResult();
  int count = Count();
  if (!list_ || levels < 0 || levels > count) return nullptr;
  return Keep(CopyIdListItems(allocator_, list_, 0, count - levels));
}

const void* TPTIdListArray::Item(int index) {
  FreeResult();
  int count = Count();
  if (!list_ || index < 0 || (count > 0 && index >= count)) return nullptr;
  return Keep(CopyIdListItems(allocator_, list_, index, 1));
}

const void* TPTIdListArray::Keep(void* result) noexcept {
  result_ = result;
  return result_;
}

void TPTIdListArray::FreeResult() noexcept {
  if (result_) allocator_.Free(result_);
  result_ = nullptr;
}

}  // namespace stampwell
