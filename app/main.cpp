// Entry point of the setup program.
#include <windows.h>
#include <ole2.h>

#include "app/product_title.h"
#include "app/security_baseline.h"
#include "app/startup_window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  // Before anything can load a library: an elevated setup must not pick one up from the
  // folder it was started from.
  stampwell::ApplySecurityBaseline();

  // The user-interface thread is a single-threaded apartment for its whole life; shell
  // links, the shell namespace and drag and drop rely on it.
  if (FAILED(::OleInitialize(nullptr))) return 1;

  HWND main_window = stampwell::CreateStartupWindow(instance);
  stampwell::SetWizardWindow(main_window);
  ::ShowWindow(main_window, show);
  ::UpdateWindow(main_window);

  MSG message;
  while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
  ::OleUninitialize();
  return static_cast<int>(message.wParam);
}
