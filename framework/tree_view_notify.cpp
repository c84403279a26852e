// The tree view's notifications and the standard steps they run, each firing its event.

#include "framework/tree_view.h"

#include "framework/application.h"

namespace stampwell {

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

void TCustomTreeView::NodeDeleted(TTreeNode* node) {
  if (expanding_ == node) expanding_ = nullptr;
  --items_.count_;
  // Children whose deletion is still to be reported are orphans from here on: neither they
  // nor their lists may reach this node again.
  for (TTreeNode* child = node->first_child_; child;) {
    TTreeNode* next = child->next_sibling_;
    child->parent_ = child->prev_sibling_ = child->next_sibling_ = nullptr;
    child = next;
  }
  // An orphan is in no list; a node with a parent, or at the top level, is.
  if (node->parent_ || items_.first_ == node || node->prev_sibling_) {
    items_.Unlink(node);
    // The control may take the button away with the last child.
    if (node->parent_) node->parent_->button_ = TTreeNode::Button::kUnknown;
  }
  delete node;
}

namespace {

TTreeNode* NodeOf(LPARAM param) { return reinterpret_cast<TTreeNode*>(param); }

// What a TVN_*ING notification answers: FALSE lets the control go on.
LRESULT Permit(bool allow) { return allow ? FALSE : TRUE; }

}  // namespace

void TCustomTreeView::SelectionChanged(const NMTREEVIEWA& info) {
  if (change_delay_ > 0 && info.action == TVC_BYKEYBOARD) {
    ::SetTimer(handle_, kChangeDelayTimer, static_cast<UINT>(change_delay_), nullptr);
    return;
  }
  ::KillTimer(handle_, kChangeDelayTimer);
  Change(NodeOf(info.itemNew.lParam));
}

bool TCustomTreeView::MayExpandOrCollapse(const NMTREEVIEWA& info) {
  TTreeNode* node = NodeOf(info.itemNew.lParam);
  if (!node || node == expanding_) return true;
  if (info.action & TVE_EXPAND) return CanExpand(node);
  if (info.action & TVE_COLLAPSE) return CanCollapse(node);
  return true;
}

void TCustomTreeView::ExpandedOrCollapsed(const NMTREEVIEWA& info) {
  TTreeNode* node = NodeOf(info.itemNew.lParam);
  if (!node) return;
  // An expansion that finds no children may take the button away.
  node->button_ = TTreeNode::Button::kUnknown;
  if (node == expanding_) return;
  if (info.action & TVE_EXPAND) Expand(node);
  else if (info.action & TVE_COLLAPSE) Collapse(node);
}

bool TCustomTreeView::MayEditLabel(const NMTVDISPINFOA& info) {
  TTreeNode* node = NodeOf(info.item.lParam);
  // The control opens an editor a moment after a click on the selected label; by then the user
  // may be pressing another control, whose click the editor would take by taking the focus.
  // EditText gives the tree the focus before it asks.
  if (!Focused()) return false;
  if (!node || read_only_ || !CanEdit(node)) return false;
  editing_ = true;
  if (HWND edit = TreeView_GetEditControl(handle_)) ::SetWindowTextA(edit, EditStartText(node).c_str());
  return true;
}

void TCustomTreeView::LabelEditEnded(const NMTVDISPINFOA& info) {
  TTreeNode* node = NodeOf(info.item.lParam);
  editing_ = false;
  // Cancelled (pszText null on Windows; Wine hands the box's text also when the code cancels).
  if (node && info.item.pszText && !cancelling_edit_) Edit(node, info.item.pszText);
  EditEnded();
}

void TCustomTreeView::ItemDeleted(const NMTREEVIEWA& info) {
  TTreeNode* node = NodeOf(info.itemOld.lParam);
  if (!node) return;
  node->deleting_ = true;
  try {
    Delete(node);
  } catch (...) {
    Application().HandleException(std::current_exception());
  }
  NodeDeleted(node);
}

bool TCustomTreeView::AnswerDisplayInfo(NMTVDISPINFOA& info) {
  TTreeNode* node = NodeOf(info.item.lParam);
  if (!node) return false;
  struct Answering {
    bool& flag;
    ~Answering() { flag = false; }
  } answering{answering_display_info_};
  answering_display_info_ = true;
  if (info.item.mask & TVIF_IMAGE) {
    GetImageIndex(node);
    info.item.iImage = node->image_index_;
  }
  if (info.item.mask & TVIF_SELECTEDIMAGE) {
    GetSelectedIndex(node);
    info.item.iSelectedImage = node->selected_index_;
  }
  return true;
}

bool TCustomTreeView::HandleNotify(NMHDR* header, LRESULT& result) {
  // Which of the two the header heads depends on the code; each is read only under its codes.
  auto* tree = reinterpret_cast<NMTREEVIEWA*>(header);
  auto* display = reinterpret_cast<NMTVDISPINFOA*>(header);
  switch (header->code) {
    case TVN_SELCHANGINGA:
      result = Permit(CanChange(NodeOf(tree->itemNew.lParam)));
      return true;
    case TVN_SELCHANGEDA:
      SelectionChanged(*tree);
      result = 0;
      return true;
    case TVN_ITEMEXPANDINGA:
      result = Permit(MayExpandOrCollapse(*tree));
      return true;
    case TVN_ITEMEXPANDEDA:
      ExpandedOrCollapsed(*tree);
      result = 0;
      return true;
    case TVN_BEGINLABELEDITA:
      result = Permit(MayEditLabel(*display));
      return true;
    case TVN_ENDLABELEDITA:
      // The node's text is set by Edit; the control is told not to take the edit box's.
      LabelEditEnded(*display);
      result = FALSE;
      return true;
    case TVN_DELETEITEMA:
      ItemDeleted(*tree);
      result = 0;
      return true;
    case TVN_GETDISPINFOA:
      if (!AnswerDisplayInfo(*display)) return false;
      result = 0;
      return true;
    case NM_CUSTOMDRAW:
      result = StandardCustomDrawAssigned() ? CustomDraw(*reinterpret_cast<NMTVCUSTOMDRAW*>(header)) : CDRF_DODEFAULT;
      return true;
    case TVN_BEGINDRAGA:
    case TVN_BEGINRDRAGA: {
      TMouseButton button = header->code == TVN_BEGINDRAGA ? TMouseButton::mbLeft : TMouseButton::mbRight;
      BeginDrag(NodeOf(tree->itemNew.lParam), button, tree->ptDrag);
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

}  // namespace stampwell
