// Refreshing the shell tree: every expanded node is enumerated again and compared with its
// children by sorted identifier lists, so that expansion and selection survive.
#include <cstdint>
#include <vector>

#include "shellbrowse/shell_pidl_list.h"
#include "shellbrowse/shell_tree.h"
#include "shellbrowse/window_helpers.h"

namespace stampwell {

using Microsoft::WRL::ComPtr;

void TPTCustomShellTree::RefreshTree() {
  if (menu_active_ || IsEditing()) {
    refresh_pending_ = true;
    return;
  }
  if (!Items().GetFirstNode()) {
    FillTree();
    return;
  }
  ScopedHourglass hourglass;
  DoFillStart();
  struct Complete {
    TPTCustomShellTree& tree;
    ~Complete() { tree.DoFillComplete(); }
  } complete{*this};
  TTreeNode* remembered = nullptr;
  {
    LockScope lock(*this);
    remembered = Selected();
    SetSelected(nullptr);
    Items().BeginUpdate();
    struct End {
      TTreeNodes& items;
      ~End() { items.EndUpdate(); }
    } end{Items()};
    RefreshNode(Items().GetFirstNode(), remembered);
  }
  if (remembered) {
    force_immediate_change_ = true;
    remembered->SetSelected(true);
  }
}

void TPTCustomShellTree::RefreshNode(TTreeNode* node, TTreeNode*& remembered) {
  TPTShTreeData* data = NodeData(node);
  if (!data) return;
  // Never expanded: it is enumerated when it first opens.
  if (node->HasChildren() && !node->GetFirstChild()) return;
  IShellFolder* folder = data->ShellFolder();
  if (!folder) return;

  // A: the children as they are, sorted in the folder's order, each with its node (the entry's
  // data is the node's place in `children`: 32 bits hold no pointer on 64-bit Windows).
  std::vector<TTreeNode*> children;
  for (TTreeNode* child = node->GetFirstChild(); child; child = child->GetNextSibling()) {
    if (NodeData(child)) children.push_back(child);
  }
  TPTPidlList present;
  present.SetCompareFolder(folder);
  present.SetDuplicates(PidlDuplicates::Accept);
  present.SetCapacity(static_cast<int>(children.size()));
  for (size_t i = 0; i < children.size(); ++i) {
    present.AddObject(const_cast<ITEMIDLIST*>(NodeData(children[i])->RelIdList()), static_cast<std::int32_t>(i));
  }
  present.SetSorted(true);

  // B: what the folder holds now (the list owns these).
  TPTPidlList current;
  current.SetMalloc(ShellMalloc());
  ComPtr<IEnumIDList> items;
  HRESULT hr = folder->EnumObjects(nullptr, EnumFlags(), items.GetAddressOf());
  if (FAILED(hr)) return;
  if (items) {
    LPITEMIDLIST raw = nullptr;
    ULONG fetched = 0;
    while (items->Next(1, &raw, &fetched) == S_OK && fetched == 1) {
      current.Add(raw);
      raw = nullptr;
    }
  }

  for (int i = current.Count() - 1; i >= 0; --i) {
    int index = present.IndexOf(current.IdList(i));
    if (index >= 0) {
      present.Delete(index);
      current.Delete(i);
    }
  }
  // Left in A: vanished items.
  for (int i = present.Count() - 1; i >= 0; --i) {
    TTreeNode* gone = children[static_cast<size_t>(present.Data(i))];
    present.Delete(i);
    if (remembered && (remembered == gone || remembered->HasAsParent(gone))) remembered = gone->Parent();
    gone->Delete();
  }
  // Left in B: new items.
  if (current.Count() > 0) {
    for (int i = 0; i < current.Count(); ++i) AddItem(folder, data->AbsIdList(), current.IdList(i), node);
    SortChildren(node);
  }
  for (TTreeNode* child = node->GetFirstChild(); child; child = child->GetNextSibling()) RefreshNode(child, remembered);
}

}  // namespace stampwell
