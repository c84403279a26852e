// The image button and the transparent label in a real window built from a form resource,
// read back from the window's memory surface: which frame shows at rest, hovered, pressed
// and disabled, when a click happens, and how the label lays out and lets the picture show.
#include <gtest/gtest.h>

#include "controls/skinned_controls.h"
#include "controls/ycl_button.h"
#include "controls/ycl_label.h"
#include "framework/application.h"
#include "framework/forms.h"
#include "framework/std_controls.h"

namespace stampwell {
namespace {

// The frames of the test strip (resources/forms/test_skinned.form), and the background.
const COLORREF kFrame[4] = {RGB(200, 0, 0), RGB(0, 200, 0), RGB(0, 0, 200), RGB(128, 128, 128)};
const COLORREF kBackground = RGB(255, 255, 0);

class TSkinnedForm : public TForm {
 public:
  explicit TSkinnedForm(TComponent* owner) : TForm(owner) {
    RegisterSkinnedControls();
    RegisterHandlers({
        {"Button1Click", TNotifyEvent([this](TObject*) { ++clicks; })},
        {"BackgroundMouseDown", TMouseEvent([this](TObject*, TMouseButton, TShiftState, int, int) { ++background_presses; })},
    });
    LoadFromResource("test_skinned");
    Button1 = &Field<TYCLButton>("Button1");
    Label1 = &Field<TYCLLabel>("Label1");
  }
  TYCLButton* Button1;
  TYCLLabel* Label1;
  int clicks = 0;
  int background_presses = 0;
};

class SkinnedControls : public ::testing::Test {
 protected:
  void SetUp() override {
    form_ = std::make_unique<TSkinnedForm>(nullptr);
    form_->Show();
    Application().ProcessMessages();
    form_->PaintSurface();
  }
  void TearDown() override {
    Application().UpdateMouseControl(POINT{-10000, -10000});
    form_.reset();
  }
  COLORREF ButtonPixel() { return form_->SurfacePixel(form_->Button1->Left() + 7, form_->Button1->Top() + 7); }
  POINT ScreenPoint(int x, int y) { return form_->ClientToScreen(POINT{x, y}); }
  void Hover() { Application().UpdateMouseControl(ScreenPoint(17, 17)); }
  void Leave() { Application().UpdateMouseControl(ScreenPoint(150, 100)); }
  void Mouse(UINT message, int x, int y) {
    ::SendMessageA(form_->Handle(), message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(x, y));
  }
  // Drives the fade to its end without real time; returns the ticks taken.
  int FinishFade() {
    int ticks = 0;
    while (form_->Button1->FadeTimer().Enabled() && ticks < 100) {
      form_->Button1->FadeStep();
      ++ticks;
    }
    return ticks;
  }
  int LeftmostInk(int y0, int y1, int x0, int x1) {
    for (int x = x0; x < x1; ++x) {
      for (int y = y0; y < y1; ++y) {
        if (form_->SurfacePixel(x, y) == RGB(0, 0, 0)) return x;
      }
    }
    return -1;
  }
  int RightmostInk(int y0, int y1, int x0, int x1) {
    for (int x = x1 - 1; x >= x0; --x) {
      for (int y = y0; y < y1; ++y) {
        if (form_->SurfacePixel(x, y) == RGB(0, 0, 0)) return x;
      }
    }
    return -1;
  }
  std::unique_ptr<TSkinnedForm> form_;
};

TEST_F(SkinnedControls, AStripOf56By14MakesA14By14ButtonThatFadesOnHover) {
  TYCLButton& b = *form_->Button1;
  EXPECT_EQ(b.Width(), 14);
  EXPECT_EQ(b.Height(), 14);
  EXPECT_TRUE(b.Ani());  // assigning the picture turned the fade on
  EXPECT_EQ(ButtonPixel(), kFrame[0]);

  Hover();
  EXPECT_TRUE(b.FadingIn());
  EXPECT_TRUE(b.FadeTimer().Enabled());
  b.FadeStep();  // level 0: still the normal frame
  EXPECT_EQ(ButtonPixel(), kFrame[0]);
  b.FadeStep();
  EXPECT_NE(ButtonPixel(), kFrame[0]);  // on its way
  // 26 ticks in all (levels 0 to 250); the tick that blends at 250 also copies the hover frame.
  EXPECT_EQ(FinishFade(), 24);
  EXPECT_EQ(ButtonPixel(), kFrame[1]);
  EXPECT_EQ(b.FadeLevel(), 255);

  // A repaint shows the normal frame even under the mouse: the hover look is only drawn by
  // the mouse handlers and the fade.
  form_->PaintSurface();
  EXPECT_EQ(ButtonPixel(), kFrame[0]);

  Leave();
  EXPECT_TRUE(b.FadingOut());
  FinishFade();
  EXPECT_EQ(ButtonPixel(), kFrame[0]);
  EXPECT_EQ(b.FadeLevel(), 0);
}

TEST_F(SkinnedControls, PressShowsThePressedFrameAndOnlyAReleaseInsideClicks) {
  TYCLButton& b = *form_->Button1;
  Hover();
  Mouse(WM_LBUTTONDOWN, 17, 17);
  EXPECT_EQ(ButtonPixel(), kFrame[2]);
  EXPECT_EQ(b.FadeLevel(), 255);
  EXPECT_FALSE(b.FadeTimer().Enabled());
  Mouse(WM_LBUTTONUP, 18, 18);
  EXPECT_EQ(ButtonPixel(), kFrame[1]);
  EXPECT_EQ(form_->clicks, 1);

  Mouse(WM_LBUTTONDOWN, 17, 17);
  // While the button holds the capture, the background under the cursor does not count.
  Application().UpdateMouseControl(ScreenPoint(150, 100));
  EXPECT_EQ(Application().MouseControl(), nullptr);
  Mouse(WM_LBUTTONUP, 150, 100);  // released outside: frame 1, no click
  EXPECT_EQ(ButtonPixel(), kFrame[1]);
  EXPECT_EQ(form_->clicks, 1);
  EXPECT_EQ(form_->background_presses, 0);
}

TEST_F(SkinnedControls, WithAniOffTheFramesSwitchAtOnce) {
  TYCLButton& b = *form_->Button1;
  b.SetAni(false);
  Hover();
  EXPECT_FALSE(b.FadeTimer().Enabled());
  EXPECT_EQ(ButtonPixel(), kFrame[1]);
  Mouse(WM_LBUTTONDOWN, 17, 17);
  EXPECT_EQ(ButtonPixel(), kFrame[2]);
  Mouse(WM_LBUTTONUP, 17, 17);
  EXPECT_EQ(ButtonPixel(), kFrame[1]);
  Leave();
  EXPECT_EQ(ButtonPixel(), kFrame[0]);
}

TEST_F(SkinnedControls, ADisabledButtonShowsFrame3AndIgnoresTheMouse) {
  TYCLButton& b = *form_->Button1;
  b.SetEnabled(false);
  form_->PaintSurface();
  EXPECT_EQ(ButtonPixel(), kFrame[3]);
  Hover();  // told, disabled as it is, but neither fades nor changes frame
  EXPECT_EQ(Application().MouseControl(), &b);
  EXPECT_FALSE(b.FadeTimer().Enabled());
  EXPECT_EQ(ButtonPixel(), kFrame[3]);
  Mouse(WM_LBUTTONDOWN, 17, 17);  // the press falls through to the background
  Mouse(WM_LBUTTONUP, 17, 17);
  EXPECT_EQ(ButtonPixel(), kFrame[3]);
  EXPECT_EQ(form_->clicks, 0);
  EXPECT_EQ(form_->background_presses, 1);
  b.SetEnabled(true);
  form_->PaintSurface();
  EXPECT_EQ(ButtonPixel(), kFrame[0]);
}

TEST_F(SkinnedControls, LabelIsLeftOrCentredCutWithAnEllipsisAndTransparent) {
  TYCLLabel& l = *form_->Label1;
  const int y0 = l.Top(), y1 = l.Top() + l.Height();
  int left = LeftmostInk(y0, y1, 0, 200);
  EXPECT_GE(left, l.Left());
  EXPECT_LE(left, l.Left() + 2);
  // Where there is no text, the background picture shows through.
  EXPECT_EQ(form_->SurfacePixel(l.Left() + 170, l.Top() + 2), kBackground);

  l.SetCenter(true);
  int centred_left = LeftmostInk(y0, y1, 0, 200), centred_right = RightmostInk(y0, y1, 0, 200);
  int middle = (centred_left + centred_right) / 2;
  EXPECT_NEAR(middle, l.Left() + l.Width() / 2, 2);

  l.SetCenter(false);
  l.SetCaption("A caption far too long to fit into this box at all");
  l.SetWidth(60);
  form_->PaintSurface();
  int right = RightmostInk(y0, y1, 0, 200);
  EXPECT_LT(right, l.Left() + 60);  // cut at the box, not overflowing
  EXPECT_GT(right, l.Left() + 40);  // ... and filled up to its end, where the ellipsis is

  l.SetTransparent(false);
  l.SetColor(clWhite);
  form_->PaintSurface();
  EXPECT_EQ(form_->SurfacePixel(l.Left() + 58, l.Top() + l.Height() - 1), RGB(255, 255, 255));
}

}  // namespace
}  // namespace stampwell
