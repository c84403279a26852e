// TWinControl: the windowed control, its window procedure and its windowless children.

#include "framework/controls.h"

#include <windowsx.h>

#include <algorithm>

#include "framework/application.h"
#include "framework/form_reader.h"
#include "framework/forms.h"
#include "framework/window_text.h"

namespace stampwell {
namespace {

constexpr char kControlProperty[] = "StampwellControl";
constexpr const char* kWindowClass = kOwnWindowClass;
int g_next_control_id = 100;  // above IDOK/IDCANCEL, which the dialog manager sends

void RegisterOwnWindowClass() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(wc);
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = ControlWindowProc;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512) /* IDC_ARROW */);
  wc.hIcon = ::LoadIconA(wc.hInstance, "MAINICON");
  wc.lpszClassName = kWindowClass;
  ::RegisterClassExA(&wc);
  registered = true;
}

}  // namespace

// ---- TWinControl ----

TWinControl::TWinControl(TComponent* owner) : TControl(owner) { capture_mouse_ = false; }

TWinControl::~TWinControl() {
  if (TForm* form = ParentForm(); form && form != this) form->ForgetControl(this);
  destroying_ = true;
  for (TControl* c : controls_) c->parent_ = nullptr;
  controls_.clear();
  DestroyHandle();
}

TWinControl* TWinControl::FromHandle(HWND window) {
  if (!window) return nullptr;
  return static_cast<TWinControl*>(::GetPropA(window, kControlProperty));
}

void TWinControl::InsertControl(TControl* control) {
  controls_.push_back(control);
  control->parent_ = this;
  control->ParentFontChanged();
  control->ParentColorChanged();
  if (auto* w = dynamic_cast<TWinControl*>(control)) {
    if (handle_ && w->visible_) w->HandleNeeded();
  } else {
    control->Invalidate();
  }
  if (control->Align() != TAlign::alNone) Realign();
}

void TWinControl::RemoveControl(TControl* control) {
  if (destroying_) return;
  control->Invalidate();
  controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
  control->parent_ = nullptr;
  if (auto* w = dynamic_cast<TWinControl*>(control)) w->DestroyHandle();
}

TControl* TWinControl::ControlAtPos(POINT p, bool allow_disabled) const {
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    TControl* c = *it;
    if (dynamic_cast<TWinControl*>(c)) continue;
    if (!c->Visible() || (!allow_disabled && !c->Enabled())) continue;
    if (p.x >= c->Left() && p.y >= c->Top() && p.x < c->Left() + c->Width() && p.y < c->Top() + c->Height()) return c;
  }
  return nullptr;
}

HWND TWinControl::Handle() {
  HandleNeeded();
  return handle_;
}

DWORD TWinControl::StateStyle() const {
  DWORD style = 0;
  if (visible_) style |= WS_VISIBLE;
  if (!enabled_) style |= WS_DISABLED;
  if (tab_stop_) style |= WS_TABSTOP;
  return style;
}

void TWinControl::CreateParamsFor(CreateParams& params) {
  params.caption = caption_;
}

void TWinControl::HandleNeeded() {
  if (handle_) return;
  CreateOwnWindow();
}

std::vector<TWinControl*> TWinControl::WindowedChildrenInTabOrder() const {
  std::vector<TWinControl*> children;
  for (TControl* c : controls_) {
    if (auto* w = dynamic_cast<TWinControl*>(c)) children.push_back(w);
  }
  std::stable_sort(children.begin(), children.end(), [](TWinControl* a, TWinControl* b) {
    int ta = a->tab_order_ < 0 ? 0x7FFFFFFF : a->tab_order_, tb = b->tab_order_ < 0 ? 0x7FFFFFFF : b->tab_order_;
    return ta < tb;
  });
  return children;
}

void TWinControl::CreateOwnWindow() {
  CreateParams params;
  CreateParamsFor(params);
  HWND parent_window = nullptr;
  bool top_level = (params.style & WS_CHILD) == 0;
  if (!top_level) {
    if (!parent_) return;
    // A hidden parent has no window yet: asked for this one, it makes its own first, and
    // with it this one when this one is visible.
    parent_window = parent_->Handle();
    if (!parent_window || handle_) return;
  }
  DWORD style = params.style | StateStyle();
  if (top_level) style &= ~WS_VISIBLE;  // forms show through Show, after placing themselves
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  bool own_class = params.class_name.empty();
  if (own_class) RegisterOwnWindowClass();
  HMENU id = top_level ? nullptr : reinterpret_cast<HMENU>(static_cast<INT_PTR>(g_next_control_id++));
  unicode_ = params.unicode && !own_class;
  HWND window = unicode_ ? ::CreateWindowExW(params.ex_style, WideFromAnsi(params.class_name).c_str(),
                                             WideFromAnsi(params.caption).c_str(), style, left_, top_, width_, height_,
                                             parent_window, id, instance, nullptr)
                         : ::CreateWindowExA(params.ex_style, own_class ? kWindowClass : params.class_name.c_str(),
                                             params.caption.c_str(), style, left_, top_, width_, height_,
                                             parent_window, id, instance, own_class ? this : nullptr);
  if (!window) throw Exception("Error creating window of " + (Name().empty() ? std::string("a control") : Name()));
  if (!own_class) {
    ::SetPropA(window, kControlProperty, this);
    handle_ = window;
    // Subclassed through the W functions, a Unicode window stays one: its messages then come
    // in their Unicode form and go on to its own procedure in that form.
    if (unicode_) {
      original_proc_ = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(window, GWLP_WNDPROC));
      ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ControlWindowProc));
    } else {
      original_proc_ = reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(window, GWLP_WNDPROC));
      ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ControlWindowProc));
    }
  }
  if (!top_level) PlaceInTabOrder();
  ::SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), FALSE);
  CreateWnd();
  // A hidden form makes its children's windows when it shows: until then its creation step
  // changes only the controls, not windows.
  if (!top_level || visible_) CreateVisibleChildren();
  Realign();
}

void TWinControl::CreateVisibleChildren() {
  // In tab order: creation order is the order that Tab walks. A hidden child gets its window
  // when it comes to show or when its handle is asked for, so windows that nobody sees yet
  // cost the first paint nothing.
  for (TWinControl* w : WindowedChildrenInTabOrder()) {
    if (!w->visible_) continue;
    if (w->handle_) w->CreateVisibleChildren();
    else w->HandleNeeded();
  }
}

void TWinControl::PlaceInTabOrder() {
  // A new child window goes below its siblings, and Tab walks siblings from the top. One made
  // after a sibling that comes later in the tab order moves up to just below the last
  // earlier sibling that has a window.
  HWND after = HWND_TOP;
  for (TWinControl* w : parent_->WindowedChildrenInTabOrder()) {
    if (w == this) break;
    if (w->handle_) after = w->handle_;
  }
  if (::GetWindow(handle_, GW_HWNDPREV) != (after == HWND_TOP ? nullptr : after))
    ::SetWindowPos(handle_, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TWinControl::RecreateWnd() {
  if (!handle_) return;
  DestroyHandle();
  HandleNeeded();
}

void TWinControl::DestroyHandle() {
  if (!handle_) return;
  HWND window = handle_;
  ::DestroyWindow(window);  // WM_NCDESTROY clears handle_ of this and every child
  handle_ = nullptr;
}

LRESULT CALLBACK ControlWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  TWinControl* self = TWinControl::FromHandle(window);
  if (!self && message == WM_NCCREATE) {
    self = static_cast<TWinControl*>(reinterpret_cast<CREATESTRUCTA*>(lparam)->lpCreateParams);
    if (self) {
      ::SetPropA(window, kControlProperty, self);
      self->handle_ = window;
      self->original_proc_ = ::DefWindowProcA;
    }
  }
  if (!self) return ::DefWindowProcA(window, message, wparam, lparam);
  LRESULT result = 0;
  try {
    result = self->WndProc(message, wparam, lparam);
  } catch (...) {
    Application().HandleException(std::current_exception());
    result = self->DefaultHandler(message, wparam, lparam);
  }
  if (message == WM_NCDESTROY) {
    WNDPROC original = self->original_proc_;
    ::RemovePropA(window, kControlProperty);
    if (original != ::DefWindowProcA) {
      if (self->unicode_) ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
      else ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    }
    self->handle_ = nullptr;
  }
  return result;
}

LRESULT TWinControl::DefaultHandler(UINT message, WPARAM wparam, LPARAM lparam) {
  if (!handle_) return 0;
  if (unicode_) return ::CallWindowProcW(original_proc_, handle_, message, wparam, lparam);
  return ::CallWindowProcA(original_proc_ ? original_proc_ : ::DefWindowProcA, handle_, message, wparam, lparam);
}

HBRUSH TWinControl::CtlColor(HDC dc) {
  ::SetTextColor(dc, ColorToRGB(font_.Color()));
  ::SetBkColor(dc, ColorToRGB(color_));
  if (!color_brush_) color_brush_.reset(::CreateSolidBrush(ColorToRGB(color_)));
  return color_brush_.get();
}

bool TWinControl::ChildAnswers(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
  HWND from = message == WM_NOTIFY ? reinterpret_cast<NMHDR*>(lparam)->hwndFrom : reinterpret_cast<HWND>(lparam);
  TWinControl* child = from ? FromHandle(from) : nullptr;
  if (!child || child == this) return false;
  if (message == WM_COMMAND) {
    result = 0;
    return child->HandleCommand(HIWORD(wparam));
  }
  if (message == WM_NOTIFY) return child->HandleNotify(reinterpret_cast<NMHDR*>(lparam), result);
  HBRUSH brush = child->CtlColor(reinterpret_cast<HDC>(wparam));
  result = reinterpret_cast<LRESULT>(brush);
  return brush != nullptr;
}

LRESULT TWinControl::MouseMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  // A wrapped common control does its own handling first; the events follow.
  LRESULT result = DefaultHandler(message, wparam, lparam);
  int x = GET_X_LPARAM(lparam), y = GET_Y_LPARAM(lparam);
  TShiftState shift = MouseShiftState(wparam);
  if (message == WM_LBUTTONDOWN) WMLButtonDown(shift, x, y);
  else if (message == WM_LBUTTONUP) WMLButtonUp(shift, x, y);
  else if (message == WM_RBUTTONDOWN) WMOtherButtonDown(TMouseButton::mbRight, shift, x, y);
  else if (message == WM_RBUTTONUP) WMOtherButtonUp(TMouseButton::mbRight, shift, x, y);
  else WMMouseMove(shift, x, y);
  return result;
}

LRESULT TWinControl::WndProc(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX: {
      LRESULT result = 0;
      if (ChildAnswers(message, wparam, lparam, result)) return result;
      break;
    }
    case WM_SETFOCUS: {
      LRESULT result = DefaultHandler(message, wparam, lparam);
      if (TForm* form = ParentForm(); form && form != this) form->SetFocusedControl(this);
      return result;
    }
    case WM_KEYDOWN: {
      unsigned short key = static_cast<unsigned short>(wparam);
      TShiftState shift = KeyboardShiftState();
      FireEvent(OnKeyDown, this, key, shift);
      if (key == 0) return 0;
      wparam = key;
      break;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MOUSEMOVE:
      return MouseMessage(message, wparam, lparam);
    default:
      break;
  }
  return DefaultHandler(message, wparam, lparam);
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  bool resized = width != width_ || height != height_;
  left_ = left;
  top_ = top;
  width_ = width < 0 ? 0 : width;
  height_ = height < 0 ? 0 : height;
  if (handle_) ::SetWindowPos(handle_, nullptr, left_, top_, width_, height_, SWP_NOZORDER | SWP_NOACTIVATE);
  BoundsSetInPixels();
  BoundsChanged();
  if (resized) Realign();
  if (parent_ && align_ != TAlign::alNone) parent_->Realign();
}

void TWinControl::ChangeScale(unsigned dpi) {
  TControl::ChangeScale(dpi);
  for (TControl* c : controls_) c->ChangeScale(dpi);
}

int TWinControl::ClientWidth() const {
  if (!handle_) return width_;
  RECT r;
  ::GetClientRect(handle_, &r);
  return r.right;
}

int TWinControl::ClientHeight() const {
  if (!handle_) return height_;
  RECT r;
  ::GetClientRect(handle_, &r);
  return r.bottom;
}

void TWinControl::Invalidate() {
  if (handle_) ::InvalidateRect(handle_, nullptr, TRUE);
}

void TWinControl::SetVisible(bool visible) { TControl::SetVisible(visible); }

void TWinControl::VisibleChanged() {
  if (handle_) {
    if (visible_) CreateVisibleChildren();
    ::ShowWindow(handle_, visible_ ? SW_SHOWNA : SW_HIDE);
  } else if (visible_ && parent_ && parent_->handle_) {
    HandleNeeded();  // made as it comes to show
  }
}

void TWinControl::EnabledChanged() {
  if (handle_) ::EnableWindow(handle_, enabled_ ? TRUE : FALSE);
}

void TWinControl::TextChanged() {
  if (handle_) ::SetWindowTextA(handle_, caption_.c_str());
}

void TWinControl::FontChanged() {
  if (handle_) ::SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), TRUE);
  for (TControl* c : controls_) c->ParentFontChanged();
  Invalidate();
}

void TWinControl::ColorChanged() {
  color_brush_.reset();
  for (TControl* c : controls_) c->ParentColorChanged();
  Invalidate();
}

void TWinControl::ParentFontChanged() { TControl::ParentFontChanged(); }
void TWinControl::ParentColorChanged() { TControl::ParentColorChanged(); }

void TWinControl::SetTabOrder(int order) { tab_order_ = order; }

void TWinControl::SetTabStop(bool v) {
  tab_stop_ = v;
  if (handle_) {
    LONG_PTR style = ::GetWindowLongPtrA(handle_, GWL_STYLE);
    ::SetWindowLongPtrA(handle_, GWL_STYLE, v ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP));
  }
}

void TWinControl::SetFocus() {
  if (HWND w = Handle()) ::SetFocus(w);
}

bool TWinControl::Focused() const { return handle_ && ::GetFocus() == handle_; }

bool TWinControl::CanFocus() const { return Showing() && enabled_; }

void TWinControl::Realign() {
  RECT area{0, 0, ClientWidth(), ClientHeight()};
  for (TAlign pass : {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient}) {
    for (TControl* c : controls_) {
      if (c->Align() != pass || !c->Visible()) continue;
      int w = area.right - area.left, h = area.bottom - area.top;
      TAlign saved = c->align_;
      c->align_ = TAlign::alNone;  // no realign from within
      switch (pass) {
        case TAlign::alTop: c->SetBounds(area.left, area.top, w, c->Height()); area.top += c->Height(); break;
        case TAlign::alBottom: c->SetBounds(area.left, area.bottom - c->Height(), w, c->Height()); area.bottom -= c->Height(); break;
        case TAlign::alLeft: c->SetBounds(area.left, area.top, c->Width(), h); area.left += c->Width(); break;
        case TAlign::alRight: c->SetBounds(area.right - c->Width(), area.top, c->Width(), h); area.right -= c->Width(); break;
        default: c->SetBounds(area.left, area.top, w, h); break;
      }
      c->align_ = saved;
    }
  }
}

bool TWinControl::SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) {
  if (name == "TabOrder") SetTabOrder(context.Integer(value));
  else if (name == "TabStop") SetTabStop(context.Boolean(value));
  else if (name == "OnEnter") context.Bind(OnEnter, value);
  else if (name == "OnExit") context.Bind(OnExit, value);
  else if (name == "OnKeyDown") context.Bind(OnKeyDown, value);
  else return TControl::SetProperty(name, value, context);
  return true;
}

void TWinControl::ReadChild(TComponent* child, FormReadContext& context) {
  if (auto* control = dynamic_cast<TControl*>(child)) {
    control->SetParent(this);
    return;
  }
  TControl::ReadChild(child, context);
}

}  // namespace stampwell
