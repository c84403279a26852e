// Renaming nodes in place and making new folders.
#include <string>

#include "shellbrowse/toolbox/new_folder.h"
#include "shellbrowse/toolbox/window_helpers.h"
#include "shellbrowse/tree/shell_tree.h"

namespace stampwell {

using Microsoft::WRL::ComPtr;

namespace {

std::string Trimmed(const std::string& text) {
  size_t first = 0, last = text.size();
  while (first < last && static_cast<unsigned char>(text[first]) <= ' ') ++first;
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ') --last;
  return text.substr(first, last - first);
}

// The name as the shell takes it: UTF-16 of the ANSI text, at most MAX_PATH characters.
std::wstring ShellName(const std::string& text) {
  std::wstring wide(MAX_PATH, L'\0');
  int length = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), wide.data(), MAX_PATH);
  wide.resize(length > 0 ? static_cast<size_t>(length) : 0);
  return wide;
}

void ResetDescendants(TPTCustomShellTree& tree, TTreeNode* node) {
  for (TTreeNode* child = node->GetFirstChild(); child; child = child->GetNextSibling()) {
    if (TPTShTreeData* data = tree.NodeData(child)) data->ResetCache();
    ResetDescendants(tree, child);
  }
}

}  // namespace

bool TPTCustomShellTree::CanEdit(TTreeNode* node) {
  TPTShTreeData* data = NodeData(node);
  if (!data) return TPTCustomTreeView::CanEdit(node);
  return data->CanRename() && TPTCustomTreeView::CanEdit(node);
}

std::string TPTCustomShellTree::EditStartText(TTreeNode* node) {
  TPTShTreeData* data = NodeData(node);
  if (!data) return TPTCustomTreeView::EditStartText(node);
  ComPtr<IShellFolder> parent = data->ParentShellFolder();
  std::string text = parent ? GetDisplayName(parent.Get(), data->RelIdList(), NameKind::ForEditing) : std::string();
  return text.empty() ? node->Text() : text;
}

void TPTCustomShellTree::Edit(TTreeNode* node, std::string text) {
  TPTShTreeData* data = NodeData(node);
  if (!data) {
    TPTCustomTreeView::Edit(node, std::move(text));
    return;
  }
  text = Trimmed(text);
  FireEvent(OnEdited, this, node, text);
  ScopedHourglass hourglass;
  LockScope lock(*this);
  ComPtr<IShellFolder> parent = data->ParentShellFolder();
  if (!parent) return;
  // The name it had: nothing is renamed, and no change notification comes to be ignored.
  if (text == GetDisplayName(parent.Get(), data->RelIdList(), NameKind::ForEditing)) return;
  suppress_next_notify_ = true;
  std::wstring name = ShellName(text);
  LPITEMIDLIST raw = nullptr;
  HRESULT hr = parent->SetNameOf(ShellOwnerWindow(), data->RelIdList(), name.c_str(), 0x20, &raw);
  unique_idlist renamed(raw);
  if (FAILED(hr)) return;  // the node keeps its old text
  if (renamed) {
    ResetDescendants(*this, node);
    node->SetText(GetDisplayName(parent.Get(), renamed.get(), NameKind::InFolder));
    data->SetRelIdList(renamed.get());
    // The selected folder's list changes when it is the renamed node or lies below it; a
    // node renamed elsewhere leaves it as it was.
    if (TPTShTreeData* selected = NodeData(Selected())) selected_folder_.SetIdList(selected->AbsIdList());
  } else {
    node->SetText(GetDisplayName(parent.Get(), data->RelIdList(), NameKind::InFolder));
  }
  SortChildren(node->Parent());
}

void TPTCustomShellTree::EditEnded() {
  if (refresh_pending_ && !menu_active_) ::PostMessageA(handle_, kPendingRefreshMessage, 0, 0);
}

bool TPTCustomShellTree::CreateNewFolder() {
  std::string path = GetSelectedPath();
  // A node without a file-system folder (My Computer, for one) has nowhere to hold a folder;
  // the process's current directory is no place for it either.
  if (path.empty()) return false;
  suppress_next_notify_ = true;
  std::string name;
  if (!CreateFolderIn(path, name)) return false;
  LPCITEMIDLIST selected = selected_folder_.IdList();
  WaitWithHourglass(selected && !IsEmptyIdList(selected) ? 1000 : 2100);
  RefreshTree();
  TTreeNode* node = Selected();
  if (!node) return true;
  ExpandNode(node);
  node->Expand(false);
  for (TTreeNode* child = node->GetFirstChild(); child; child = child->GetNextSibling()) {
    if (child->Text() == name) {
      child->EditText();
      break;
    }
  }
  return true;
}

}  // namespace stampwell
