#include "framework/controls.h"

#include "framework/application.h"
#include "framework/dpi_scale.h"
#include "framework/form_reader.h"
#include "framework/forms.h"

namespace stampwell {

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
  BoundsSetInPixels();
  BoundsChanged();
  if (parent_ && align_ != TAlign::alNone) parent_->Realign();
}

void TControl::BoundsSetInPixels() {
  if (placing_from_design_) return;
  if (const TForm* form = ParentForm(); form && form->Rescaling()) return;
  const unsigned dpi = Dpi();
  const ScaledSpan x = UnscaleSpan(left_, width_, dpi), y = UnscaleSpan(top_, height_, dpi);
  design_ = RECT{x.start, y.start, x.start + x.length, y.start + y.length};
  design_known_ = true;
}

void TControl::SetDesignBounds(int left, int top, int width, int height) {
  design_ = RECT{left, top, left + width, top + height};
  design_known_ = true;
  const unsigned dpi = Dpi();
  const ScaledSpan x = ScaleSpan(left, width, dpi), y = ScaleSpan(top, height, dpi);
  placing_from_design_ = true;
  SetBounds(x.start, y.start, x.length, y.length);
  placing_from_design_ = false;
}

unsigned TControl::Dpi() const { return parent_ ? parent_->Dpi() : kDesignDpi; }

int TControl::Scale(int v) const { return ScaleToDpi(v, Dpi()); }

void TControl::ChangeScale(unsigned dpi) {
  // A control that never had bounds set keeps its constructor's, which are 96-dpi numbers.
  if (!design_known_) design_ = RECT{left_, top_, left_ + width_, top_ + height_};
  SetDesignBounds(design_.left, design_.top, design_.right - design_.left, design_.bottom - design_.top);
  // The same font at another DPI: a control that takes its parent's font keeps taking it.
  in_font_sync_ = true;
  font_.SetPixelsPerInch(dpi);
  in_font_sync_ = false;
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

}  // namespace stampwell
