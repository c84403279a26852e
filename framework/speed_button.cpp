#include "framework/speed_button.h"

#include <commctrl.h>

#include "framework/form_reader.h"
#include "framework/std_controls.h"

namespace stampwell {
namespace {

constexpr UINT_PTR kToolId = 1;

// A monochrome mask of a picture: 1 where its pixels have the transparent colour.
unique_hbitmap TransparencyMask(HDC source, int x, int y, int w, int h, COLORREF transparent) {
  unique_hbitmap mask(::CreateBitmap(w, h, 1, 1, nullptr));
  unique_hdc mask_dc(::CreateCompatibleDC(source));
  if (!mask || !mask_dc) return {};
  HGDIOBJ old = ::SelectObject(mask_dc.get(), mask.get());
  COLORREF old_back = ::SetBkColor(source, transparent);
  ::BitBlt(mask_dc.get(), 0, 0, w, h, source, x, y, SRCCOPY);
  ::SetBkColor(source, old_back);
  ::SelectObject(mask_dc.get(), old);
  return mask;
}

}  // namespace

std::string GetShortHint(const std::string& hint) {
  size_t bar = hint.find('|');
  return bar == std::string::npos ? hint : hint.substr(0, bar);
}

TSpeedButton::TSpeedButton(TComponent* owner) : TGraphicControl(owner) {
  width_ = 23;
  height_ = 22;
}

TSpeedButton::~TSpeedButton() {
  // The tooltip goes with its host window; destroy it here only while that still exists.
  if (tooltip_ && !::IsWindow(tooltip_.get())) tooltip_.release();
}

void TSpeedButton::SetGlyph(const TBitmap& glyph) {
  glyph_.Bitmap().Assign(glyph);
  Invalidate();
}

void TSpeedButton::LoadGlyphFromResource(const std::string& name) {
  glyph_.LoadFromResource(name);
  Invalidate();
}

void TSpeedButton::SetNumGlyphs(int count) {
  num_glyphs_ = count < 1 ? 1 : (count > 4 ? 4 : count);
  Invalidate();
}

int TSpeedButton::GlyphIndex() const {
  int wanted = !enabled_ ? 1 : (pressed_ ? 2 : 0);
  if (wanted < num_glyphs_) return wanted;
  return wanted == 1 ? -1 : 0;  // no disabled picture: the up picture, embossed
}

void TSpeedButton::DrawGlyph(HDC dc, int x, int y) {
  if (glyph_.Bitmap().Empty()) return;
  const TBitmap& glyph = glyph_.ForDpi(Dpi(), num_glyphs_);
  const int w = glyph.Width() / num_glyphs_, h = glyph.Height();
  if (w <= 0) return;
  int index = GlyphIndex();
  int source_x = (index < 0 ? 0 : index) * w;
  HDC source = glyph.DC();
  COLORREF transparent = ::GetPixel(source, 0, h - 1);
  unique_hbitmap mask = TransparencyMask(source, source_x, 0, w, h, transparent);
  unique_hdc mask_dc(::CreateCompatibleDC(dc));
  if (!mask || !mask_dc) return;
  HGDIOBJ old_mask = ::SelectObject(mask_dc.get(), mask.get());
  COLORREF old_text = ::SetTextColor(dc, RGB(0, 0, 0));
  COLORREF old_back = ::SetBkColor(dc, RGB(255, 255, 255));
  if (index >= 0) {
    // The picture where the mask is 0, what lies below where it is 1.
    ::BitBlt(dc, x, y, w, h, source, source_x, 0, SRCINVERT);
    ::BitBlt(dc, x, y, w, h, mask_dc.get(), 0, 0, SRCAND);
    ::BitBlt(dc, x, y, w, h, source, source_x, 0, SRCINVERT);
  } else {
    // Embossed: the shape in highlight one pixel down-right, then in shadow. 0xB8074A paints
    // the brush where the mask is 0 and keeps the surface where it is 1.
    constexpr DWORD kBrushThroughMask = 0x00B8074A;
    HBRUSH highlight = ::GetSysColorBrush(COLOR_BTNHIGHLIGHT), shadow = ::GetSysColorBrush(COLOR_BTNSHADOW);
    HGDIOBJ old_brush = ::SelectObject(dc, highlight);
    ::BitBlt(dc, x + 1, y + 1, w, h, mask_dc.get(), 0, 0, kBrushThroughMask);
    ::SelectObject(dc, shadow);
    ::BitBlt(dc, x, y, w, h, mask_dc.get(), 0, 0, kBrushThroughMask);
    ::SelectObject(dc, old_brush);
  }
  ::SetTextColor(dc, old_text);
  ::SetBkColor(dc, old_back);
  ::SelectObject(mask_dc.get(), old_mask);
}

void TSpeedButton::Paint(TCanvas& canvas) {
  UpdateTooltip();
  HDC dc = canvas.Handle();
  RECT r = ClientRect();
  if (!flat_) {
    ::DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed_ ? DFCS_PUSHED : 0));
  } else {
    canvas.Brush().Color = color_;
    canvas.FillRect(r);
    if (pressed_ || (hot_ && enabled_)) ::DrawEdge(dc, &r, pressed_ ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
  }
  const TBitmap& glyph = glyph_.ForDpi(Dpi(), num_glyphs_);
  int glyph_w = glyph.Empty() ? 0 : glyph.Width() / num_glyphs_, glyph_h = glyph.Height();
  int text_w = 0;
  if (!caption_.empty()) {
    canvas.Font() = font_;
    text_w = canvas.TextWidth(caption_);
  }
  int gap = glyph_w > 0 && text_w > 0 ? spacing_ : 0;
  int x = (width_ - (glyph_w + gap + text_w)) / 2, y = (height_ - glyph_h) / 2;
  int shift = pressed_ ? 1 : 0;
  DrawGlyph(dc, x + shift, y + shift);
  if (text_w > 0) {
    canvas.Brush().Style = TBrushStyle::bsClear;
    if (!enabled_) canvas.Font().SetColor(clGrayText);
    int text_y = (height_ - canvas.TextHeight(caption_)) / 2;
    canvas.TextOut(x + glyph_w + gap + shift, text_y + shift, caption_);
  }
}

void TSpeedButton::WMLButtonDown(TShiftState shift, int x, int y) {
  pressed_ = true;
  Invalidate();
  TGraphicControl::WMLButtonDown(shift, x, y);
}

void TSpeedButton::WMMouseMove(TShiftState shift, int x, int y) {
  if (clicked_) {
    bool inside = x >= 0 && y >= 0 && x < width_ && y < height_;
    if (inside != pressed_) {
      pressed_ = inside;
      Invalidate();
    }
  }
  TGraphicControl::WMMouseMove(shift, x, y);
}

void TSpeedButton::WMLButtonUp(TShiftState shift, int x, int y) {
  if (pressed_) {
    pressed_ = false;
    Invalidate();
  }
  TGraphicControl::WMLButtonUp(shift, x, y);
}

void TSpeedButton::CMMouseEnter() {
  hot_ = true;
  if (flat_) Invalidate();
  TGraphicControl::CMMouseEnter();
}

void TSpeedButton::CMMouseLeave() {
  hot_ = false;
  if (flat_) Invalidate();
  TGraphicControl::CMMouseLeave();
}

void TSpeedButton::EnabledChanged() {
  pressed_ = false;
  Invalidate();
}

void TSpeedButton::BoundsChanged() { UpdateTooltip(); }

void TSpeedButton::UpdateTooltip() {
  HWND host = parent_ ? parent_->HandleOrNull() : nullptr;
  if (!host || !show_hint_ || hint_.empty()) {
    if (tooltip_ && ::IsWindow(tooltip_.get())) {
      TOOLINFOA tool{};
      tool.cbSize = TTTOOLINFOA_V2_SIZE;
      tool.hwnd = tooltip_host_;
      tool.uId = kToolId;
      ::SendMessageA(tooltip_.get(), TTM_DELTOOL, 0, reinterpret_cast<LPARAM>(&tool));
    }
    return;
  }
  if (tooltip_ && (!::IsWindow(tooltip_.get()) || tooltip_host_ != host)) {
    if (!::IsWindow(tooltip_.get())) tooltip_.release();
    tooltip_.reset();
  }
  bool created = false;
  if (!tooltip_) {
    InitCommonControlClasses();
    tooltip_.reset(::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, host, nullptr,
                                     ::GetModuleHandleA(nullptr), nullptr));
    if (!tooltip_) return;
    tooltip_host_ = host;
    created = true;
  }
  std::string text = GetShortHint(hint_);
  TOOLINFOA tool{};
  // The record without its newest field: common controls 5 and 6 both take it, while the full
  // size is refused by version 5.
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  // The tooltip watches the host's mouse messages itself over the button's area.
  tool.uFlags = TTF_SUBCLASS;
  tool.hwnd = host;
  tool.uId = kToolId;
  tool.rect = BoundsRect();
  tool.lpszText = text.data();
  if (created) {
    ::SendMessageA(tooltip_.get(), TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&tool));
  } else {
    ::SendMessageA(tooltip_.get(), TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&tool));
    ::SendMessageA(tooltip_.get(), TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

bool TSpeedButton::SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) {
  if (name == "Glyph.Data") {
    const auto& bytes = context.Binary(value);
    try {
      glyph_.Bitmap().LoadFromBytes(bytes.data(), bytes.size());
    } catch (const Exception& e) {
      context.Fail(e.Message());
    }
    Invalidate();
  } else if (name == "Glyph.Resource") {
    std::string resource = context.String(value);
    try {
      LoadGlyphFromResource(resource);
    } catch (const Exception& e) {
      context.Fail(e.Message());
    }
  } else if (name == "NumGlyphs") {
    SetNumGlyphs(context.Integer(value));
  } else if (name == "Spacing") {
    SetSpacing(context.Integer(value));
  } else if (name == "Flat") {
    SetFlat(context.Boolean(value));
  } else if (name == "Margin") {
    context.Integer(value);  // the glyph is always centred
  } else {
    return TGraphicControl::SetProperty(name, value, context);
  }
  return true;
}

void RegisterSpeedButtonClass() { RegisterFormClass<TSpeedButton>("TSpeedButton"); }

}  // namespace stampwell
