// The windowless standard controls: the image and the label.

#include "framework/std_controls.h"

#include "framework/form_reader.h"

namespace stampwell {

// ---- TImage ----

TImage::TImage(TComponent* owner) : TGraphicControl(owner) {
  width_ = 105;
  height_ = 105;
}

void TImage::SetPicture(const TPicture& picture) {
  picture_.Assign(picture);
  if (auto_size_ && !picture_.Bitmap().Empty()) SetDesignBounds(DesignLeft(), DesignTop(), picture_.Width(), picture_.Height());
  Invalidate();
}

void TImage::Paint(TCanvas& canvas) {
  const TBitmap& bitmap = picture_.ForDpi(canvas.Dpi());
  if (bitmap.Empty()) return;
  if (stretch_) {
    canvas.StretchDraw(ClientRect(), bitmap);
  } else if (center_) {
    canvas.Draw((width_ - bitmap.Width()) / 2, (height_ - bitmap.Height()) / 2, bitmap);
  } else {
    canvas.Draw(0, 0, bitmap);
  }
}

bool TImage::SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) {
  if (ReadPictureProperty(picture_, name, value, context)) {
    if (auto_size_) SetDesignBounds(DesignLeft(), DesignTop(), picture_.Width(), picture_.Height());
    Invalidate();
  } else if (name == "Stretch") SetStretch(context.Boolean(value));
  else if (name == "Center") SetCenter(context.Boolean(value));
  else if (name == "AutoSize") auto_size_ = context.Boolean(value);
  else if (name == "Transparent" || name == "Proportional" || name == "IncrementalDisplay") context.Boolean(value);
  else return TGraphicControl::SetProperty(name, value, context);
  return true;
}

// ---- TLabel ----

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) {
  width_ = 65;
  height_ = 13;
}

void TLabel::SetAutoSize(bool v) {
  auto_size_ = v;
  AdjustSize();
}

void TLabel::TextChanged() {
  AdjustSize();
  Invalidate();
}

void TLabel::FontChanged() {
  AdjustSize();
  Invalidate();
}

void TLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustSize();
}

// While the form is read, each of a label's properties (caption, font name, height, style,
// colour) would measure the text anew with a new font; the label is measured once when the
// reading is done.
void TLabel::AdjustSize() {
  if (!auto_size_ || Loading()) return;
  scoped_window_dc screen(nullptr);
  HDC dc = screen.get();
  scoped_select_object font(dc, font_.Handle());
  RECT r{0, 0, word_wrap_ ? width_ : 0, 0};
  std::string text = caption_.empty() ? std::string(" ") : caption_;
  UINT format = DT_CALCRECT | DT_EXPANDTABS | (word_wrap_ ? DT_WORDBREAK : 0) | (show_accel_char_ ? 0 : DT_NOPREFIX);
  ::DrawTextA(dc, text.c_str(), -1, &r, format);
  SetBounds(left_, top_, r.right, r.bottom);
}

void TLabel::Paint(TCanvas& canvas) {
  RECT r = ClientRect();
  if (!transparent_) {
    canvas.Brush().Color = color_;
    canvas.FillRect(r);
  }
  canvas.Font() = font_;
  canvas.Brush().Style = TBrushStyle::bsClear;
  canvas.PrepareText();
  UINT format = DT_EXPANDTABS | (word_wrap_ ? DT_WORDBREAK : 0) | (show_accel_char_ ? 0 : DT_NOPREFIX);
  if (alignment_ == TAlignment::taCenter) format |= DT_CENTER;
  if (alignment_ == TAlignment::taRightJustify) format |= DT_RIGHT;
  if (!enabled_) ::SetTextColor(canvas.Handle(), ::GetSysColor(COLOR_GRAYTEXT));
  if (layout_ != TTextLayout::tlTop) {
    RECT calc = r;
    ::DrawTextA(canvas.Handle(), caption_.c_str(), -1, &calc, format | DT_CALCRECT);
    int offset = (r.bottom - calc.bottom) / (layout_ == TTextLayout::tlCenter ? 2 : 1);
    r.top += offset;
  }
  ::DrawTextA(canvas.Handle(), caption_.c_str(), -1, &r, format);
}

bool TLabel::SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) {
  if (name == "Transparent") SetTransparent(context.Boolean(value));
  else if (name == "AutoSize") SetAutoSize(context.Boolean(value));
  else if (name == "WordWrap") SetWordWrap(context.Boolean(value));
  else if (name == "ShowAccelChar") show_accel_char_ = context.Boolean(value);
  else if (name == "Alignment") SetAlignment(static_cast<TAlignment>(context.Enum(value, AlignmentNames())));
  else if (name == "Layout") layout_ = static_cast<TTextLayout>(context.Enum(value, {"tlTop", "tlCenter", "tlBottom"}));
  else if (name == "FocusControl") context.Identifier(value);
  else return TGraphicControl::SetProperty(name, value, context);
  return true;
}

}  // namespace stampwell
