#include "shellbrowse/toolbox/shell_id_list.h"

#include <cstring>

#include "shellbrowse/toolbox/shell_error.h"

using Microsoft::WRL::ComPtr;

namespace stampwell {
namespace {

// Read-only stand-in where a null list is taken as the desktop.
const USHORT kEmptyList = 0;
LPCITEMIDLIST EmptyList() noexcept { return reinterpret_cast<LPCITEMIDLIST>(&kEmptyList); }
LPCITEMIDLIST OrEmpty(LPCITEMIDLIST list) noexcept { return list ? list : EmptyList(); }

ComPtr<IMalloc>& MallocSlot() noexcept {
  static ComPtr<IMalloc> slot;
  return slot;
}

ComPtr<IShellFolder> Desktop() noexcept {
  ComPtr<IShellFolder> desktop;
  if (FAILED(SHGetDesktopFolder(&desktop))) desktop.Reset();
  return desktop;
}

std::string WideToAnsi(const wchar_t* text) {
  if (!text || !*text) return {};
  int bytes = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (bytes <= 1) return {};
  std::string out(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, -1, out.data(), bytes, nullptr, nullptr);
  out.resize(static_cast<std::size_t>(bytes - 1));
  return out;
}

}  // namespace

IMalloc* ShellMalloc() noexcept {
  ComPtr<IMalloc>& slot = MallocSlot();
  if (!slot && FAILED(SHGetMalloc(&slot))) slot.Reset();
  return slot.Get();
}

void ReleaseShellMalloc() noexcept { MallocSlot().Reset(); }

void* MallocAllocator::Allocate(std::size_t bytes) noexcept {
  IMalloc* malloc = malloc_ ? malloc_ : ShellMalloc();
  return malloc ? malloc->Alloc(bytes) : nullptr;
}

void MallocAllocator::Free(void* block) noexcept {
  IMalloc* malloc = malloc_ ? malloc_ : ShellMalloc();
  if (malloc && block) malloc->Free(block);
}

IdListAllocator& ShellAllocator() noexcept {
  static MallocAllocator shell(nullptr);
  return shell;
}

void idlist_traits::close(ITEMIDLIST* list) noexcept { ShellAllocator().Free(list); }

ITEMIDLIST* CopyIdList(IMalloc* allocator, LPCITEMIDLIST list) {
  MallocAllocator with(allocator);
  return static_cast<ITEMIDLIST*>(stampwell::CopyIdList(static_cast<IdListAllocator&>(with), list));
}

unique_idlist CopyIdList(LPCITEMIDLIST list) {
  return unique_idlist(static_cast<ITEMIDLIST*>(stampwell::CopyIdList(ShellAllocator(), list)));
}

ITEMIDLIST* ConcatIdLists(IMalloc* allocator, LPCITEMIDLIST first, LPCITEMIDLIST second) {
  MallocAllocator with(allocator);
  return static_cast<ITEMIDLIST*>(
      stampwell::ConcatIdLists(static_cast<IdListAllocator&>(with), first, second));
}

unique_idlist ConcatIdLists(LPCITEMIDLIST first, LPCITEMIDLIST second) {
  return unique_idlist(
      static_cast<ITEMIDLIST*>(stampwell::ConcatIdLists(ShellAllocator(), first, second)));
}

int CompareIdLists(LPCITEMIDLIST a, LPCITEMIDLIST b) noexcept {
  if (!a || !b) return (!a && !b) ? 0 : -1;
  bool empty_a = IsEmptyIdList(a), empty_b = IsEmptyIdList(b);
  if (empty_a || empty_b) return (empty_a && empty_b) ? 0 : -1;
  ComPtr<IShellFolder> desktop = Desktop();
  if (!desktop) return kIdListsNotComparable;
  HRESULT hr = desktop->CompareIDs(0, a, b);
  if (FAILED(hr)) return kIdListsNotComparable;
  return static_cast<short>(HRESULT_CODE(hr));
}

HRESULT BindToFolder(LPCITEMIDLIST list, ComPtr<IShellFolder>& folder) noexcept {
  folder.Reset();
  ComPtr<IShellFolder> desktop;
  HRESULT hr = SHGetDesktopFolder(&desktop);
  if (FAILED(hr)) return hr;
  if (!list || IsEmptyIdList(list)) {
    folder = desktop;
    return S_OK;
  }
  hr = desktop->BindToObject(list, nullptr, IID_IShellFolder, reinterpret_cast<void**>(folder.GetAddressOf()));
  if (FAILED(hr)) folder.Reset();
  else if (!folder) hr = E_NOINTERFACE;
  return hr;
}

HRESULT PathToIdList(const std::string& path, unique_idlist& list) noexcept {
  list.reset();
  // A longer path would be cut to another path, which must never be parsed in its place.
  wchar_t wide[MAX_PATH + 1];
  int length = path.empty() ? 0
      : MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
  if (length > MAX_PATH) return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
  if (length > 0)
    MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), wide, length);
  wide[length] = L'\0';
  ComPtr<IShellFolder> desktop;
  HRESULT hr = SHGetDesktopFolder(&desktop);
  if (FAILED(hr)) return hr;
  ULONG eaten = 0;
  hr = desktop->ParseDisplayName(nullptr, nullptr, wide, &eaten, list.put(), nullptr);
  if (FAILED(hr)) list.reset();
  else if (!list) hr = E_FAIL;
  return hr;
}

std::string IdListToPath(LPCITEMIDLIST list) {
  char path[MAX_PATH] = {};
  if (!SHGetPathFromIDListA(OrEmpty(list), path)) return {};
  return path;
}

std::wstring IdListToWidePath(LPCITEMIDLIST list) {
  wchar_t path[MAX_PATH] = {};
  if (!SHGetPathFromIDListW(OrEmpty(list), path)) return {};
  return path;
}

HRESULT SpecialFolderIdList(HWND owner, int folder, unique_idlist& list) noexcept {
  HRESULT hr = SHGetSpecialFolderLocation(owner, folder & 0x7F, list.put());
  if (FAILED(hr)) list.reset();
  else if (!list) hr = E_FAIL;
  return hr;
}

std::string SpecialFolderPath(HWND owner, int folder) {
  unique_idlist list;
  if (FAILED(SpecialFolderIdList(owner, folder, list))) return {};
  return IdListToPath(list.get());
}

int SpecialFolderOfIdList(LPCITEMIDLIST list) noexcept {
  for (int folder = 0; folder <= kNoSpecialFolder; ++folder) {
    unique_idlist special;
    if (FAILED(SpecialFolderIdList(nullptr, folder, special))) continue;
    if (CompareIdLists(special.get(), list) == 0) return folder;
  }
  return kNoSpecialFolder;
}

HRESULT GetParentFolder(LPCITEMIDLIST list, ComPtr<IShellFolder>& parent,
                        unique_idlist& parent_list, unique_idlist& last_item) noexcept {
  parent.Reset();
  parent_list.reset();
  last_item.reset();
  try {
    unique_idlist desktop_directory;
    if (IdListItemCount(list) == 0) {
      HRESULT hr = PathToIdList(SpecialFolderPath(nullptr, CSIDL_DESKTOP), desktop_directory);
      if (FAILED(hr)) return hr;
      list = desktop_directory.get();
    }
    int count = IdListItemCount(list);
    if (count == 1) {
      HRESULT hr = SHGetDesktopFolder(&parent);
      if (FAILED(hr)) return hr;
      last_item = CopyIdList(list);
      return S_OK;
    }
    parent_list.reset(static_cast<ITEMIDLIST*>(CopyIdListItems(ShellAllocator(), list, 0, count - 1)));
    last_item.reset(static_cast<ITEMIDLIST*>(CopyIdListItems(ShellAllocator(), list, count - 1, 1)));
    HRESULT hr = BindToFolder(parent_list.get(), parent);
    if (FAILED(hr)) {
      parent_list.reset();
      last_item.reset();
    }
    return hr;
  } catch (...) {
    parent.Reset();
    parent_list.reset();
    last_item.reset();
    return E_OUTOFMEMORY;
  }
}

DWORD DisplayNameFlags(NameKind kind) noexcept {
  switch (kind) {
    case NameKind::Normal: return SHGDN_NORMAL;
    case NameKind::InFolder: return SHGDN_INFOLDER;
    case NameKind::ForParsing: return SHGDN_FORPARSING;
    case NameKind::ForEditing: return SHGDN_INFOLDER | SHGDN_FOREDITING;
  }
  return SHGDN_NORMAL;
}

std::string StrRetToString(LPCITEMIDLIST item, STRRET& value) {
  switch (value.uType) {
    case STRRET_WSTR: {
      unique_cotaskmem owner(value.pOleStr);
      value.pOleStr = nullptr;
      return WideToAnsi(static_cast<const wchar_t*>(owner.get()));
    }
    case STRRET_OFFSET:
      if (!item) return {};
      return reinterpret_cast<const char*>(item) + value.uOffset;
    case STRRET_CSTR:
      return std::string(value.cStr, strnlen(value.cStr, sizeof value.cStr));
  }
  return {};
}

std::string GetDisplayName(IShellFolder* folder, LPCITEMIDLIST item, NameKind kind) {
  ComPtr<IShellFolder> desktop;
  if (!folder) {
    desktop = Desktop();
    if (!desktop) return {};
    folder = desktop.Get();
  }
  item = OrEmpty(item);
  STRRET value{};
  value.uType = STRRET_CSTR;
  if (FAILED(folder->GetDisplayNameOf(item, DisplayNameFlags(kind), &value))) return {};
  return StrRetToString(item, value);
}

std::string GetAbsDisplayName(LPCITEMIDLIST list) {
  int count = IdListItemCount(list);
  if (count <= 1) return GetDisplayName(nullptr, list, NameKind::InFolder);
  unique_idlist parent_list(static_cast<ITEMIDLIST*>(CopyIdListItems(ShellAllocator(), list, 0, count - 1)));
  ComPtr<IShellFolder> parent;
  CheckOle(BindToFolder(parent_list.get(), parent));
  return GetDisplayName(parent.Get(), static_cast<LPCITEMIDLIST>(IdListItem(list, count - 1)),
                        NameKind::InFolder);
}

}  // namespace stampwell
