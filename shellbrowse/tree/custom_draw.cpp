#include "shellbrowse/tree/custom_draw.h"

namespace stampwell {

TPTCustomDraw::TPTCustomDraw(const TFont& control_font, int request_item_draw)
    : control_font_(control_font), request_item_draw_(request_item_draw) {}

TPTCustomDraw::~TPTCustomDraw() {
  if (font_) font_->OnChange = nullptr;
}

void TPTCustomDraw::Init(NMCUSTOMDRAW* draw, LRESULT* result) {
  draw_ = draw;
  result_ = result;
  result_handled_ = false;
}

TFont& TPTCustomDraw::Font() {
  if (!font_) CreateFont();
  return *font_;
}

TBrush& TPTCustomDraw::Brush() {
  if (!brush_) CreateBrush();
  return *brush_;
}

void TPTCustomDraw::CreateFont() {
  font_ = std::make_unique<TFont>(control_font_);
  font_->SetColor(static_cast<TColor>(RecordTextColor()));
  font_->OnChange = [this] { font_changed_ = true; };
}

void TPTCustomDraw::CreateBrush() {
  brush_ = std::make_unique<TBrush>();
  brush_start_ = RecordBackColor();
  brush_->Color = static_cast<TColor>(brush_start_);
  brush_->Style = TBrushStyle::bsSolid;
}

bool TPTCustomDraw::BrushChanged() const noexcept {
  return brush_ && ColorToRGB(brush_->Color) != brush_start_;
}

COLORREF TPTCustomDraw::RecordTextColor() const { return DC() ? ::GetTextColor(DC()) : 0; }
COLORREF TPTCustomDraw::RecordBackColor() const { return DC() ? ::GetBkColor(DC()) : 0xFFFFFF; }

int TPTCustomDraw::DrawStage() const noexcept {
  if (!draw_) return 0;
  switch (draw_->dwDrawStage) {
    case CDDS_PREPAINT: return 1;
    case CDDS_POSTPAINT: return 2;
    case CDDS_ITEMPREPAINT: return 4;
    case CDDS_ITEMPOSTPAINT: return 5;
    default: return 0;
  }
}

void TPTCustomDraw::ApplyFont() {
  HDC dc = DC();
  HFONT font = font_->Handle();
  if (!dc || !font) return;
  if (::GetCurrentObject(dc, OBJ_FONT) != font) {
    ::SelectObject(dc, font);
    *result_ |= CDRF_NEWFONT;
  }
}

void TPTCustomDraw::ApplyTo(bool reset, COLORREF& text_colour, COLORREF& back_colour) {
  if (!draw_ || !result_) return;
  if (reset) *result_ = 0;
  int stage = DrawStage();
  if (stage == 1 && request_item_draw_ == 1) *result_ |= CDRF_NOTIFYITEMDRAW;
  if (stage == 4) {
    if (skip_default_) {
      *result_ |= CDRF_SKIPDEFAULT;
    } else {
      if (font_ && font_changed_) {
        ApplyFont();
        text_colour = ColorToRGB(font_->Color());
      }
      if (BrushChanged()) back_colour = ColorToRGB(brush_->Color);
    }
  }
  // Item notifications keep coming for every pre-paint stage, the control's and the items'.
  if (draw_->dwDrawStage & CDDS_PREPAINT) *result_ |= CDRF_NOTIFYITEMDRAW;
}

void TPTTvCustomDraw::Apply() {
  if (draw_) ApplyTo(!result_handled_, TvRecord()->clrText, TvRecord()->clrTextBk);
}

COLORREF TPTLvCustomDraw::RecordTextColor() const { return draw_ ? LvRecord()->clrText : 0; }
COLORREF TPTLvCustomDraw::RecordBackColor() const { return draw_ ? LvRecord()->clrTextBk : 0xFFFFFF; }

void TPTLvCustomDraw::Apply() {
  if (draw_) ApplyTo(true, LvRecord()->clrText, LvRecord()->clrTextBk);
}

}  // namespace stampwell
