// The controls that hold others: the panel and the page control with its tab sheets.

#include "framework/std_controls.h"

#include <commctrl.h>

#include <algorithm>

#include "framework/dpi_scale.h"
#include "framework/form_reader.h"

namespace stampwell {

// ---- TPanel ----

TPanel::TPanel(TComponent* owner) : TCustomControl(owner) {
  width_ = 185;
  height_ = 41;
}

void TPanel::CreateParamsFor(CreateParams& params) {
  TCustomControl::CreateParamsFor(params);
  params.style |= WS_CLIPCHILDREN;
  params.ex_style |= WS_EX_CONTROLPARENT;
}

void TPanel::PaintBackground(TCanvas& canvas) {
  RECT r = ClientRect();
  canvas.Brush().Color = color_;
  canvas.FillRect(r);
  if (bevel_outer_ == TBevelCut::bvRaised) ::DrawEdge(canvas.Handle(), &r, BDR_RAISEDOUTER, BF_RECT | BF_ADJUST);
  if (bevel_outer_ == TBevelCut::bvLowered) ::DrawEdge(canvas.Handle(), &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
  if (bevel_inner_ == TBevelCut::bvRaised) ::DrawEdge(canvas.Handle(), &r, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
  if (bevel_inner_ == TBevelCut::bvLowered) ::DrawEdge(canvas.Handle(), &r, BDR_SUNKENINNER, BF_RECT | BF_ADJUST);
  if (!caption_.empty()) {
    canvas.Font() = font_;
    canvas.Brush().Style = TBrushStyle::bsClear;
    canvas.PrepareText();
    ::DrawTextA(canvas.Handle(), caption_.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
}

bool TPanel::SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) {
  static const std::vector<std::string> kCuts = {"bvNone", "bvLowered", "bvRaised", "bvSpace"};
  if (name == "BevelOuter") bevel_outer_ = static_cast<TBevelCut>(context.Enum(value, kCuts));
  else if (name == "BevelInner") bevel_inner_ = static_cast<TBevelCut>(context.Enum(value, kCuts));
  else if (name == "BevelWidth" || name == "BorderWidth") context.Integer(value);
  else return TCustomControl::SetProperty(name, value, context);
  return true;
}

// ---- TTabSheet and TPageControl ----

TTabSheet::TTabSheet(TComponent* owner) : TCustomControl(owner) { visible_ = false; }

TTabSheet::~TTabSheet() {
  if (page_control_) page_control_->RemovePage(this);
}

void TTabSheet::CreateParamsFor(CreateParams& params) {
  TCustomControl::CreateParamsFor(params);
  params.style |= WS_CLIPCHILDREN;
  params.ex_style |= WS_EX_CONTROLPARENT;
}

void TTabSheet::SetPageControl(TPageControl* control) {
  if (control == page_control_) return;
  if (page_control_) page_control_->RemovePage(this);
  page_control_ = control;
  if (control) {
    SetParent(control);
    control->AddPage(this);
  }
}

void TTabSheet::SetTabVisible(bool v) {
  if (v == tab_visible_) return;
  tab_visible_ = v;
  if (page_control_) page_control_->TabsChanged();
}

int TTabSheet::PageIndex() const {
  if (!page_control_) return -1;
  for (int i = 0; i < page_control_->PageCount(); ++i) {
    if (page_control_->Pages(i) == this) return i;
  }
  return -1;
}

void TTabSheet::TextChanged() {
  if (page_control_) page_control_->UpdateTabs();
}

bool TTabSheet::SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) {
  if (name == "TabVisible") SetTabVisible(context.Boolean(value));
  else if (name == "ImageIndex" || name == "PageIndex") context.Integer(value);
  else return TCustomControl::SetProperty(name, value, context);
  return true;
}

TPageControl::TPageControl(TComponent* owner) : TWinControl(owner) {
  width_ = 289;
  height_ = 193;
  tab_stop_ = true;
}

void TPageControl::CreateParamsFor(CreateParams& params) {
  TWinControl::CreateParamsFor(params);
  params.style |= WS_CLIPCHILDREN;
  params.ex_style |= WS_EX_CONTROLPARENT;
  tab_window_ = AnyTabVisible();
  if (!tab_window_) return;  // our own class
  InitCommonControlClasses();
  params.class_name = WC_TABCONTROLA;
  if (style_ == TTabStyle::tsButtons) params.style |= TCS_BUTTONS;
  if (style_ == TTabStyle::tsFlatButtons) params.style |= TCS_BUTTONS | TCS_FLATBUTTONS;
}

void TPageControl::CreateWnd() {
  UpdateTabs();
  LayoutPages();
}

bool TPageControl::AnyTabVisible() const {
  return std::any_of(pages_.begin(), pages_.end(), [](const TTabSheet* page) { return page->tab_visible_; });
}

void TPageControl::TabsChanged() {
  if (handle_ && tab_window_ != AnyTabVisible()) {
    RecreateWnd();  // lays the pages out anew
    return;
  }
  UpdateTabs();
  LayoutPages();
}

void TPageControl::AddPage(TTabSheet* page) {
  pages_.push_back(page);
  if (!active_) SetActivePage(page);
  if (handle_) TabsChanged();
}

void TPageControl::RemovePage(TTabSheet* page) {
  pages_.erase(std::remove(pages_.begin(), pages_.end(), page), pages_.end());
  page->page_control_ = nullptr;
  if (active_ == page) active_ = nullptr;
  UpdateTabs();  // a tab control left without tabs stays one: no new window while pages go
}

LRESULT TPageControl::WndProc(UINT message, WPARAM wparam, LPARAM lparam) {
  if (!tab_window_ && message == WM_ERASEBKGND) return 1;
  if (!tab_window_ && message == WM_PAINT) {
    PaintFrame();
    return 0;
  }
  return TWinControl::WndProc(message, wparam, lparam);
}

void TPageControl::PaintFrame() {
  // The tab control without items: its face colour, and for the tab style the raised frame
  // around the whole client area (the button styles draw none).
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(handle_, &ps);
  RECT r{0, 0, ClientWidth(), ClientHeight()};
  ::FillRect(dc, &ps.rcPaint, ::GetSysColorBrush(COLOR_BTNFACE));
  if (style_ == TTabStyle::tsTabs) ::DrawEdge(dc, &r, EDGE_RAISED, BF_SOFT | BF_RECT);
  ::EndPaint(handle_, &ps);
}

void TPageControl::UpdateTabs() {
  if (!handle_ || !tab_window_) return;
  ::SendMessageA(handle_, TCM_DELETEALLITEMS, 0, 0);
  int index = 0;
  for (TTabSheet* page : pages_) {
    if (!page->tab_visible_) continue;
    TCITEMA item{};
    item.mask = TCIF_TEXT | TCIF_PARAM;
    item.pszText = const_cast<char*>(page->Caption().c_str());
    item.lParam = reinterpret_cast<LPARAM>(page);
    ::SendMessageA(handle_, TCM_INSERTITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    if (page == active_) ::SendMessageA(handle_, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    ++index;
  }
}

RECT TPageControl::DisplayRect() {
  RECT r{0, 0, ClientWidth(), ClientHeight()};
  if (AnyTabVisible() && handle_ && tab_window_) {
    ::SendMessageA(handle_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
  } else {
    // With every tab hidden the sheet keeps the frame's margins: 4 pixels at the sides and
    // the bottom, 6 at the top (where a tab row would begin), at 96 dpi. Worked out in 96-dpi
    // units, so that the sheets' edges are their scaled 96-dpi edges.
    const unsigned dpi = Dpi();
    r = RECT{Scale(4), Scale(6), Scale(UnscaleFromDpi(r.right, dpi) - 4), Scale(UnscaleFromDpi(r.bottom, dpi) - 4)};
  }
  return r;
}

void TPageControl::LayoutPages() {
  RECT r = DisplayRect();
  for (TTabSheet* page : pages_) page->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void TPageControl::SetActivePage(TTabSheet* page) {
  if (page && page->page_control_ != this) return;
  if (page == active_) return;
  TTabSheet* old = active_;
  active_ = page;
  if (page) page->SetVisible(true);
  if (old) old->SetVisible(false);
  UpdateTabs();
}

int TPageControl::ActivePageIndex() const { return active_ ? active_->PageIndex() : -1; }

void TPageControl::SetActivePageIndex(int index) {
  SetActivePage(index >= 0 && index < PageCount() ? pages_[static_cast<size_t>(index)] : nullptr);
}

bool TPageControl::HandleNotify(NMHDR* header, LRESULT& result) {
  if (header->code != TCN_SELCHANGE) return false;
  int selected = static_cast<int>(::SendMessageA(handle_, TCM_GETCURSEL, 0, 0));
  TCITEMA item{};
  item.mask = TCIF_PARAM;
  if (::SendMessageA(handle_, TCM_GETITEMA, static_cast<WPARAM>(selected), reinterpret_cast<LPARAM>(&item))) {
    SetActivePage(reinterpret_cast<TTabSheet*>(item.lParam));
    FireEvent(OnChange, this);
  }
  result = 0;
  return true;
}

void TPageControl::ReadChild(TComponent* child, FormReadContext& context) {
  if (auto* sheet = dynamic_cast<TTabSheet*>(child)) {
    sheet->SetPageControl(this);
    return;
  }
  TWinControl::ReadChild(child, context);
}

bool TPageControl::SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) {
  if (name == "ActivePage") context.Reference<TTabSheet>(value, [this](TTabSheet* page) { SetActivePage(page); });
  else if (name == "Style") style_ = static_cast<TTabStyle>(context.Enum(value, {"tsTabs", "tsButtons", "tsFlatButtons"}));
  else if (name == "OnChange") context.Bind(OnChange, value);
  else if (name == "TabIndex" || name == "TabHeight" || name == "TabWidth") context.Integer(value);
  else return TWinControl::SetProperty(name, value, context);
  return true;
}

}  // namespace stampwell
