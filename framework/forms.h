#pragma once
// Forms: top-level windows, borderless or framed, whose layout comes from a form resource.
// A form class registers its handlers by name, then reads its resource; the reader makes the
// controls (owned by the form) and binds their events to the handlers the text names.
// Secondary forms hide when closed and are never destroyed before the end; closing the main
// form ends the application.

#include <windows.h>

#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <variant>

#include "framework/controls.h"
#include "framework/exception.h"

namespace stampwell {

class TMainMenu;

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum class TPosition { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter, poMainFormCenter, poOwnerFormCenter };
enum class TWindowState { wsNormal, wsMinimized, wsMaximized };
using TBorderIcons = unsigned;
constexpr TBorderIcons biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8;

using TModalResult = int;
constexpr TModalResult mrNone = 0, mrOk = IDOK, mrCancel = IDCANCEL, mrYes = IDYES, mrNo = IDNO;

// Any handler a form can register.
using TEventHandler = std::variant<TNotifyEvent, TMouseEvent, TMouseMoveEvent, TCloseQueryEvent, TCloseEvent, TKeyEvent,
                                   TTVChangedEvent, TTVChangingEvent, TTVEditedEvent>;

class TForm : public TCustomControl {
 public:
  explicit TForm(TComponent* owner);
  ~TForm() override;

  // Handlers that the form resource may name.
  void RegisterHandler(const std::string& name, TEventHandler handler);
  void RegisterHandlers(std::initializer_list<std::pair<const char*, TEventHandler>> handlers);
  const TEventHandler* FindHandler(const std::string& name) const;

  // Reads the form resource `resource_name` (RCDATA of the program) into this form, then
  // makes the window (hidden) and fires OnCreate. Throws FormError for a malformed form.
  void LoadFromResource(const std::string& resource_name);
  // The same from form text in memory; `form_name` names it in error messages.
  void LoadFromText(const std::string& text, const std::string& form_name);

  // The owned component `name`, which must be a T; throws Exception otherwise. Form classes
  // use it to fill their fields after reading: Button1 = &Field<TButton>("Button1").
  template <typename T>
  T& Field(const std::string& name) const {
    T* found = dynamic_cast<T*>(FindComponent(name));
    if (!found) throw Exception("Form " + Name() + " has no component " + name + " of the expected class");
    return *found;
  }

  TFormBorderStyle BorderStyle() const { return border_style_; }
  void SetBorderStyle(TFormBorderStyle style);
  TBorderIcons BorderIcons() const { return border_icons_; }
  void SetBorderIcons(TBorderIcons icons);
  TPosition Position() const { return position_; }
  void SetPosition(TPosition position) { position_ = position; }
  TWindowState WindowState() const { return window_state_; }
  void SetWindowState(TWindowState state);
  void SetClientWidth(int width);
  void SetClientHeight(int height);
  int ClientWidth() const override;
  int ClientHeight() const override;
  TMainMenu* Menu() const { return menu_; }
  void SetMenu(TMainMenu* menu);

  TWinControl* ActiveControl() const { return active_control_; }
  void SetActiveControl(TWinControl* control);
  // Told by a windowed control that it got the focus: fires OnExit and OnEnter when the
  // active control changes (not when focus merely comes back to it).
  void SetFocusedControl(TWinControl* control);
  // A windowed control of this form is going away.
  void ForgetControl(TWinControl* control);

  TModalResult ModalResult() const { return modal_result_; }
  void SetModalResult(TModalResult result) { modal_result_ = result; }
  bool Modal() const { return modal_; }

  // Shows the form (placing it first, once, as Position says) and brings it to the front.
  void Show();
  void Hide();
  // Closes as the close box does: asks CloseQuery, then OnClose; hides (or for the main form
  // ends the application; for a modal form sets mrCancel).
  void Close();
  // Shows modally: the other forms are disabled until ModalResult is set.
  TModalResult ShowModal();
  virtual bool CloseQuery();
  void BringToFront();
  // A key message for this form or one of its controls, before dialog navigation sees it;
  // true when the form took it. Forms whose controls the dialog manager cannot reach (the
  // windowless ones) move the focus among them here.
  virtual bool PreviewKey(const MSG& message) { return false; }

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnResize;
  TCloseQueryEvent OnCloseQuery;
  TCloseEvent OnClose;

  void SetVisible(bool visible) override;
  void SetBounds(int left, int top, int width, int height) override;
  // The DPI of the form's window (96 until it has one); every control of the form is laid out
  // at it.
  unsigned Dpi() const override { return dpi_; }
  // The form keeps its place on the screen and takes its size from its 96-dpi one.
  void ChangeScale(unsigned dpi) override;
  // True while ChangeScale places the controls anew.
  bool Rescaling() const { return rescaling_; }
  bool SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) override;
  LRESULT WndProc(UINT message, WPARAM wparam, LPARAM lparam) override;

 protected:
  void CreateParamsFor(CreateParams& params) override;
  void CreateWnd() override;
  virtual void DoCreate() { FireEvent(OnCreate, this); }
  virtual void DoShow() { FireEvent(OnShow, this); }
  virtual void DoHide() { FireEvent(OnHide, this); }
  virtual void Resize() { FireEvent(OnResize, this); }
  // WM_GETMINMAXINFO: the record as the system filled it; change what you need.
  virtual void GetMinMaxInfo(MINMAXINFO& info) {}

 private:
  void PlaceOnFirstShow();
  // WM_ACTIVATE: OnActivate or OnDeactivate; true when the active control took the focus.
  bool Activated(WPARAM wparam);
  // WM_SIZE: WindowState follows the kind of sizing.
  void FollowSizeState(WPARAM kind);
  // WM_COMMAND of a menu item or of Enter or Esc (the default or cancel button); true when
  // something took it.
  bool DialogCommand(WPARAM wparam, LPARAM lparam);
  void ApplyClientSize();
  DWORD FrameStyle(DWORD& ex_style) const;
  // WM_DPICHANGED: laid out at the new DPI in the rectangle that the system suggests.
  void DpiChanged(unsigned dpi, const RECT& suggested);
  // Moved, and shrunk where it is larger, into its monitor's work area.
  void KeepInsideWorkArea();

  std::map<std::string, TEventHandler> handlers_;
  TFormBorderStyle border_style_ = TFormBorderStyle::bsSizeable;
  TBorderIcons border_icons_ = biSystemMenu | biMinimize | biMaximize;
  TPosition position_ = TPosition::poDesigned;
  TWindowState window_state_ = TWindowState::wsNormal;
  int client_width_ = -1, client_height_ = -1;  // asked for before the window exists
  TMainMenu* menu_ = nullptr;
  TWinControl* active_control_ = nullptr;
  TModalResult modal_result_ = mrNone;
  bool modal_ = false;
  bool placed_ = false;
  unsigned dpi_ = 96;
  bool rescaling_ = false;
};

}  // namespace stampwell
