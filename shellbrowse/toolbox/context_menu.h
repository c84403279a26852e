#pragma once
// The shell's context menus: building one for items of a folder, finding and invoking verbs,
// and handing a data object to a Send To entry.

#include <windows.h>
#include <shlobj.h>
#include <wrl/client.h>

#include <string>

#include "framework/unique_handle.h"

namespace stampwell {

// Shell commands take the ids from here on; ids 1 to 999 are the Send To fallback's entries.
constexpr UINT kFirstShellCommandId = 1000;
constexpr UINT kLastShellCommandId = 0x7FFF;

// `parent`'s context menu for `count` relative items, filled into a new popup with ids from
// `first_id` to kLastShellCommandId. On failure neither the interface nor the menu is kept.
HRESULT BuildContextMenu(HWND owner, IShellFolder* parent, UINT count, LPCITEMIDLIST* items,
                         UINT query_flags, UINT first_id,
                         Microsoft::WRL::ComPtr<IContextMenu>& menu, unique_hmenu& popup);

// The command offset of the first top-level item whose verb is `verb` (ignoring case), on an
// explorer-style scratch menu; -1 when the menu offers no such verb.
int FindVerbOffset(IContextMenu* menu, const std::string& verb);
// Whether the command at `offset` has the verb `verb` (ignoring case).
bool IsCommandVerb(IContextMenu* menu, UINT offset, const std::string& verb);

// Runs the command at `offset`, shown normally, owned by `owner`.
HRESULT InvokeVerb(HWND owner, IContextMenu* menu, UINT offset);
// Runs the command whose verb is `verb`. When the menu offers no such verb nothing runs and the
// answer is HRESULT_FROM_WIN32(ERROR_NOT_FOUND): another command must never run in its place.
HRESULT InvokeVerb(HWND owner, IContextMenu* menu, const std::string& verb);

// Drops `data` on the Send To entry `name` (a file of the Send To folder) as a left-button copy.
// Raises (ToolboxError with the system's message) when any step fails.
void SendToTarget(const std::string& name, IDataObject* data);

}  // namespace stampwell
