#pragma once
// The process-wide dispatcher of device changes. WM_DEVICECHANGE is broadcast to top-level
// windows and must be answered at once, so a hidden window of the dispatcher answers it and
// posts itself kDispatchMessage; the registered handlers then run from that posted message on
// the user-interface thread, in the order they were added.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "framework/unique_handle.h"

namespace stampwell {

class TPTDeviceChangeHandler;

// A handler: a method of some object, compared by both, as registration and removal need.
// `message` has the dispatch message id and the broadcast's wParam and lParam; when the
// broadcast carried a DEV_BROADCAST_HDR block, lParam points to the dispatcher's copy of it,
// valid during the call.
struct TDeviceChangeEvent {
  void (*Code)(void* object, TPTDeviceChangeHandler& sender, const MSG& message) = nullptr;
  void* Object = nullptr;
  bool operator==(const TDeviceChangeEvent&) const = default;
};

namespace detail {
template <auto Method, typename T>
void CallDeviceChangeMethod(void* object, TPTDeviceChangeHandler& sender, const MSG& message) {
  (static_cast<T*>(object)->*Method)(sender, message);
}
}  // namespace detail

// The handler that calls `Method` (void (T::*)(TPTDeviceChangeHandler&, const MSG&)) of `object`.
template <auto Method, typename T>
TDeviceChangeEvent MakeDeviceChangeEvent(T& object) {
  return {&detail::CallDeviceChangeMethod<Method, T>, &object};
}

class TPTDeviceChangeHandler {
 public:
  // WM_USER + 100: the message that the hidden window posts itself.
  static constexpr UINT kDispatchMessage = WM_USER + 100;

  // Makes the hidden window; throws std::system_error when it cannot be made.
  TPTDeviceChangeHandler();
  TPTDeviceChangeHandler(const TPTDeviceChangeHandler&) = delete;
  TPTDeviceChangeHandler& operator=(const TPTDeviceChangeHandler&) = delete;
  ~TPTDeviceChangeHandler();

  void AddHandler(TDeviceChangeEvent handler);
  // Removes the first registration of the same method of the same object; also safe from
  // inside a handler (a removed handler is not called again in the running dispatch).
  void RemoveHandler(TDeviceChangeEvent handler);

  bool Enabled() const noexcept { return enabled_; }
  void SetEnabled(bool enabled) noexcept { enabled_ = enabled; }

  HWND Handle() const noexcept { return window_.get(); }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) noexcept;
  LRESULT OnDeviceChange(UINT message, WPARAM wparam, LPARAM lparam) noexcept;
  void Dispatch(WPARAM wparam, LPARAM lparam) noexcept;

  std::vector<TDeviceChangeEvent> handlers_;
  int dispatching_ = 0;
  bool enabled_ = true;
  // Copies of the broadcasts' data blocks, from the broadcast until their dispatch: the
  // sender's block is gone once WM_DEVICECHANGE has been answered.
  std::vector<std::unique_ptr<std::uint8_t[]>> pending_blocks_;
  unique_hwnd window_;
};

// The dispatcher of the process, made on the first call. Throws when it cannot be made.
TPTDeviceChangeHandler& GetDeviceChangeHandler();

// Frees the dispatcher at the subsystem's end (its list and its window); a later
// GetDeviceChangeHandler makes a new one.
void FreeDeviceChangeHandler() noexcept;

}  // namespace stampwell
