// The shell's context menus of nodes, shell verbs, the default keys and the mouse wheel.
#include "shellbrowse/toolbox/context_menu.h"
#include "shellbrowse/toolbox/default_key_table.h"
#include "shellbrowse/toolbox/shell_error.h"
#include "shellbrowse/toolbox/window_helpers.h"
#include "shellbrowse/tree/shell_tree.h"

namespace stampwell {

using Microsoft::WRL::ComPtr;

void TPTCustomShellTree::DoNodeContextMenu(TTreeNode* node, POINT& screen_point, HMENU& menu) {
  TPTCustomTreeView::DoNodeContextMenu(node, screen_point, menu);
  if (!options_.Contains(ptstoContextMenus) || !node) return;
  ShowShellContextMenu(node, screen_point);
  menu = nullptr;
}

void TPTCustomShellTree::ShowShellContextMenu(TTreeNode* node, POINT screen_point) {
  TPTShTreeData* data = NodeData(node);
  if (!data) return;
  ComPtr<IShellFolder> parent = data->ParentShellFolder();
  // Never for the desktop root.
  if (!parent || IsEmptyIdList(data->AbsIdList())) return;
  UINT flags = CMF_EXPLORE | (ReadOnly() ? 0 : CMF_CANRENAME);
  LPCITEMIDLIST item = data->RelIdList();
  HWND owner = ShellOwnerWindow();
  ComPtr<IContextMenu> menu;
  unique_hmenu popup;
  menu_active_ = true;
  if (FAILED(BuildContextMenu(owner, parent.Get(), 1, &item, flags, kFirstMenuCommand, menu, popup))) {
    menu_active_ = false;
    return;
  }
  menu_messages_.SetMenu(menu.Get());
  menu_messages_.SetSmallImages(small_images_);
  menu_messages_.OnPopupHint = [this](const std::string& hint) { FireEvent(OnPopupHint, this, hint); };
  UINT command = TrackShellMenu(popup.get(), menu.Get(), screen_point);
  // The menu is gone from the screen: what the command asks for (a refresh above all) runs now
  // instead of waiting as if the menu were still open.
  menu_active_ = false;
  menu_messages_.SetMenu(nullptr);
  menu_messages_.OnPopupHint = nullptr;
  // The shell's Rename acts only through a shell browser, which this window is not: the tree
  // edits the label itself. Windows gives the command offset 18; other shells place it
  // elsewhere but always name its verb "rename".
  bool rename = command == kRenameCommand ||
                (command >= kFirstMenuCommand && IsCommandVerb(menu.Get(), command - kFirstMenuCommand, "rename"));
  if (rename) {
    node->EditText();
  } else if (command >= kFirstMenuCommand) {
    InvokeVerb(owner, menu.Get(), command - kFirstMenuCommand);
    RefreshTree();
  } else if (command >= 1) {
    SendToNode(node, static_cast<int>(command) - 1);
  }
}

UINT TPTCustomShellTree::TrackShellMenu(HMENU popup, IContextMenu*, POINT screen_point) {
  return static_cast<UINT>(
      ::TrackPopupMenu(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON, screen_point.x, screen_point.y, 0, handle_, nullptr));
}

HRESULT TPTCustomShellTree::InvokeCommand(TTreeNode* node, const std::string& verb) {
  TPTShTreeData* data = NodeData(node);
  if (!data || !node->Parent()) return 1;
  ComPtr<IShellFolder> parent = data->ParentShellFolder();
  HWND owner = ShellOwnerWindow();
  LPCITEMIDLIST item = data->RelIdList();
  ComPtr<IContextMenu> menu;
  HRESULT hr = parent ? parent->GetUIObjectOf(owner, 1, &item, IID_IContextMenu, nullptr,
                                             reinterpret_cast<void**>(menu.GetAddressOf()))
                      : E_FAIL;
  if (FAILED(hr)) RaiseOleError(hr);
  hr = InvokeVerb(owner, menu.Get(), verb);
  RefreshTree();
  return hr;
}

bool TPTCustomShellTree::DefaultKeyHandling(WORD key, TShiftState shift) {
  TShortCut shortcut = static_cast<TShortCut>(key & kShortCutKeyMask);
  if (shift & ssShift) shortcut |= kShortCutShift;
  if (shift & ssCtrl) shortcut |= kShortCutCtrl;
  if (shift & ssAlt) shortcut |= kShortCutAlt;
  auto is = [shortcut](DefaultKey which) {
    TShortCut wanted = DefaultKeyTable(which).shortcut;
    return wanted != 0 && wanted == shortcut;
  };
  TTreeNode* selected = Selected();
  if (is(DefaultKey::Rename)) {
    if (selected) selected->EditText();
  } else if (is(DefaultKey::Refresh)) {
    RefreshTree();
  } else if (is(DefaultKey::Cut)) {
    InvokeCommand(selected, "cut");
  } else if (is(DefaultKey::Copy)) {
    InvokeCommand(selected, "copy");
  } else if (is(DefaultKey::Paste)) {
    InvokeCommand(selected, "paste");
  } else if (is(DefaultKey::Delete) ||
             ((shortcut & kShortCutShift) && DefaultKeyTable(DefaultKey::Delete).shortcut ==
                                                 static_cast<TShortCut>(shortcut & ~kShortCutShift))) {
    InvokeCommand(selected, "delete");
  } else {
    return false;
  }
  return true;
}

LRESULT TPTCustomShellTree::MouseWheel(WPARAM wparam, LPARAM lparam) {
  POINT point{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
  int delta = GET_WHEEL_DELTA_WPARAM(wparam);
  if (DoMouseWheel(MouseShiftState(LOWORD(wparam)), delta, point)) return 0;
  HWND under = ::WindowFromPoint(point);
  if (under && under != handle_ && dynamic_cast<TPTCustomShellTree*>(TWinControl::FromHandle(under))) {
    ::SendMessageA(under, WM_MOUSEWHEEL, wparam, lparam);
    return 0;
  }
  if (delta < 0) WheelScroll(handle_, true, SB_LINEDOWN, SB_PAGEDOWN);
  else WheelScroll(handle_, true, SB_LINEUP, SB_PAGEUP);
  return 0;
}

}  // namespace stampwell
