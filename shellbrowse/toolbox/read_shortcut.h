#pragma once
// Reading a shortcut (.lnk) file through the shell link object.

#include <windows.h>
#include <shlobj.h>

#include <string>

#include "shellbrowse/toolbox/shell_id_list.h"

namespace stampwell {

struct TLinkData {
  std::string path;
  std::string arguments;
  std::string description;
  std::string icon_path;
  std::string working_directory;
  WIN32_FIND_DATAA find_data{};
  int icon_index = 0;
  int show_command = 0;
  WORD hotkey = 0;
  // 63 when every field above was read.
  int options = 0;
  // The target's identifier list, when asked for.
  unique_idlist id_list;
  // Set by the caller: resolve without any user interface (and without searching or updating
  // the file).
  bool no_ui = true;
};

// Loads and resolves the shortcut at `path` into `data`, and the target's list when
// `want_id_list`; the first failing step ends it with its HRESULT.
HRESULT ReadShortcut(const std::string& path, TLinkData& data, bool want_id_list, HWND owner = nullptr);

}  // namespace stampwell
