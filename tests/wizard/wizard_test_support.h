#pragma once
// Helpers of the wizard's window tests: a message pump with the program's keyboard
// navigation, real input, answering message boxes, and screenshots kept as build artifacts.

#include <windows.h>

#include <string>
#include <vector>

#include "framework/application.h"

namespace stampwell::wizard::testing {

// Processes messages for about `ms` milliseconds, with the keyboard navigation of the form
// `dialog` (its own first, then the dialog manager's).
void Pump(int ms, HWND dialog = nullptr);
// Pumps until no input is left in the thread's queue (at most `limit_ms`), then a little more
// for what the input caused: a key pressed with SendInput is processed when this returns.
void PumpInput(HWND dialog, int limit_ms = 5000);
// True when a WM_QUIT is waiting (it is taken from the queue).
bool TakeQuit();

// A real left click at a point of the screen, through the system's input queue.
void ClickAt(POINT screen);
// The centre of a child window or of a rectangle of a window, in screen coordinates.
POINT CentreOf(HWND window);
POINT CentreOf(HWND window, const RECT& client_rect);
void PressKey(WORD key);
// Shift+Tab.
void PressShiftTab();

// Answers every message box of the program with `answer` (IDYES, IDNO, IDOK) while alive,
// and records the caption, the text and the style flags that it saw. Every box goes through
// the application, so this stands where the user would.
class MessageBoxAnswerer {
 public:
  explicit MessageBoxAnswerer(int answer);
  struct Seen {
    std::string caption;
    std::string text;
    bool has_icon;
    unsigned buttons;  // MB_OK, MB_YESNO, ...
  };
  const std::vector<Seen>& seen() const { return seen_; }

 private:
  std::vector<Seen> seen_;
  ScopedMessageBoxHandler handler_;
};

// Saves what the screen shows of a window as build/win32/artifacts/<name>.bmp.
void SaveScreenshot(HWND window, const std::string& name);

}  // namespace stampwell::wizard::testing
