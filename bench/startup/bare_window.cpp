// The start-up floor: a bare Win32 program that shows one borderless window of the wizard's
// size, centred, paints it with one colour and waits for messages. Nothing of the setup's
// framework is in it, so its time to the first painted window is what any window costs. Like
// the setup, it is aware of the screen's DPI and takes the wizard's size at it.
#include <windows.h>

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) noexcept {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      FillRect(dc, &paint.rcPaint, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
      EndPaint(window, &paint);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wparam, lparam);
  }
}

// What the setup's manifest declares, by the call that does the same (Windows 10 1703 and later).
void BecomeAwareOfEachMonitorsDpi() {
  using SetContextFn = BOOL(WINAPI*)(HANDLE);
  const auto set_context = reinterpret_cast<SetContextFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "SetProcessDpiAwarenessContext")));
  if (set_context) set_context(reinterpret_cast<HANDLE>(-4));  // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2
}

int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  BecomeAwareOfEachMonitorsDpi();
  const int dpi = ScreenDpi();
  const int kWidth = MulDiv(600, dpi, 96), kHeight = MulDiv(350, dpi, 96);  // the wizard's size
  WNDCLASSEXA window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = WindowProc;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
  window_class.lpszClassName = "StampwellBareWindow";
  if (!RegisterClassExA(&window_class)) return 1;
  int left = GetSystemMetrics(SM_CXSCREEN) / 2 - kWidth / 2;
  int top = GetSystemMetrics(SM_CYSCREEN) / 2 - kHeight / 2;
  HWND window = CreateWindowExA(0, window_class.lpszClassName, "Bare window", WS_POPUP, left, top, kWidth, kHeight,
                                nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}
