#pragma once
// A worker thread that waits on file-system change notifications (one per watched folder) and
// posts a message to an owner window whenever one of them fires.
//
// The worker never touches windows or shell objects beyond PostMessage; the owner reacts on its
// own thread. The user-interface thread hands the worker one action at a time through two
// auto-reset events: it writes the action (and the handle to add) before setting "do action"
// and reads the result only after "action processed", so no lock is needed.

#include <windows.h>

#include <memory>
#include <string>

#include "framework/unique_handle.h"

namespace stampwell {

class TChangeHandlerThread {
 public:
  // One wait covers at most MAXIMUM_WAIT_OBJECTS handles and the do-action event takes one.
  static constexpr int kSlotCount = MAXIMUM_WAIT_OBJECTS - 1;
  // How long the user-interface thread waits for the worker to take an action.
  static constexpr DWORD kActionTimeoutMs = 2000;
  // How long destruction waits for the worker to end.
  static constexpr DWORD kEndTimeoutMs = 30000;

  // Starts the worker. `owner` (may be null: nothing is posted) receives `change_message` with
  // wParam = the slot that fired and lParam = 0. Throws std::system_error
  // when the events or the thread cannot be made.
  TChangeHandlerThread(HWND owner, UINT change_message);
  TChangeHandlerThread(const TChangeHandlerThread&) = delete;
  TChangeHandlerThread& operator=(const TChangeHandlerThread&) = delete;
  // Ends the worker (waiting at most kEndTimeoutMs) and closes every change handle.
  ~TChangeHandlerThread();

  // Watches `path` with the FILE_NOTIFY_CHANGE_* `notify_filter`. True with *slot_index set to
  // the slot used; false when the path is empty, cannot be watched, every slot is taken or the
  // worker does not answer in time (then *slot_index is -1).
  bool AddWatch(const std::string& path, DWORD notify_filter, bool watch_subtree, int* slot_index);

  // Closes every watch; waits for the worker at most kActionTimeoutMs and does not report a
  // time-out.
  void RemoveAllWatches();

  struct State;

 private:
  std::shared_ptr<State> state_;
  unique_handle thread_;
};

}  // namespace stampwell
