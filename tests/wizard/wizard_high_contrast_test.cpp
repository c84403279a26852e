// The wizard under high contrast: the setting is read through its seam, so that the test does
// not change the session's own colours; the pages are read back from the window's surface.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>

#include "framework/application.h"
#include "wizard/form1.h"
#include "wizard/seams.h"
#include "wizard_test_support.h"

namespace stampwell::wizard {
namespace {

using testing::Pump;

bool g_high_contrast = false;
bool HighContrastForTest() { return g_high_contrast; }

COLORREF PageAt(TForm1& form, int page, int x, int y) {
  return form.Page(page).SurfacePixel(x, y);
}

COLORREF ShownAt(TControl& control, int x, int y) {
  auto* page = dynamic_cast<TCustomControl*>(control.Parent());
  return page->SurfacePixel(control.Left() + x, control.Top() + y);
}

class HighContrastWizard : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = seams::HighContrastOn;
    seams::HighContrastOn = &HighContrastForTest;
  }
  void TearDown() override {
    form_.reset();
    Pump(50);
    testing::TakeQuit();
    Application().ClearTerminated();
    seams::HighContrastOn = saved_;
    g_high_contrast = false;
  }
  void Open() {
    form_ = std::make_unique<TForm1>();
    form_->Show();
    Pump(150, form_->hwnd());
  }
  seams::HighContrastOnFn saved_ = nullptr;
  std::unique_ptr<TForm1> form_;
};

TEST_F(HighContrastWizard, ButtonsAndTextsTakeTheSystemColoursOverAPlainBackground) {
  g_high_contrast = true;
  Open();
  testing::SaveScreenshot(form_->hwnd(), "wizard-high-contrast-choice-page");
  const COLORREF window = ::GetSysColor(COLOR_WINDOW);
  // Where the choice page's picture had its decoration, the window colour.
  EXPECT_EQ(PageAt(*form_, kChoicePage, 300, 40), window);
  EXPECT_EQ(PageAt(*form_, kChoicePage, 20, 340), window);

  TYCLButton& quick = *form_->Button_QuickInstall;
  EXPECT_EQ(ShownAt(quick, 0, 0), ::GetSysColor(COLOR_BTNTEXT));
  EXPECT_EQ(ShownAt(quick, 3, 3), ::GetSysColor(COLOR_BTNFACE));
  // The name is written on it: some pixels of its middle row are in the text colour.
  int ink = 0;
  for (int x = 0; x < quick.Width(); ++x) ink += ShownAt(quick, x, quick.Height() / 2) == ::GetSysColor(COLOR_BTNTEXT);
  EXPECT_GT(ink, 4);

  form_->CheckBox5Click();
  Pump(100, form_->hwnd());
  EXPECT_EQ(ShownAt(quick, 0, 0), ::GetSysColor(COLOR_GRAYTEXT));
  form_->CheckBox5Click();

  // The texts that the folder page's picture carried are labels now.
  form_->ShowPage(kFolderPage);
  Pump(100, form_->hwnd());
  testing::SaveScreenshot(form_->hwnd(), "wizard-high-contrast-folder-page");
  int plain_texts = 0;
  for (TControl* control : form_->Page(kFolderPage).Controls()) {
    auto* label = dynamic_cast<TLabel*>(control);
    if (!label || !label->Visible()) continue;
    const std::string& text = label->Caption();
    plain_texts += text == "Destination folder" || text == "Create a desktop icon" || text == "Start Menu shortcuts";
    EXPECT_EQ(ColorToRGB(label->Font().Color()), ::GetSysColor(COLOR_WINDOWTEXT)) << text;
  }
  EXPECT_EQ(plain_texts, 3);
  EXPECT_FALSE(form_->Field<TImage>("Image5").Visible());
  EXPECT_EQ(ColorToRGB(form_->CheckBox1->Color()), window);
}

TEST_F(HighContrastWizard, TurningItOffGivesBackThePictures) {
  g_high_contrast = true;
  Open();
  g_high_contrast = false;
  ::SendMessageA(form_->hwnd(), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
  Pump(100, form_->hwnd());
  TYCLButton& quick = *form_->Button_QuickInstall;
  const int x = quick.Width() / 2, y = quick.Height() / 2;
  EXPECT_EQ(ShownAt(quick, x, y), ::GetPixel(quick.Picture().Bitmap().DC(), x, y));
  EXPECT_TRUE(form_->Field<TImage>("Image1").Visible());
  EXPECT_EQ(form_->CheckBox5->Color(), static_cast<TColor>(13666086));
}

}  // namespace
}  // namespace stampwell::wizard
