#include "wizard_test_support.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "framework/forms.h"
#include "framework/unique_handle.h"

namespace stampwell::wizard::testing {

void Pump(int ms, HWND dialog) {
  const DWORD end = ::GetTickCount() + static_cast<DWORD>(ms);
  do {
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        ::PostQuitMessage(static_cast<int>(message.wParam));
        return;
      }
      // The keys go where the program's own loop sends them: the form first, then the dialog
      // manager.
      if (dialog && ::IsWindow(dialog) && message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST) {
        auto* form = dynamic_cast<TForm*>(TWinControl::FromHandle(dialog));
        if (form && form->PreviewKey(message)) continue;
      }
      if (dialog && ::IsWindow(dialog) && ::IsDialogMessageA(dialog, &message)) continue;
      ::TranslateMessage(&message);
      ::DispatchMessageA(&message);
    }
    ::Sleep(5);
  } while (static_cast<LONG>(end - ::GetTickCount()) > 0);
}

void PumpInput(HWND dialog, int limit_ms) {
  const DWORD start = ::GetTickCount();
  do {
    Pump(20, dialog);
  } while (HIWORD(::GetQueueStatus(QS_INPUT | QS_POSTMESSAGE)) != 0 &&
           static_cast<int>(::GetTickCount() - start) < limit_ms);
  Pump(50, dialog);
}

bool TakeQuit() {
  MSG message;
  return ::PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
}

POINT CentreOf(HWND window) {
  RECT rect;
  ::GetClientRect(window, &rect);
  return CentreOf(window, rect);
}

POINT CentreOf(HWND window, const RECT& r) {
  POINT point{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  ::ClientToScreen(window, &point);
  return point;
}

void ClickAt(POINT screen) {
  const int cx = ::GetSystemMetrics(SM_CXSCREEN) - 1;
  const int cy = ::GetSystemMetrics(SM_CYSCREEN) - 1;
  INPUT inputs[3]{};
  for (INPUT& input : inputs) {
    input.type = INPUT_MOUSE;
    input.mi.dx = screen.x * 65535 / cx;
    input.mi.dy = screen.y * 65535 / cy;
  }
  inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
  inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
  ::SendInput(1, &inputs[0], sizeof(INPUT));
  Pump(60);
  ::SendInput(1, &inputs[1], sizeof(INPUT));
  Pump(60);
  ::SendInput(1, &inputs[2], sizeof(INPUT));
}

void PressKey(WORD key) {
  INPUT inputs[2]{};
  inputs[0].type = inputs[1].type = INPUT_KEYBOARD;
  inputs[0].ki.wVk = inputs[1].ki.wVk = key;
  inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
  ::SendInput(2, inputs, sizeof(INPUT));
}

void PressShiftTab() {
  INPUT inputs[4]{};
  for (INPUT& input : inputs) input.type = INPUT_KEYBOARD;
  inputs[0].ki.wVk = inputs[3].ki.wVk = VK_SHIFT;
  inputs[1].ki.wVk = inputs[2].ki.wVk = VK_TAB;
  inputs[2].ki.dwFlags = inputs[3].ki.dwFlags = KEYEVENTF_KEYUP;
  ::SendInput(4, inputs, sizeof(INPUT));
}

MessageBoxAnswerer::MessageBoxAnswerer(int answer)
    : handler_([this, answer](const std::string& text, const std::string& caption, unsigned flags) {
        seen_.push_back({caption, text, (flags & MB_ICONMASK) != 0, flags & MB_TYPEMASK});
        return answer;
      }) {}

void SaveScreenshot(HWND window, const std::string& name) {
  RECT rect;
  ::GetWindowRect(window, &rect);
  const int w = rect.right - rect.left, h = rect.bottom - rect.top;
  scoped_window_dc screen(nullptr);
  unique_hdc memory(::CreateCompatibleDC(screen.get()));
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  unique_hbitmap bitmap(::CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap) return;
  scoped_select_object select(memory.get(), bitmap.get());
  ::BitBlt(memory.get(), 0, 0, w, h, screen.get(), rect.left, rect.top, SRCCOPY);
  ::GdiFlush();
  const int stride = (w * 3 + 3) & ~3;
  const char* build = std::getenv("STAMPWELL_BUILD_DIR");
  std::string folder = std::string("Z:") + (build ? build : "/tmp") + "/artifacts";
  for (char& c : folder) {
    if (c == '/') c = '\\';
  }
  ::CreateDirectoryA(folder.c_str(), nullptr);
  std::ofstream out(folder + "\\" + name + ".bmp", std::ios::binary);
  BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + stride * h),
                        0, 0, sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
  out.write(static_cast<const char*>(bits), static_cast<std::streamsize>(stride) * h);
}

}  // namespace stampwell::wizard::testing
