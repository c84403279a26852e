#pragma once
// TPTPidlList: the ordered list of (identifier list, data) entries on the shell.
//
// With CompareFolder set, entries are ordered by that folder's CompareIDs (parameter 0, low 16
// bits as a signed number); without it, bytewise. With Malloc set, the list owns its identifier
// lists and frees them through that allocator on Delete, Clear and destruction.

#include <windows.h>
#include <shlobj.h>
#include <wrl/client.h>

#include "shellbrowse/toolbox/pidl_list.h"

namespace stampwell {

class TPTPidlList : public PidlList {
 public:
  TPTPidlList() = default;
  ~TPTPidlList() override { Clear(); }

  IShellFolder* CompareFolder() const noexcept { return compare_folder_.Get(); }
  void SetCompareFolder(IShellFolder* folder);

  IMalloc* Malloc() const noexcept { return malloc_.Get(); }
  void SetMalloc(IMalloc* malloc);

  LPITEMIDLIST IdList(int index) const { return static_cast<LPITEMIDLIST>(PidlList::IdList(index)); }

 private:
  Microsoft::WRL::ComPtr<IShellFolder> compare_folder_;
  Microsoft::WRL::ComPtr<IMalloc> malloc_;
};

// The order of two items of `folder`: its CompareIDs with parameter 0, low 16 bits signed.
// Where the folder cannot compare them, their bytes decide, so that a sort stays an order.
int CompareInFolder(IShellFolder* folder, LPCITEMIDLIST a, LPCITEMIDLIST b) noexcept;

}  // namespace stampwell
