#pragma once
// Controls: TControl (position, size, visibility, enabled state, caption, colour, font, mouse
// events), TGraphicControl (windowless: painted and hit-tested by its windowed parent) and
// TWinControl (a window of its own; common controls are wrapped by subclassing).
// TCustomControl is a windowed control of our own window class that paints itself and its
// windowless children through a persistent memory surface, so nothing flickers and the last
// picture shown can be read back.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/component.h"
#include "framework/events.h"
#include "framework/graphics.h"
#include "framework/unique_handle.h"

namespace stampwell {

class TWinControl;
class TForm;

// The window class of every form and every control of our own (not the subclassed common
// controls): how another process tells the setup's windows from others of the same caption.
inline constexpr char kOwnWindowClass[] = "StampwellWindow";

// The window procedure of every windowed control (our own class, and subclassed common controls).
LRESULT CALLBACK ControlWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum class TCursor { crDefault, crArrow, crHandPoint, crHourGlass, crIBeam };

class TControl : public TComponent {
 public:
  explicit TControl(TComponent* owner);
  ~TControl() override;

  TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* parent);
  // The form that this control lies on (or that it is), or null.
  TForm* ParentForm() const;

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
  void SetTop(int v) { SetBounds(left_, v, width_, height_); }
  void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
  void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
  virtual void SetBounds(int left, int top, int width, int height);
  // The bounds in 96-dpi units, as the form gives them; the pixel bounds above are these
  // scaled to the control's DPI (edges scaled, so that neighbours stay neighbours). Setting
  // pixel bounds changes them too.
  int DesignLeft() const { return design_.left; }
  int DesignTop() const { return design_.top; }
  int DesignWidth() const { return design_.right - design_.left; }
  int DesignHeight() const { return design_.bottom - design_.top; }
  void SetDesignBounds(int left, int top, int width, int height);
  // The pixels per inch that the control is laid out at: its form's.
  virtual unsigned Dpi() const;
  // A length in 96-dpi units at the control's DPI.
  int Scale(int v) const;
  // Lays the control out again at `dpi`: bounds from the 96-dpi ones, font at that DPI. A
  // windowed control does its children after itself.
  virtual void ChangeScale(unsigned dpi);
  RECT BoundsRect() const { return RECT{left_, top_, left_ + width_, top_ + height_}; }
  RECT ClientRect() const { return RECT{0, 0, ClientWidth(), ClientHeight()}; }
  virtual int ClientWidth() const { return width_; }
  virtual int ClientHeight() const { return height_; }
  TAlign Align() const { return align_; }
  void SetAlign(TAlign align);

  bool Visible() const { return visible_; }
  virtual void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible together with every parent.
  bool Showing() const;
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool enabled);

  const std::string& Caption() const { return caption_; }
  virtual void SetCaption(const std::string& caption);
  const std::string& Text() const { return Caption(); }
  void SetText(const std::string& text) { SetCaption(text); }

  TColor Color() const { return color_; }
  virtual void SetColor(TColor color);
  bool ParentColor() const { return parent_color_; }
  void SetParentColor(bool v);
  TFont& Font() { return font_; }
  const TFont& Font() const { return font_; }
  bool ParentFont() const { return parent_font_; }
  void SetParentFont(bool v);

  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& hint) { hint_ = hint; }
  bool ShowHint() const { return show_hint_; }
  void SetShowHint(bool v) { show_hint_ = v; }
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor c) { cursor_ = c; }

  // Repaints the control's area soon / at once.
  virtual void Invalidate();
  void Repaint();
  void Update();

  // Point conversions between this control's client area and the screen.
  POINT ClientToScreen(POINT p) const;
  POINT ScreenToClient(POINT p) const;

  TNotifyEvent OnClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;

  // Fires OnClick.
  virtual void Click();

  // The mouse notifications, in client coordinates. The defaults are the framework's own
  // handling: a left press captures the mouse (when the control asks for it), the release
  // frees it and clicks when it lies inside the control, and the events fire.
  virtual void WMLButtonDown(TShiftState shift, int x, int y);
  virtual void WMLButtonUp(TShiftState shift, int x, int y);
  virtual void WMOtherButtonDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void WMOtherButtonUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void WMMouseMove(TShiftState shift, int x, int y);
  // The mouse came onto or left the control (told by the application when it falls idle,
  // disabled controls included). The defaults fire OnMouseEnter / OnMouseLeave.
  virtual void CMMouseEnter();
  virtual void CMMouseLeave();

  // Mouse capture: a windowless control captures through its parent's window.
  bool MouseCapture() const;
  void SetMouseCapture(bool capture);

  bool SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) override;

  // Parent's font and colour changed: follow them where this control takes its parent's.
  virtual void ParentFontChanged();
  virtual void ParentColorChanged();

 protected:
  virtual void FontChanged() { Invalidate(); }
  virtual void ColorChanged() { Invalidate(); }
  virtual void TextChanged() { Invalidate(); }
  virtual void BoundsChanged() {}
  virtual void VisibleChanged();
  virtual void EnabledChanged() { Invalidate(); }
  // Whether a left press captures the mouse and may click on release.
  bool capture_mouse_ = true;

  TWinControl* parent_ = nullptr;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  TAlign align_ = TAlign::alNone;
  bool visible_ = true;
  bool enabled_ = true;
  std::string caption_;
  TColor color_ = clBtnFace;
  bool parent_color_ = true;
  bool parent_font_ = true;
  TFont font_;
  std::string hint_;
  bool show_hint_ = false;
  TCursor cursor_ = TCursor::crDefault;
  bool clicked_ = false;  // a left press is waiting for its release
  bool in_font_sync_ = false;
  // The pixel bounds were just set; the 96-dpi ones follow them (not while they are the source).
  void BoundsSetInPixels();
  RECT design_{0, 0, 0, 0};
  bool design_known_ = false;
  bool placing_from_design_ = false;

 private:
  friend class TWinControl;
  friend class TCustomControl;
};

// A windowless control: drawn on its parent's surface.
class TGraphicControl : public TControl {
 public:
  explicit TGraphicControl(TComponent* owner) : TControl(owner) {}

  void Invalidate() override;
  // Draws what Paint draws. `canvas` has its origin at the control's top left and is clipped
  // to the control.
  virtual void Paint(TCanvas& canvas) {}
  // Draws on the parent's surface at once, outside a paint cycle (the image button's frames),
  // and shows the result. Does nothing while the parent has no window.
  void DrawNow(const std::function<void(TCanvas&)>& draw);
};

class TWinControl : public TControl {
 public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;

  // The window, made (with its parents' and children's) on first use.
  HWND Handle();
  HWND HandleOrNull() const { return handle_; }
  bool HandleAllocated() const { return handle_ != nullptr; }
  // Makes the window (the parents' first, where they have none) and those of its visible
  // windowed children. A hidden child's window is made when it shows or when asked for.
  void HandleNeeded();
  void DestroyHandle();
  // Makes the missing windows of the visible windowed children, and theirs (a form, as it
  // shows).
  void CreateVisibleChildren();
  // Makes the window anew (and its children's), for a change that only creation can make.
  void RecreateWnd();
  // The control that owns a window, or null.
  static TWinControl* FromHandle(HWND window);

  const std::vector<TControl*>& Controls() const { return controls_; }
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  // The topmost visible child at a client point (enabled ones only, unless allowed), or null.
  TControl* ControlAtPos(POINT p, bool allow_disabled) const;

  int TabOrder() const { return tab_order_; }
  void SetTabOrder(int order);
  bool TabStop() const { return tab_stop_; }
  void SetTabStop(bool v);
  void SetFocus();
  bool Focused() const;
  bool CanFocus() const;

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;

  void SetBounds(int left, int top, int width, int height) override;
  int ClientWidth() const override;
  int ClientHeight() const override;
  void Invalidate() override;
  void SetVisible(bool visible) override;
  void ChangeScale(unsigned dpi) override;

  bool SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) override;
  void ReadChild(TComponent* child, FormReadContext& context) override;

  // Called by the form when the keyboard focus enters or leaves this control.
  virtual void DoEnter() { FireEvent(OnEnter, this); }
  virtual void DoExit() { FireEvent(OnExit, this); }

  // Lays out the children that have an alignment.
  void Realign();
  void ParentFontChanged() override;
  void ParentColorChanged() override;

  // The message handler. Overrides handle what they need and pass the rest to the base.
  virtual LRESULT WndProc(UINT message, WPARAM wparam, LPARAM lparam);

 protected:
  struct CreateParams {
    std::string class_name;  // empty: our own window class, painted by Paint
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
    DWORD ex_style = 0;
    std::string caption;
    // A common control made as a Unicode window: it keeps what the user types whole, also
    // the characters that the ANSI code page lacks (an ANSI window keeps a look-alike or "?").
    bool unicode = false;
  };
  virtual void CreateParamsFor(CreateParams& params);
  // After the window exists (set the control's own state into it).
  virtual void CreateWnd() {}
  // Reflected notifications from the parent.
  virtual bool HandleCommand(WORD code) { return false; }
  virtual bool HandleNotify(NMHDR* header, LRESULT& result) { return false; }
  // The brush for WM_CTLCOLOR*: null leaves the system's.
  virtual HBRUSH CtlColor(HDC dc);
  LRESULT DefaultHandler(UINT message, WPARAM wparam, LPARAM lparam);
  // The window style bits that the control's state selects (visible, disabled).
  DWORD StateStyle() const;

  void FontChanged() override;
  void ColorChanged() override;
  void TextChanged() override;
  void VisibleChanged() override;
  void EnabledChanged() override;

  HWND handle_ = nullptr;
  std::vector<TControl*> controls_;
  int tab_order_ = -1;
  bool tab_stop_ = false;
  unique_hbrush color_brush_;

 private:
  friend LRESULT CALLBACK ControlWindowProc(HWND, UINT, WPARAM, LPARAM);
  void CreateOwnWindow();
  std::vector<TWinControl*> WindowedChildrenInTabOrder() const;
  void PlaceInTabOrder();
  // WM_COMMAND, WM_NOTIFY and WM_CTLCOLOR* of a child window, answered by the child's own
  // control; false when no control of ours took it.
  bool ChildAnswers(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);
  // A mouse message: the window's own handling, then the control's events.
  LRESULT MouseMessage(UINT message, WPARAM wparam, LPARAM lparam);
  WNDPROC original_proc_ = nullptr;
  bool unicode_ = false;  // the window is a Unicode one (CreateParams::unicode)
  bool destroying_ = false;
};

// A windowed control of our own class: paints its background and its windowless children
// through a persistent memory surface.
class TCustomControl : public TWinControl {
 public:
  explicit TCustomControl(TComponent* owner);
  ~TCustomControl() override;

  bool DoubleBuffered() const { return double_buffered_; }
  void SetDoubleBuffered(bool v) { double_buffered_ = v; }

  // The surface that holds what the window shows, sized to the client area; null without a
  // window. Tests read pixels from it.
  HDC SurfaceDC();
  COLORREF SurfacePixel(int x, int y);
  // Paints the whole client area into the surface (and the screen) now.
  void PaintSurface();

  LRESULT WndProc(UINT message, WPARAM wparam, LPARAM lparam) override;
  bool SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) override;

 protected:
  // The background below the windowless children; the default fills with Color.
  virtual void PaintBackground(TCanvas& canvas);
  void PaintInto(HDC dc, const RECT& area);
  // Makes the surface when there is none of the client's size; true when it was made now, and
  // so painted whole.
  bool EnsureSurface();
  // Brings the surface up to date in area (null: the whole surface): a surface made now is
  // painted whole already, one kept from before is painted there. False when there is no
  // surface to copy from.
  bool RefreshSurface(const RECT* area = nullptr);

 private:
  friend class TGraphicControl;
  void RouteMouse(UINT message, WPARAM wparam, LPARAM lparam);
  // WM_PAINT: the invalid part copied from the surface, brought up to date first.
  void PaintFromSurface();
  // WM_CAPTURECHANGED: a windowless child that held the capture no longer does.
  void CaptureChanged();
  // WM_SETCURSOR: the hand over a control that asks for it; false to leave the cursor to the
  // default handling.
  bool SetHandCursor(LPARAM lparam);
  // WM_SIZE: the bounds follow the window's new size, and the children realign.
  void FollowWindowSize();
  unique_hdc surface_dc_;
  unique_hbitmap surface_bitmap_;
  HGDIOBJ surface_old_ = nullptr;
  int surface_width_ = 0, surface_height_ = 0;
  bool double_buffered_ = true;
};

// The shift state of a mouse message's wparam.
TShiftState MouseShiftState(WPARAM wparam);
// Shift, Ctrl and Alt as the keyboard holds them now.
TShiftState KeyboardShiftState();

}  // namespace stampwell
