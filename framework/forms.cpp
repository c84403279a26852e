#include "framework/forms.h"

#include <vector>

#include "framework/application.h"
#include "framework/form_reader.h"
#include "framework/menus.h"
#include "framework/std_controls.h"
#include "framework/window_dpi.h"

namespace stampwell {

TForm::TForm(TComponent* owner) : TCustomControl(owner) {
  visible_ = false;  // a form shows when asked to
  parent_color_ = false;
  parent_font_ = false;
  width_ = 320;
  height_ = 240;
}

TForm::~TForm() {
  // The controls go first, while the form is still whole enough to be told.
  DestroyComponents();
  FireEvent(OnDestroy, this);
  Application().ControlDestroyed(this);
}

void TForm::RegisterHandler(const std::string& name, TEventHandler handler) { handlers_[name] = std::move(handler); }

void TForm::RegisterHandlers(std::initializer_list<std::pair<const char*, TEventHandler>> handlers) {
  for (const auto& [name, handler] : handlers) handlers_[name] = handler;
}

const TEventHandler* TForm::FindHandler(const std::string& name) const {
  auto it = handlers_.find(name);
  return it == handlers_.end() ? nullptr : &it->second;
}

void TForm::LoadFromResource(const std::string& resource_name) {
  LoadFromText(FormResourceText(resource_name), resource_name);
}

void TForm::LoadFromText(const std::string& text, const std::string& form_name) {
  ReadForm(*this, text, form_name);
  HandleNeeded();
  // The form's numbers are 96-dpi ones; the window shows at its monitor's DPI from the start,
  // and OnCreate sees the form as it will show.
  const unsigned dpi = WindowDpi(handle_);
  if (dpi != dpi_) ChangeScale(dpi);
  DoCreate();
}

DWORD TForm::FrameStyle(DWORD& ex_style) const {
  DWORD style = WS_CLIPCHILDREN;
  ex_style = WS_EX_CONTROLPARENT;
  DWORD icons = 0;
  if (border_icons_ & biSystemMenu) {
    icons |= WS_SYSMENU;
    if (border_icons_ & biMinimize) icons |= WS_MINIMIZEBOX;
    if (border_icons_ & biMaximize) icons |= WS_MAXIMIZEBOX;
  }
  switch (border_style_) {
    case TFormBorderStyle::bsNone: style |= WS_POPUP; break;
    case TFormBorderStyle::bsSingle: style |= WS_OVERLAPPED | WS_CAPTION | icons; break;
    case TFormBorderStyle::bsSizeable: style |= WS_OVERLAPPED | WS_CAPTION | WS_THICKFRAME | icons; break;
    case TFormBorderStyle::bsDialog:
      style |= WS_POPUP | WS_CAPTION | (icons & WS_SYSMENU) | DS_MODALFRAME;
      ex_style |= WS_EX_DLGMODALFRAME;
      break;
    case TFormBorderStyle::bsToolWindow:
      style |= WS_POPUP | WS_CAPTION | (icons & WS_SYSMENU);
      ex_style |= WS_EX_TOOLWINDOW;
      break;
    case TFormBorderStyle::bsSizeToolWin:
      style |= WS_POPUP | WS_CAPTION | WS_THICKFRAME | (icons & WS_SYSMENU);
      ex_style |= WS_EX_TOOLWINDOW;
      break;
  }
  return style;
}

void TForm::CreateParamsFor(CreateParams& params) {
  params.class_name.clear();
  params.caption = caption_;
  params.style = FrameStyle(params.ex_style);
  if (client_width_ >= 0 || client_height_ >= 0) {
    RECT r{0, 0, client_width_ >= 0 ? client_width_ : 0, client_height_ >= 0 ? client_height_ : 0};
    ::AdjustWindowRectEx(&r, params.style, menu_ != nullptr, params.ex_style);
    if (client_width_ >= 0) width_ = r.right - r.left;
    if (client_height_ >= 0) height_ = r.bottom - r.top;
  }
}

void TForm::CreateWnd() {
  if (menu_) ::SetMenu(handle_, menu_->Handle());
  // The client size of the resource holds exactly, whatever the menu bar's height came to be.
  ApplyClientSize();
}

void TForm::ApplyClientSize() {
  if (!handle_ || (client_width_ < 0 && client_height_ < 0)) return;
  RECT window, client;
  ::GetWindowRect(handle_, &window);
  ::GetClientRect(handle_, &client);
  int w = window.right - window.left, h = window.bottom - window.top;
  if (client_width_ >= 0) w += client_width_ - client.right;
  if (client_height_ >= 0) h += client_height_ - client.bottom;
  client_width_ = client_height_ = -1;
  TWinControl::SetBounds(left_, top_, w, h);
}

int TForm::ClientWidth() const {
  if (!handle_ && client_width_ >= 0) return client_width_;
  return TWinControl::ClientWidth();
}

int TForm::ClientHeight() const {
  if (!handle_ && client_height_ >= 0) return client_height_;
  return TWinControl::ClientHeight();
}

void TForm::SetClientWidth(int width) {
  client_width_ = width;
  ApplyClientSize();
}

void TForm::SetClientHeight(int height) {
  client_height_ = height;
  ApplyClientSize();
}

void TForm::SetBounds(int left, int top, int width, int height) {
  if (width != width_) client_width_ = -1;
  if (height != height_) client_height_ = -1;
  TWinControl::SetBounds(left, top, width, height);
}

void TForm::ChangeScale(unsigned dpi) {
  if (!design_known_) BoundsSetInPixels();
  // The client area scales; the frame, the caption and the menu bar are the system's, at
  // whatever size it draws them at this DPI.
  int width = ScaleToDpi(DesignWidth(), dpi), height = ScaleToDpi(DesignHeight(), dpi);
  if (handle_) {
    RECT window, client;
    ::GetWindowRect(handle_, &window);
    ::GetClientRect(handle_, &client);
    width = ScaleToDpi(UnscaleFromDpi(client.right, dpi_), dpi) + (window.right - window.left) - client.right;
    height = ScaleToDpi(UnscaleFromDpi(client.bottom, dpi_), dpi) + (window.bottom - window.top) - client.bottom;
  }
  dpi_ = dpi;
  // Until each control has been placed at the new DPI, its pixel bounds are the old DPI's:
  // what the resizing does to them meanwhile says nothing about their 96-dpi bounds.
  rescaling_ = true;
  placing_from_design_ = true;
  TWinControl::SetBounds(left_, top_, width, height);
  placing_from_design_ = false;
  font_.SetPixelsPerInch(dpi);
  for (TControl* c : controls_) c->ChangeScale(dpi);
  rescaling_ = false;
  Realign();
  Resize();
  Invalidate();
}

void TForm::DpiChanged(unsigned dpi, const RECT& suggested) {
  if (dpi != dpi_) ChangeScale(dpi);
  placing_from_design_ = true;
  TWinControl::SetBounds(suggested.left, suggested.top, suggested.right - suggested.left, suggested.bottom - suggested.top);
  placing_from_design_ = false;
  KeepInsideWorkArea();
}

void TForm::KeepInsideWorkArea() {
  if (!handle_ || window_state_ != TWindowState::wsNormal) return;
  const RECT kept = KeptInside(BoundsRect(), WorkAreaOf(handle_));
  placing_from_design_ = true;
  TWinControl::SetBounds(kept.left, kept.top, kept.right - kept.left, kept.bottom - kept.top);
  placing_from_design_ = false;
}

void TForm::SetBorderStyle(TFormBorderStyle style) {
  border_style_ = style;
  if (handle_) {
    DWORD ex = 0;
    DWORD s = FrameStyle(ex) | (::GetWindowLongA(handle_, GWL_STYLE) & (WS_VISIBLE | WS_DISABLED));
    ::SetWindowLongA(handle_, GWL_STYLE, static_cast<LONG>(s));
    ::SetWindowLongA(handle_, GWL_EXSTYLE, static_cast<LONG>(ex));
    ::SetWindowPos(handle_, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  }
}

void TForm::SetBorderIcons(TBorderIcons icons) {
  border_icons_ = icons;
  if (handle_) SetBorderStyle(border_style_);
}

void TForm::SetWindowState(TWindowState state) {
  window_state_ = state;
  if (handle_ && visible_) {
    ::ShowWindow(handle_, state == TWindowState::wsMaximized ? SW_MAXIMIZE
                          : state == TWindowState::wsMinimized ? SW_MINIMIZE : SW_RESTORE);
  }
}

void TForm::SetMenu(TMainMenu* menu) {
  menu_ = menu;
  if (handle_) ::SetMenu(handle_, menu_ ? menu_->Handle() : nullptr);
}

void TForm::SetActiveControl(TWinControl* control) {
  if (control && handle_ && control->HandleOrNull()) {
    control->SetFocus();
  } else {
    active_control_ = control;
  }
}

void TForm::SetFocusedControl(TWinControl* control) {
  if (control == active_control_) return;
  TWinControl* old = active_control_;
  active_control_ = control;
  if (old) old->DoExit();
  // The exit handler may have moved the focus on already.
  if (active_control_ == control && control) control->DoEnter();
}

void TForm::ForgetControl(TWinControl* control) {
  if (active_control_ == control) active_control_ = nullptr;
}

void TForm::PlaceOnFirstShow() {
  if (placed_) return;
  placed_ = true;
  if (position_ == TPosition::poScreenCenter || position_ == TPosition::poDesktopCenter ||
      ((position_ == TPosition::poMainFormCenter || position_ == TPosition::poOwnerFormCenter) && !Application().MainForm())) {
    SetBounds(TScreen::Width() / 2 - width_ / 2, TScreen::Height() / 2 - height_ / 2, width_, height_);
  } else if (position_ == TPosition::poMainFormCenter || position_ == TPosition::poOwnerFormCenter) {
    TForm* main = Application().MainForm();
    SetBounds(main->Left() + (main->Width() - width_) / 2, main->Top() + (main->Height() - height_) / 2, width_, height_);
  }
  KeepInsideWorkArea();
}

void TForm::SetVisible(bool visible) {
  if (visible) {
    HandleNeeded();
    CreateVisibleChildren();
    PlaceOnFirstShow();
  }
  if (visible == visible_) return;
  visible_ = visible;
  if (!handle_) return;
  if (visible) {
    int command = window_state_ == TWindowState::wsMaximized ? SW_SHOWMAXIMIZED
                  : window_state_ == TWindowState::wsMinimized ? SW_SHOWMINIMIZED : SW_SHOWNORMAL;
    ::ShowWindow(handle_, command);
  } else {
    ::ShowWindow(handle_, SW_HIDE);
  }
}

void TForm::Show() {
  SetVisible(true);
  BringToFront();
}

void TForm::Hide() { SetVisible(false); }

void TForm::BringToFront() {
  if (handle_ && visible_) {
    ::SetWindowPos(handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ::SetForegroundWindow(handle_);
  }
}

bool TForm::CloseQuery() {
  bool can_close = true;
  FireEvent(OnCloseQuery, this, can_close);
  return can_close;
}

void TForm::Close() {
  if (!CloseQuery()) return;
  bool main = Application().MainForm() == this;
  TCloseAction action = main ? TCloseAction::caFree : TCloseAction::caHide;
  FireEvent(OnClose, this, action);
  if (action == TCloseAction::caNone) return;
  if (modal_) {
    if (modal_result_ == mrNone) modal_result_ = mrCancel;
    return;
  }
  if (action == TCloseAction::caMinimize) {
    if (handle_) ::ShowWindow(handle_, SW_MINIMIZE);
    return;
  }
  // Windows live until the end: a freed secondary form is hidden like any other.
  Hide();
  if (main) Application().Terminate();
}

namespace {

struct DisabledWindows {
  std::vector<HWND> windows;
  HWND except = nullptr;
  ~DisabledWindows() {
    for (HWND w : windows) ::EnableWindow(w, TRUE);
  }
};

BOOL CALLBACK DisableThreadWindow(HWND window, LPARAM data) {
  auto* disabled = reinterpret_cast<DisabledWindows*>(data);
  if (window != disabled->except && ::IsWindowVisible(window) && ::IsWindowEnabled(window)) {
    ::EnableWindow(window, FALSE);
    disabled->windows.push_back(window);
  }
  return TRUE;
}

}  // namespace

TModalResult TForm::ShowModal() {
  if (modal_ || visible_) throw Exception("Cannot make a visible window modal");
  HWND owner = ::GetActiveWindow();
  HandleNeeded();
  modal_ = true;
  modal_result_ = mrNone;
  if (owner && owner != handle_) ::SetWindowLongPtrA(handle_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
  // The other windows come back (as `disabled` ends) before this one hides, so that the
  // activation falls to them.
  {
    DisabledWindows disabled;
    disabled.except = handle_;
    ::EnumThreadWindows(::GetCurrentThreadId(), DisableThreadWindow, reinterpret_cast<LPARAM>(&disabled));
    try {
      Show();
      while (modal_result_ == mrNone && !Application().Terminated()) Application().HandleMessage();
    } catch (...) {
      modal_ = false;
      throw;
    }
  }
  Hide();
  modal_ = false;
  ::SetWindowLongPtrA(handle_, GWLP_HWNDPARENT, 0);
  if (owner && ::IsWindow(owner)) ::SetActiveWindow(owner);
  return modal_result_;
}

bool TForm::Activated(WPARAM wparam) {
  if (LOWORD(wparam) == WA_INACTIVE) {
    FireEvent(OnDeactivate, this);
    return false;
  }
  FireEvent(OnActivate, this);
  // A minimized window (the high word) takes no focus.
  if (!active_control_ || !active_control_->HandleOrNull() || HIWORD(wparam)) return false;
  ::SetFocus(active_control_->HandleOrNull());
  return true;
}

void TForm::FollowSizeState(WPARAM kind) {
  // WindowState follows what the user does with the caption buttons. A hidden window is told
  // "restored" when it is merely sized, which says nothing of the state it will show in.
  if (kind == SIZE_MAXIMIZED) window_state_ = TWindowState::wsMaximized;
  else if (kind == SIZE_MINIMIZED) window_state_ = TWindowState::wsMinimized;
  else if (kind == SIZE_RESTORED && ::IsWindowVisible(handle_)) window_state_ = TWindowState::wsNormal;
}

bool TForm::DialogCommand(WPARAM wparam, LPARAM lparam) {
  WORD id = LOWORD(wparam);
  if (id == IDOK || id == IDCANCEL) {
    if (TButton* button = TButton::FindDefault(*this, id == IDCANCEL)) button->Click();
    return true;
  }
  return lparam == 0 && TMenuItem::DispatchCommand(id);
}

LRESULT TForm::WndProc(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CLOSE:
      Close();
      return 0;
    case WM_ACTIVATE:
      if (Activated(wparam)) return 0;
      break;
    case WM_SETFOCUS:
      if (active_control_ && active_control_->HandleOrNull()) {
        ::SetFocus(active_control_->HandleOrNull());
        return 0;
      }
      return DefaultHandler(message, wparam, lparam);
    case WM_SHOWWINDOW:
      if (lparam == 0) {
        if (wparam) DoShow();
        else DoHide();
      }
      break;
    case WM_MOVE: {
      RECT r;
      ::GetWindowRect(handle_, &r);
      left_ = r.left;
      top_ = r.top;
      break;
    }
    case WM_SIZE: {
      FollowSizeState(wparam);
      LRESULT result = TCustomControl::WndProc(message, wparam, lparam);
      Resize();
      return result;
    }
    case WM_DPICHANGED:
      DpiChanged(LOWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
      return 0;
    case WM_GETMINMAXINFO: {
      LRESULT result = DefaultHandler(message, wparam, lparam);
      GetMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(lparam));
      return result;
    }
    case WM_COMMAND:
      // From a menu (no control) or a dialog key; a control's own commands go to the control.
      if ((lparam == 0 || LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) && DialogCommand(wparam, lparam))
        return 0;
      break;
    default:
      break;
  }
  return TCustomControl::WndProc(message, wparam, lparam);
}

bool TForm::SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) {
  if (name == "ClientWidth") SetClientWidth(context.Integer(value));
  else if (name == "ClientHeight") SetClientHeight(context.Integer(value));
  else if (name == "BorderStyle") {
    static const std::vector<std::string> kStyles = {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"};
    SetBorderStyle(static_cast<TFormBorderStyle>(context.Enum(value, kStyles)));
  } else if (name == "BorderIcons") {
    SetBorderIcons(context.Flags(value, {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"}));
  } else if (name == "Position") {
    static const std::vector<std::string> kPositions = {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly",
                                                        "poScreenCenter", "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter"};
    SetPosition(static_cast<TPosition>(context.Enum(value, kPositions)));
  } else if (name == "WindowState") {
    static const std::vector<std::string> kStates = {"wsNormal", "wsMinimized", "wsMaximized"};
    SetWindowState(static_cast<TWindowState>(context.Enum(value, kStates)));
  } else if (name == "Menu") {
    context.Reference<TMainMenu>(value, [this](TMainMenu* menu) { SetMenu(menu); });
  } else if (name == "ActiveControl") {
    context.Reference<TWinControl>(value, [this](TWinControl* control) { active_control_ = control; });
  } else if (name == "OnCreate") context.Bind(OnCreate, value);
  else if (name == "OnDestroy") context.Bind(OnDestroy, value);
  else if (name == "OnShow") context.Bind(OnShow, value);
  else if (name == "OnHide") context.Bind(OnHide, value);
  else if (name == "OnActivate") context.Bind(OnActivate, value);
  else if (name == "OnDeactivate") context.Bind(OnDeactivate, value);
  else if (name == "OnResize") context.Bind(OnResize, value);
  else if (name == "OnCloseQuery") context.Bind(OnCloseQuery, value);
  else if (name == "OnClose") context.Bind(OnClose, value);
  // Layout bookkeeping of the window's designer: stored in layouts, no effect at run time.
  else if (name == "PixelsPerInch" || name == "TextHeight" || name == "OldCreateOrder" || name == "Scaled" ||
           name == "KeyPreview" || name == "FormStyle" || name == "AutoScroll") {
  } else return TCustomControl::SetProperty(name, value, context);
  return true;
}

}  // namespace stampwell
