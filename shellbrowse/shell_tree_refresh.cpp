// Refreshing the shell tree: every expanded node is enumerated again and compared with its
// children by sorted identifier lists, so that expansion and selection survive.
#include <algorithm>
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "shellbrowse/id_list.h"
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

namespace {

// The bytes of an identifier list, terminator included: the key under which the same item,
// enumerated twice, is found again without asking the folder. A view: both lists outlive the
// pairing.
std::string_view ListBytes(LPCITEMIDLIST list) {
  return std::string_view(reinterpret_cast<const char*>(list), IdListSize(list));
}

// CompareIDs with parameter 0 as a signed 16-bit order; 0 when the folder cannot compare.
int FolderOrder(IShellFolder* folder, LPCITEMIDLIST a, LPCITEMIDLIST b) {
  HRESULT hr = folder->CompareIDs(0, a, b);
  return SUCCEEDED(hr) ? static_cast<short>(HRESULT_CODE(hr)) : 0;
}

}  // namespace

void TPTCustomShellTree::RefreshNode(TTreeNode* node, TTreeNode*& remembered) {
  TPTShTreeData* data = NodeData(node);
  if (!data) return;
  // Never expanded: it is enumerated when it first opens.
  if (node->HasChildren() && !node->GetFirstChild()) return;
  IShellFolder* folder = data->ShellFolder();
  if (!folder) return;

  std::vector<TTreeNode*> children;
  for (TTreeNode* child = node->GetFirstChild(); child; child = child->GetNextSibling()) {
    if (NodeData(child)) children.push_back(child);
  }

  // What the folder holds now (the list owns these).
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

  // An item that is still there comes back from the enumeration with the same bytes: those pairs
  // are found by their bytes, without a call into the folder per item. Items whose bytes changed
  // (a folder may record times in them) are then paired by the folder's own comparison, as
  // equality is defined, among the few that are left.
  std::unordered_multimap<std::string_view, size_t> by_bytes;
  by_bytes.reserve(children.size());
  for (size_t i = 0; i < children.size(); ++i) by_bytes.emplace(ListBytes(NodeData(children[i])->RelIdList()), i);
  std::vector<bool> still_there(children.size(), false);
  std::vector<int> unmatched;  // entries of `current`
  for (int i = 0; i < current.Count(); ++i) {
    auto found = by_bytes.find(ListBytes(static_cast<LPCITEMIDLIST>(current.IdList(i))));
    if (found == by_bytes.end()) {
      unmatched.push_back(i);
      continue;
    }
    still_there[found->second] = true;
    by_bytes.erase(found);
  }
  if (!unmatched.empty() && !by_bytes.empty()) {
    // A: the children not yet paired, sorted in the folder's order (the entry's data is the
    // child's place in `children`: 32 bits hold no pointer on 64-bit Windows).
    TPTPidlList present;
    present.SetCompareFolder(folder);
    present.SetDuplicates(PidlDuplicates::Accept);
    for (const auto& [bytes, index] : by_bytes) {
      present.AddObject(const_cast<ITEMIDLIST*>(NodeData(children[index])->RelIdList()), static_cast<std::int32_t>(index));
    }
    present.SetSorted(true);
    std::vector<int> left;
    for (int i : unmatched) {
      int index = present.IndexOf(current.IdList(i));
      if (index < 0) {
        left.push_back(i);
        continue;
      }
      still_there[static_cast<size_t>(present.Data(index))] = true;
      present.Delete(index);
    }
    unmatched.swap(left);
  }

  // Vanished items.
  std::vector<TTreeNode*> kept;
  kept.reserve(children.size());
  for (size_t i = children.size(); i-- > 0;) {
    TTreeNode* gone = children[i];
    if (still_there[i]) continue;
    if (remembered && (remembered == gone || remembered->HasAsParent(gone))) remembered = gone->Parent();
    gone->Delete();
  }
  for (size_t i = 0; i < children.size(); ++i) {
    if (still_there[i]) kept.push_back(children[i]);
  }

  // New items, in the folder's order. A few go straight to their places among children that are
  // in order already; many, or children out of order (a node that a walk to a hidden folder
  // added at the end), are sorted once afterwards.
  if (!unmatched.empty()) {
    bool in_order = unmatched.size() * 8 <= kept.size();
    for (size_t i = 1; in_order && !data->ChildrenInOrder() && i < kept.size(); ++i) {
      in_order = FolderOrder(folder, NodeData(kept[i - 1])->RelIdList(), NodeData(kept[i])->RelIdList()) <= 0;
    }
    for (int i : unmatched) {
      auto item = static_cast<LPCITEMIDLIST>(current.IdList(i));
      TTreeNode* before = nullptr;
      if (in_order) {
        auto place = std::upper_bound(kept.begin(), kept.end(), item, [this, folder](LPCITEMIDLIST a, TTreeNode* b) {
          return FolderOrder(folder, a, NodeData(b)->RelIdList()) < 0;
        });
        before = place == kept.end() ? nullptr : *place;
      }
      struct Place {
        TTreeNode*& slot;
        Place(TTreeNode*& s, TTreeNode* before) : slot(s) { slot = before; }
        ~Place() { slot = nullptr; }
      } place_new{add_before_, before};
      last_inserted_ = nullptr;
      AddItem(folder, data->AbsIdList(), item, node);
      if (in_order && last_inserted_) {
        auto place = before ? std::find(kept.begin(), kept.end(), before) : kept.end();
        kept.insert(place, last_inserted_);
      }
    }
    if (in_order) data->SetChildrenInOrder(true);
    else SortChildren(node);
  }
  // The children that were there before: a node added just now holds nothing to refresh. Walking
  // the list already at hand, rather than the control's siblings, spares two messages a child.
  for (TTreeNode* child : kept) RefreshNode(child, remembered);
}

}  // namespace stampwell
