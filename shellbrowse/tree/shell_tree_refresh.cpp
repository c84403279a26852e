// Refreshing the shell tree: every expanded node is enumerated again and compared with its
// children by sorted identifier lists, so that expansion and selection survive.
#include <algorithm>
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "shellbrowse/toolbox/id_list.h"
#include "shellbrowse/toolbox/shell_pidl_list.h"
#include "shellbrowse/toolbox/window_helpers.h"
#include "shellbrowse/tree/shell_tree.h"

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

// Adds what the folder holds now to `items`; false when it cannot be enumerated.
bool EnumerateItems(IShellFolder* folder, DWORD flags, TPTPidlList& items) {
  ComPtr<IEnumIDList> enumeration;
  if (FAILED(folder->EnumObjects(nullptr, flags, enumeration.GetAddressOf()))) return false;
  if (!enumeration) return true;
  LPITEMIDLIST raw = nullptr;
  ULONG fetched = 0;
  while (enumeration->Next(1, &raw, &fetched) == S_OK && fetched == 1) {
    items.Add(raw);
    raw = nullptr;
  }
  return true;
}

// Which of a node's children are still among the folder's items, and which items are new.
struct Pairing {
  std::vector<bool> still_there;          // per child
  std::vector<LPCITEMIDLIST> new_items;  // owned by the enumeration's list
};

// An item that is still there comes back from the enumeration with the same bytes: those pairs
// are found by their bytes, without a call into the folder per item. Items whose bytes changed
// (a folder may record times in them) are then paired by the folder's own comparison, as
// equality is defined, among the few that are left.
Pairing PairItems(IShellFolder* folder, const std::vector<LPCITEMIDLIST>& children, const TPTPidlList& items) {
  Pairing pairing{std::vector<bool>(children.size(), false), {}};
  std::unordered_multimap<std::string_view, size_t> by_bytes;
  by_bytes.reserve(children.size());
  for (size_t i = 0; i < children.size(); ++i) by_bytes.emplace(ListBytes(children[i]), i);
  for (int i = 0; i < items.Count(); ++i) {
    LPCITEMIDLIST item = items.IdList(i);
    auto found = by_bytes.find(ListBytes(item));
    if (found == by_bytes.end()) {
      pairing.new_items.push_back(item);
      continue;
    }
    pairing.still_there[found->second] = true;
    by_bytes.erase(found);
  }
  if (pairing.new_items.empty() || by_bytes.empty()) return pairing;
  // The children not yet paired, sorted in the folder's order (the entry's data is the child's
  // place in `children`: 32 bits hold no pointer on 64-bit Windows).
  TPTPidlList unpaired;
  unpaired.SetCompareFolder(folder);
  unpaired.SetDuplicates(PidlDuplicates::Accept);
  for (const auto& [bytes, index] : by_bytes)
    unpaired.AddObject(const_cast<LPITEMIDLIST>(children[index]), static_cast<std::int32_t>(index));
  unpaired.SetSorted(true);
  std::vector<LPCITEMIDLIST> left;
  for (LPCITEMIDLIST item : pairing.new_items) {
    int index = unpaired.IndexOf(item);
    if (index < 0) {
      left.push_back(item);
      continue;
    }
    pairing.still_there[static_cast<size_t>(unpaired.Data(index))] = true;
    unpaired.Delete(index);
  }
  pairing.new_items.swap(left);
  return pairing;
}

// Deletes the children that vanished, moving `remembered` to the parent when it goes with
// them; the children kept, in their order.
std::vector<TTreeNode*> DeleteVanished(const std::vector<TTreeNode*>& children, const std::vector<bool>& still_there,
                                       TTreeNode*& remembered) {
  for (size_t i = children.size(); i-- > 0;) {
    TTreeNode* gone = children[i];
    if (still_there[i]) continue;
    if (remembered && (remembered == gone || remembered->HasAsParent(gone))) remembered = gone->Parent();
    gone->Delete();
  }
  std::vector<TTreeNode*> kept;
  kept.reserve(children.size());
  for (size_t i = 0; i < children.size(); ++i) {
    if (still_there[i]) kept.push_back(children[i]);
  }
  return kept;
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
  std::vector<LPCITEMIDLIST> child_items;
  for (TTreeNode* child = node->GetFirstChild(); child; child = child->GetNextSibling()) {
    if (TPTShTreeData* child_data = NodeData(child)) {
      children.push_back(child);
      child_items.push_back(child_data->RelIdList());
    }
  }
  TPTPidlList current;  // owns what the enumeration hands out
  current.SetMalloc(ShellMalloc());
  if (!EnumerateItems(folder, EnumFlags(), current)) return;
  Pairing pairing = PairItems(folder, child_items, current);
  std::vector<TTreeNode*> kept = DeleteVanished(children, pairing.still_there, remembered);
  if (!pairing.new_items.empty()) InsertNewChildren(node, folder, pairing.new_items, kept);
  // The children that were there before: a node added just now holds nothing to refresh. Walking
  // the list already at hand, rather than the control's siblings, spares two messages a child.
  for (TTreeNode* child : kept) RefreshNode(child, remembered);
}

// New items, in the folder's order. A few go straight to their places among children that are
// in order already (`kept` then takes them in); many, or children out of order (a node that a
// walk to a hidden folder added at the end), are sorted once afterwards.
void TPTCustomShellTree::InsertNewChildren(TTreeNode* node, IShellFolder* folder,
                                           const std::vector<LPCITEMIDLIST>& items, std::vector<TTreeNode*>& kept) {
  TPTShTreeData* data = NodeData(node);
  bool in_order = items.size() * 8 <= kept.size();
  for (size_t i = 1; in_order && !data->ChildrenInOrder() && i < kept.size(); ++i) {
    in_order = FolderOrder(folder, NodeData(kept[i - 1])->RelIdList(), NodeData(kept[i])->RelIdList()) <= 0;
  }
  for (LPCITEMIDLIST item : items) {
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

}  // namespace stampwell
