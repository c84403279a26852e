// Following the file system (the change-notification worker) and the set of drives (the
// device-change dispatcher).
#include <windows.h>
#include <dbt.h>

#include "framework/application.h"
#include "shellbrowse/notification/change_handler_thread.h"
#include "shellbrowse/notification/device_change_handler.h"
#include "shellbrowse/toolbox/platform_probes.h"
#include "shellbrowse/tree/shell_tree.h"

namespace stampwell {

void TPTCustomShellTree::StartChangeWatch() {
  if (!handle_) return;
  if (!change_thread_) {
    try {
      change_thread_ = std::make_unique<TChangeHandlerThread>(handle_, kChangeNotifyMessage);
    } catch (const std::exception&) {
      return;  // without the worker the tree only refreshes when asked
    }
  }
  change_thread_->RemoveAllWatches();
  DWORD drives = ::GetLogicalDrives();
  for (int i = 0; i < 26; ++i) {
    if (!(drives & (1u << i))) continue;
    char letter = static_cast<char>('A' + i);
    std::string root = std::string(1, letter) + ":\\";
    UINT type = ::GetDriveTypeA(root.c_str());
    if (type == DRIVE_FIXED || type == DRIVE_RAMDISK || (type == DRIVE_REMOTE && IsNetDriveConnected(letter))) {
      AddChangeWatch(root);
    }
  }
}

void TPTCustomShellTree::StopChangeWatch() {
  if (change_thread_) change_thread_->RemoveAllWatches();
}

void TPTCustomShellTree::AddChangeWatch(const std::string& path) {
  if (path.empty()) {
    StopChangeWatch();
    return;
  }
  if (!change_thread_) {
    if (!handle_) return;
    try {
      change_thread_ = std::make_unique<TChangeHandlerThread>(handle_, kChangeNotifyMessage);
    } catch (const std::exception&) {
      return;
    }
  }
  // The whole drive, so one watch covers every folder the tree may show.
  std::string root;
  if (path.size() >= 2 && path[1] == ':') {
    root = path.substr(0, 2) + "\\";
  } else {
    root = path;
    if (root.back() != '\\') root += '\\';
  }
  DWORD filter = FILE_NOTIFY_CHANGE_DIR_NAME;
  if (options_.Contains(ptstoIncludeNonFolders)) filter |= FILE_NOTIFY_CHANGE_FILE_NAME;
  int slot = -1;
  change_thread_->AddWatch(root, filter, true, &slot);
}

void TPTCustomShellTree::DeviceChange(TPTDeviceChangeHandler&, const MSG& message) {
  if (message.wParam != DBT_DEVICEARRIVAL && message.wParam != DBT_DEVICEREMOVECOMPLETE) return;
  Application().Guard([this] {
    ValidateDrivesCache();
    DrivesCacheLock lock;
    RefreshTree();
  });
}

}  // namespace stampwell
