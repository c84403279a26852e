#pragma once
// A message-only window that records what is posted to it, and a message pump with a limit,
// for the change-notification tests.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "framework/unique_handle.h"

namespace stampwell::testing {

// Pumps this thread's messages until `done` holds or `limit_ms` have passed; true when done.
inline bool PumpUntil(const std::function<bool()>& done, DWORD limit_ms = 30000) {
  DWORD start = GetTickCount();
  for (;;) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    if (done()) return true;
    if (GetTickCount() - start >= limit_ms) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
}

// Records the wParam of every `message` it receives.
class PostedMessageRecorder {
 public:
  explicit PostedMessageRecorder(UINT message) : message_(message) {
    WNDCLASSA window_class = {};
    window_class.lpfnWndProc = &Proc;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.lpszClassName = "StampwellTestRecorder";
    RegisterClassA(&window_class);
    window_.reset(CreateWindowExA(0, window_class.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                  nullptr, window_class.hInstance, this));
  }
  HWND window() const { return window_.get(); }
  const std::vector<WPARAM>& received() const { return received_; }
  void clear() { received_.clear(); }

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
      SetWindowLongPtrA(window, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lparam)->lpCreateParams));
    }
    auto* self = reinterpret_cast<PostedMessageRecorder*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self && message == self->message_) {
      self->received_.push_back(wparam);
      return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
  }

  UINT message_;
  std::vector<WPARAM> received_;
  unique_hwnd window_;
};

// The number of handles this process holds, from the system's handle table: Wine answers
// GetProcessHandleCount with 0, but lists handles faithfully.
inline int HandleCount() {
  struct Entry {
    USHORT process;
    USHORT creator_back_trace;
    UCHAR object_type;
    UCHAR attributes;
    USHORT handle;
    void* object;
    ACCESS_MASK access;
  };
  struct Table {
    ULONG count;
    Entry entries[1];
  };
  using Query = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);
  constexpr ULONG kSystemHandleInformation = 16;
  constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);
  auto query = reinterpret_cast<Query>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
  EXPECT_NE(query, nullptr);
  if (!query) return -1;
  std::vector<std::uint8_t> buffer(1 << 20);
  LONG status;
  ULONG length = 0;
  while ((status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &length)) ==
         kInfoLengthMismatch) {
    buffer.resize(buffer.size() * 2);
  }
  EXPECT_EQ(status, 0);
  const auto* table = reinterpret_cast<const Table*>(buffer.data());
  int count = 0;
  for (ULONG i = 0; i < table->count; ++i) {
    if (table->entries[i].process == static_cast<USHORT>(GetCurrentProcessId())) ++count;
  }
  // A count of 0 would make every comparison of counts pass.
  EXPECT_GT(count, 0);
  return count;
}

}  // namespace stampwell::testing
