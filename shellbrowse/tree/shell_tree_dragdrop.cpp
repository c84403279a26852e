// The shell tree's OLE drag and drop: the drop target's registration, dragging a node out, the
// four drop handlers that hand a hovered folder's drop to that folder's own shell drop target,
// and the auto-scroll and hover-expand of a drag over the tree.
#include "shellbrowse/tree/shell_tree.h"

#include <ole2.h>
#include <commctrl.h>

#include <utility>

#include "framework/exception.h"
#include "shellbrowse/dragdrop/data_effects.h"
#include "shellbrowse/dragdrop/data_object.h"
#include "shellbrowse/dragdrop/drop_source.h"
#include "shellbrowse/dragdrop/drop_target.h"
#include "shellbrowse/toolbox/context_menu.h"
#include "shellbrowse/toolbox/context_menu_messages.h"
#include "shellbrowse/toolbox/drag_drop_values.h"
#include "shellbrowse/toolbox/window_helpers.h"

using Microsoft::WRL::ComPtr;

namespace stampwell {
namespace {

// Runs `step` when the scope ends, in every outcome.
template <typename Step>
class ScopeExit {
 public:
  explicit ScopeExit(Step step) : step_(std::move(step)) {}
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;
  ~ScopeExit() { step_(); }

 private:
  Step step_;
};

}  // namespace

ComPtr<IDataObject> TPTCustomShellTree::CreateNodeDataObject(TTreeNode* node) {
  TPTShTreeData* data = NodeData(node);
  if (!data) return ComPtr<IDataObject>(new TDataObject_shtv(nullptr, nullptr, ""));
  if (TPTShTreeData* parent = data->ParentData()) {
    ComPtr<IShellFolder> folder = data->ParentShellFolder();
    std::string name = folder ? GetDisplayName(folder.Get(), data->RelIdList(), NameKind::ForParsing) : "";
    return ComPtr<IDataObject>(new TDataObject_shtv(parent->AbsIdList(), data->RelIdList(), name));
  }
  // A top-level node has no parent node: its own absolute list says where it lies.
  ComPtr<IShellFolder> folder;
  unique_idlist parent_list, item;
  if (FAILED(GetParentFolder(data->AbsIdList(), folder, parent_list, item)))
    return ComPtr<IDataObject>(new TDataObject_shtv(nullptr, nullptr, ""));
  return ComPtr<IDataObject>(
      new TDataObject_shtv(parent_list.get(), item.get(), GetDisplayName(folder.Get(), item.get(), NameKind::ForParsing)));
}

ComPtr<IDropSource> TPTCustomShellTree::CreateDropSource(TMouseButton button) {
  return ComPtr<IDropSource>(new TDropSource_shlvtv(button));
}

void TPTCustomShellTree::RegisterDropTarget() {
  if (registered_drop_target_ || !HandleAllocated() || !options_.Contains(ptstoOleDrop)) return;
  ComPtr<IDropTarget> target = new TDropTarget_shtv(*this);
  if (SUCCEEDED(RegisterDragDrop(HandleOrNull(), target.Get()))) registered_drop_target_ = std::move(target);
  else static_cast<TDropTarget_shtv*>(target.Get())->Detach();
}

void TPTCustomShellTree::RevokeDropTarget() {
  if (!registered_drop_target_) return;
  if (HandleAllocated()) RevokeDragDrop(HandleOrNull());
  // The platform may still hold the target (a drag loop over the window): it must not reach
  // the tree any more.
  static_cast<TDropTarget_shtv*>(registered_drop_target_.Get())->Detach();
  registered_drop_target_.Reset();
}

void TPTCustomShellTree::SetDropHighlight(TTreeNode* node) {
  if (HandleAllocated()) TreeView_SelectDropTarget(HandleOrNull(), node ? node->ItemId() : nullptr);
}

TTreeNode* TPTCustomShellTree::DropHighlight() const {
  return HandleOrNull() ? NodeFromItem(TreeView_GetDropHilight(HandleOrNull())) : nullptr;
}

bool TPTCustomShellTree::StartOleDrag(TTreeNode* node, TMouseButton button) {
  if (!options_.Contains(ptstoOleDrag)) return false;
  drag_node_ = node;
  SetDropHighlight(node);
  ScopeExit clear([this] {
    drag_node_ = nullptr;
    SetDropHighlight(nullptr);
  });
  // A top-level node is never dragged.
  if (!node || !IsShellNode(node) || !node->Parent()) return true;

  menu_active_ = true;
  HRESULT result = E_FAIL;
  try {
    ComPtr<IDataObject> data = CreateNodeDataObject(node);
    DWORD allowed = GetItemEffects(node);
    ComPtr<IDropSource> source = CreateDropSource(button);
    DWORD effect = DROPEFFECT_NONE;
    result = DoDragDrop(data.Get(), source.Get(), allowed, &effect);
  } catch (...) {
    menu_active_ = false;
    refresh_pending_ = false;
    throw;
  }
  // The data object and the drop source are released; a rebuild deferred meanwhile runs now.
  EndTreeDrag(result);
  return true;
}

TTreeNode* TPTCustomShellTree::ShellNodeAt(POINTL screen_point) const {
  if (!HandleAllocated()) return nullptr;
  POINT client{screen_point.x, screen_point.y};
  ::ScreenToClient(HandleOrNull(), &client);
  TTreeNode* node = GetNodeAt(client.x, client.y);
  return IsShellNode(node) ? node : nullptr;
}

ComPtr<IDropTarget> TPTCustomShellTree::NodeDropTarget(TTreeNode* node) {
  TPTShTreeData* data = NodeData(node);
  return data ? data->GetDropTarget(ShellOwnerWindow()) : nullptr;
}

HRESULT TPTCustomShellTree::DragEnter(IDataObject* data, DWORD key_state, POINTL point, DWORD* effect) {
  drag_hover_.BeginVisit(DragHoverValues(), drag_clock_());
  drag_over_data_ = data;
  drag_over_key_state_ = key_state;
  TTreeNode* node = ShellNodeAt(point);
  if (!node || !node->Parent()) {
    SetDropHighlight(drag_node_);
    *effect = DROPEFFECT_NONE;
    return S_OK;
  }
  ComPtr<IDropTarget> target = NodeDropTarget(node);
  SetDropHighlight(node);
  if (!target) {
    *effect = DROPEFFECT_NONE;
    return S_OK;
  }
  HRESULT result = target->DragEnter(data, key_state, point, effect);
  target->DragLeave();
  return result;
}

HRESULT TPTCustomShellTree::DragOver(DWORD key_state, POINTL point, DWORD* effect) {
  TTreeNode* highlight = DropHighlight();
  HRESULT result = S_OK;
  if (TTreeNode* node = ShellNodeAt(point)) {
    ComPtr<IDropTarget> target = NodeDropTarget(node);
    SetDropHighlight(node);
    if (target) {
      // Both calls get what the source allows, as the platform hands it to a drop target.
      const DWORD allowed = *effect;
      target->DragEnter(drag_over_data_.Get(), key_state, point, effect);
      *effect = allowed;
      result = target->DragOver(key_state, point, effect);
      target->DragLeave();
    } else {
      *effect = DROPEFFECT_NONE;
    }
  } else {
    *effect = DROPEFFECT_NONE;
    SetDropHighlight(drag_node_);
  }
  POINT client{point.x, point.y};
  ::ScreenToClient(HandleOrNull(), &client);
  DragHover(client);
  *effect |= DROPEFFECT_SCROLL;
  if (DropHighlight() != highlight) UpdateWindow(HandleOrNull());
  return result;
}

HRESULT TPTCustomShellTree::DragLeave() {
  drag_over_data_.Reset();
  SetDropHighlight(nullptr);
  return S_OK;
}

HRESULT TPTCustomShellTree::Drop(IDataObject* data, DWORD key_state, POINTL point, DWORD* effect) {
  ScopeExit end_visit([this] {
    SetDropHighlight(nullptr);
    drag_over_data_.Reset();
  });
  TTreeNode* node = ShellNodeAt(point);
  ComPtr<IDropTarget> target = node ? NodeDropTarget(node) : nullptr;
  if (!target) {
    *effect = DROPEFFECT_NONE;
    return S_OK;
  }
  // The buttons are up by the time the drop arrives; the folder decides by the ones that
  // carried the drag in.
  key_state |= drag_over_key_state_ & (MK_LBUTTON | MK_RBUTTON);
  DWORD scratch = *effect;
  target->DragEnter(data, key_state, point, &scratch);
  scratch = *effect;
  target->DragOver(key_state, point, &scratch);
  HRESULT result = S_OK;
  DWORD allowed = DROPEFFECT_NONE;
  try {
    allowed = GetDataEffects(data);
  } catch (const Exception&) {
    // Dropped items whose folder cannot be read are not dropped: the drop ends with no effect.
    target->DragLeave();
    *effect = DROPEFFECT_NONE;
    return S_OK;
  }
  *effect &= allowed;
  {
    ScopedHourglass hourglass;
    result = target->Drop(data, key_state, point, effect);
  }
  target.Reset();
  RefreshTree();
  return result;
}

void TPTCustomShellTree::DragHover(POINT client_point) {
  if (!HandleAllocated()) return;
  HWND window = HandleOrNull();
  RECT client{};
  GetClientRect(window, &client);
  ScrollRoom room{HasScrollRange(window, 0), HasScrollRange(window, 1)};
  DragHoverAction action =
      drag_hover_.Hover({client_point.x, client_point.y}, client.right, client.bottom, room, drag_clock_());
  if (action.horizontal != ScrollLine::kNone)
    SendMessageA(window, WM_HSCROLL, static_cast<WPARAM>(action.horizontal), 0);
  if (action.vertical != ScrollLine::kNone)
    SendMessageA(window, WM_VSCROLL, static_cast<WPARAM>(action.vertical), 0);
  if (!action.expand) return;
  TTreeNode* node = GetNodeAt(action.expand_at.x, action.expand_at.y);
  if (!node) return;
  bool expanded = false;
  try {
    HoverExpand(node);
    expanded = node->Expanded();
  } catch (const Exception&) {
  }
  if (!expanded) node->SetHasChildren(false);
}

void TPTCustomShellTree::SendToNode(TTreeNode* node, int entry) {
  const auto& entries = SendToList();
  if (entry < 0 || static_cast<std::size_t>(entry) >= entries.size()) return;
  ComPtr<IDataObject> data = CreateNodeDataObject(node);
  SendToTarget(entries[static_cast<std::size_t>(entry)].name, data.Get());
}

}  // namespace stampwell
