// The nodes of the tree view: each TTreeNode speaks to its item of the control.

#include "framework/tree_view.h"

#include <cstring>

#include "framework/exception.h"

namespace stampwell {

// ---- TTreeNode ----

TTreeNodes& TTreeNode::Owner() const noexcept { return tree_->Items(); }

void TTreeNode::SetText(const std::string& text) {
  text_ = text;
  TVITEMA item{};
  item.mask = TVIF_TEXT;
  item.hItem = item_;
  item.pszText = const_cast<char*>(text_.c_str());
  ::SendMessageA(tree_->HandleOrNull(), TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

void TTreeNode::SetImage(int& field, int index) {
  if (index == field) return;
  field = index;
  if (tree_->answering_display_info_) return;
  RECT r = DisplayRect(false);
  ::InvalidateRect(tree_->HandleOrNull(), &r, FALSE);
}

void TTreeNode::SetImageIndex(int index) { SetImage(image_index_, index); }
void TTreeNode::SetSelectedIndex(int index) { SetImage(selected_index_, index); }

void TTreeNode::SetOverlayIndex(int index) {
  overlay_index_ = index;
  SetState(index >= 0 ? INDEXTOOVERLAYMASK(index + 1) : 0, TVIS_OVERLAYMASK);
}

UINT TTreeNode::State(UINT mask) const {
  return static_cast<UINT>(::SendMessageA(tree_->HandleOrNull(), TVM_GETITEMSTATE,
                                          reinterpret_cast<WPARAM>(item_), mask)) & mask;
}

void TTreeNode::SetState(UINT state, UINT mask) {
  TVITEMA item{};
  item.mask = TVIF_STATE;
  item.hItem = item_;
  item.state = state;
  item.stateMask = mask;
  ::SendMessageA(tree_->HandleOrNull(), TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

bool TTreeNode::Cut() const { return State(TVIS_CUT) != 0; }
void TTreeNode::SetCut(bool cut) { SetState(cut ? TVIS_CUT : 0, TVIS_CUT); }

bool TTreeNode::HasChildren() const {
  if (button_ != Button::kUnknown) return button_ == Button::kShown;
  TVITEMA item{};
  item.mask = TVIF_CHILDREN;
  item.hItem = item_;
  ::SendMessageA(tree_->HandleOrNull(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  return item.cChildren != 0;
}

void TTreeNode::SetHasChildren(bool has_children) {
  Button told = has_children ? Button::kShown : Button::kHidden;
  if (button_ == told) return;
  button_ = told;
  TVITEMA item{};
  item.mask = TVIF_CHILDREN;
  item.hItem = item_;
  item.cChildren = has_children ? 1 : 0;
  ::SendMessageA(tree_->HandleOrNull(), TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

bool TTreeNode::Expanded() const { return State(TVIS_EXPANDED) != 0; }

bool TTreeNode::ExpandOrCollapse(UINT action) {
  // The control asks again (TVN_ITEMEXPANDING) only for a first expansion; the tree answers
  // that question for this node itself, so the steps run once.
  TTreeNode* saved = tree_->expanding_;
  tree_->expanding_ = this;
  struct Restore {
    TCustomTreeView* tree;
    TTreeNode* saved;
    ~Restore() { tree->expanding_ = saved; }
  } restore{tree_, saved};
  bool expand = action == TVE_EXPAND;
  if (!(expand ? tree_->CanExpand(this) : tree_->CanCollapse(this))) return false;
  ::SendMessageA(tree_->HandleOrNull(), TVM_EXPAND, action, reinterpret_cast<LPARAM>(item_));
  if (Expanded() != expand) return false;
  expand ? tree_->Expand(this) : tree_->Collapse(this);
  return true;
}

void TTreeNode::Expand(bool recurse) {
  if (!Expanded() && !ExpandOrCollapse(TVE_EXPAND)) return;
  if (recurse) {
    for (TTreeNode* child = GetFirstChild(); child; child = child->GetNextSibling()) child->Expand(true);
  }
}

void TTreeNode::Collapse(bool recurse) {
  if (recurse) {
    for (TTreeNode* child = GetFirstChild(); child; child = child->GetNextSibling()) child->Collapse(true);
  }
  if (Expanded()) ExpandOrCollapse(TVE_COLLAPSE);
}

TTreeNode* TTreeNode::GetFirstChild() const { return first_child_; }
TTreeNode* TTreeNode::GetLastChild() const { return last_child_; }
TTreeNode* TTreeNode::GetNextSibling() const { return next_sibling_; }
TTreeNode* TTreeNode::GetPrevSibling() const { return prev_sibling_; }

TTreeNode* TTreeNode::GetNext() const {
  if (TTreeNode* child = GetFirstChild()) return child;
  for (const TTreeNode* n = this; n; n = n->parent_) {
    if (TTreeNode* next = n->GetNextSibling()) return next;
  }
  return nullptr;
}

int TTreeNode::Count() const {
  int count = 0;
  for (TTreeNode* child = GetFirstChild(); child; child = child->GetNextSibling()) ++count;
  return count;
}

TTreeNode* TTreeNode::Item(int index) const {
  TTreeNode* child = GetFirstChild();
  for (int i = 0; child && i < index; ++i) child = child->GetNextSibling();
  return index >= 0 ? child : nullptr;
}

int TTreeNode::Index() const {
  int index = 0;
  for (TTreeNode* n = GetPrevSibling(); n; n = n->GetPrevSibling()) ++index;
  return index;
}

int TTreeNode::Level() const {
  int level = 0;
  for (TTreeNode* n = parent_; n; n = n->parent_) ++level;
  return level;
}

int TTreeNode::AbsoluteIndex() const {
  int index = 0;
  for (TTreeNode* n = tree_->Items().GetFirstNode(); n && n != this; n = n->GetNext()) ++index;
  return index;
}

bool TTreeNode::HasAsParent(const TTreeNode* ancestor) const {
  if (!ancestor) return false;
  for (TTreeNode* n = parent_; n; n = n->parent_) {
    if (n == ancestor) return true;
  }
  return false;
}

bool TTreeNode::Selected() const { return TreeView_GetSelection(tree_->HandleOrNull()) == item_; }

void TTreeNode::SetSelected(bool selected) {
  if (selected) {
    TreeView_SelectItem(tree_->HandleOrNull(), item_);
  } else if (Selected()) {
    TreeView_SelectItem(tree_->HandleOrNull(), nullptr);
  }
}

// TVIS_FOCUSED (0x0001), which the SDK headers of MinGW leave out.
bool TTreeNode::Focused() const { return State(0x0001) != 0; }

bool TTreeNode::EditText() {
  // TVM_EDITLABEL selects and focuses the item it edits, as Windows documents; Wine's control
  // leaves the selection where it was, so the node edited would not be the node selected.
  SetSelected(true);
  ::SetFocus(tree_->HandleOrNull());
  return ::SendMessageA(tree_->HandleOrNull(), TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(item_)) != 0;
}

void TTreeNode::EndEdit(bool cancel) {
  ::SendMessageA(tree_->HandleOrNull(), TVM_ENDEDITLABELNOW, cancel ? TRUE : FALSE, 0);
}

void TTreeNode::MakeVisible() { TreeView_EnsureVisible(tree_->HandleOrNull(), item_); }

RECT TTreeNode::DisplayRect(bool text_only) const {
  // The message takes the item in the rectangle's first bytes.
  RECT r{};
  HTREEITEM item = item_;
  std::memcpy(&r, &item, sizeof item);
  if (!::SendMessageA(tree_->HandleOrNull(), TVM_GETITEMRECT, text_only ? TRUE : FALSE, reinterpret_cast<LPARAM>(&r))) {
    return RECT{};
  }
  return r;
}

void TTreeNode::Delete() {
  // TVN_DELETEITEM frees this object and those of the descendants.
  TreeView_DeleteItem(tree_->HandleOrNull(), item_);
}

void TTreeNode::DeleteChildren() {
  while (TTreeNode* child = GetFirstChild()) child->Delete();
}

bool TTreeNode::CustomSort(const TTVCompare& compare) { return tree_->CustomSort(this, compare); }

// ---- TTreeNodes ----

TTreeNode* TTreeNodes::GetFirstNode() const { return tree_.HandleOrNull() ? first_ : nullptr; }

void TTreeNodes::Link(TTreeNode* node, TTreeNode* previous) noexcept {
  TTreeNode*& first = FirstOf(node->parent_);
  TTreeNode*& last = LastOf(node->parent_);
  TTreeNode* next = previous ? previous->next_sibling_ : first;
  node->prev_sibling_ = previous;
  node->next_sibling_ = next;
  (previous ? previous->next_sibling_ : first) = node;
  (next ? next->prev_sibling_ : last) = node;
}

void TTreeNodes::Unlink(TTreeNode* node) noexcept {
  (node->prev_sibling_ ? node->prev_sibling_->next_sibling_ : FirstOf(node->parent_)) = node->next_sibling_;
  (node->next_sibling_ ? node->next_sibling_->prev_sibling_ : LastOf(node->parent_)) = node->prev_sibling_;
  node->prev_sibling_ = node->next_sibling_ = nullptr;
}

TTreeNode* TTreeNodes::Item(int index) const {
  if (index < 0) return nullptr;
  TTreeNode* node = GetFirstNode();
  for (int i = 0; node && i < index; ++i) node = node->GetNext();
  return node;
}

TTreeNode* TTreeNodes::InsertNode(TTreeNode* parent, TTreeNode* previous, bool at_end, const std::string& text,
                                  void* data) {
  HWND window = tree_.Handle();
  if (!window) throw Exception("A tree view cannot hold nodes before its parent has a window");
  auto* node = new TTreeNode(&tree_, parent);
  node->text_ = text;
  node->data_ = data;
  TVINSERTSTRUCTA insert{};
  insert.hParent = parent ? parent->item_ : TVI_ROOT;
  if (at_end) previous = LastOf(parent);
  insert.hInsertAfter = at_end ? TVI_LAST : previous ? previous->item_ : TVI_FIRST;
  insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  insert.item.pszText = const_cast<char*>(node->text_.c_str());
  insert.item.iImage = I_IMAGECALLBACK;
  insert.item.iSelectedImage = I_IMAGECALLBACK;
  insert.item.lParam = reinterpret_cast<LPARAM>(node);
  node->item_ = reinterpret_cast<HTREEITEM>(::SendMessageA(window, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
  if (!node->item_) {
    delete node;
    throw Exception("The tree view cannot add the node " + text);
  }
  ++count_;
  Link(node, previous);
  // A parent that was told it had no children shows its button again.
  if (parent) parent->SetHasChildren(true);
  return node;
}

TTreeNode* TTreeNodes::AddObject(TTreeNode* sibling, const std::string& text, void* data) {
  return InsertNode(sibling ? sibling->parent_ : nullptr, nullptr, true, text, data);
}

TTreeNode* TTreeNodes::AddFirst(TTreeNode* sibling, const std::string& text) {
  return InsertNode(sibling ? sibling->parent_ : nullptr, nullptr, false, text, nullptr);
}

TTreeNode* TTreeNodes::AddChildObject(TTreeNode* parent, const std::string& text, void* data) {
  return InsertNode(parent, nullptr, true, text, data);
}

TTreeNode* TTreeNodes::AddChildFirst(TTreeNode* parent, const std::string& text) {
  return InsertNode(parent, nullptr, false, text, nullptr);
}

TTreeNode* TTreeNodes::Insert(TTreeNode* sibling, const std::string& text) {
  if (!sibling) return AddObject(nullptr, text, nullptr);
  return InsertNode(sibling->parent_, sibling->prev_sibling_, false, text, nullptr);
}

void TTreeNodes::Clear() {
  if (HWND window = tree_.HandleOrNull()) TreeView_DeleteAllItems(window);
}

void TTreeNodes::BeginUpdate() {
  if (update_count_++ == 0) {
    if (HWND window = tree_.HandleOrNull()) ::SendMessageA(window, WM_SETREDRAW, FALSE, 0);
  }
}

void TTreeNodes::EndUpdate() {
  if (update_count_ == 0) return;
  if (--update_count_ == 0) {
    if (HWND window = tree_.HandleOrNull()) {
      ::SendMessageA(window, WM_SETREDRAW, TRUE, 0);
      ::InvalidateRect(window, nullptr, TRUE);
    }
  }
}

}  // namespace stampwell
