#include "shellbrowse/notification/change_handler_thread.h"

#include <array>
#include <atomic>
#include <new>
#include <system_error>
#include <utility>
#include <vector>

namespace stampwell {

// What the two threads share. It is owned jointly by the thread object and the running worker,
// so a worker that has not ended when its object is destroyed still works on live memory; the
// last owner closes the events and every change handle still held.
struct TChangeHandlerThread::State {
  enum Action : int { kAdd = 0, kRemoveAll = 2, kEnd = 3 };

  HWND owner = nullptr;
  UINT change_message = 0;
  unique_handle do_action;
  unique_handle action_processed;
  std::atomic<int> action{kAdd};
  // The handle waiting to go into a slot. Whoever takes it out with an exchange owns it, so a
  // handle is never both in a slot and closed by the user-interface thread.
  std::atomic<HANDLE> pending{INVALID_HANDLE_VALUE};
  std::atomic<int> new_slot{-1};
  std::atomic<bool> terminated{false};
  // Changed only by the worker while it runs.
  std::array<HANDLE, kSlotCount> slots;

  State() { slots.fill(INVALID_HANDLE_VALUE); }
  State(const State&) = delete;
  State& operator=(const State&) = delete;
  ~State() {
    // The events first, then the change handles, as the handles may be many and slow.
    std::vector<HANDLE> open;
    for (HANDLE& slot : slots) {
      if (slot != INVALID_HANDLE_VALUE) open.push_back(std::exchange(slot, INVALID_HANDLE_VALUE));
    }
    HANDLE left = pending.exchange(INVALID_HANDLE_VALUE);
    if (left != INVALID_HANDLE_VALUE) open.push_back(left);
    do_action.reset();
    action_processed.reset();
    for (HANDLE handle : open) FindCloseChangeNotification(handle);
  }

  void FreeSlot(int slot) {
    FindCloseChangeNotification(slots[slot]);
    slots[slot] = INVALID_HANDLE_VALUE;
  }

  // Returns false when the loop is to end.
  bool PerformAction() {
    switch (action.load()) {
      case kAdd: {
        HANDLE handle = pending.exchange(INVALID_HANDLE_VALUE);
        int used = -1;
        if (handle != INVALID_HANDLE_VALUE) {
          for (int slot = 0; slot < kSlotCount; ++slot) {
            if (slots[slot] == INVALID_HANDLE_VALUE) {
              slots[slot] = handle;
              used = slot;
              break;
            }
          }
          // No free slot: the handle goes back to the one who made it.
          if (used < 0) pending.store(handle);
        }
        new_slot.store(used);
        break;
      }
      case kRemoveAll:
        for (int slot = 0; slot < kSlotCount; ++slot) {
          if (slots[slot] != INVALID_HANDLE_VALUE) FreeSlot(slot);
        }
        break;
      case kEnd:
        return false;
    }
    SetEvent(action_processed.get());
    return true;
  }

  // A wait that fails names no object; drop the slots whose handles no longer wait, and end
  // only when none does (the do-action event itself is gone), instead of spinning.
  bool RecoverFromFailedWait() {
    if (WaitForSingleObject(do_action.get(), 0) == WAIT_FAILED) return false;
    for (int slot = 0; slot < kSlotCount; ++slot) {
      if (slots[slot] != INVALID_HANDLE_VALUE && WaitForSingleObject(slots[slot], 0) == WAIT_FAILED) {
        slots[slot] = INVALID_HANDLE_VALUE;  // not ours to close any more
      }
    }
    return true;
  }

  void Run() {
    std::array<HANDLE, MAXIMUM_WAIT_OBJECTS> waits;
    std::array<int, MAXIMUM_WAIT_OBJECTS> slot_of;
    for (;;) {
      DWORD count = 0;
      waits[count++] = do_action.get();
      for (int slot = 0; slot < kSlotCount; ++slot) {
        if (slots[slot] == INVALID_HANDLE_VALUE) continue;
        slot_of[count] = slot;
        waits[count++] = slots[slot];
      }
      DWORD result = WaitForMultipleObjects(count, waits.data(), FALSE, INFINITE);
      if (terminated.load()) return;
      if (result == WAIT_OBJECT_0) {
        if (!PerformAction()) return;
      } else if (result > WAIT_OBJECT_0 && result < WAIT_OBJECT_0 + count) {
        int slot = slot_of[result - WAIT_OBJECT_0];
        if (owner) PostMessageA(owner, change_message, static_cast<WPARAM>(slot), 0);
        if (!FindNextChangeNotification(slots[slot])) FreeSlot(slot);
      } else if (result >= WAIT_ABANDONED_0 && result < WAIT_ABANDONED_0 + count) {
        DWORD entry = result - WAIT_ABANDONED_0;
        if (entry > 0) FreeSlot(slot_of[entry]);
      } else if (!RecoverFromFailedWait()) {
        return;
      }
    }
  }
};

namespace {

DWORD WINAPI ChangeHandlerThreadProc(void* parameter) noexcept {
  // The thread's own share of the state, released when the thread ends.
  std::unique_ptr<std::shared_ptr<TChangeHandlerThread::State>> state(
      static_cast<std::shared_ptr<TChangeHandlerThread::State>*>(parameter));
  (*state)->Run();
  return 0;
}

unique_handle MakeAutoResetEvent() {
  unique_handle event(CreateEventA(nullptr, FALSE, FALSE, nullptr));
  if (!event) throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), "CreateEvent");
  return event;
}

}  // namespace

TChangeHandlerThread::TChangeHandlerThread(HWND owner, UINT change_message)
    : state_(std::make_shared<State>()) {
  state_->owner = owner;
  state_->change_message = change_message;
  state_->do_action = MakeAutoResetEvent();
  state_->action_processed = MakeAutoResetEvent();
  auto share = std::make_unique<std::shared_ptr<State>>(state_);
  // Made suspended and resumed once everything it reads is in place.
  thread_.reset(CreateThread(nullptr, 0, ChangeHandlerThreadProc, share.get(), CREATE_SUSPENDED, nullptr));
  if (!thread_) throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), "CreateThread");
  share.release();
  ResumeThread(thread_.get());
}

TChangeHandlerThread::~TChangeHandlerThread() {
  state_->terminated.store(true);
  state_->action.store(State::kEnd);
  SetEvent(state_->do_action.get());
  // When the worker has ended the state goes with this object's share and closes everything;
  // a worker that is still running after the limit keeps the state alive until it ends.
  WaitForSingleObject(thread_.get(), kEndTimeoutMs);
}

bool TChangeHandlerThread::AddWatch(const std::string& path, DWORD notify_filter, bool watch_subtree,
                                    int* slot_index) {
  if (slot_index) *slot_index = -1;
  if (path.empty()) return false;
  HANDLE handle = FindFirstChangeNotificationA(path.c_str(), watch_subtree ? TRUE : FALSE, notify_filter);
  if (handle == INVALID_HANDLE_VALUE) return false;
  state_->pending.store(handle);
  state_->action.store(State::kAdd);
  ResetEvent(state_->action_processed.get());
  SetEvent(state_->do_action.get());
  bool answered = WaitForSingleObject(state_->action_processed.get(), kActionTimeoutMs) == WAIT_OBJECT_0;
  // A handle still pending was not taken (no free slot, or no answer): it is ours to close.
  HANDLE left = state_->pending.exchange(INVALID_HANDLE_VALUE);
  if (left != INVALID_HANDLE_VALUE) FindCloseChangeNotification(left);
  if (!answered) return false;
  int slot = state_->new_slot.load();
  if (slot_index) *slot_index = slot;
  return slot != -1;
}

void TChangeHandlerThread::RemoveAllWatches() {
  state_->action.store(State::kRemoveAll);
  ResetEvent(state_->action_processed.get());
  SetEvent(state_->do_action.get());
  WaitForSingleObject(state_->action_processed.get(), kActionTimeoutMs);
}

}  // namespace stampwell
