#pragma once
// What a screen reader is told of a window whose client area is drawn by the program itself:
// the client's children, one element each, as a sighted user sees them.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace stampwell::wizard {

struct AccessibleElement {
  std::string name;
  long role = 0;   // ROLE_SYSTEM_*
  long state = 0;  // STATE_SYSTEM_*
  RECT bounds{};   // screen pixels
  std::string value;           // the progress bar's percentage; empty for the others
  std::string default_action;  // empty: none
};

// The window behind an accessible object. The object may outlive the window (a client keeps
// it as long as it likes), so it reaches the window only through this, and every method of
// the object fails with "disconnected" once Alive() is false.
class AccessibleSource {
 public:
  virtual ~AccessibleSource() = default;
  virtual bool Alive() const = 0;
  virtual HWND Window() const = 0;
  // The children of the client, in reading order; child id N is element N - 1.
  virtual std::vector<AccessibleElement> Elements() const = 0;
  // The child id that holds the keyboard focus; CHILDID_SELF for the client itself; -1 when
  // the focus is elsewhere.
  virtual long FocusedChild() const = 0;
  // Asks for the child's default action; it runs once the call has returned, so that a
  // client is never held inside a long install run or a message box.
  virtual bool RequestDefaultAction(long child) = 0;
  virtual bool TakeFocus(long child) = 0;
};

}  // namespace stampwell::wizard
