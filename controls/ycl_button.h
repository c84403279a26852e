#pragma once
// The image button: a windowless button whose whole look is one picture, a strip of four
// equal frames (normal, hover, pressed, disabled). With Ani on, the mouse coming onto or
// leaving the button cross-fades between the normal and the hover frame in 10 ms steps.
// Reached by the keyboard, it draws the focus cue over every frame it shows.

#include <string>

#include "controls/fade_state.h"
#include "controls/focus_cue.h"
#include "framework/controls.h"
#include "framework/graphics.h"
#include "framework/timer.h"

namespace stampwell {

class TYCLButton : public TGraphicControl, public TFocusCueHolder {
 public:
  explicit TYCLButton(TComponent* owner);
  ~TYCLButton() override;

  const TPicture& Picture() const { return picture_; }
  // Copies the picture; a non-empty one sizes the button to one frame and turns Ani on.
  void SetPicture(const TPicture& picture);
  bool Ani() const { return ani_; }
  void SetAni(bool ani) { ani_ = ani; }
  const std::string& MYText() const { return my_text_; }
  void SetMYText(const std::string& text);
  TColor MYTextColor() const { return my_text_color_; }
  void SetMYTextColor(TColor color);

  // Frame geometry: width = picture width div 4, height = picture height (0 without one).
  int FrameWidth() const { return picture_.Width() / 4; }
  int FrameHeight() const { return picture_.Height(); }
  // The strip as it is drawn at the button's DPI; its frames are Strip().Width() / 4 wide.
  const TBitmap& Strip() const { return picture_.ForDpi(Dpi(), 4); }

  // The fade's state, and one tick of it (what the 10 ms timer calls).
  int FadeLevel() const { return fade_.Level(); }
  bool FadingIn() const { return fade_.FadingIn(); }
  bool FadingOut() const { return fade_.FadingOut(); }
  const TTimer& FadeTimer() const { return *fade_timer_; }
  void FadeStep();

  void Paint(TCanvas& canvas) override;
  void SetEnabled(bool enabled) override;
  void CMMouseEnter() override;
  void CMMouseLeave() override;
  void WMLButtonDown(TShiftState shift, int x, int y) override;
  void WMLButtonUp(TShiftState shift, int x, int y) override;
  void ChangeScale(unsigned dpi) override;

  bool SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) override;

 protected:
  void FocusCueChanged() override { Invalidate(); }

 private:
  // The keyboard focus cue over whatever frame was just drawn.
  void FocusStep(TCanvas& canvas) const;
  void CopyFrame(TCanvas& canvas, int frame) const;
  void FitToFrame();
  void CaptionStep(TCanvas& canvas) const;
  void ShowFrame(int frame);

  TPicture picture_;
  bool ani_ = false;
  std::string my_text_;
  TColor my_text_color_ = clBlack;
  TBitmap blend_image_;
  TBitmap hover_image_;
  TTimer* fade_timer_;  // owned as a component
  FadeState fade_;
};

}  // namespace stampwell
