#include "framework/controls.h"

#include <windowsx.h>

#include <algorithm>

#include "framework/application.h"
#include "framework/form_reader.h"
#include "framework/forms.h"

namespace stampwell {
namespace {

constexpr char kControlProperty[] = "StampwellControl";
constexpr char kWindowClass[] = "StampwellWindow";
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

bool Intersects(const RECT& a, const RECT& b) {
  RECT r;
  return ::IntersectRect(&r, &a, &b) != FALSE;
}

}  // namespace

TShiftState MouseShiftState(WPARAM wparam) {
  TShiftState s = 0;
  if (wparam & MK_SHIFT) s |= ssShift;
  if (wparam & MK_CONTROL) s |= ssCtrl;
  if (wparam & MK_LBUTTON) s |= ssLeft;
  if (wparam & MK_RBUTTON) s |= ssRight;
  if (wparam & MK_MBUTTON) s |= ssMiddle;
  if (::GetKeyState(VK_MENU) < 0) s |= ssAlt;
  return s;
}

TShiftState KeyboardShiftState() {
  TShiftState shift = 0;
  if (::GetKeyState(VK_SHIFT) < 0) shift |= ssShift;
  if (::GetKeyState(VK_CONTROL) < 0) shift |= ssCtrl;
  if (::GetKeyState(VK_MENU) < 0) shift |= ssAlt;
  return shift;
}

// ---- TControl ----

TControl::TControl(TComponent* owner) : TComponent(owner) {
  font_.OnChange = [this] {
    if (!in_font_sync_) parent_font_ = false;
    FontChanged();
  };
}

TControl::~TControl() {
  font_.OnChange = nullptr;
  Application().ControlDestroyed(this);
  if (parent_) parent_->RemoveControl(this);
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  if (parent_) parent_->RemoveControl(this);
  if (parent) parent->InsertControl(this);  // sets parent_
}

TForm* TControl::ParentForm() const {
  const TControl* c = this;
  while (c->parent_) c = c->parent_;
  return dynamic_cast<TForm*>(const_cast<TControl*>(c));
}

void TControl::SetBounds(int left, int top, int width, int height) {
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  Invalidate();
  left_ = left;
  top_ = top;
  width_ = width < 0 ? 0 : width;
  height_ = height < 0 ? 0 : height;
  Invalidate();
  BoundsChanged();
  if (parent_ && align_ != TAlign::alNone) parent_->Realign();
}

void TControl::SetAlign(TAlign align) {
  align_ = align;
  if (parent_) parent_->Realign();
}

void TControl::SetVisible(bool visible) {
  if (visible == visible_) return;
  if (!visible) Invalidate();
  visible_ = visible;
  VisibleChanged();
}

void TControl::VisibleChanged() { Invalidate(); }

bool TControl::Showing() const {
  for (const TControl* c = this; c; c = c->parent_) {
    if (!c->visible_) return false;
  }
  return true;
}

void TControl::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  EnabledChanged();
}

void TControl::SetCaption(const std::string& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  TextChanged();
}

void TControl::SetColor(TColor color) {
  parent_color_ = false;
  if (color == color_) return;
  color_ = color;
  ColorChanged();
}

void TControl::SetParentColor(bool v) {
  parent_color_ = v;
  if (v) ParentColorChanged();
}

void TControl::SetParentFont(bool v) {
  parent_font_ = v;
  if (v) ParentFontChanged();
}

void TControl::ParentFontChanged() {
  if (!parent_font_ || !parent_) return;
  in_font_sync_ = true;
  font_.Assign(parent_->Font());
  in_font_sync_ = false;
}

void TControl::ParentColorChanged() {
  if (!parent_color_ || !parent_) return;
  if (color_ != parent_->Color()) {
    color_ = parent_->Color();
    ColorChanged();
  }
}

void TControl::Invalidate() {}

void TControl::Update() {
  const TControl* c = this;
  while (c && !dynamic_cast<const TWinControl*>(c)) c = c->parent_;
  if (auto* w = dynamic_cast<const TWinControl*>(c); w && w->HandleOrNull()) ::UpdateWindow(w->HandleOrNull());
}

void TControl::Repaint() {
  Invalidate();
  Update();
}

POINT TControl::ClientToScreen(POINT p) const {
  if (auto* w = dynamic_cast<const TWinControl*>(this); w && w->HandleOrNull()) {
    ::ClientToScreen(w->HandleOrNull(), &p);
    return p;
  }
  if (!parent_) return p;
  return parent_->ClientToScreen(POINT{p.x + left_, p.y + top_});
}

POINT TControl::ScreenToClient(POINT p) const {
  POINT origin = ClientToScreen(POINT{0, 0});
  return POINT{p.x - origin.x, p.y - origin.y};
}

void TControl::Click() { FireEvent(OnClick, this); }

void TControl::WMLButtonDown(TShiftState shift, int x, int y) {
  if (capture_mouse_) {
    SetMouseCapture(true);
    clicked_ = true;
  }
  FireEvent(OnMouseDown, this, TMouseButton::mbLeft, shift, x, y);
}

void TControl::WMLButtonUp(TShiftState shift, int x, int y) {
  if (capture_mouse_) SetMouseCapture(false);
  if (clicked_) {
    clicked_ = false;
    if (x >= 0 && y >= 0 && x < width_ && y < height_) Click();
  }
  FireEvent(OnMouseUp, this, TMouseButton::mbLeft, shift, x, y);
}

void TControl::WMOtherButtonDown(TMouseButton button, TShiftState shift, int x, int y) {
  FireEvent(OnMouseDown, this, button, shift, x, y);
}

void TControl::WMOtherButtonUp(TMouseButton button, TShiftState shift, int x, int y) {
  FireEvent(OnMouseUp, this, button, shift, x, y);
}

void TControl::WMMouseMove(TShiftState shift, int x, int y) { FireEvent(OnMouseMove, this, shift, x, y); }

void TControl::CMMouseEnter() { FireEvent(OnMouseEnter, this); }
void TControl::CMMouseLeave() { FireEvent(OnMouseLeave, this); }

bool TControl::MouseCapture() const { return Application().CaptureControl() == this; }

void TControl::SetMouseCapture(bool capture) {
  auto* self_window = dynamic_cast<TWinControl*>(this);
  HWND window = self_window ? self_window->HandleOrNull() : (parent_ ? parent_->HandleOrNull() : nullptr);
  if (capture) {
    if (!window) return;
    Application().SetCaptureControl(this);
    ::SetCapture(window);
  } else if (Application().CaptureControl() == this) {
    Application().SetCaptureControl(nullptr);
    if (::GetCapture() == window) ::ReleaseCapture();
  }
}

bool TControl::SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) {
  if (name == "Left") SetLeft(context.Integer(value));
  else if (name == "Top") SetTop(context.Integer(value));
  else if (name == "Width") SetWidth(context.Integer(value));
  else if (name == "Height") SetHeight(context.Integer(value));
  else if (name == "Visible") SetVisible(context.Boolean(value));
  else if (name == "Enabled") SetEnabled(context.Boolean(value));
  else if (name == "Caption" || name == "Text") SetCaption(context.String(value));
  else if (name == "Color") SetColor(context.Color(value));
  else if (name == "ParentColor") SetParentColor(context.Boolean(value));
  else if (name == "ParentFont") SetParentFont(context.Boolean(value));
  else if (name == "Font.Name") font_.SetName(context.String(value));
  else if (name == "Font.Height") font_.SetHeight(context.Integer(value));
  else if (name == "Font.Size") font_.SetSize(context.Integer(value));
  else if (name == "Font.Color") font_.SetColor(context.Color(value));
  else if (name == "Font.Style") font_.SetStyle(context.FontStyles(value));
  else if (name == "Font.Charset") font_.SetCharset(static_cast<BYTE>(context.Charset(value)));
  else if (name == "Hint") SetHint(context.String(value));
  else if (name == "ShowHint") SetShowHint(context.Boolean(value));
  else if (name == "ParentShowHint") context.Boolean(value);
  else if (name == "Cursor") {
    static const std::vector<std::string> kCursors = {"crDefault", "crArrow", "crHandPoint", "crHourGlass", "crIBeam"};
    SetCursor(static_cast<TCursor>(context.Enum(value, kCursors)));
  } else if (name == "Align") {
    static const std::vector<std::string> kAligns = {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"};
    SetAlign(static_cast<TAlign>(context.Enum(value, kAligns)));
  } else if (name == "OnClick") context.Bind(OnClick, value);
  else if (name == "OnMouseDown") context.Bind(OnMouseDown, value);
  else if (name == "OnMouseUp") context.Bind(OnMouseUp, value);
  else if (name == "OnMouseMove") context.Bind(OnMouseMove, value);
  else if (name == "OnMouseEnter") context.Bind(OnMouseEnter, value);
  else if (name == "OnMouseLeave") context.Bind(OnMouseLeave, value);
  else return TComponent::SetProperty(name, value, context);
  return true;
}

// ---- TGraphicControl ----

void TGraphicControl::Invalidate() {
  if (parent_ && parent_->HandleOrNull()) {
    RECT r = BoundsRect();
    ::InvalidateRect(parent_->HandleOrNull(), &r, FALSE);
  }
}

void TGraphicControl::DrawNow(const std::function<void(TCanvas&)>& draw) {
  auto* host = dynamic_cast<TCustomControl*>(parent_);
  if (!host || !host->HandleOrNull() || !visible_) return;
  host->EnsureSurface();
  HDC dc = host->surface_dc_.get();
  if (!dc) return;
  int saved = ::SaveDC(dc);
  ::SetViewportOrgEx(dc, left_, top_, nullptr);
  ::IntersectClipRect(dc, 0, 0, width_, height_);
  {
    TCanvas canvas(dc);
    draw(canvas);
  }
  ::RestoreDC(dc, saved);
  if (::IsWindowVisible(host->HandleOrNull())) {
    scoped_window_dc window_dc(host->HandleOrNull());
    ::BitBlt(window_dc.get(), left_, top_, width_, height_, dc, left_, top_, SRCCOPY);
  }
}

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
    if (handle_) w->HandleNeeded();
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

void TWinControl::CreateOwnWindow() {
  CreateParams params;
  CreateParamsFor(params);
  HWND parent_window = nullptr;
  bool top_level = (params.style & WS_CHILD) == 0;
  if (!top_level) {
    if (!parent_) return;
    parent_window = parent_->HandleOrNull();
    if (!parent_window) return;
  }
  DWORD style = params.style | StateStyle();
  if (top_level) style &= ~WS_VISIBLE;  // forms show through Show, after placing themselves
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  bool own_class = params.class_name.empty();
  if (own_class) RegisterOwnWindowClass();
  HMENU id = top_level ? nullptr : reinterpret_cast<HMENU>(static_cast<INT_PTR>(g_next_control_id++));
  HWND window = ::CreateWindowExA(params.ex_style, own_class ? kWindowClass : params.class_name.c_str(),
                                  params.caption.c_str(), style, left_, top_, width_, height_, parent_window, id,
                                  instance, own_class ? this : nullptr);
  if (!window) throw Exception("Error creating window of " + (Name().empty() ? std::string("a control") : Name()));
  if (!own_class) {
    ::SetPropA(window, kControlProperty, this);
    handle_ = window;
    original_proc_ = reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(window, GWLP_WNDPROC));
    ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ControlWindowProc));
  }
  ::SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), FALSE);
  CreateWnd();
  // Windowed children in tab order: creation order is the order that Tab walks.
  std::vector<TWinControl*> children;
  for (TControl* c : controls_) {
    if (auto* w = dynamic_cast<TWinControl*>(c)) children.push_back(w);
  }
  std::stable_sort(children.begin(), children.end(), [](TWinControl* a, TWinControl* b) {
    int ta = a->tab_order_ < 0 ? 0x7FFFFFFF : a->tab_order_, tb = b->tab_order_ < 0 ? 0x7FFFFFFF : b->tab_order_;
    return ta < tb;
  });
  for (TWinControl* w : children) w->HandleNeeded();
  Realign();
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
    if (original != ::DefWindowProcA) ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    self->handle_ = nullptr;
  }
  return result;
}

LRESULT TWinControl::DefaultHandler(UINT message, WPARAM wparam, LPARAM lparam) {
  if (!handle_) return 0;
  return ::CallWindowProcA(original_proc_ ? original_proc_ : ::DefWindowProcA, handle_, message, wparam, lparam);
}

HBRUSH TWinControl::CtlColor(HDC dc) {
  ::SetTextColor(dc, ColorToRGB(font_.Color()));
  ::SetBkColor(dc, ColorToRGB(color_));
  if (!color_brush_) color_brush_.reset(::CreateSolidBrush(ColorToRGB(color_)));
  return color_brush_.get();
}

LRESULT TWinControl::WndProc(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      if (lparam) {
        if (TWinControl* child = FromHandle(reinterpret_cast<HWND>(lparam)); child && child != this) {
          if (child->HandleCommand(HIWORD(wparam))) return 0;
        }
      }
      break;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lparam);
      if (TWinControl* child = FromHandle(header->hwndFrom); child && child != this) {
        LRESULT result = 0;
        if (child->HandleNotify(header, result)) return result;
      }
      break;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
      if (TWinControl* child = FromHandle(reinterpret_cast<HWND>(lparam)); child && child != this) {
        if (HBRUSH brush = child->CtlColor(reinterpret_cast<HDC>(wparam))) return reinterpret_cast<LRESULT>(brush);
      }
      break;
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
    case WM_MOUSEMOVE: {
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
  BoundsChanged();
  if (resized) Realign();
  if (parent_ && align_ != TAlign::alNone) parent_->Realign();
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
  if (handle_) ::ShowWindow(handle_, visible_ ? SW_SHOWNA : SW_HIDE);
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

// ---- TCustomControl ----

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner) { capture_mouse_ = true; }

TCustomControl::~TCustomControl() {
  if (surface_dc_ && surface_old_) ::SelectObject(surface_dc_.get(), surface_old_);
}

void TCustomControl::EnsureSurface() {
  if (!handle_) return;
  RECT client;
  ::GetClientRect(handle_, &client);
  int w = client.right > 0 ? client.right : 1, h = client.bottom > 0 ? client.bottom : 1;
  if (surface_dc_ && w == surface_width_ && h == surface_height_) return;
  if (surface_dc_ && surface_old_) ::SelectObject(surface_dc_.get(), surface_old_);
  surface_old_ = nullptr;
  surface_bitmap_.reset();
  surface_dc_.reset();
  scoped_window_dc window_dc(handle_);
  surface_dc_.reset(::CreateCompatibleDC(window_dc.get()));
  surface_bitmap_.reset(::CreateCompatibleBitmap(window_dc.get(), w, h));
  if (!surface_dc_ || !surface_bitmap_) {
    surface_bitmap_.reset();
    surface_dc_.reset();
    return;
  }
  surface_old_ = ::SelectObject(surface_dc_.get(), surface_bitmap_.get());
  surface_width_ = w;
  surface_height_ = h;
  PaintInto(surface_dc_.get(), RECT{0, 0, w, h});
}

HDC TCustomControl::SurfaceDC() {
  EnsureSurface();
  return surface_dc_.get();
}

COLORREF TCustomControl::SurfacePixel(int x, int y) {
  HDC dc = SurfaceDC();
  return dc ? ::GetPixel(dc, x, y) : CLR_INVALID;
}

void TCustomControl::PaintSurface() {
  EnsureSurface();
  if (!surface_dc_) return;
  RECT all{0, 0, surface_width_, surface_height_};
  PaintInto(surface_dc_.get(), all);
  if (::IsWindowVisible(handle_)) {
    scoped_window_dc window_dc(handle_);
    ::BitBlt(window_dc.get(), 0, 0, surface_width_, surface_height_, surface_dc_.get(), 0, 0, SRCCOPY);
  }
}

void TCustomControl::PaintBackground(TCanvas& canvas) {
  canvas.Brush().Color = color_;
  canvas.FillRect(RECT{0, 0, surface_width_, surface_height_});
}

void TCustomControl::PaintInto(HDC dc, const RECT& area) {
  int saved = ::SaveDC(dc);
  ::IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
  {
    TCanvas canvas(dc);
    canvas.Font() = font_;
    PaintBackground(canvas);
  }
  for (TControl* c : controls_) {
    auto* g = dynamic_cast<TGraphicControl*>(c);
    if (!g || !g->Visible() || !Intersects(g->BoundsRect(), area)) continue;
    int inner = ::SaveDC(dc);
    ::SetViewportOrgEx(dc, g->Left(), g->Top(), nullptr);
    ::IntersectClipRect(dc, 0, 0, g->Width(), g->Height());
    {
      TCanvas canvas(dc);
      try {
        g->Paint(canvas);
      } catch (...) {
        Application().HandleException(std::current_exception());
      }
    }
    ::RestoreDC(dc, inner);
  }
  ::RestoreDC(dc, saved);
}

void TCustomControl::RouteMouse(UINT message, WPARAM wparam, LPARAM lparam) {
  POINT p{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
  TControl* target = nullptr;
  TControl* captured = Application().CaptureControl();
  if (captured && captured->Parent() == this && !dynamic_cast<TWinControl*>(captured)) {
    target = captured;
  } else if (!captured || captured == this) {
    target = ControlAtPos(p, false);
  }
  if (!target) target = this;
  int x = p.x, y = p.y;
  if (target != this) {
    x -= target->Left();
    y -= target->Top();
  }
  TShiftState shift = MouseShiftState(wparam);
  switch (message) {
    case WM_LBUTTONDOWN: target->WMLButtonDown(shift, x, y); break;
    case WM_LBUTTONUP: target->WMLButtonUp(shift, x, y); break;
    case WM_RBUTTONDOWN: target->WMOtherButtonDown(TMouseButton::mbRight, shift, x, y); break;
    case WM_RBUTTONUP: target->WMOtherButtonUp(TMouseButton::mbRight, shift, x, y); break;
    case WM_MBUTTONDOWN: target->WMOtherButtonDown(TMouseButton::mbMiddle, shift, x, y); break;
    case WM_MBUTTONUP: target->WMOtherButtonUp(TMouseButton::mbMiddle, shift, x, y); break;
    default: target->WMMouseMove(shift, x, y); break;
  }
}

LRESULT TCustomControl::WndProc(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = ::BeginPaint(handle_, &ps);
      EnsureSurface();
      if (surface_dc_) {
        PaintInto(surface_dc_.get(), ps.rcPaint);
        ::BitBlt(dc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left,
                 ps.rcPaint.bottom - ps.rcPaint.top, surface_dc_.get(), ps.rcPaint.left, ps.rcPaint.top, SRCCOPY);
      }
      ::EndPaint(handle_, &ps);
      return 0;
    }
    case WM_PRINTCLIENT: {
      EnsureSurface();
      if (surface_dc_) {
        PaintInto(surface_dc_.get(), RECT{0, 0, surface_width_, surface_height_});
        ::BitBlt(reinterpret_cast<HDC>(wparam), 0, 0, surface_width_, surface_height_, surface_dc_.get(), 0, 0, SRCCOPY);
      }
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MOUSEMOVE:
      RouteMouse(message, wparam, lparam);
      return 0;
    case WM_CAPTURECHANGED: {
      TControl* captured = Application().CaptureControl(false);
      if (captured && (captured == this || captured->Parent() == this)) {
        Application().SetCaptureControl(nullptr);
        captured->clicked_ = false;
      }
      break;
    }
    case WM_SETCURSOR:
      if (LOWORD(lparam) == HTCLIENT) {
        POINT p;
        ::GetCursorPos(&p);
        ::ScreenToClient(handle_, &p);
        TControl* c = ControlAtPos(p, false);
        TCursor cursor = c ? c->Cursor() : cursor_;
        if (cursor == TCursor::crHandPoint) {
          ::SetCursor(::LoadCursorA(nullptr, MAKEINTRESOURCEA(32649) /* IDC_HAND */));
          return TRUE;
        }
      }
      break;
    case WM_SIZE: {
      RECT r;
      ::GetWindowRect(handle_, &r);
      if (parent_) {
        POINT origin{r.left, r.top};
        ::ScreenToClient(parent_->HandleOrNull(), &origin);
        r.right = origin.x + (r.right - r.left);
        r.bottom = origin.y + (r.bottom - r.top);
        r.left = origin.x;
        r.top = origin.y;
      }
      width_ = r.right - r.left;
      height_ = r.bottom - r.top;
      Realign();
      break;
    }
    default:
      break;
  }
  return TWinControl::WndProc(message, wparam, lparam);
}

bool TCustomControl::SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) {
  if (name == "DoubleBuffered") SetDoubleBuffered(context.Boolean(value));
  else return TWinControl::SetProperty(name, value, context);
  return true;
}

}  // namespace stampwell
