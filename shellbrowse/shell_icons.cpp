#include "shellbrowse/shell_icons.h"

#include "framework/system_library.h"
#include "framework/unique_handle.h"
#include "shellbrowse/platform_probes.h"

namespace stampwell {
namespace {

bool g_overlays_installed = false;

HIMAGELIST SystemImageList(int size) noexcept {
  // The list is the same for every path; the system drive's root always exists.
  char windows[MAX_PATH] = "C:\\";
  std::string root = GetWindowsDirectoryA(windows, MAX_PATH) >= 2 ? std::string(windows, 2) + "\\" : "C:\\";
  SHFILEINFOA info{};
  return reinterpret_cast<HIMAGELIST>(SHGetFileInfoA(
      root.c_str(), 0, &info, sizeof info, SHGFI_SYSICONINDEX | (size == 0 ? SHGFI_SMALLICON : 0)));
}

}  // namespace

int GetSysIconIndex(LPCITEMIDLIST list, UINT extra_flags) noexcept {
  static const USHORT empty = 0;
  SHFILEINFOA info{};
  LPCITEMIDLIST item = list ? list : reinterpret_cast<LPCITEMIDLIST>(&empty);
  if (!SHGetFileInfoA(reinterpret_cast<LPCSTR>(item), 0, &info, sizeof info,
                      extra_flags | SHGFI_SYSICONINDEX | SHGFI_PIDL))
    return 0;
  return info.iIcon;
}

HIMAGELIST GetSysImageList(int size) noexcept {
  if (!g_overlays_installed && IsWinNT() && (ComCtlVersion() >> 32) >= 0x00040047u) InstallShellOverlays();
  return SystemImageList(size);
}

bool ShellOverlaysInstalled() noexcept { return g_overlays_installed; }

void InstallShellOverlays() noexcept {
  g_overlays_installed = true;
  // The image lists belong to the common controls that the shell uses, already in the process.
  HMODULE comctl = GetModuleHandleA("comctl32.dll");
  unique_hmodule loaded;
  if (!comctl) {
    loaded = LoadSystemLibrary("comctl32.dll");
    comctl = loaded.get();
  }
  unique_hmodule shell = LoadSystemLibrary("shell32.dll");
  if (!comctl || !shell) return;
  auto replace_icon = STAMPWELL_SYSTEM_FUNCTION(comctl, ImageList_ReplaceIcon);
  auto set_overlay = STAMPWELL_SYSTEM_FUNCTION(comctl, ImageList_SetOverlayImage);
  if (!replace_icon || !set_overlay) return;
  const struct { HIMAGELIST list; int pixels; } lists[] = {{SystemImageList(0), 16}, {SystemImageList(1), 32}};
  for (const auto& target : lists) {
    if (!target.list) continue;
    int overlay = 1;
    for (int resource : {29, 30}) {
      // Shared icons belong to the system; they are not destroyed here.
      HICON icon = static_cast<HICON>(LoadImageA(shell.get(), MAKEINTRESOURCEA(resource), IMAGE_ICON,
                                                 target.pixels, target.pixels, LR_SHARED));
      if (icon) {
        int index = replace_icon(target.list, -1, icon);
        if (index >= 0) set_overlay(target.list, index, overlay);
      }
      ++overlay;
    }
  }
}

}  // namespace stampwell

namespace stampwell {

bool DrawImageListIcon(HIMAGELIST list, int index, HDC dc, int x, int y) noexcept {
  static const auto draw = [] {
    HMODULE comctl = GetModuleHandleA("comctl32.dll");
    // Kept loaded for the process: the image lists it draws live as long.
    if (!comctl) comctl = LoadSystemLibrary("comctl32.dll").release();
    return STAMPWELL_SYSTEM_FUNCTION(comctl, ImageList_Draw);
  }();
  if (!list || index < 0 || !draw) return false;
  return draw(list, index, dc, x, y, ILD_NORMAL) != FALSE;
}

}  // namespace stampwell
