#include "framework/tree_view.h"

#include <cstring>

#include "framework/application.h"
#include "framework/form_reader.h"
#include "framework/std_controls.h"

namespace stampwell {
namespace {

constexpr UINT_PTR kChangeDelayTimer = 1;

// Every style bit that TreeStyle may select, so that a change rewrites exactly these.
constexpr DWORD kTreeStyleMask = TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_EDITLABELS |
                                 TVS_DISABLEDRAGDROP | TVS_SHOWSELALWAYS | TVS_NOTOOLTIPS | TVS_TRACKSELECT |
                                 TVS_SINGLEEXPAND | TVS_FULLROWSELECT;

int CALLBACK CompareNodes(LPARAM a, LPARAM b, LPARAM compare) {
  const auto& fn = *reinterpret_cast<const TTreeNode::TTVCompare*>(compare);
  try {
    return fn(reinterpret_cast<TTreeNode*>(a), reinterpret_cast<TTreeNode*>(b));
  } catch (...) {
    // The control calls back from inside its sort: nothing may unwind through it.
    Application().HandleException(std::current_exception());
    return 0;
  }
}

}  // namespace

// ---- TTreeNode ----

TTreeNodes& TTreeNode::Owner() const noexcept { return tree_->Items(); }

TTreeNode* TTreeNode::FromItem(HTREEITEM item) const { return tree_->NodeFromItem(item); }

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
  TVITEMA item{};
  item.mask = TVIF_CHILDREN;
  item.hItem = item_;
  ::SendMessageA(tree_->HandleOrNull(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  return item.cChildren != 0;
}

void TTreeNode::SetHasChildren(bool has_children) {
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

TTreeNode* TTreeNode::GetFirstChild() const {
  return FromItem(TreeView_GetChild(tree_->HandleOrNull(), item_));
}

TTreeNode* TTreeNode::GetLastChild() const {
  TTreeNode* last = GetFirstChild();
  while (last) {
    TTreeNode* next = last->GetNextSibling();
    if (!next) break;
    last = next;
  }
  return last;
}

TTreeNode* TTreeNode::GetNextSibling() const { return FromItem(TreeView_GetNextSibling(tree_->HandleOrNull(), item_)); }
TTreeNode* TTreeNode::GetPrevSibling() const { return FromItem(TreeView_GetPrevSibling(tree_->HandleOrNull(), item_)); }

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

TTreeNode* TTreeNodes::GetFirstNode() const {
  HWND window = tree_.HandleOrNull();
  return window ? tree_.NodeFromItem(TreeView_GetRoot(window)) : nullptr;
}

TTreeNode* TTreeNodes::Item(int index) const {
  if (index < 0) return nullptr;
  TTreeNode* node = GetFirstNode();
  for (int i = 0; node && i < index; ++i) node = node->GetNext();
  return node;
}

TTreeNode* TTreeNodes::InsertNode(TTreeNode* parent, HTREEITEM after, const std::string& text, void* data) {
  HWND window = tree_.Handle();
  if (!window) throw Exception("A tree view cannot hold nodes before its parent has a window");
  auto* node = new TTreeNode(&tree_, parent);
  node->text_ = text;
  node->data_ = data;
  TVINSERTSTRUCTA insert{};
  insert.hParent = parent ? parent->item_ : TVI_ROOT;
  insert.hInsertAfter = after;
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
  // A parent that was told it had no children shows its button again.
  if (parent) parent->SetHasChildren(true);
  return node;
}

TTreeNode* TTreeNodes::AddObject(TTreeNode* sibling, const std::string& text, void* data) {
  return InsertNode(sibling ? sibling->parent_ : nullptr, TVI_LAST, text, data);
}

TTreeNode* TTreeNodes::AddFirst(TTreeNode* sibling, const std::string& text) {
  return InsertNode(sibling ? sibling->parent_ : nullptr, TVI_FIRST, text, nullptr);
}

TTreeNode* TTreeNodes::AddChildObject(TTreeNode* parent, const std::string& text, void* data) {
  return InsertNode(parent, TVI_LAST, text, data);
}

TTreeNode* TTreeNodes::AddChildFirst(TTreeNode* parent, const std::string& text) {
  return InsertNode(parent, TVI_FIRST, text, nullptr);
}

TTreeNode* TTreeNodes::Insert(TTreeNode* sibling, const std::string& text) {
  if (!sibling) return AddObject(nullptr, text, nullptr);
  TTreeNode* previous = sibling->GetPrevSibling();
  return InsertNode(sibling->parent_, previous ? previous->item_ : TVI_FIRST, text, nullptr);
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

// ---- TCustomTreeView ----

TCustomTreeView::TCustomTreeView(TComponent* owner) : TWinControl(owner), items_(*this) {
  width_ = 121;
  height_ = 97;
  color_ = clWindow;
  parent_color_ = false;
  tab_stop_ = true;
}

TCustomTreeView::~TCustomTreeView() {
  // The node objects go while this class can still hear the control's deletions.
  if (handle_) {
    destroying_handle_ = true;
    items_.Clear();
    DestroyHandle();
  }
}

TTreeNode* TCustomTreeView::NodeFromItem(HTREEITEM item) const {
  if (!item || !handle_) return nullptr;
  TVITEMA data{};
  data.mask = TVIF_PARAM;
  data.hItem = item;
  if (!::SendMessageA(handle_, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data))) return nullptr;
  return reinterpret_cast<TTreeNode*>(data.lParam);
}

TTreeNode* TCustomTreeView::Selected() const {
  return handle_ ? NodeFromItem(TreeView_GetSelection(handle_)) : nullptr;
}

void TCustomTreeView::SetSelected(TTreeNode* node) {
  if (handle_) TreeView_SelectItem(handle_, node ? node->ItemId() : nullptr);
}

TTreeNode* TCustomTreeView::TopItem() const {
  return handle_ ? NodeFromItem(TreeView_GetFirstVisible(handle_)) : nullptr;
}

TTreeNode* TCustomTreeView::GetNodeAt(int x, int y) const {
  if (!handle_) return nullptr;
  TVHITTESTINFO hit{};
  hit.pt = POINT{x, y};
  HTREEITEM item = TreeView_HitTest(handle_, &hit);
  return (hit.flags & (TVHT_ONITEM | TVHT_ONITEMRIGHT | TVHT_ONITEMINDENT | TVHT_ONITEMBUTTON)) ? NodeFromItem(item) : nullptr;
}

UINT TCustomTreeView::GetHitTestInfoAt(int x, int y) const {
  if (!handle_) return TVHT_NOWHERE;
  TVHITTESTINFO hit{};
  hit.pt = POINT{x, y};
  TreeView_HitTest(handle_, &hit);
  return hit.flags;
}

HWND TCustomTreeView::EditHandle() const { return handle_ ? TreeView_GetEditControl(handle_) : nullptr; }

bool TCustomTreeView::CustomSort(TTreeNode* node, const TTreeNode::TTVCompare& compare) {
  if (!handle_) return false;
  TVSORTCB sort{};
  sort.hParent = node ? node->ItemId() : TVI_ROOT;
  sort.lpfnCompare = &CompareNodes;
  sort.lParam = reinterpret_cast<LPARAM>(&compare);
  return ::SendMessageA(handle_, TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&sort)) != 0;
}

void TCustomTreeView::FullExpand() {
  for (TTreeNode* n = items_.GetFirstNode(); n; n = n->GetNextSibling()) n->Expand(true);
}

void TCustomTreeView::FullCollapse() {
  for (TTreeNode* n = items_.GetFirstNode(); n; n = n->GetNextSibling()) n->Collapse(true);
}

void TCustomTreeView::SetBorderStyle(TBorderStyle v) {
  border_style_ = v;
  if (!handle_) return;
  LONG_PTR ex = ::GetWindowLongPtrA(handle_, GWL_EXSTYLE);
  ex = v == TBorderStyle::bsSingle ? (ex | WS_EX_CLIENTEDGE) : (ex & ~WS_EX_CLIENTEDGE);
  ::SetWindowLongPtrA(handle_, GWL_EXSTYLE, ex);
  ::SetWindowPos(handle_, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

int TCustomTreeView::Indent() const {
  if (handle_) return static_cast<int>(TreeView_GetIndent(handle_));
  return indent_;
}

void TCustomTreeView::SetIndent(int indent) {
  indent_ = indent;
  if (handle_ && indent >= 0) TreeView_SetIndent(handle_, indent);
}

void TCustomTreeView::SetImages(HIMAGELIST images) {
  images_ = images;
  if (handle_) TreeView_SetImageList(handle_, images, TVSIL_NORMAL);
}

void TCustomTreeView::SetStateImages(HIMAGELIST images) {
  state_images_ = images;
  if (handle_) TreeView_SetImageList(handle_, images, TVSIL_STATE);
}

DWORD TCustomTreeView::TreeStyle() const {
  DWORD style = 0;
  if (show_buttons_) style |= TVS_HASBUTTONS;
  if (show_lines_) style |= TVS_HASLINES;
  if (show_root_) style |= TVS_LINESATROOT;
  if (!read_only_) style |= TVS_EDITLABELS;
  if (!hide_selection_) style |= TVS_SHOWSELALWAYS;
  if (hot_track_) style |= TVS_TRACKSELECT;
  if (row_select_) style |= TVS_FULLROWSELECT;
  if (!tool_tips_) style |= TVS_NOTOOLTIPS;
  if (auto_expand_) style |= TVS_SINGLEEXPAND;
  if (drag_mode_ == TDragMode::dmManual) style |= TVS_DISABLEDRAGDROP;
  return style;
}

void TCustomTreeView::ApplyStyle() {
  if (!handle_) return;
  LONG_PTR style = ::GetWindowLongPtrA(handle_, GWL_STYLE);
  LONG_PTR wanted = (style & ~static_cast<LONG_PTR>(kTreeStyleMask)) | static_cast<LONG_PTR>(TreeStyle());
  if (wanted == style) return;
  ::SetWindowLongPtrA(handle_, GWL_STYLE, wanted);
  ::InvalidateRect(handle_, nullptr, TRUE);
}

void TCustomTreeView::CreateParamsFor(CreateParams& params) {
  InitCommonControlClasses();
  TWinControl::CreateParamsFor(params);
  params.class_name = WC_TREEVIEWA;
  params.style |= TreeStyle();
  if (border_style_ == TBorderStyle::bsSingle) params.ex_style |= WS_EX_CLIENTEDGE;
}

void TCustomTreeView::CreateWnd() {
  ApplyColors();
  if (indent_ >= 0) TreeView_SetIndent(handle_, indent_);
  if (images_) TreeView_SetImageList(handle_, images_, TVSIL_NORMAL);
  if (state_images_) TreeView_SetImageList(handle_, state_images_, TVSIL_STATE);
}

void TCustomTreeView::ApplyColors() {
  if (!handle_) return;
  TreeView_SetBkColor(handle_, ColorToRGB(color_));
  TreeView_SetTextColor(handle_, ColorToRGB(font_.Color()));
}

void TCustomTreeView::ColorChanged() {
  TWinControl::ColorChanged();
  ApplyColors();
}

bool TCustomTreeView::Allowed(const TTVChangingEvent& event, TTreeNode* node) {
  bool allow = true;
  FireEvent(event, this, node, allow);
  return allow;
}

bool TCustomTreeView::CanChange(TTreeNode* node) { return Allowed(OnChanging, node); }

void TCustomTreeView::Change(TTreeNode* node) { FireEvent(OnChange, this, node); }

bool TCustomTreeView::CanExpand(TTreeNode* node) { return Allowed(OnExpanding, node); }

void TCustomTreeView::Expand(TTreeNode* node) { FireEvent(OnExpanded, this, node); }

bool TCustomTreeView::CanCollapse(TTreeNode* node) { return Allowed(OnCollapsing, node); }

void TCustomTreeView::Collapse(TTreeNode* node) { FireEvent(OnCollapsed, this, node); }

bool TCustomTreeView::CanEdit(TTreeNode* node) { return Allowed(OnEditing, node); }

void TCustomTreeView::Edit(TTreeNode* node, std::string text) {
  FireEvent(OnEdited, this, node, text);
  node->SetText(text);
}

std::string TCustomTreeView::EditStartText(TTreeNode* node) { return node->Text(); }

void TCustomTreeView::Delete(TTreeNode* node) { FireEvent(OnDeletion, this, node); }

void TCustomTreeView::GetImageIndex(TTreeNode* node) { FireEvent(OnGetImageIndex, this, node); }

void TCustomTreeView::GetSelectedIndex(TTreeNode* node) { FireEvent(OnGetSelectedIndex, this, node); }

bool TCustomTreeView::StandardCustomDrawAssigned() const {
  return OnCustomDraw || OnCustomDrawItem || OnAdvancedCustomDraw || OnAdvancedCustomDrawItem;
}

LRESULT TCustomTreeView::CustomDraw(NMTVCUSTOMDRAW& draw) {
  NMCUSTOMDRAW& cd = draw.nmcd;
  bool default_draw = true;
  switch (cd.dwDrawStage) {
    case CDDS_PREPAINT:
      FireEvent(OnCustomDraw, this, cd.rc, default_draw);
      if (default_draw) FireEvent(OnAdvancedCustomDraw, this, cd.rc, TCustomDrawStage::cdPrePaint, default_draw);
      if (!default_draw) return CDRF_SKIPDEFAULT;
      return (OnCustomDrawItem || OnAdvancedCustomDrawItem) ? CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT : CDRF_NOTIFYPOSTPAINT;
    case CDDS_POSTPAINT:
      FireEvent(OnAdvancedCustomDraw, this, cd.rc, TCustomDrawStage::cdPostPaint, default_draw);
      return CDRF_DODEFAULT;
    case CDDS_ITEMPREPAINT: {
      auto* node = reinterpret_cast<TTreeNode*>(cd.lItemlParam);
      if (!node) return CDRF_DODEFAULT;
      FireEvent(OnCustomDrawItem, this, node, static_cast<TCustomDrawState>(cd.uItemState), default_draw);
      bool paint_images = true;
      if (default_draw) {
        FireEvent(OnAdvancedCustomDrawItem, this, node, static_cast<TCustomDrawState>(cd.uItemState),
                  TCustomDrawStage::cdPrePaint, paint_images, default_draw);
      }
      return default_draw ? (CDRF_NOTIFYPOSTPAINT | CDRF_NEWFONT) : CDRF_SKIPDEFAULT;
    }
    case CDDS_ITEMPOSTPAINT: {
      auto* node = reinterpret_cast<TTreeNode*>(cd.lItemlParam);
      bool paint_images = true;
      if (node) {
        FireEvent(OnAdvancedCustomDrawItem, this, node, static_cast<TCustomDrawState>(cd.uItemState),
                  TCustomDrawStage::cdPostPaint, paint_images, default_draw);
      }
      return CDRF_DODEFAULT;
    }
    default:
      return CDRF_DODEFAULT;
  }
}

void TCustomTreeView::BeginDrag(TTreeNode* node, TMouseButton button, POINT point) {
  if (drag_mode_ == TDragMode::dmAutomatic) FireEvent(OnStartDrag, this);
}

bool TCustomTreeView::NotifyClick() { return false; }

bool TCustomTreeView::NotifyRightClick() {
  if (right_click_select_) {
    POINT p;
    ::GetCursorPos(&p);
    ::ScreenToClient(handle_, &p);
    if (TTreeNode* node = GetNodeAt(p.x, p.y)) node->SetSelected(true);
  }
  return false;
}

bool TCustomTreeView::DoMouseWheel(TShiftState shift, int delta, POINT screen_point) {
  bool handled = false;
  FireEvent(OnMouseWheel, this, shift, delta, screen_point, handled);
  if (!handled) {
    if (delta < 0) FireEvent(OnMouseWheelDown, this, shift, screen_point, handled);
    else FireEvent(OnMouseWheelUp, this, shift, screen_point, handled);
  }
  return handled;
}

void TCustomTreeView::NodeDeleted(TTreeNode* node) {
  if (expanding_ == node) expanding_ = nullptr;
  --items_.count_;
  delete node;
}

bool TCustomTreeView::HandleNotify(NMHDR* header, LRESULT& result) {
  switch (header->code) {
    case TVN_SELCHANGINGA: {
      auto* info = reinterpret_cast<NMTREEVIEWA*>(header);
      result = CanChange(reinterpret_cast<TTreeNode*>(info->itemNew.lParam)) ? FALSE : TRUE;
      return true;
    }
    case TVN_SELCHANGEDA: {
      auto* info = reinterpret_cast<NMTREEVIEWA*>(header);
      auto* node = reinterpret_cast<TTreeNode*>(info->itemNew.lParam);
      if (change_delay_ > 0 && info->action == TVC_BYKEYBOARD) {
        ::SetTimer(handle_, kChangeDelayTimer, static_cast<UINT>(change_delay_), nullptr);
      } else {
        ::KillTimer(handle_, kChangeDelayTimer);
        Change(node);
      }
      result = 0;
      return true;
    }
    case TVN_ITEMEXPANDINGA: {
      auto* info = reinterpret_cast<NMTREEVIEWA*>(header);
      auto* node = reinterpret_cast<TTreeNode*>(info->itemNew.lParam);
      bool allow = true;
      if (node && node != expanding_) {
        if (info->action & TVE_EXPAND) allow = CanExpand(node);
        else if (info->action & TVE_COLLAPSE) allow = CanCollapse(node);
      }
      result = allow ? FALSE : TRUE;
      return true;
    }
    case TVN_ITEMEXPANDEDA: {
      auto* info = reinterpret_cast<NMTREEVIEWA*>(header);
      auto* node = reinterpret_cast<TTreeNode*>(info->itemNew.lParam);
      if (node && node != expanding_) {
        if (info->action & TVE_EXPAND) Expand(node);
        else if (info->action & TVE_COLLAPSE) Collapse(node);
      }
      result = 0;
      return true;
    }
    case TVN_BEGINLABELEDITA: {
      auto* info = reinterpret_cast<NMTVDISPINFOA*>(header);
      auto* node = reinterpret_cast<TTreeNode*>(info->item.lParam);
      bool allow = node && !read_only_ && CanEdit(node);
      if (allow) {
        editing_ = true;
        if (HWND edit = TreeView_GetEditControl(handle_)) ::SetWindowTextA(edit, EditStartText(node).c_str());
      }
      result = allow ? FALSE : TRUE;
      return true;
    }
    case TVN_ENDLABELEDITA: {
      auto* info = reinterpret_cast<NMTVDISPINFOA*>(header);
      auto* node = reinterpret_cast<TTreeNode*>(info->item.lParam);
      editing_ = false;
      // The node's text is set by Edit; the control is told not to take the edit box's.
      result = FALSE;
      // Cancelled (pszText null on Windows; Wine hands the box's text also when the code cancels).
      if (node && info->item.pszText && !cancelling_edit_) Edit(node, info->item.pszText);
      EditEnded();
      return true;
    }
    case TVN_DELETEITEMA: {
      auto* info = reinterpret_cast<NMTREEVIEWA*>(header);
      if (auto* node = reinterpret_cast<TTreeNode*>(info->itemOld.lParam)) {
        node->deleting_ = true;
        try {
          Delete(node);
        } catch (...) {
          Application().HandleException(std::current_exception());
        }
        NodeDeleted(node);
      }
      result = 0;
      return true;
    }
    case TVN_GETDISPINFOA: {
      auto* info = reinterpret_cast<NMTVDISPINFOA*>(header);
      auto* node = reinterpret_cast<TTreeNode*>(info->item.lParam);
      if (!node) return false;
      struct Answering {
        bool& flag;
        ~Answering() { flag = false; }
      } answering{answering_display_info_};
      answering_display_info_ = true;
      if (info->item.mask & TVIF_IMAGE) {
        GetImageIndex(node);
        info->item.iImage = node->image_index_;
      }
      if (info->item.mask & TVIF_SELECTEDIMAGE) {
        GetSelectedIndex(node);
        info->item.iSelectedImage = node->selected_index_;
      }
      result = 0;
      return true;
    }
    case NM_CUSTOMDRAW:
      result = StandardCustomDrawAssigned() ? CustomDraw(*reinterpret_cast<NMTVCUSTOMDRAW*>(header)) : CDRF_DODEFAULT;
      return true;
    case TVN_BEGINDRAGA:
    case TVN_BEGINRDRAGA: {
      auto* info = reinterpret_cast<NMTREEVIEWA*>(header);
      BeginDrag(reinterpret_cast<TTreeNode*>(info->itemNew.lParam),
                header->code == TVN_BEGINDRAGA ? TMouseButton::mbLeft : TMouseButton::mbRight, info->ptDrag);
      result = 0;
      return true;
    }
    case NM_CLICK:
      result = NotifyClick() ? 1 : 0;
      return result != 0;
    case NM_RCLICK:
      result = NotifyRightClick() ? 1 : 0;
      return result != 0;
    case NM_DBLCLK:
      FireEvent(OnDblClick, this);
      return false;
    default:
      return false;
  }
}

LRESULT TCustomTreeView::WndProc(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_DESTROY: {
      // Every node object goes with the window; the next window starts empty.
      bool saved = destroying_handle_;
      destroying_handle_ = true;
      items_.Clear();
      destroying_handle_ = saved;
      editing_ = false;
      ::KillTimer(handle_, kChangeDelayTimer);
      break;
    }
    case TVM_ENDEDITLABELNOW: {
      bool saved = cancelling_edit_;
      cancelling_edit_ = wparam != 0;
      LRESULT result = TWinControl::WndProc(message, wparam, lparam);
      cancelling_edit_ = saved;
      return result;
    }
    case WM_TIMER:
      if (wparam == kChangeDelayTimer) {
        ::KillTimer(handle_, kChangeDelayTimer);
        Change(Selected());
        return 0;
      }
      break;
    case WM_MOUSEWHEEL: {
      POINT p{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
      if (DoMouseWheel(MouseShiftState(LOWORD(wparam)), GET_WHEEL_DELTA_WPARAM(wparam), p)) return 0;
      break;
    }
    case WM_GETDLGCODE:
      // While a label is edited, Enter and Escape belong to the edit box, not to the dialog's
      // default and cancel buttons.
      if (IsEditing()) return DefaultHandler(message, wparam, lparam) | DLGC_WANTALLKEYS;
      break;
    case WM_SYSCOLORCHANGE:
      if (color_ & clSystemColor) ApplyColors();
      break;
    default:
      break;
  }
  return TWinControl::WndProc(message, wparam, lparam);
}

bool TCustomTreeView::SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) {
  if (name == "ShowButtons") SetShowButtons(context.Boolean(value));
  else if (name == "ShowLines") SetShowLines(context.Boolean(value));
  else if (name == "ShowRoot") SetShowRoot(context.Boolean(value));
  else if (name == "ReadOnly") SetReadOnly(context.Boolean(value));
  else if (name == "HideSelection") SetHideSelection(context.Boolean(value));
  else if (name == "HotTrack") SetHotTrack(context.Boolean(value));
  else if (name == "RowSelect") SetRowSelect(context.Boolean(value));
  else if (name == "ToolTips") SetToolTips(context.Boolean(value));
  else if (name == "AutoExpand") SetAutoExpand(context.Boolean(value));
  else if (name == "RightClickSelect") SetRightClickSelect(context.Boolean(value));
  else if (name == "Indent") SetIndent(context.Integer(value));
  else if (name == "ChangeDelay") SetChangeDelay(context.Integer(value));
  else if (name == "DragMode") SetDragMode(static_cast<TDragMode>(context.Enum(value, {"dmManual", "dmAutomatic"})));
  else if (name == "BorderStyle") SetBorderStyle(static_cast<TBorderStyle>(context.Enum(value, {"bsNone", "bsSingle"})));
  else if (name == "DragKind") context.Enum(value, {"dkDrag", "dkDock"});
  else if (name == "DragCursor" || name == "BiDiMode") context.Identifier(value);
  else if (name == "BorderWidth") context.Integer(value);
  else if (name == "Anchors" || name == "Constraints") context.Set(value);
  else if (name == "Ctl3D" || name == "ParentCtl3D" || name == "ParentBiDiMode") context.Boolean(value);
  else if (name == "OnChange" || name == "OnExpanded" || name == "OnCollapsed" || name == "OnDeletion" ||
           name == "OnGetImageIndex" || name == "OnGetSelectedIndex") {
    TTVChangedEvent& event = name == "OnChange" ? OnChange
                             : name == "OnExpanded" ? OnExpanded
                             : name == "OnCollapsed" ? OnCollapsed
                             : name == "OnDeletion" ? OnDeletion
                             : name == "OnGetImageIndex" ? OnGetImageIndex
                                                         : OnGetSelectedIndex;
    context.Bind(event, value);
  } else if (name == "OnChanging") context.Bind(OnChanging, value);
  else if (name == "OnExpanding") context.Bind(OnExpanding, value);
  else if (name == "OnCollapsing") context.Bind(OnCollapsing, value);
  else if (name == "OnEditing") context.Bind(OnEditing, value);
  else if (name == "OnEdited") context.Bind(OnEdited, value);
  else if (name == "OnDblClick") context.Bind(OnDblClick, value);
  else if (name == "OnStartDrag") context.Bind(OnStartDrag, value);
  else return TWinControl::SetProperty(name, value, context);
  return true;
}

}  // namespace stampwell
