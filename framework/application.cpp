#include "framework/application.h"

#include "framework/controls.h"
#include "framework/exception.h"
#include "framework/forms.h"
#include "framework/timer.h"

namespace stampwell {
namespace {

std::string ModuleBaseName() {
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string name = path;
  size_t slash = name.find_last_of("\\/");
  if (slash != std::string::npos) name = name.substr(slash + 1);
  size_t dot = name.find_last_of('.');
  if (dot != std::string::npos) name = name.substr(0, dot);
  return name;
}

LRESULT CALLBACK UtilityWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) noexcept {
  if (message == WM_TIMER) {
    TTimer::Dispatch(static_cast<UINT_PTR>(wparam));
    return 0;
  }
  return ::DefWindowProcA(window, message, wparam, lparam);
}

// Input that can act: a key, or a mouse button on the client area or the frame. A window that
// appears under the cursor gets a mouse move at once, and moves and wheels start nothing.
bool IsKeyOrButton(UINT message) {
  if (message >= WM_KEYFIRST && message <= WM_KEYLAST) return true;
  if (message >= WM_LBUTTONDOWN && message <= WM_MBUTTONDBLCLK) return true;
  if (message >= WM_XBUTTONDOWN && message <= WM_XBUTTONDBLCLK) return true;
  return message >= WM_NCLBUTTONDOWN && message <= WM_NCXBUTTONDBLCLK;
}

}  // namespace

TApplication::TApplication() : TComponent(nullptr), title_(ModuleBaseName()) {}

TApplication::~TApplication() {
  DestroyComponents();
  if (utility_window_) ::DestroyWindow(utility_window_);
}

TApplication& Application() {
  static TApplication* application = new TApplication();  // lives until the process ends
  return *application;
}

void RunGuarded(const std::function<void()>& call) noexcept { Application().Guard(call); }

void TApplication::Guard(const std::function<void()>& call) noexcept {
  try {
    call();
  } catch (...) {
    HandleException(std::current_exception());
  }
}

void TApplication::HandleException(std::exception_ptr error) noexcept {
  try {
    try {
      std::rethrow_exception(error);
    } catch (const EAbort&) {
      // The silent abort: nothing to say.
    } catch (const std::exception& e) {
      ShowException(e.what());
    } catch (...) {
      ShowException("Unknown error");
    }
  } catch (...) {
    // The report itself failed (out of memory); there is no one left to tell.
  }
}

MessageBoxHandler TApplication::SetMessageBoxHandler(MessageBoxHandler handler) {
  MessageBoxHandler previous = std::move(message_box_handler_);
  message_box_handler_ = std::move(handler);
  return previous;
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, unsigned flags) {
  if (message_box_handler_) return message_box_handler_(text, caption, flags);
  // No owner and task-modal: the box is centred on the screen and every window of the
  // program waits for it.
  return ::MessageBoxA(nullptr, text.c_str(), caption.c_str(), flags | MB_TASKMODAL | MB_SETFOREGROUND);
}

void TApplication::ShowMessage(const std::string& text) { MessageBox(text, title_, MB_OK); }

bool TApplication::AskYesNo(const std::string& text, const std::string& caption) {
  return MessageBox(text, caption, MB_YESNO) == IDYES;
}

void TApplication::ShowException(const std::string& message) {
  MessageBox(ErrorReportText(message), title_, MB_OK | MB_ICONSTOP);
}

bool TApplication::PreTranslate(MSG& message) {
  // Dialog navigation (Tab, arrow keys, Enter, Esc) for the form that the message is for.
  if (message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST && message.hwnd) {
    HWND root = ::GetAncestor(message.hwnd, GA_ROOT);
    TForm* form = dynamic_cast<TForm*>(TWinControl::FromHandle(root));
    if (form && (form->PreviewKey(message) || ::IsDialogMessageW(root, &message))) return true;
  }
  return false;
}

bool TApplication::ProcessMessage() {
  MSG message;
  // Taken in Unicode form: a typed character that the ANSI code page lacks reaches a Unicode
  // window whole (the folder field), and an ANSI window gets it converted as it would anyway.
  if (!::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) return false;
  if (message.message == WM_QUIT) {
    terminated_ = true;
    return true;
  }
  if (IsKeyOrButton(message.message)) RunIdleTasks();
  if (!PreTranslate(message)) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return true;
}

void TApplication::ProcessMessages() {
  while (ProcessMessage()) {
  }
}

void TApplication::HandleMessage() {
  if (ProcessMessage()) return;
  if (!idle_tasks_.empty()) {
    // A wait that ends at once: the process now counts as waiting for input with none
    // pending (WaitForInputIdle). Windows already counts the empty PeekMessage; Wine counts
    // only a wait.
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT);
    RunNextIdleTask();
    return;
  }
  Idle();
  if (!terminated_) ::WaitMessage();
}

void TApplication::RunWhenIdle(std::function<void()> task) { idle_tasks_.push_back(std::move(task)); }

void TApplication::RunNextIdleTask() {
  // Taken off the list first: a task may run the loop itself (a modal box) or add tasks.
  std::function<void()> task = std::move(idle_tasks_.front());
  idle_tasks_.pop_front();
  Guard(task);
}

void TApplication::RunIdleTasks() {
  while (!idle_tasks_.empty()) RunNextIdleTask();
}

void TApplication::Run() {
  // Showing again would only bring the window to the front and take the foreground anew.
  if (main_form_ && !main_form_->Visible()) main_form_->Show();
  while (!terminated_) HandleMessage();
}

void TApplication::Terminate() {
  if (!terminated_) ::PostQuitMessage(0);
  terminated_ = true;
}

void TApplication::Idle() {
  POINT p;
  if (::GetCursorPos(&p)) UpdateMouseControl(p);
}

TControl* TApplication::FindControlAt(POINT screen_point, bool allow_disabled) {
  HWND window = ::WindowFromPoint(screen_point);
  TWinControl* host = nullptr;
  for (; window && !host; window = ::GetParent(window)) host = TWinControl::FromHandle(window);
  if (!host) return nullptr;
  POINT client = screen_point;
  ::ScreenToClient(host->HandleOrNull(), &client);
  if (TControl* c = host->ControlAtPos(client, allow_disabled)) return c;
  return host;
}

void TApplication::UpdateMouseControl(POINT screen_point) {
  TControl* capture = CaptureControl();
  TControl* target = FindControlAt(screen_point, true);
  if (capture && target != capture) target = nullptr;
  if (target == mouse_control_) return;
  TControl* old = mouse_control_;
  mouse_control_ = target;
  if (old) old->CMMouseLeave();
  // The leave handler may have destroyed the new control; ControlDestroyed cleared it then.
  if (mouse_control_ == target && target) target->CMMouseEnter();
}

TControl* TApplication::CaptureControl(bool verify) const {
  HWND captured = ::GetCapture();
  if (capture_control_) {
    if (!verify) return capture_control_;
    auto* w = dynamic_cast<TWinControl*>(capture_control_);
    HWND window = w ? w->HandleOrNull() : (capture_control_->Parent() ? capture_control_->Parent()->HandleOrNull() : nullptr);
    if (window && window == captured) return capture_control_;
  }
  if (!verify) return nullptr;
  return TWinControl::FromHandle(captured);
}

void TApplication::ControlDestroyed(TControl* control) {
  if (mouse_control_ == control) mouse_control_ = nullptr;
  if (capture_control_ == control) capture_control_ = nullptr;
  if (main_form_ == control) main_form_ = nullptr;
}

HWND TApplication::UtilityWindow() {
  if (!utility_window_) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = UtilityWindowProc;
    wc.hInstance = Instance();
    wc.lpszClassName = "StampwellUtilityWindow";
    ::RegisterClassExA(&wc);
    utility_window_ = ::CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, Instance(), nullptr);
  }
  return utility_window_;
}

}  // namespace stampwell
