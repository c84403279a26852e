#include "controls/ycl_button.h"

#include "controls/blend.h"
#include "framework/form_reader.h"
#include "framework/std_controls.h"

namespace stampwell {

TYCLButton::TYCLButton(TComponent* owner) : TGraphicControl(owner), fade_timer_(new TTimer(this)) {
  width_ = 105;
  height_ = 105;
  blend_image_.SetPixelFormat(TPixelFormat::pf24bit);
  hover_image_.SetPixelFormat(TPixelFormat::pf24bit);
  fade_timer_->SetEnabled(false);
  fade_timer_->SetInterval(10);
  fade_timer_->SetOnTimer([this](TObject*) { FadeStep(); });
}

TYCLButton::~TYCLButton() = default;

void TYCLButton::SetPicture(const TPicture& picture) {
  picture_.Assign(picture);
  if (picture_.Width() > 0 && picture_.Height() > 0) {
    SetDesignBounds(DesignLeft(), DesignTop(), picture_.Width() / 4, picture_.Height());
    FitToFrame();
    ani_ = true;
  }
  Invalidate();
}

void TYCLButton::SetMYText(const std::string& text) {
  my_text_ = text;
  Repaint();
}

void TYCLButton::SetMYTextColor(TColor color) {
  my_text_color_ = color;
  Repaint();
}

void TYCLButton::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  // A button that stops taking input also stops fading, so that it rests on its disabled frame.
  if (!enabled) {
    fade_timer_->SetEnabled(false);
    fade_.Stop();
  }
  TGraphicControl::SetEnabled(enabled);
}

void TYCLButton::ChangeScale(unsigned dpi) {
  TGraphicControl::ChangeScale(dpi);
  FitToFrame();
}

void TYCLButton::FitToFrame() {
  // The button is exactly one drawn frame, whose size rounds on its own rather than from the
  // scaled edges: the hit area is what the user sees.
  if (picture_.Bitmap().Empty()) return;
  // Its size only: the strip is read and scaled when the button is first drawn, so the buttons
  // of pages not shown yet cost the window's making nothing.
  const SIZE strip = picture_.SizeForDpi(Dpi(), 4);
  placing_from_design_ = true;
  SetBounds(left_, top_, strip.cx / 4, strip.cy);
  placing_from_design_ = false;
}

void TYCLButton::CopyFrame(TCanvas& canvas, int frame) const {
  const TBitmap& strip = Strip();
  int fw = strip.Width() / 4, h = strip.Height();
  if (fw <= 0 || h <= 0) return;
  canvas.CopyRect(RECT{0, 0, fw, h}, strip, RECT{frame * fw, 0, (frame + 1) * fw, h});
}

void TYCLButton::CaptionStep(TCanvas& canvas) const {
  if (my_text_.empty()) return;
  canvas.Font().SetName("MS Sans Serif");
  canvas.Font().SetHeight(18);
  canvas.Font().SetStyle(fsBold);
  canvas.Font().SetColor(my_text_color_);
  canvas.Font().SetPixelsPerInch(Dpi());
  canvas.Brush().Style = TBrushStyle::bsClear;
  canvas.TextOut(width_ / 2 - canvas.TextWidth(my_text_) / 2 - Scale(20), Scale(9), my_text_);
}

void TYCLButton::FocusStep(TCanvas& canvas) const {
  // The small close buttons have no room inside their picture for the cue.
  DrawFocusCue(canvas.Handle(), ClientRect(), width_ < Scale(30) || height_ < Scale(20) ? 0 : Scale(3));
}

void TYCLButton::ShowFrame(int frame) {
  DrawNow([&](TCanvas& canvas) {
    if (frame >= 0) CopyFrame(canvas, frame);
    CaptionStep(canvas);
    if (frame >= 0) FocusStep(canvas);
  });
}

void TYCLButton::Paint(TCanvas& canvas) {
  if (!visible_) return;
  CopyFrame(canvas, enabled_ ? 0 : 3);
  CaptionStep(canvas);
  FocusStep(canvas);
}

void TYCLButton::CMMouseEnter() {
  int frame = -1;
  if (ani_ && enabled_) {
    fade_.StartFadeIn();
    fade_timer_->SetEnabled(true);
  } else if (enabled_) {
    frame = 1;
  }
  ShowFrame(frame);
  TGraphicControl::CMMouseEnter();
}

void TYCLButton::CMMouseLeave() {
  int frame = -1;
  if (ani_ && enabled_) {
    fade_.StartFadeOut();
    fade_timer_->SetEnabled(true);
  } else if (enabled_) {
    frame = 0;
  }
  ShowFrame(frame);
  TGraphicControl::CMMouseLeave();
}

void TYCLButton::WMLButtonDown(TShiftState shift, int x, int y) {
  fade_timer_->SetEnabled(false);
  fade_.Press();
  ShowFrame(2);
  TGraphicControl::WMLButtonDown(shift, x, y);
}

void TYCLButton::WMLButtonUp(TShiftState shift, int x, int y) {
  fade_timer_->SetEnabled(false);
  fade_.Release();
  ShowFrame(1);
  TGraphicControl::WMLButtonUp(shift, x, y);
}

void TYCLButton::FadeStep() {
  blend_image_.SetSize(width_, height_);
  hover_image_.SetSize(width_, height_);
  const TBitmap& strip = Strip();
  if (!strip.Empty() && !blend_image_.Empty()) {
    const int frame_width = strip.Width() / 4;
    ::BitBlt(blend_image_.DC(), 0, 0, width_, height_, strip.DC(), 0, 0, SRCCOPY);
    ::BitBlt(hover_image_.DC(), 0, 0, width_, height_, strip.DC(), frame_width, 0, SRCCOPY);
  }
  FadeState::Tick tick = fade_.Step();
  if (tick.blend && !blend_image_.Empty()) {
    PixelRows current{blend_image_.ScanLine(0), blend_image_.Stride(), width_, height_};
    PixelRows target{hover_image_.ScanLine(0), hover_image_.Stride(), hover_image_.Width(), hover_image_.Height()};
    BlendPixels(current, target, tick.level, BlendTable::Shared());
    DrawNow([&](TCanvas& canvas) {
      canvas.Draw(0, 0, blend_image_);
      FocusStep(canvas);
    });
  }
  if (tick.finished) {
    DrawNow([&](TCanvas& canvas) {
      CopyFrame(canvas, tick.frame);
      FocusStep(canvas);
    });
    fade_timer_->SetEnabled(false);
  }
}

bool TYCLButton::SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) {
  TPicture picture;
  if (ReadPictureProperty(picture, name, value, context)) SetPicture(picture);
  else if (name == "Ani") SetAni(context.Boolean(value));
  else if (name == "MYText") SetMYText(context.String(value));
  else if (name == "MYTextColor") SetMYTextColor(context.Color(value));
  else return TGraphicControl::SetProperty(name, value, context);
  return true;
}

}  // namespace stampwell
