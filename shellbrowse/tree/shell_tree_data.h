#pragma once
// TPTShTreeData: what a shell tree keeps for one node. The node owns it (through the item's
// data); it is freed when the node is deleted, after OnDeleteItem.

#include <windows.h>
#include <shlobj.h>
#include <wrl/client.h>

#include <string>

#include "shellbrowse/toolbox/shell_id_list.h"

namespace stampwell {

class TPTCustomShellTree;

class TPTShTreeData {
 public:
  explicit TPTShTreeData(TPTCustomShellTree* tree) noexcept : tree_(tree) {}
  TPTShTreeData(const TPTShTreeData&) = delete;
  TPTShTreeData& operator=(const TPTShTreeData&) = delete;
  ~TPTShTreeData() = default;

  TPTCustomShellTree* Tree() const noexcept { return tree_; }
  TPTShTreeData* ParentData() const noexcept { return parent_; }

  // With a parent: `list` is the item relative to the parent's folder. Without (a root):
  // `list` is absolute; its last item becomes the relative list (the whole list when it has no
  // items) and a copy of it the absolute list.
  void InitData(TPTShTreeData* parent, LPCITEMIDLIST list);

  LPCITEMIDLIST RelIdList() const noexcept { return rel_.get(); }
  // The absolute list, built on first request from the parent's and the relative list.
  LPCITEMIDLIST AbsIdList();
  // The folder that holds the item: the parent's ShellFolder, or for a root the folder that
  // contains the root item (asked again on every call). Null when it cannot be had.
  Microsoft::WRL::ComPtr<IShellFolder> ParentShellFolder();
  // The item's own folder, bound on first request (null when it cannot be bound); the desktop
  // for an item without an absolute list.
  IShellFolder* ShellFolder();
  // Stores a folder that is already bound (the tree's root folder).
  void SetShellFolder(IShellFolder* folder) { folder_ = folder; }
  // Whether the shell lets the item be renamed; never for a root or the desktop.
  bool CanRename();
  // The item's file-system path; empty when it has none.
  std::string Path();
  // After a rename: the new relative list; the absolute list and the folder are made again.
  void SetRelIdList(LPCITEMIDLIST list);
  // Drops the cached absolute list and folder (descendants of a renamed node).
  void ResetCache() noexcept;
  // The item's drop target; for a root, through its absolute list's parent folder, or the
  // user's desktop directory's when it has none. Null on failure.
  Microsoft::WRL::ComPtr<IDropTarget> GetDropTarget(HWND owner);
  bool IsRoot() const noexcept { return parent_ == nullptr; }
  // Whether the node's children stand in the folder's order: not once a child was added at the
  // end, and again after a sort. A refresh then places new children without checking the rest.
  bool ChildrenInOrder() const noexcept { return children_in_order_; }
  void SetChildrenInOrder(bool in_order) noexcept { children_in_order_ = in_order; }

 private:
  TPTCustomShellTree* tree_;
  TPTShTreeData* parent_ = nullptr;
  unique_idlist rel_;
  unique_idlist abs_;
  Microsoft::WRL::ComPtr<IShellFolder> folder_;
  bool children_in_order_ = true;
};

}  // namespace stampwell
