#include "shellbrowse/toolbox/shell_toolbox.h"

#include <windows.h>
#include <objbase.h>

#include <vector>

#include "shellbrowse/toolbox/context_menu_messages.h"
#include "shellbrowse/toolbox/default_key_table.h"
#include "shellbrowse/toolbox/drag_drop_values.h"
#include "shellbrowse/toolbox/platform_probes.h"
#include "shellbrowse/toolbox/shell_id_list.h"

namespace stampwell {
namespace {

bool g_com_started = false;

std::vector<void (*)() noexcept>& Cleanups() {
  static std::vector<void (*)() noexcept> cleanups;
  return cleanups;
}

}  // namespace

bool ShellToolboxStart() {
  // S_FALSE (already initialised on this thread) still has to be balanced at the end.
  HRESULT hr = CoInitialize(nullptr);
  g_com_started = SUCCEEDED(hr);
  ShellMalloc();
  ReadOsVersion();
  ComCtlVersion();
  LoadDefaultKeyTable();
  StartDragDropSupport();
  return g_com_started;
}

void AddShellToolboxCleanup(void (*cleanup)() noexcept) {
  if (cleanup) Cleanups().push_back(cleanup);
}

void ShellToolboxEnd() noexcept {
  FreeSendToList();
  auto& cleanups = Cleanups();
  while (!cleanups.empty()) {
    auto cleanup = cleanups.back();
    cleanups.pop_back();
    cleanup();
  }
  UnloadNetworkLibrary();
  ReleaseShellMalloc();
  if (g_com_started) CoUninitialize();
  g_com_started = false;
}

}  // namespace stampwell
