// The persistent painting surface: TCustomControl paints itself and its windowless children
// (TGraphicControl) into it.

#include "framework/controls.h"

#include <windowsx.h>

#include "framework/application.h"
#include "framework/form_reader.h"

namespace stampwell {
namespace {

bool Intersects(const RECT& a, const RECT& b) {
  RECT r;
  return ::IntersectRect(&r, &a, &b) != FALSE;
}

}  // namespace

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

// ---- TCustomControl ----

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner) { capture_mouse_ = true; }

TCustomControl::~TCustomControl() {
  if (surface_dc_ && surface_old_) ::SelectObject(surface_dc_.get(), surface_old_);
}

bool TCustomControl::EnsureSurface() {
  if (!handle_) return false;
  RECT client;
  ::GetClientRect(handle_, &client);
  int w = client.right > 0 ? client.right : 1, h = client.bottom > 0 ? client.bottom : 1;
  if (surface_dc_ && w == surface_width_ && h == surface_height_) return false;
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
    return false;
  }
  surface_old_ = ::SelectObject(surface_dc_.get(), surface_bitmap_.get());
  surface_width_ = w;
  surface_height_ = h;
  PaintInto(surface_dc_.get(), RECT{0, 0, w, h});
  return true;
}

HDC TCustomControl::SurfaceDC() {
  EnsureSurface();
  return surface_dc_.get();
}

COLORREF TCustomControl::SurfacePixel(int x, int y) {
  HDC dc = SurfaceDC();
  return dc ? ::GetPixel(dc, x, y) : CLR_INVALID;
}

bool TCustomControl::RefreshSurface(const RECT* area) {
  const bool painted_whole = EnsureSurface();
  if (!surface_dc_) return false;
  if (!painted_whole) PaintInto(surface_dc_.get(), area ? *area : RECT{0, 0, surface_width_, surface_height_});
  return true;
}

void TCustomControl::PaintSurface() {
  if (!RefreshSurface()) return;
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
      canvas.SetDpi(g->Dpi());
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

void TCustomControl::PaintFromSurface() {
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(handle_, &ps);
  // A window that its children cover whole has nothing to paint, and needs no surface yet.
  // A surface made now is painted whole already.
  RECT visible;
  if (::GetClipBox(dc, &visible) != NULLREGION && RefreshSurface(&ps.rcPaint)) {
    ::BitBlt(dc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left,
             ps.rcPaint.bottom - ps.rcPaint.top, surface_dc_.get(), ps.rcPaint.left, ps.rcPaint.top, SRCCOPY);
  }
  ::EndPaint(handle_, &ps);
}

void TCustomControl::CaptureChanged() {
  TControl* captured = Application().CaptureControl(false);
  if (captured && (captured == this || captured->Parent() == this)) {
    Application().SetCaptureControl(nullptr);
    captured->clicked_ = false;
  }
}

bool TCustomControl::SetHandCursor(LPARAM lparam) {
  if (LOWORD(lparam) != HTCLIENT) return false;
  POINT p;
  ::GetCursorPos(&p);
  ::ScreenToClient(handle_, &p);
  TControl* c = ControlAtPos(p, false);
  TCursor cursor = c ? c->Cursor() : cursor_;
  if (cursor != TCursor::crHandPoint) return false;
  ::SetCursor(::LoadCursorA(nullptr, MAKEINTRESOURCEA(32649) /* IDC_HAND */));
  return true;
}

void TCustomControl::FollowWindowSize() {
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
  BoundsSetInPixels();
  Realign();
}

LRESULT TCustomControl::WndProc(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      PaintFromSurface();
      return 0;
    case WM_PRINTCLIENT:
      if (RefreshSurface())
        ::BitBlt(reinterpret_cast<HDC>(wparam), 0, 0, surface_width_, surface_height_, surface_dc_.get(), 0, 0, SRCCOPY);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MOUSEMOVE:
      RouteMouse(message, wparam, lparam);
      return 0;
    case WM_CAPTURECHANGED:
      CaptureChanged();
      break;
    case WM_SETCURSOR:
      if (SetHandCursor(lparam)) return TRUE;
      break;
    case WM_SIZE:
      FollowWindowSize();
      break;
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
