#pragma once
// The subsystem-wide values of shell drag and drop: OLE, the "Shell IDList Array" clipboard
// format and the system's hover settings. Set up by the subsystem's start (ShellToolboxStart)
// and undone at its end.

#include <windows.h>

#include "shellbrowse/toolbox/drag_hover_settings.h"

namespace stampwell {

// OLE for this thread, the format and the hover settings; OLE is released by the subsystem's end.
void StartDragDropSupport() noexcept;

// The registered number of "Shell IDList Array" (registered on first use when the start has not
// run: the registration is idempotent).
CLIPFORMAT ShellIdListArrayFormat() noexcept;

// The values read at the start; the defaults before it.
const DragHoverSettings& DragHoverValues() noexcept;

// The hover settings as `query` (SystemParametersInfoA's shape) answers them; a value whose call
// fails keeps its default.
using SystemParameterQuery = BOOL(WINAPI*)(UINT action, UINT param, void* value, UINT flags);
DragHoverSettings ReadDragHoverSettings(SystemParameterQuery query) noexcept;

}  // namespace stampwell
