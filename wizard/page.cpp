#include "wizard/page.h"

#include <windowsx.h>

#include "framework/application.h"

namespace stampwell::wizard {

namespace {

constexpr char kPageClass[] = "StampwellWizardPage";

void RegisterPageClass() {
  static const bool registered = [] {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &DefWindowProcA;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.lpszClassName = kPageClass;
    return ::RegisterClassExA(&wc) != 0;
  }();
  (void)registered;
}

bool Contains(const RECT& rect, POINT point) { return ::PtInRect(&rect, point) != FALSE; }

}  // namespace

unique_hfont MakeFont(const char* face, int height, bool bold, bool underline, BYTE charset) {
  LOGFONTA font{};
  font.lfHeight = height;
  font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  font.lfUnderline = underline ? TRUE : FALSE;
  font.lfCharSet = charset;
  font.lfQuality = DEFAULT_QUALITY;
  lstrcpynA(font.lfFaceName, face, LF_FACESIZE);
  return unique_hfont(::CreateFontIndirectA(&font));
}

Page::Page(HWND parent, int left, int top, const char* background_resource)
    : background_(Picture::FromResource(background_resource)) {
  RegisterPageClass();
  window_.reset(::CreateWindowExA(0, kPageClass, "", WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                                  left, top, background_.width(), background_.height(), parent,
                                  nullptr, ::GetModuleHandleA(nullptr), nullptr));
  if (!window_) throw std::runtime_error("The wizard page window cannot be created");
  ::SetWindowLongPtrA(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  ::SetWindowLongPtrA(window_.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Page::Procedure));
}

PageImage& Page::AddImage(const char* resource, int left, int top, int width, int height) {
  auto image = std::make_unique<PageImage>();
  image->picture = Picture::FromResource(resource);
  if (width == 0) width = image->picture.width();
  if (height == 0) height = image->picture.height();
  image->stretch = width != image->picture.width() || height != image->picture.height();
  image->bounds = {left, top, left + width, top + height};
  images_.push_back(std::move(image));
  return *images_.back();
}

PageLabel& Page::AddLabel(std::string caption, int left, int top, int width, int height,
                          unique_hfont font, COLORREF colour) {
  auto label = std::make_unique<PageLabel>();
  label->caption = std::move(caption);
  label->font = std::move(font);
  label->text_colour = colour;
  label->bounds = {left, top, left + width, top + height};
  label->autosize = width == 0 || height == 0;
  if (label->autosize) Autosize(*label);
  labels_.push_back(std::move(label));
  return *labels_.back();
}

void Page::Autosize(PageLabel& label) const {
  scoped_window_dc dc(window_.get());
  scoped_select_object select(dc.get(), label.font.get());
  RECT need{0, 0, 0, 0};
  ::DrawTextA(dc.get(), label.caption.c_str(), -1, &need, DT_CALCRECT | DT_SINGLELINE);
  label.bounds.right = label.bounds.left + need.right;
  label.bounds.bottom = label.bounds.top + need.bottom;
}

void Page::SetCaption(PageLabel& label, std::string caption) {
  Invalidate(label.bounds);
  label.caption = std::move(caption);
  if (label.autosize) Autosize(label);
  Invalidate(label.bounds);
}

SkinButton& Page::AddButton(const char* resource, int left, int top) {
  buttons_.push_back(std::make_unique<SkinButton>(left, top, Picture::FromResource(resource)));
  SkinButton* button = buttons_.back().get();
  button->invalidate = [this, button] { Invalidate(button->bounds()); };
  return *button;
}

void Page::SetControlColours(HWND control, COLORREF background, COLORREF text) {
  colours_.push_back({control, text, unique_hbrush(::CreateSolidBrush(background))});
}

void Page::Invalidate(const RECT& bounds) const { ::InvalidateRect(window_.get(), &bounds, FALSE); }

SkinButton* Page::ButtonAt(POINT point) const {
  for (auto it = buttons_.rbegin(); it != buttons_.rend(); ++it) {
    if ((*it)->visible() && Contains((*it)->bounds(), point)) return it->get();
  }
  return nullptr;
}

PageLabel* Page::ClickableLabelAt(POINT point) const {
  for (const auto& label : labels_) {
    if (label->visible && label->OnClick && Contains(label->bounds, point)) return label.get();
  }
  return nullptr;
}

void Page::PaintTo(HDC dc) const {
  background_.Draw(dc, 0, 0, 0, 0, background_.width(), background_.height());
  for (const auto& image : images_) {
    if (!image->visible) continue;
    const RECT& r = image->bounds;
    if (image->stretch) {
      image->picture.Stretch(dc, r.left, r.top, r.right - r.left, r.bottom - r.top);
    } else {
      image->picture.Draw(dc, r.left, r.top, 0, 0, r.right - r.left, r.bottom - r.top);
    }
  }
  ::SetBkMode(dc, TRANSPARENT);
  for (const auto& label : labels_) {
    if (!label->visible) continue;
    scoped_select_object select(dc, label->font.get());
    ::SetTextColor(dc, label->text_colour);
    RECT box = label->bounds;
    ::DrawTextA(dc, label->caption.c_str(), -1, &box,
                DT_END_ELLIPSIS | DT_SINGLELINE | (label->centre ? DT_CENTER : DT_LEFT));
  }
  for (const auto& button : buttons_) button->Paint(dc);
}

void Page::OnPaint() {
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(window_.get(), &ps);
  RECT client;
  ::GetClientRect(window_.get(), &client);
  // Double-buffered: the fade repaints a button every 10 ms and must not flicker.
  unique_hdc memory(::CreateCompatibleDC(dc));
  unique_hbitmap buffer(::CreateCompatibleBitmap(dc, client.right, client.bottom));
  {
    scoped_select_object select(memory.get(), buffer.get());
    PaintTo(memory.get());
    const RECT& r = ps.rcPaint;
    ::BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, memory.get(), r.left, r.top,
             SRCCOPY);
  }
  ::EndPaint(window_.get(), &ps);
}

void Page::StartFade(SkinButton* button) {
  for (size_t i = 0; i < buttons_.size(); ++i) {
    if (buttons_[i].get() == button) ::SetTimer(window_.get(), i + 1, SkinButton::kFadeInterval, nullptr);
  }
}

void Page::SetHot(SkinButton* button) {
  if (button == hot_) return;
  if (hot_ && hot_->MouseLeave()) StartFade(hot_);
  hot_ = button;
  if (hot_ && hot_->MouseEnter()) StartFade(hot_);
}

void Page::OnMouseMove(POINT point) {
  if (!tracking_leave_) {
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, window_.get(), 0};
    tracking_leave_ = ::TrackMouseEvent(&track) != FALSE;
  }
  // While a button holds the capture, only it is told about the mouse.
  if (pressed_) return;
  SetHot(ButtonAt(point));
}

LRESULT CALLBACK Page::Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) noexcept {
  auto* page = reinterpret_cast<Page*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!page) return ::DefWindowProcA(window, message, wparam, lparam);
  LRESULT result = 0;
  // An escaping error becomes the default error report; the message then counts as handled.
  Application().Guard([&] { result = page->Handle(message, wparam, lparam); });
  return result;
}

LRESULT Page::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  HWND hwnd = window_.get();
  POINT point{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_MOUSEMOVE:
      OnMouseMove(point);
      return 0;
    case WM_MOUSELEAVE:
      tracking_leave_ = false;
      if (!pressed_) SetHot(nullptr);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (SkinButton* button = ButtonAt(point)) {
        if (button->enabled()) {
          pressed_ = button;
          ::SetCapture(hwnd);
          button->MouseDown();
        }
        return 0;
      }
      if ((pressed_label_ = ClickableLabelAt(point))) return 0;
      [[fallthrough]];
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      if (OnBackgroundMouseDown) OnBackgroundMouseDown();
      return 0;
    case WM_LBUTTONUP:
      if (SkinButton* button = pressed_) {
        pressed_ = nullptr;
        if (::GetCapture() == hwnd) ::ReleaseCapture();
        button->MouseUp(Contains(button->bounds(), point));
        SetHot(ButtonAt(point));
      } else if (PageLabel* label = pressed_label_) {
        pressed_label_ = nullptr;
        if (Contains(label->bounds, point)) label->OnClick();
      }
      return 0;
    case WM_CAPTURECHANGED:
      if (pressed_ && reinterpret_cast<HWND>(lparam) != hwnd) pressed_ = nullptr;
      return 0;
    case WM_TIMER: {
      size_t index = wparam - 1;
      if (index < buttons_.size() && !buttons_[index]->FadeStep()) ::KillTimer(hwnd, wparam);
      return 0;
    }
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wparam) == hwnd && LOWORD(lparam) == HTCLIENT) {
        POINT cursor;
        ::GetCursorPos(&cursor);
        ::ScreenToClient(hwnd, &cursor);
        PageLabel* label = ClickableLabelAt(cursor);
        if (label && label->hand_cursor) {
          ::SetCursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND)));
          return TRUE;
        }
      }
      break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      for (const auto& colour : colours_) {
        if (colour.control == reinterpret_cast<HWND>(lparam)) {
          HDC dc = reinterpret_cast<HDC>(wparam);
          ::SetTextColor(dc, colour.text);
          LOGBRUSH brush;
          ::GetObjectA(colour.brush.get(), sizeof brush, &brush);
          ::SetBkColor(dc, brush.lbColor);
          return reinterpret_cast<LRESULT>(colour.brush.get());
        }
      }
      break;
    case WM_COMMAND:
      if (lparam && OnCommand) OnCommand(reinterpret_cast<HWND>(lparam), HIWORD(wparam));
      return 0;
    case WM_NCDESTROY:
      ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
      window_.release();
      break;
  }
  return ::DefWindowProcA(hwnd, message, wparam, lparam);
}

}  // namespace stampwell::wizard
