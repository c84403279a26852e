#include "shellbrowse/toolbox/shell_pidl_list.h"

#include "shellbrowse/toolbox/id_list.h"

namespace stampwell {

int CompareInFolder(IShellFolder* folder, LPCITEMIDLIST a, LPCITEMIDLIST b) noexcept {
  HRESULT hr = folder->CompareIDs(0, a, b);
  if (FAILED(hr)) return CompareIdListBytes(a, b);
  return static_cast<short>(HRESULT_CODE(hr));
}

void TPTPidlList::SetCompareFolder(IShellFolder* folder) {
  compare_folder_ = folder;
  if (!folder) {
    SetCompare(nullptr);
    return;
  }
  SetCompare([folder](const void* a, const void* b) {
    return CompareInFolder(folder, static_cast<LPCITEMIDLIST>(a), static_cast<LPCITEMIDLIST>(b));
  });
}

void TPTPidlList::SetMalloc(IMalloc* malloc) {
  malloc_ = malloc;
  if (!malloc) {
    SetRelease(nullptr);
    return;
  }
  SetRelease([malloc](void* list) { malloc->Free(list); });
}

}  // namespace stampwell
