#include "shellbrowse/tree/shell_tree_data.h"

#include "shellbrowse/toolbox/id_list.h"

namespace stampwell {

using Microsoft::WRL::ComPtr;

void TPTShTreeData::InitData(TPTShTreeData* parent, LPCITEMIDLIST list) {
  parent_ = parent;
  folder_.Reset();
  if (parent) {
    rel_ = CopyIdList(list);
    abs_.reset();
    return;
  }
  int count = IdListItemCount(list);
  if (count > 0) {
    rel_.reset(static_cast<ITEMIDLIST*>(CopyIdListItems(ShellAllocator(), list, count - 1, 1)));
  } else {
    rel_ = CopyIdList(list);
  }
  abs_ = CopyIdList(list);
}

LPCITEMIDLIST TPTShTreeData::AbsIdList() {
  if (!abs_) {
    if (parent_) abs_ = ConcatIdLists(parent_->AbsIdList(), rel_.get());
    else abs_ = CopyIdList(rel_.get());
  }
  return abs_.get();
}

ComPtr<IShellFolder> TPTShTreeData::ParentShellFolder() {
  if (parent_) return ComPtr<IShellFolder>(parent_->ShellFolder());
  ComPtr<IShellFolder> folder;
  unique_idlist parent_list, last_item;
  if (FAILED(GetParentFolder(AbsIdList(), folder, parent_list, last_item))) folder.Reset();
  return folder;
}

IShellFolder* TPTShTreeData::ShellFolder() {
  if (folder_) return folder_.Get();
  if (AbsIdList()) {
    ComPtr<IShellFolder> parent = ParentShellFolder();
    if (!parent) return nullptr;
    ComPtr<IShellFolder> bound;
    if (FAILED(parent->BindToObject(rel_.get(), nullptr, IID_IShellFolder, reinterpret_cast<void**>(bound.GetAddressOf())))) {
      return nullptr;
    }
    folder_ = bound;
  } else if (FAILED(SHGetDesktopFolder(folder_.ReleaseAndGetAddressOf()))) {
    folder_.Reset();
  }
  return folder_.Get();
}

bool TPTShTreeData::CanRename() {
  if (!parent_ || IsEmptyIdList(AbsIdList())) return false;
  ComPtr<IShellFolder> parent = ParentShellFolder();
  if (!parent) return false;
  LPCITEMIDLIST item = rel_.get();
  SFGAOF attributes = 0x40000177;
  if (FAILED(parent->GetAttributesOf(1, &item, &attributes))) return false;
  return (attributes & SFGAO_CANRENAME) != 0;
}

std::string TPTShTreeData::Path() {
  char path[MAX_PATH] = {};
  LPCITEMIDLIST list = AbsIdList();
  if (!list || !SHGetPathFromIDListA(list, path)) return std::string();
  return path;
}

void TPTShTreeData::SetRelIdList(LPCITEMIDLIST list) {
  rel_.reset();
  abs_.reset();
  folder_.Reset();
  rel_ = CopyIdList(list);
  AbsIdList();
}

void TPTShTreeData::ResetCache() noexcept {
  abs_.reset();
  folder_.Reset();
}

ComPtr<IDropTarget> TPTShTreeData::GetDropTarget(HWND owner) {
  ComPtr<IDropTarget> target;
  ComPtr<IShellFolder> folder;
  unique_idlist parent_list, last_item;
  LPCITEMIDLIST item = rel_.get();
  if (parent_) {
    folder = ParentShellFolder();
  } else if (SUCCEEDED(GetParentFolder(AbsIdList(), folder, parent_list, last_item))) {
    item = last_item.get();
  } else {
    folder.Reset();
  }
  if (!folder || FAILED(folder->GetUIObjectOf(owner, 1, &item, IID_IDropTarget, nullptr,
                                               reinterpret_cast<void**>(target.GetAddressOf())))) {
    target.Reset();
  }
  return target;
}

}  // namespace stampwell
