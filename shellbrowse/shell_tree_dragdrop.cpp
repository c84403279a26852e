// OLE drag and drop of the shell tree: the drop target's registration, drags started here and
// the control's own IDropTarget behaviour. Until they are built, drags run the standard
// handling and the control is no drop target; Send To delivers the shell's own data object.
#include "shellbrowse/context_menu.h"
#include "shellbrowse/context_menu_messages.h"
#include "shellbrowse/shell_error.h"
#include "shellbrowse/shell_tree.h"

namespace stampwell {

using Microsoft::WRL::ComPtr;

ComPtr<IDropSource> TPTCustomShellTree::CreateDropSource(TMouseButton) { return nullptr; }

HRESULT TPTCustomShellTree::DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) {
  if (effect) *effect = DROPEFFECT_NONE;
  return S_OK;
}

HRESULT TPTCustomShellTree::DragOver(DWORD, POINTL, DWORD* effect) {
  if (effect) *effect = DROPEFFECT_NONE;
  return S_OK;
}

HRESULT TPTCustomShellTree::DragLeave() { return S_OK; }

HRESULT TPTCustomShellTree::Drop(IDataObject*, DWORD, POINTL, DWORD* effect) {
  if (effect) *effect = DROPEFFECT_NONE;
  return S_OK;
}

void TPTCustomShellTree::DragHover(POINT) {}

void TPTCustomShellTree::RegisterDropTarget() {}

void TPTCustomShellTree::RevokeDropTarget() { registered_drop_target_.Reset(); }

bool TPTCustomShellTree::StartOleDrag(TTreeNode*, TMouseButton) { return false; }

void TPTCustomShellTree::SendToNode(TTreeNode* node, int entry) {
  TPTShTreeData* data = NodeData(node);
  const auto& entries = SendToList();
  if (!data || entry < 0 || entry >= static_cast<int>(entries.size())) return;
  ComPtr<IShellFolder> parent = data->ParentShellFolder();
  LPCITEMIDLIST item = data->RelIdList();
  ComPtr<IDataObject> object;
  HRESULT hr = parent ? parent->GetUIObjectOf(ShellOwnerWindow(), 1, &item, IID_IDataObject, nullptr,
                                             reinterpret_cast<void**>(object.GetAddressOf()))
                      : E_FAIL;
  if (FAILED(hr)) RaiseOleError(hr);
  SendToTarget(entries[static_cast<size_t>(entry)].name, object.Get());
}

}  // namespace stampwell
