#include "shellbrowse/notification/device_change_handler.h"

#include <dbt.h>

#include <algorithm>
#include <cstring>
#include <system_error>

#include "framework/application.h"
#include "shellbrowse/toolbox/shell_toolbox.h"

namespace stampwell {
namespace {

constexpr char kWindowClass[] = "StampwellDeviceChangeWindow";

// The events whose lParam is a DEV_BROADCAST_HDR block.
bool CarriesBroadcastBlock(WPARAM event) {
  return (event >= DBT_DEVICEARRIVAL && event <= DBT_CUSTOMEVENT) || event == DBT_USERDEFINED;
}

// Blocks are small (a path or a device name at most); a size beyond this is not a block.
constexpr DWORD kLargestBlock = 64 * 1024;

ATOM RegisterWindowClass(HINSTANCE instance, WNDPROC procedure) {
  WNDCLASSA window_class = {};
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = instance;
  window_class.lpszClassName = kWindowClass;
  ATOM atom = RegisterClassA(&window_class);
  if (!atom && GetLastError() == ERROR_CLASS_ALREADY_EXISTS) return 1;
  return atom;
}

std::unique_ptr<TPTDeviceChangeHandler>& ProcessHandler() {
  static std::unique_ptr<TPTDeviceChangeHandler> handler;
  return handler;
}

}  // namespace

TPTDeviceChangeHandler::TPTDeviceChangeHandler() {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  if (!RegisterWindowClass(instance, &WindowProc))
    throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), "RegisterClass");
  // A hidden top-level window: broadcasts reach top-level windows only, never message-only ones.
  window_.reset(CreateWindowExA(WS_EX_TOOLWINDOW, kWindowClass, "", WS_POPUP, 0, 0, 0, 0, nullptr,
                                nullptr, instance, this));
  if (!window_)
    throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), "CreateWindowEx");
}

TPTDeviceChangeHandler::~TPTDeviceChangeHandler() {
  if (window_) SetWindowLongPtrA(window_.get(), GWLP_USERDATA, 0);
  window_.reset();
}

void TPTDeviceChangeHandler::AddHandler(TDeviceChangeEvent handler) {
  if (handler.Code) handlers_.push_back(handler);
}

void TPTDeviceChangeHandler::RemoveHandler(TDeviceChangeEvent handler) {
  auto found = std::find(handlers_.begin(), handlers_.end(), handler);
  if (found == handlers_.end() || !handler.Code) return;
  // During a dispatch the entry is only emptied, so that the running loop's positions hold.
  if (dispatching_ > 0) {
    *found = TDeviceChangeEvent{};
  } else {
    handlers_.erase(found);
  }
}

LRESULT CALLBACK TPTDeviceChangeHandler::WindowProc(HWND window, UINT message, WPARAM wparam,
                                                    LPARAM lparam) noexcept {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lparam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<TPTDeviceChangeHandler*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self && (message == WM_DEVICECHANGE || message == kDispatchMessage))
    return self->OnDeviceChange(message, wparam, lparam);
  return DefWindowProcA(window, message, wparam, lparam);
}

LRESULT TPTDeviceChangeHandler::OnDeviceChange(UINT message, WPARAM wparam, LPARAM lparam) noexcept {
  if (message == WM_DEVICECHANGE) {
    LPARAM posted = lparam;
    if (lparam && CarriesBroadcastBlock(wparam)) {
      // Posted as a copy: the sender's block lives only until this broadcast is answered.
      const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(lparam);
      DWORD size = header->dbch_size;
      if (size >= sizeof(DEV_BROADCAST_HDR) && size <= kLargestBlock) {
        try {
          auto copy = std::make_unique<std::uint8_t[]>(size);
          std::memcpy(copy.get(), header, size);
          posted = reinterpret_cast<LPARAM>(copy.get());
          pending_blocks_.push_back(std::move(copy));
        } catch (const std::bad_alloc&) {
          posted = 0;
        }
      } else {
        posted = 0;
      }
    }
    if (!PostMessageA(window_.get(), kDispatchMessage, wparam, posted) && posted != lparam) {
      pending_blocks_.pop_back();
    }
    return DefWindowProcA(window_.get(), message, wparam, lparam);
  }
  Dispatch(wparam, lparam);
  return 0;
}

void TPTDeviceChangeHandler::Dispatch(WPARAM wparam, LPARAM lparam) noexcept {
  // Take ownership of the block this message carries (when it is one of ours).
  std::unique_ptr<std::uint8_t[]> block;
  auto owned = std::find_if(pending_blocks_.begin(), pending_blocks_.end(), [lparam](const auto& p) {
    return reinterpret_cast<LPARAM>(p.get()) == lparam;
  });
  if (lparam && owned != pending_blocks_.end()) {
    block = std::move(*owned);
    pending_blocks_.erase(owned);
  }
  if (!enabled_) return;

  MSG message = {};
  message.hwnd = window_.get();
  message.message = kDispatchMessage;
  message.wParam = wparam;
  message.lParam = lparam;
  message.time = static_cast<DWORD>(GetMessageTime());
  DWORD position = GetMessagePos();
  message.pt = {static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};

  ++dispatching_;
  // By position, so that handlers added or removed by a handler leave the walk sound.
  for (std::size_t index = 0; index < handlers_.size(); ++index) {
    TDeviceChangeEvent handler = handlers_[index];
    if (!handler.Code) continue;
    try {
      handler.Code(handler.Object, *this, message);
    } catch (...) {
      // The application's error report (the silent abort says nothing); the others still run.
      Application().HandleException(std::current_exception());
    }
  }
  if (--dispatching_ == 0) {
    handlers_.erase(std::remove(handlers_.begin(), handlers_.end(), TDeviceChangeEvent{}), handlers_.end());
  }
}

TPTDeviceChangeHandler& GetDeviceChangeHandler() {
  auto& handler = ProcessHandler();
  if (!handler) {
    handler = std::make_unique<TPTDeviceChangeHandler>();
    // Its window must go while the window system is still there, not at static destruction.
    AddShellToolboxCleanup(FreeDeviceChangeHandler);
  }
  return *handler;
}

void FreeDeviceChangeHandler() noexcept { ProcessHandler().reset(); }

}  // namespace stampwell
