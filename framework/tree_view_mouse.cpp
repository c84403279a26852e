// Drags, clicks and the mouse wheel of the tree view.

#include "framework/tree_view.h"

namespace stampwell {

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

}  // namespace stampwell
