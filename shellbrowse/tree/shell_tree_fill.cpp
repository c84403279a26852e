// Filling the shell tree: the root, a node's children on first expansion, the shell's order and
// the walk to a folder.
#include <memory>

#include "framework/application.h"
#include "framework/exception.h"
#include "shellbrowse/toolbox/id_list.h"
#include "shellbrowse/toolbox/id_list_array.h"
#include "shellbrowse/toolbox/shell_error.h"
#include "shellbrowse/toolbox/shell_icons.h"
#include "shellbrowse/toolbox/window_helpers.h"
#include "shellbrowse/tree/shell_tree.h"

namespace stampwell {

using Microsoft::WRL::ComPtr;

namespace {

// Drives without media raise no system dialog while a folder is enumerated.
class ScopedErrorMode {
 public:
  ScopedErrorMode() noexcept : previous_(::SetErrorMode(SEM_FAILCRITICALERRORS)) {}
  ScopedErrorMode(const ScopedErrorMode&) = delete;
  ScopedErrorMode& operator=(const ScopedErrorMode&) = delete;
  ~ScopedErrorMode() { ::SetErrorMode(previous_); }

 private:
  UINT previous_;
};

// CompareIDs with parameter 0 as a signed 16-bit order; 0 when the folder cannot compare.
int ShellOrder(IShellFolder* folder, LPCITEMIDLIST a, LPCITEMIDLIST b) {
  if (!folder) return 0;
  HRESULT hr = folder->CompareIDs(0, a, b);
  return SUCCEEDED(hr) ? static_cast<short>(HRESULT_CODE(hr)) : 0;
}

const ITEMIDLIST kEmptyList{};

}  // namespace

void TPTCustomShellTree::FillTree() {
  if (menu_active_ || IsEditing()) {
    refresh_pending_ = true;
    return;
  }
  {
    ScopedHourglass hourglass;
    UpdateScope batch(Items());
    {
      LockScope lock(*this);
      SetSelected(nullptr);
    }
    DeleteAllNodes();
    ComPtr<IShellFolder> root;
    LPCITEMIDLIST base = base_folder_.IdList();
    HRESULT hr = base ? BindToFolder(base, root) : SHGetDesktopFolder(root.GetAddressOf());
    if (FAILED(hr)) RaiseOleError(hr);
    FillNode(root.Get(), nullptr);
    if (LPCITEMIDLIST selected = selected_folder_.IdList()) {
      SelectIdList(selected);
    } else if (TTreeNode* first = Items().GetFirstNode()) {
      first->SetSelected(true);
    }
    FlushPendingChange();
  }
  if (options_.Contains(ptstoDynamicRefresh)) StartChangeWatch();
}

TTreeNode* TPTCustomShellTree::AddRootNode(IShellFolder* folder) {
  unique_idlist base;
  if (LPCITEMIDLIST list = base_folder_.IdList()) base = CopyIdList(list);
  LPCITEMIDLIST root_list = base ? base.get() : &kEmptyList;
  TTreeNode* root = Items().AddObject(nullptr, GetAbsDisplayName(root_list), nullptr);
  root->SetImageIndex(GetSysIconIndex(root_list, SHGFI_SMALLICON));
  root->SetSelectedIndex(GetSysIconIndex(root_list, SHGFI_SMALLICON | SHGFI_OPENICON));
  auto data = std::make_unique<TPTShTreeData>(this);
  data->InitData(nullptr, root_list);
  data->SetShellFolder(folder);
  AttachData(root, std::move(data));
  DoInsertItem(root);
  return root;
}

void TPTCustomShellTree::FillNode(IShellFolder* folder, TTreeNode* node) {
  DoFillStart();
  struct Complete {
    TPTCustomShellTree& tree;
    ~Complete() { tree.DoFillComplete(); }
  } complete{*this};
  ScopedErrorMode error_mode;
  // However many nodes come, the control redraws once.
  UpdateScope batch(Items());

  TTreeNode* target = node ? node : AddRootNode(folder);
  unique_idlist parent_abs = CopyIdList(NodeData(target)->AbsIdList());

  ComPtr<IEnumIDList> items;
  HRESULT hr = folder ? folder->EnumObjects(ShellOwnerWindow(), EnumFlags(), items.GetAddressOf()) : E_FAIL;
  if (FAILED(hr)) {
    // A later expansion tries again.
    target->SetHasChildren(true);
    Abort();
  }
  HRESULT end = S_FALSE;
  if (items) {
    for (;;) {
      LPITEMIDLIST raw = nullptr;
      ULONG fetched = 0;
      end = items->Next(1, &raw, &fetched);
      unique_idlist item(raw);
      if (end != S_OK || fetched == 0) break;
      HRESULT added = AddItem(folder, parent_abs.get(), item.get(), target);
      if (FAILED(added)) RaiseOleError(added);
    }
    if (end == S_OK) end = S_FALSE;
  }
  if (!target->GetFirstChild()) target->SetHasChildren(false);
  if (end == E_FAIL) Abort();
  if (end != S_FALSE) RaiseOleError(end);
  SortChildren(target);
  if (!node) target->Expand(false);
}

HRESULT TPTCustomShellTree::AddItem(IShellFolder* folder, LPCITEMIDLIST parent_abs, LPCITEMIDLIST item, TTreeNode* parent) {
  if (!item) return S_OK;
  SFGAOF attributes = 0xF20B0000;
  HRESULT hr = folder->GetAttributesOf(1, &item, &attributes);
  if (FAILED(hr)) return hr;
  bool candidate = options_.Contains(ptstoVirtualFolders) || (attributes & (SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR));
  if (!candidate || !DoAddItem(folder, parent_abs, attributes, item)) return S_OK;

  std::string text = GetDisplayName(folder, item, NameKind::InFolder);
  bool placed = add_before_ && add_before_->Parent() == parent;
  TTreeNode* node = placed   ? Items().Insert(add_before_, text)
                    : parent ? Items().AddChildObject(parent, text, nullptr)
                             : Items().AddObject(nullptr, text, nullptr);
  if (TPTShTreeData* parent_data = NodeData(parent); parent_data && !placed) parent_data->SetChildrenInOrder(false);
  bool folder_bit = (attributes & SFGAO_FOLDER) != 0, subfolder_bit = (attributes & SFGAO_HASSUBFOLDER) != 0;
  bool has_children = options_.Contains(ptstoIncludeNonFolders) ? (folder_bit || subfolder_bit) : (folder_bit && subfolder_bit);
  node->SetHasChildren(has_children);
  if (attributes & SFGAO_SHARE) node->SetOverlayIndex(0);
  else if (attributes & SFGAO_LINK) node->SetOverlayIndex(1);
  if (attributes & SFGAO_HIDDEN) node->SetCut(true);
  auto data = std::make_unique<TPTShTreeData>(this);
  data->InitData(parent ? NodeData(parent) : nullptr, item);
  AttachData(node, std::move(data));
  DoInsertItem(node);
  return S_OK;
}

bool TPTCustomShellTree::DoAddItem(IShellFolder* folder, LPCITEMIDLIST parent_abs, ULONG attributes, LPCITEMIDLIST item) {
  BOOL allow = TRUE;
  FireEvent(OnAddItem, this, folder, parent_abs, item, attributes, allow);
  return allow != FALSE;
}

void TPTCustomShellTree::SortChildren(TTreeNode* node) {
  if (TPTShTreeData* data = NodeData(node)) {
    // Every child lies in the node's own folder: one folder serves the whole sort.
    ComPtr<IShellFolder> folder(data->ShellFolder());
    bool sorted = CustomSort(node, [this, &folder](TTreeNode* a, TTreeNode* b) {
      TPTShTreeData* da = NodeData(a);
      TPTShTreeData* db = NodeData(b);
      if (!da || !db) return 0;
      return ShellOrder(folder.Get(), da->RelIdList(), db->RelIdList());
    });
    if (sorted) data->SetChildrenInOrder(true);
    return;
  }
  CustomSort(node, [this](TTreeNode* a, TTreeNode* b) {
    TPTShTreeData* da = NodeData(a);
    TPTShTreeData* db = NodeData(b);
    if (!da || !db) return 0;
    return ShellOrder(da->ParentShellFolder().Get(), da->RelIdList(), db->RelIdList());
  });
}

bool TPTCustomShellTree::ExpandNode(TTreeNode* node) {
  if (node->GetFirstChild() || !node->HasChildren() || !IsShellNode(node)) return true;
  ScopedHourglass hourglass;
  IShellFolder* folder = NodeData(node)->ShellFolder();
  if (!folder) return false;
  FillNode(folder, node);
  return true;
}

bool TPTCustomShellTree::CanExpand(TTreeNode* node) {
  if (in_loading_) return false;
  if (!TPTCustomTreeView::CanExpand(node)) return false;
  try {
    return ExpandNode(node);
  } catch (...) {
    // The control asked from inside its own message: report here and leave the node closed.
    Application().HandleException(std::current_exception());
    return false;
  }
}

TTreeNode* TPTCustomShellTree::FindChildNode(TTreeNode* parent, LPCITEMIDLIST item) {
  TPTShTreeData* parent_data = NodeData(parent);
  IShellFolder* folder = parent_data ? parent_data->ShellFolder() : nullptr;
  if (!folder) return nullptr;
  for (TTreeNode* child = parent->GetFirstChild(); child; child = child->GetNextSibling()) {
    TPTShTreeData* data = NodeData(child);
    if (!data) continue;
    HRESULT hr = folder->CompareIDs(0, data->RelIdList(), item);
    if (SUCCEEDED(hr) && static_cast<short>(HRESULT_CODE(hr)) == 0) return child;
  }
  return nullptr;
}

void TPTCustomShellTree::SelectIdList(LPCITEMIDLIST list) {
  if (lock_count_ > 0) return;
  force_immediate_change_ = true;
  TPTIdListArray base_view(ShellAllocator(), base_folder_.IdList());
  TPTIdListArray target_view(ShellAllocator(), list);
  int base_count = base_view.Count(), target_count = target_view.Count();
  Items().BeginUpdate();
  struct End {
    TPTCustomShellTree& tree;
    ~End() {
      tree.Items().EndUpdate();
      if (TTreeNode* selected = tree.Selected()) selected->MakeVisible();
    }
  } end{*this};

  TTreeNode* root = FirstShellRoot();
  if (!root) return;
  if (target_count == 0) {
    root->SetSelected(true);
    return;
  }
  if (base_count >= target_count) {
    root->SetSelected(true);
    root->Expand(false);
    return;
  }
  root->Expand(false);
  TTreeNode* node = root;
  // The first items of the target are taken to be the base folder's.
  for (int i = base_count; i < target_count; ++i) {
    auto item = static_cast<LPCITEMIDLIST>(target_view.Item(i));
    TTreeNode* child = FindChildNode(node, item);
    if (!child) {
      // Not listed (a hidden folder, for one): the walk adds it.
      TPTShTreeData* data = NodeData(node);
      IShellFolder* folder = data->ShellFolder();
      last_inserted_ = nullptr;
      HRESULT hr = folder ? AddItem(folder, data->AbsIdList(), item, node) : E_FAIL;
      child = SUCCEEDED(hr) ? last_inserted_ : nullptr;
      if (!child) {
        ::MessageBeep(0xFFFFFFFF);
        break;
      }
    }
    if (i < target_count - 1) child->Expand(false);
    node = child;
  }
  node->SetSelected(true);
}

}  // namespace stampwell
