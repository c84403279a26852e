#include "shellbrowse/toolbox/context_menu.h"

#include <vector>

#include "shellbrowse/toolbox/shell_error.h"
#include "shellbrowse/toolbox/shell_id_list.h"
#include "shellbrowse/toolbox/window_helpers.h"

using Microsoft::WRL::ComPtr;

namespace stampwell {
namespace {

std::wstring ToWide(const std::string& text) {
  if (text.empty()) return {};
  int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

}  // namespace

HRESULT BuildContextMenu(HWND owner, IShellFolder* parent, UINT count, LPCITEMIDLIST* items,
                         UINT query_flags, UINT first_id, ComPtr<IContextMenu>& menu,
                         unique_hmenu& popup) {
  menu.Reset();
  popup.reset();
  if (!parent) return E_INVALIDARG;
  try {
    HRESULT hr = parent->GetUIObjectOf(owner, count, items, IID_IContextMenu, nullptr,
                                       reinterpret_cast<void**>(menu.GetAddressOf()));
    if (FAILED(hr) || !menu) {
      menu.Reset();
      return FAILED(hr) ? hr : E_NOINTERFACE;
    }
    popup.reset(CreatePopupMenu());
    if (!popup) {
      menu.Reset();
      return HRESULT_FROM_WIN32(GetLastError());
    }
    hr = menu->QueryContextMenu(popup.get(), 0, first_id, kLastShellCommandId, query_flags);
    if (FAILED(hr)) {
      menu.Reset();
      popup.reset();
    }
    return hr;
  } catch (...) {
    menu.Reset();
    popup.reset();
    throw;
  }
}

int FindVerbOffset(IContextMenu* menu, const std::string& verb) {
  if (!menu) return -1;
  unique_hmenu scratch(CreatePopupMenu());
  if (!scratch) return -1;
  if (FAILED(menu->QueryContextMenu(scratch.get(), 0, kFirstShellCommandId, kLastShellCommandId, CMF_EXPLORE)))
    return -1;
  int count = GetMenuItemCount(scratch.get());
  for (int i = 0; i < count; ++i) {
    UINT id = GetMenuItemID(scratch.get(), i);
    // Submenus and separators answer 0xFFFFFFFF or 0.
    if (id == static_cast<UINT>(-1) || id < kFirstShellCommandId || id > kLastShellCommandId) continue;
    if (IsCommandVerb(menu, id - kFirstShellCommandId, verb)) return static_cast<int>(id - kFirstShellCommandId);
  }
  return -1;
}

bool IsCommandVerb(IContextMenu* menu, UINT offset, const std::string& verb) {
  if (!menu) return false;
  char name[260] = {};
  if (FAILED(menu->GetCommandString(offset, GCS_VERBA, nullptr, name, sizeof name))) return false;
  name[sizeof name - 1] = '\0';
  return lstrcmpiA(name, verb.c_str()) == 0;
}

HRESULT InvokeVerb(HWND owner, IContextMenu* menu, UINT offset) {
  if (!menu) return E_INVALIDARG;
  CMINVOKECOMMANDINFO info{};
  info.cbSize = sizeof info;
  info.fMask = 0;
  info.hwnd = owner;
  info.lpVerb = MAKEINTRESOURCEA(offset);
  info.nShow = SW_SHOWNORMAL;
  return menu->InvokeCommand(&info);
}

HRESULT InvokeVerb(HWND owner, IContextMenu* menu, const std::string& verb) {
  int offset = FindVerbOffset(menu, verb);
  if (offset < 0) return HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
  return InvokeVerb(owner, menu, static_cast<UINT>(offset));
}

void SendToTarget(const std::string& name, IDataObject* data) {
  unique_idlist send_to;
  CheckOle(SpecialFolderIdList(nullptr, CSIDL_SENDTO, send_to));
  ComPtr<IShellFolder> folder;
  CheckOle(BindToFolder(send_to.get(), folder));
  std::wstring wide = ToWide(name);
  unique_idlist entry;
  ULONG eaten = 0;
  CheckOle(folder->ParseDisplayName(nullptr, nullptr, wide.data(), &eaten, entry.put(), nullptr));
  LPCITEMIDLIST items[] = {entry.get()};
  ComPtr<IDropTarget> target;
  CheckOle(folder->GetUIObjectOf(nullptr, 1, items, IID_IDropTarget, nullptr,
                                 reinterpret_cast<void**>(target.GetAddressOf())));
  if (!target) RaiseOleError(E_NOINTERFACE);
  POINTL point{0, 0};
  DWORD effect = DROPEFFECT_COPY;
  CheckOle(target->DragEnter(data, MK_LBUTTON, point, &effect));
  effect = DROPEFFECT_COPY;
  CheckOle(target->DragOver(MK_LBUTTON, point, &effect));
  effect = DROPEFFECT_COPY;
  ScopedHourglass hourglass;
  CheckOle(target->Drop(data, MK_LBUTTON, point, &effect));
}

}  // namespace stampwell
