#pragma once
// The application: the message loop with its idle step, the title, the plain message, the
// Yes/No question, the default error report and the guard that every event runs in.

#include <windows.h>

#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <string>

#include "framework/component.h"

namespace stampwell {

class TControl;
class TForm;

// Answers message boxes in place of the user (tests). Gets the text, the caption and the
// MB_ flags; returns the button's ID (IDOK, IDYES, IDNO).
using MessageBoxHandler = std::function<int(const std::string& text, const std::string& caption, unsigned flags)>;

class TApplication : public TComponent {
 public:
  TApplication();
  ~TApplication() override;

  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& title) { title_ = title; }
  HINSTANCE Instance() const { return ::GetModuleHandleA(nullptr); }

  // The first form made through CreateForm; closing it ends the application.
  TForm* MainForm() const { return main_form_; }
  void SetMainForm(TForm* form) { main_form_ = form; }
  // Makes a form owned by the application.
  template <typename T>
  T* CreateForm() {
    T* form = new T(this);
    if (!main_form_) main_form_ = form;
    return form;
  }

  // Shows the main form (unless it shows already) and runs the message loop until Terminate.
  void Run();
  // Handles one message; or, when the queue is empty, runs the next task given to
  // RunWhenIdle; or, with none left, runs the idle step and waits.
  void HandleMessage();
  // Work that nobody sees before the first paint: it runs once the loop has found its queue
  // empty (the process then counts as waiting for input), one task per turn of the loop, in
  // the order given. A key or a mouse button that comes earlier runs every pending task
  // before it is handled, so no input finds the work undone. A task that throws is reported
  // like an event's error; the tasks after it still run.
  void RunWhenIdle(std::function<void()> task);
  // Runs every pending idle task now, in order.
  void RunIdleTasks();
  bool IdleTasksPending() const { return !idle_tasks_.empty(); }
  // Dispatches every pending message and returns (no idle step).
  void ProcessMessages();
  void Terminate();
  bool Terminated() const { return terminated_; }
  // Lets the loop run again after Terminate (a test process runs many windows' lives).
  void ClearTerminated() { terminated_ = false; }

  // The idle step: mouse enter/leave detection at the cursor.
  void Idle();
  // Compares the control under `screen_point` (disabled ones included) with the one found
  // last time and tells the old one that the mouse left and the new one that it came. While
  // a control holds the capture, only that control counts.
  void UpdateMouseControl(POINT screen_point);
  TControl* MouseControl() const { return mouse_control_; }
  // The control under a screen point: the windowless child under it, or the windowed control.
  static TControl* FindControlAt(POINT screen_point, bool allow_disabled);

  // The control that holds the mouse capture. `verify` checks the system's capture too.
  TControl* CaptureControl(bool verify = true) const;
  void SetCaptureControl(TControl* control) { capture_control_ = control; }
  // Forgets a control that is being destroyed.
  void ControlDestroyed(TControl* control);

  // A modal message box, task-modal and centred on the screen. Every box of the program goes
  // through here, so a test can answer it (SetMessageBoxHandler).
  int MessageBox(const std::string& text, const std::string& caption, unsigned flags);
  // The plain message: the text unchanged, captioned with the title, one OK button, no icon.
  void ShowMessage(const std::string& text);
  // A Yes/No question without icon; true only for Yes.
  bool AskYesNo(const std::string& text, const std::string& caption);
  // The default error report: stop icon, OK, the title, the message with a full stop
  // appended when its last character sorts after ".".
  void ShowException(const std::string& message);
  // Reports an exception caught by a guard: the silent abort is dropped, anything else
  // becomes the default error report.
  void HandleException(std::exception_ptr error) noexcept;
  // Runs `call`, turning an escaping error into the default error report.
  void Guard(const std::function<void()>& call) noexcept;

  // Replaces the message-box routine; returns the previous handler (empty: the real box).
  MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

  // A hidden window for timers and other application-wide messages.
  HWND UtilityWindow();

 private:
  bool ProcessMessage();
  bool PreTranslate(MSG& message);
  void RunNextIdleTask();

  std::string title_;
  TForm* main_form_ = nullptr;
  bool terminated_ = false;
  TControl* mouse_control_ = nullptr;
  TControl* capture_control_ = nullptr;
  MessageBoxHandler message_box_handler_;
  HWND utility_window_ = nullptr;
  std::deque<std::function<void()>> idle_tasks_;
};

// The one application of the process.
TApplication& Application();

// Replaces the message-box handler for a scope (tests).
class ScopedMessageBoxHandler {
 public:
  explicit ScopedMessageBoxHandler(MessageBoxHandler handler)
      : previous_(Application().SetMessageBoxHandler(std::move(handler))) {}
  ~ScopedMessageBoxHandler() { Application().SetMessageBoxHandler(std::move(previous_)); }
  ScopedMessageBoxHandler(const ScopedMessageBoxHandler&) = delete;
  ScopedMessageBoxHandler& operator=(const ScopedMessageBoxHandler&) = delete;

 private:
  MessageBoxHandler previous_;
};

// The screen: its size and the cursor that overrides every control's (crHourGlass while long
// operations run).
struct TScreen {
  static int Width() { return ::GetSystemMetrics(SM_CXSCREEN); }
  static int Height() { return ::GetSystemMetrics(SM_CYSCREEN); }
};

}  // namespace stampwell
