#include "shellbrowse/toolbox/shell_icons.h"

#include "framework/system_library.h"
#include "framework/unique_handle.h"
#include "shellbrowse/toolbox/platform_probes.h"

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
  // The shell keeps more lists than the small and the large one (extra large and jumbo among
  // them) and records each icon's index as it adds the icon to all of them. An icon appended to
  // two of its lists behind its back puts those two out of step with the index that the shell
  // hands out from then on: every later icon would be drawn from a neighbour's place (a folder
  // with the computer's icon). So the overlay icons go in through the shell's own icon cache,
  // Shell_GetCachedImageIndex (exported by ordinal 72, Unicode on the NT family), which adds them
  // to every list at one index; the overlay images are then set on that index.
  HMODULE comctl = GetModuleHandleA("comctl32.dll");
  unique_hmodule loaded;
  if (!comctl) {
    loaded = LoadSystemLibrary("comctl32.dll");
    comctl = loaded.get();
  }
  unique_hmodule shell = LoadSystemLibrary("shell32.dll");
  if (!comctl || !shell) return;
  // Typed by the Unicode declaration: the ordinal is the Unicode function on the NT family.
  auto cached_index = SystemFunction<decltype(&::Shell_GetCachedImageIndexW)>(shell.get(), MAKEINTRESOURCEA(72));
  auto set_overlay = STAMPWELL_SYSTEM_FUNCTION(comctl, ImageList_SetOverlayImage);
  wchar_t shell_path[MAX_PATH] = {};
  if (!cached_index || !set_overlay || !GetModuleFileNameW(shell.get(), shell_path, MAX_PATH)) return;
  const HIMAGELIST lists[] = {SystemImageList(0), SystemImageList(1)};
  int overlay = 1;
  for (int resource : {29, 30}) {
    // A negative index names the icon resource by its id.
    int index = cached_index(shell_path, -resource, 0);
    if (index >= 0) {
      for (HIMAGELIST list : lists) {
        if (list) set_overlay(list, index, overlay);
      }
    }
    ++overlay;
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
