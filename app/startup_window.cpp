#include "app/startup_window.h"

#include "app/setup_settings.h"

namespace stampwell {

namespace {

constexpr char kClassName[] = "QuendraStampwellSetupMain";
constexpr int kWidth = 600;
constexpr int kHeight = 350;

LRESULT CALLBACK StartupWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) noexcept {
  switch (message) {
    case WM_NCHITTEST: {
      // Borderless: the whole window drags like a caption.
      LRESULT hit = ::DefWindowProcA(window, message, wparam, lparam);
      return hit == HTCLIENT ? HTCAPTION : hit;
    }
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
  }
  return ::DefWindowProcA(window, message, wparam, lparam);
}

}  // namespace

HWND CreateStartupWindow(HINSTANCE instance) {
  WNDCLASSEXA window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = StartupWindowProc;
  window_class.hInstance = instance;
  window_class.hIcon = ::LoadIconA(instance, "MAINICON");
  window_class.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  window_class.lpszClassName = kClassName;
  ::RegisterClassExA(&window_class);

  int left = ::GetSystemMetrics(SM_CXSCREEN) / 2 - kWidth / 2;
  int top = ::GetSystemMetrics(SM_CYSCREEN) / 2 - kHeight / 2;
  return ::CreateWindowExA(WS_EX_APPWINDOW, kClassName, kProductName, WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX, left,
                           top, kWidth, kHeight, nullptr, nullptr, instance, nullptr);
}

}  // namespace stampwell
