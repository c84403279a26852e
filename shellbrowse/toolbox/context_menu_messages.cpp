#include "shellbrowse/toolbox/context_menu_messages.h"

#include <algorithm>
#include <memory>

#include "framework/unique_handle.h"
#include "shellbrowse/toolbox/context_menu.h"
#include "shellbrowse/toolbox/shell_icons.h"
#include "shellbrowse/toolbox/shell_id_list.h"
#include "shellbrowse/toolbox/shell_text.h"

using Microsoft::WRL::ComPtr;

namespace stampwell {
namespace {

std::unique_ptr<std::vector<SendToEntry>>& SendToSlot() noexcept {
  static std::unique_ptr<std::vector<SendToEntry>> slot;
  return slot;
}

const std::vector<SendToEntry>& NoEntries() noexcept {
  static const std::vector<SendToEntry> none;
  return none;
}

int SmallIconOf(IShellFolder* folder, LPCITEMIDLIST folder_list, const std::string& name) {
  if (!folder) return -1;
  int length = MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 1), L'\0');
  MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, wide.data(), length);
  unique_idlist item;
  ULONG eaten = 0;
  if (FAILED(folder->ParseDisplayName(nullptr, nullptr, wide.data(), &eaten, item.put(), nullptr)) || !item)
    return -1;
  unique_idlist absolute = ConcatIdLists(folder_list, item.get());
  return GetSysIconIndex(absolute.get(), SHGFI_SMALLICON);
}

char UpperChar(char c) {
  return static_cast<char>(reinterpret_cast<UINT_PTR>(CharUpperA(reinterpret_cast<LPSTR>(
      static_cast<UINT_PTR>(static_cast<unsigned char>(c))))));
}

unique_hfont MenuFont() {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return unique_hfont();
  return unique_hfont(CreateFontIndirectA(&metrics.lfMenuFont));
}

}  // namespace

const std::vector<SendToEntry>& SendToList() noexcept {
  return SendToSlot() ? *SendToSlot() : NoEntries();
}

void ReadSendToList() {
  auto& slot = SendToSlot();
  if (!slot) slot = std::make_unique<std::vector<SendToEntry>>();
  slot->clear();
  std::string directory = SpecialFolderPath(nullptr, CSIDL_SENDTO);
  if (directory.empty()) return;
  unique_idlist folder_list;
  ComPtr<IShellFolder> folder;
  if (SUCCEEDED(SpecialFolderIdList(nullptr, CSIDL_SENDTO, folder_list))) BindToFolder(folder_list.get(), folder);
  WIN32_FIND_DATAA data;
  unique_find find(FindFirstFileA((IncludeTrailingChar(directory, '\\') + "*").c_str(), &data));
  if (!find) return;
  do {
    if (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN)) continue;
    slot->push_back({data.cFileName, SmallIconOf(folder.Get(), folder_list.get(), data.cFileName)});
  } while (FindNextFileA(find.get(), &data));
  std::stable_sort(slot->begin(), slot->end(), [](const SendToEntry& a, const SendToEntry& b) {
    return lstrcmpiA(a.name.c_str(), b.name.c_str()) < 0;
  });
}

void FreeSendToList() noexcept { SendToSlot().reset(); }

std::string SendToDisplayName(const std::string& file_name) {
  std::size_t dot = file_name.rfind('.');
  return dot == std::string::npos || dot == 0 ? file_name : file_name.substr(0, dot);
}

void ContextMenuMessages::SetMenu(IContextMenu* menu) {
  menu_ = menu;
  menu2_.Reset();
  send_to_popup_ = nullptr;
  if (menu) menu->QueryInterface(IID_IContextMenu2, reinterpret_cast<void**>(menu2_.GetAddressOf()));
}

std::string ContextMenuMessages::SendToEntryName(UINT id) const {
  const auto& entries = SendToList();
  if (id < 1 || id > entries.size()) return {};
  return entries[id - 1].name;
}

bool ContextMenuMessages::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
  if (!menu_) return false;
  switch (message) {
    case WM_INITMENUPOPUP:
      if (menu2_) {
        menu2_->HandleMenuMsg(message, wparam, lparam);
        result = 0;
        return true;
      }
      if (!InitMenuPopup(reinterpret_cast<HMENU>(wparam))) return false;
      result = 0;
      return true;
    case WM_MEASUREITEM: {
      auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lparam);
      if (!item || item->CtlType != ODT_MENU || item->itemID >= kFirstShellCommandId) return false;
      if (menu2_) {
        menu2_->HandleMenuMsg(message, wparam, lparam);
        result = TRUE;
        return true;
      }
      if (!MeasureItem(*item)) return false;
      result = TRUE;
      return true;
    }
    case WM_DRAWITEM: {
      auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lparam);
      if (!item || item->CtlType != ODT_MENU || item->itemID >= kFirstShellCommandId) return false;
      if (menu2_) {
        menu2_->HandleMenuMsg(message, wparam, lparam);
        result = TRUE;
        return true;
      }
      if (!DrawItem(*item)) return false;
      result = TRUE;
      return true;
    }
    case WM_MENUCHAR:
      if (!(HIWORD(wparam) & MF_POPUP)) return false;
      result = MenuChar(static_cast<char>(LOWORD(wparam)), reinterpret_cast<HMENU>(lparam));
      return true;
    case WM_MENUSELECT:
      MenuSelect(LOWORD(wparam), HIWORD(wparam), reinterpret_cast<HMENU>(lparam));
      return false;
    default:
      return false;
  }
}

bool ContextMenuMessages::InitMenuPopup(HMENU popup) {
  if (!popup || GetMenuItemCount(popup) != 1) return false;
  if (!(GetMenuState(popup, 0, MF_BYPOSITION) & MF_GRAYED)) return false;
  ReadSendToList();
  DeleteMenu(popup, 0, MF_BYPOSITION);
  const auto& entries = SendToList();
  for (std::size_t i = 0; i < entries.size() && i + 1 < kFirstShellCommandId; ++i)
    AppendMenuA(popup, MF_OWNERDRAW, i + 1, reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(i + 1)));
  send_to_popup_ = popup;
  return true;
}

bool ContextMenuMessages::MeasureItem(MEASUREITEMSTRUCT& item) {
  std::string name = SendToEntryName(item.itemID);
  if (name.empty()) return false;
  std::string text = SendToDisplayName(name);
  scoped_window_dc screen(nullptr);
  unique_hfont font = MenuFont();
  SIZE size{};
  {
    scoped_select_object select(screen.get(), font ? static_cast<HGDIOBJ>(font.get()) : GetStockObject(DEFAULT_GUI_FONT));
    GetTextExtentPoint32A(screen.get(), text.c_str(), static_cast<int>(text.size()), &size);
  }
  item.itemWidth = static_cast<UINT>(size.cx + 32);
  item.itemHeight = static_cast<UINT>(GetSystemMetrics(SM_CYMENU) + 2);
  return true;
}

bool ContextMenuMessages::DrawItem(const DRAWITEMSTRUCT& item) {
  std::string name = SendToEntryName(item.itemID);
  if (name.empty()) return false;
  bool selected = (item.itemState & ODS_SELECTED) != 0;
  HDC dc = item.hDC;
  RECT rect = item.rcItem;
  FillRect(dc, &rect, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
  COLORREF old_text = SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
  int old_mode = SetBkMode(dc, TRANSPARENT);
  unique_hfont font = MenuFont();
  {
    scoped_select_object select(dc, font ? static_cast<HGDIOBJ>(font.get()) : GetStockObject(DEFAULT_GUI_FONT));
    std::string text = SendToDisplayName(name);
    TextOutA(dc, rect.left + 32, rect.top + 2, text.c_str(), static_cast<int>(text.size()));
  }
  SetBkMode(dc, old_mode);
  SetTextColor(dc, old_text);
  const SendToEntry& entry = SendToList()[item.itemID - 1];
  DrawImageListIcon(small_images_ ? small_images_ : GetSysImageList(0), entry.icon, dc, rect.left + 8, rect.top + 2);
  return true;
}

std::string ContextMenuMessages::ItemText(HMENU menu, int position) const {
  UINT id = GetMenuItemID(menu, position);
  if (menu == send_to_popup_ && id >= 1 && id < kFirstShellCommandId) return SendToDisplayName(SendToEntryName(id));
  char text[260] = {};
  GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
  return text;
}

LRESULT ContextMenuMessages::MenuChar(char typed, HMENU menu) {
  constexpr LRESULT kIgnore = 1;
  int count = menu ? GetMenuItemCount(menu) : 0;
  if (count <= 0) return kIgnore;
  int highlighted = -1;
  for (int i = 0; i < count; ++i)
    if (GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_HILITE) highlighted = i;
  char wanted = UpperChar(typed);
  int first_match = -1, matches = 0;
  for (int step = 1; step <= count; ++step) {
    int position = (highlighted + step + count) % count;
    std::string text = ItemText(menu, position);
    if (text.empty() || UpperChar(text[0]) != wanted) continue;
    if (first_match < 0) first_match = position;
    ++matches;
  }
  if (first_match < 0) return kIgnore;
  return MAKELRESULT(first_match, matches == 1 ? MNC_EXECUTE : MNC_SELECT);
}

void ContextMenuMessages::MenuSelect(UINT id, UINT flags, HMENU menu) {
  if (!OnPopupHint) return;
  std::string hint;
  bool closed = flags == 0xFFFF && !menu;
  if (!closed && !(flags & (MF_POPUP | MF_SYSMENU)) && id >= kFirstShellCommandId && id <= kLastShellCommandId) {
    char text[260] = {};
    if (SUCCEEDED(menu_->GetCommandString(id - kFirstShellCommandId, GCS_HELPTEXTA, nullptr, text, sizeof text))) {
      text[sizeof text - 1] = '\0';
      hint = text;
    }
  }
  OnPopupHint(hint);
}

}  // namespace stampwell
