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
      // An expansion that finds no children may take the button away.
      if (node) node->button_ = TTreeNode::Button::kUnknown;
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

}  // namespace stampwell
