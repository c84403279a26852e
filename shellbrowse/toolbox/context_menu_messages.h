#pragma once
// The window messages of a shell context menu while it is on screen, and the Send To fallback.
//
// The shell fills its Send To submenu through IContextMenu2; a menu that lacks it leaves the
// submenu with one grayed placeholder. Then the control fills it itself: one owner-drawn item
// per file of the Send To folder, ids 1, 2, 3, ... (below kFirstShellCommandId), drawn with
// the file's small system icon. A chosen id from 1 to 999 is a Send To entry: the caller builds
// a data object for its items and calls SendToTarget with SendToEntryName(id).

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <wrl/client.h>

#include <functional>
#include <string>
#include <vector>

namespace stampwell {

struct SendToEntry {
  std::string name;  // file name in the Send To folder
  int icon;          // small system icon index; -1 when the name cannot be parsed
};

// The process-wide Send To entries, sorted by name (ignoring case), as last read.
const std::vector<SendToEntry>& SendToList() noexcept;
// Rereads the Send To folder: every file that is neither a directory nor hidden.
void ReadSendToList();
// At subsystem end.
void FreeSendToList() noexcept;

// The entry's name without its extension, as the menu shows it.
std::string SendToDisplayName(const std::string& file_name);

class ContextMenuMessages {
 public:
  // The menu that is on screen now (none: messages are not taken).
  void SetMenu(IContextMenu* menu);
  IContextMenu* Menu() const noexcept { return menu_.Get(); }
  // The control's small image list (system icon indexes); none means the system's own.
  void SetSmallImages(HIMAGELIST images) noexcept { small_images_ = images; }

  // Called on WM_MENUSELECT with the command's help text (empty where there is none).
  std::function<void(const std::string& hint)> OnPopupHint;

  // Offers a message of the control's window procedure. True when it was answered here, with
  // `result` as the answer; WM_MENUSELECT is reported to OnPopupHint and never answered here.
  bool HandleMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);

  // The file name of Send To entry `id` (1-based, as in the menu); empty outside the list.
  std::string SendToEntryName(UINT id) const;

 private:
  bool InitMenuPopup(HMENU popup);
  bool MeasureItem(MEASUREITEMSTRUCT& item);
  bool DrawItem(const DRAWITEMSTRUCT& item);
  LRESULT MenuChar(char typed, HMENU menu);
  void MenuSelect(UINT id, UINT flags, HMENU menu);
  std::string ItemText(HMENU menu, int position) const;

  Microsoft::WRL::ComPtr<IContextMenu> menu_;
  Microsoft::WRL::ComPtr<IContextMenu2> menu2_;
  HIMAGELIST small_images_ = nullptr;
  HMENU send_to_popup_ = nullptr;
};

}  // namespace stampwell
