#include "shellbrowse/toolbox/drag_drop_values.h"

#include <ole2.h>
#include <shlobj.h>

#include "shellbrowse/toolbox/shell_toolbox.h"

namespace stampwell {
namespace {

CLIPFORMAT g_shell_id_list_array = 0;
DragHoverSettings g_hover_values;

void EndDragDropSupport() noexcept { OleUninitialize(); }

}  // namespace

DragHoverSettings ReadDragHoverSettings(SystemParameterQuery query) noexcept {
  DragHoverSettings settings;
  UINT value = 0;
  if (query(SPI_GETMOUSEHOVERTIME, 0, &value, 0)) settings.hover_time = value;
  if (query(SPI_GETMOUSEHOVERWIDTH, 0, &value, 0)) settings.hover_width = static_cast<int>(value);
  if (query(SPI_GETMOUSEHOVERHEIGHT, 0, &value, 0)) settings.hover_height = static_cast<int>(value);
  return settings;
}

void StartDragDropSupport() noexcept {
  // S_FALSE (already initialised on this thread) has to be balanced as well.
  if (SUCCEEDED(OleInitialize(nullptr))) AddShellToolboxCleanup(EndDragDropSupport);
  ShellIdListArrayFormat();
  g_hover_values = ReadDragHoverSettings(SystemParametersInfoA);
}

CLIPFORMAT ShellIdListArrayFormat() noexcept {
  if (!g_shell_id_list_array)
    g_shell_id_list_array = static_cast<CLIPFORMAT>(RegisterClipboardFormatA("Shell IDList Array"));
  return g_shell_id_list_array;
}

const DragHoverSettings& DragHoverValues() noexcept { return g_hover_values; }

}  // namespace stampwell
