// The wizard, the licence window and the folder browser at the screen's DPI. The program runs
// once per DPI, each time in a prefix whose screen is set to it (tools/wine-run-at-dpi.sh), and
// is told that DPI in STAMPWELL_TEST_DPI. It carries the setup's manifest, so the system sees
// it as the setup: aware of each monitor's DPI.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "framework/application.h"
#include "framework/dpi_scale.h"
#include "framework/window_dpi.h"
#include "shellbrowse/folderbrowse/folder_browse_window.h"
#include "shown_wizard.h"
#include "wizard/form2.h"
#include "wizard_test_support.h"

namespace stampwell::wizard {
namespace {

using testing::Pump;
using testing::ShownWizard;

unsigned TestDpi() {
  const char* text = std::getenv("STAMPWELL_TEST_DPI");
  return text ? static_cast<unsigned>(std::atoi(text)) : kDesignDpi;
}

RECT ScaledRect(int left, int top, int width, int height, unsigned dpi) {
  const ScaledSpan x = ScaleSpan(left, width, dpi), y = ScaleSpan(top, height, dpi);
  return RECT{x.start, y.start, x.start + x.length, y.start + y.length};
}

bool Inside(const RECT& inner, const RECT& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

std::string Describe(const RECT& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" + std::to_string(r.right) + "," +
         std::to_string(r.bottom) + ")";
}

void ForEachControl(TWinControl& parent, const std::function<void(TControl&)>& visit) {
  for (TControl* c : parent.Controls()) {
    visit(*c);
    if (auto* w = dynamic_cast<TWinControl*>(c)) ForEachControl(*w, visit);
  }
}

// Each control lies where its 96-dpi bounds say at the window's DPI, and one that lies inside
// its parent at 96 dpi does at this DPI too. The image buttons are one drawn frame: their
// size is the frame's, which rounds on its own.
void ExpectLaidOutAt(TForm& form, unsigned dpi) {
  ForEachControl(form, [&](TControl& c) {
    SCOPED_TRACE(c.Name());
    const RECT want = ScaledRect(c.DesignLeft(), c.DesignTop(), c.DesignWidth(), c.DesignHeight(), dpi);
    const RECT got = c.BoundsRect();
    EXPECT_EQ(got.left, want.left);
    EXPECT_EQ(got.top, want.top);
    if (auto* button = dynamic_cast<TYCLButton*>(&c)) {
      EXPECT_EQ(got.right - got.left, ScaleToDpi(button->FrameWidth(), dpi));
      EXPECT_EQ(got.bottom - got.top, ScaleToDpi(button->FrameHeight(), dpi));
    } else if (auto* label = dynamic_cast<TLabel*>(&c); label && label->AutoSize()) {
      // Measured from its text at this DPI, not scaled: checked by EveryLabelHoldsItsWholeText.
    } else if (c.Align() == TAlign::alNone) {
      EXPECT_EQ(got.right, want.right);
      EXPECT_EQ(got.bottom, want.bottom);
    }
    TWinControl* parent = c.Parent();
    const RECT parent_design{0, 0, parent->DesignWidth(), parent->DesignHeight()};
    const RECT design{c.DesignLeft(), c.DesignTop(), c.DesignLeft() + c.DesignWidth(), c.DesignTop() + c.DesignHeight()};
    if (dynamic_cast<TForm*>(parent) == nullptr && Inside(design, parent_design)) {
      const RECT parent_rect{0, 0, parent->Width(), parent->Height()};
      EXPECT_TRUE(Inside(got, parent_rect)) << Describe(got) << " outside " << Describe(parent_rect);
    }
  });
}

// The label's text as it draws, measured with the label's own font: within the label's box.
void ExpectTextFits(const TLabel& label) {
  if (label.Caption().empty()) return;
  scoped_window_dc screen(nullptr);
  scoped_select_object font(screen.get(), label.Font().Handle());
  RECT r{0, 0, 0, 0};
  ::DrawTextA(screen.get(), label.Caption().c_str(), -1, &r, DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS);
  EXPECT_LE(r.right, label.Width()) << label.Name() << ": \"" << label.Caption() << "\"";
  EXPECT_LE(r.bottom, label.Height()) << label.Name() << ": \"" << label.Caption() << "\"";
}

// The pixels that `surface` shows at `at` equal frame `frame` of the button's strip as drawn at
// the button's DPI; the first differing pixel is named.
void ExpectShowsFrame(HDC surface, POINT at, const TYCLButton& button, int frame) {
  const TBitmap& strip = button.Strip();
  const int width = strip.Width() / 4, height = strip.Height();
  ASSERT_EQ(button.Width(), width);
  ASSERT_EQ(button.Height(), height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const COLORREF shown = ::GetPixel(surface, at.x + x, at.y + y);
      const COLORREF drawn = ::GetPixel(strip.DC(), frame * width + x, y);
      if (shown != drawn) {
        ADD_FAILURE() << button.Name() << " frame " << frame << " differs at (" << x << "," << y << "): shown " << std::hex
                      << shown << ", picture " << drawn;
        return;
      }
    }
  }
}

class WizardAtDpi : public ShownWizard {
 protected:
  unsigned dpi_ = TestDpi();

  std::vector<TYCLButton*> ButtonsOf(int page) {
    std::vector<TYCLButton*> buttons;
    for (TControl* c : form_->Page(page).Controls())
      if (auto* b = dynamic_cast<TYCLButton*>(c); b && b->Visible()) buttons.push_back(b);
    return buttons;
  }
};

TEST_F(WizardAtDpi, WindowTakesTheScreenDpiAndTheScaledPictureSizeCentred) {
  EXPECT_EQ(WindowDpi(form_->hwnd()), dpi_);
  EXPECT_EQ(form_->Dpi(), dpi_);
  RECT window;
  ::GetWindowRect(form_->hwnd(), &window);
  const RECT work = WorkAreaOf(form_->hwnd());
  const int width = std::min<int>(ScaleToDpi(600, dpi_), work.right - work.left);
  const int height = std::min<int>(ScaleToDpi(350, dpi_), work.bottom - work.top);
  EXPECT_EQ(window.right - window.left, width);
  EXPECT_EQ(window.bottom - window.top, height);
  EXPECT_NEAR(window.left, (::GetSystemMetrics(SM_CXSCREEN) - width) / 2, 1);
  EXPECT_NEAR(window.top, (::GetSystemMetrics(SM_CYSCREEN) - height) / 2, 1);
  // The page picture fills the window exactly: the page control's offsets scale with it.
  POINT origin{0, 0};
  ::ClientToScreen(form_->Page(kChoicePage).Handle(), &origin);
  EXPECT_EQ(origin.x, window.left);
  EXPECT_EQ(origin.y, window.top);
}

TEST_F(WizardAtDpi, EveryControlLiesWhereItsFormNumbersSayAtThisDpi) { ExpectLaidOutAt(*form_, dpi_); }

TEST_F(WizardAtDpi, EveryLabelHoldsItsWholeText) {
  ForEachControl(*form_, [](TControl& c) {
    if (auto* label = dynamic_cast<TLabel*>(&c)) ExpectTextFits(*label);
  });
}

TEST_F(WizardAtDpi, EveryButtonShowsItsScaledFrameAndIsHitWhereItIsDrawn) {
  for (int page : {kChoicePage, kFolderPage, kProgressPage, kFinishPage}) {
    form_->ShowPage(page);
    TTabSheet& sheet = form_->Page(page);
    sheet.PaintSurface();
    for (TYCLButton* button : ButtonsOf(page)) {
      SCOPED_TRACE(button->Name());
      ExpectShowsFrame(sheet.SurfaceDC(), POINT{button->Left(), button->Top()}, *button, button->Enabled() ? 0 : 3);
      // The hit area is the drawn frame: its corners hit, the pixels beyond do not.
      const RECT r = button->BoundsRect();
      EXPECT_EQ(sheet.ControlAtPos(POINT{r.left, r.top}, true), button);
      EXPECT_EQ(sheet.ControlAtPos(POINT{r.right - 1, r.bottom - 1}, true), button);
      EXPECT_NE(sheet.ControlAtPos(POINT{r.right, r.bottom - 1}, true), button);
      EXPECT_NE(sheet.ControlAtPos(POINT{r.right - 1, r.bottom}, true), button);
    }
  }
}

TEST_F(WizardAtDpi, HoverFrameAndCrossFadeDrawTheScaledFrames) {
  TYCLButton& button = *form_->Button_QuickInstall;
  TTabSheet& sheet = form_->Page(kChoicePage);
  const POINT at{button.Left(), button.Top()};
  button.CMMouseEnter();
  for (int ticks = 0; button.FadingIn() && ticks < 100; ++ticks) button.FadeStep();
  ExpectShowsFrame(sheet.SurfaceDC(), at, button, 1);
  button.CMMouseLeave();
  for (int ticks = 0; button.FadingOut() && ticks < 100; ++ticks) button.FadeStep();
  ExpectShowsFrame(sheet.SurfaceDC(), at, button, 0);
}

TEST_F(WizardAtDpi, DpiChangedLaysTheWizardOutAgainAtTheNewDpi) {
  const unsigned next = dpi_ == 144 ? 120 : 144;
  RECT window;
  ::GetWindowRect(form_->hwnd(), &window);
  RECT suggested{window.left, window.top, window.left + ScaleToDpi(600, next), window.top + ScaleToDpi(350, next)};
  const RECT work = WorkAreaOf(form_->hwnd());
  ASSERT_TRUE(Inside(suggested, work)) << "the test's screen is too small for the suggested rectangle";
  ::SendMessageA(form_->hwnd(), WM_DPICHANGED, MAKEWPARAM(next, next), reinterpret_cast<LPARAM>(&suggested));
  Pump(50, form_->hwnd());

  EXPECT_EQ(form_->Dpi(), next);
  RECT now;
  ::GetWindowRect(form_->hwnd(), &now);
  EXPECT_EQ(Describe(now), Describe(suggested));
  ExpectLaidOutAt(*form_, next);
  EXPECT_EQ(form_->Label1->Font().PixelsPerInch(), next);
  ForEachControl(*form_, [](TControl& c) {
    if (auto* label = dynamic_cast<TLabel*>(&c)) ExpectTextFits(*label);
  });
  TTabSheet& sheet = form_->Page(kChoicePage);
  sheet.PaintSurface();
  ExpectShowsFrame(sheet.SurfaceDC(), POINT{form_->Button_QuickInstall->Left(), form_->Button_QuickInstall->Top()},
                   *form_->Button_QuickInstall, 0);
}

// Every page as it shows at this DPI, kept for people to look at.
TEST_F(WizardAtDpi, ScreenshotsOfEveryPage) {
  const char* build = std::getenv("STAMPWELL_BUILD_DIR");
  std::string folder = std::string("Z:") + (build ? build : "/tmp") + "/artifacts/dpi";
  for (char& c : folder)
    if (c == '/') c = '\\';
  ::CreateDirectoryA(folder.substr(0, folder.rfind('\\')).c_str(), nullptr);
  ::CreateDirectoryA(folder.c_str(), nullptr);
  for (int page = 0; page < form_->PageControl1->PageCount(); ++page) {
    form_->ShowPage(page);
    form_->PaintSurface();
    ::RedrawWindow(form_->hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump(100, form_->hwnd());
    testing::SaveScreenshot(form_->hwnd(), "dpi\\wizard_" + std::to_string(dpi_) + "dpi_page" + std::to_string(page));
  }
}

TEST(LicenceWindowAtDpi, TakesTheScaledSizeInsideTheWorkArea) {
  const unsigned dpi = TestDpi();
  TForm2 licence;
  licence.ShowCentred();
  Pump(50, licence.hwnd());
  EXPECT_EQ(licence.Dpi(), dpi);
  RECT window, client;
  ::GetWindowRect(licence.hwnd(), &window);
  ::GetClientRect(licence.hwnd(), &client);
  EXPECT_TRUE(Inside(window, WorkAreaOf(licence.hwnd()))) << Describe(window);
  // The client area scales; Wine draws the frame, the caption and the menu bar at one size at
  // every DPI, so at 96 dpi the client area was the form's size less what they take now.
  const int frame_width = window.right - window.left - client.right;
  const int frame_height = window.bottom - window.top - client.bottom;
  EXPECT_EQ(client.right, ScaleToDpi(TForm2::kWidth - frame_width, dpi));
  EXPECT_EQ(client.bottom, ScaleToDpi(TForm2::kHeight - frame_height, dpi));
  EXPECT_TRUE(Inside(licence.RichEdit1->BoundsRect(), client));
  EXPECT_EQ(licence.RichEdit1->Font().PixelsPerInch(), dpi);
  licence.Hide();
}

TEST(LicenceWindowAtDpi, OneLargerThanTheWorkAreaShrinksToItCaptionOnScreen) {
  TForm2 licence;
  const RECT work = WorkAreaOf(nullptr);
  licence.SetBounds(work.left - 50, work.top - 40, work.right - work.left + 300, work.bottom - work.top + 200);
  licence.Show();
  Pump(50, licence.hwnd());
  RECT window;
  ::GetWindowRect(licence.hwnd(), &window);
  EXPECT_EQ(Describe(window), Describe(work));
  licence.Hide();
}

TEST(FolderBrowserAtDpi, ScaledClientWithEveryControlInside) {
  const unsigned dpi = TestDpi();
  TPTFrmFolderBrowseDlg browser(nullptr);
  browser.ApplyOptions(kDefaultFolderBrowseDlgOptions);
  browser.Show();
  Application().ProcessMessages();
  EXPECT_EQ(browser.Dpi(), dpi);
  RECT client;
  ::GetClientRect(browser.Handle(), &client);
  EXPECT_EQ(client.right, ScaleToDpi(358, dpi));
  EXPECT_EQ(client.bottom, ScaleToDpi(313, dpi));
  ForEachControl(browser, [&](TControl& c) {
    if (!c.Visible() || c.Parent() != &browser) return;
    EXPECT_TRUE(Inside(c.BoundsRect(), client)) << c.Name() << " " << Describe(c.BoundsRect());
  });
  for (TControl* c : browser.ButtonPanel->Controls()) {
    if (!c->Visible()) continue;
    EXPECT_TRUE(Inside(c->BoundsRect(), browser.ButtonPanel->ClientRect()))
        << c->Name() << " " << Describe(c->BoundsRect()) << " outside " << Describe(browser.ButtonPanel->ClientRect());
  }
  EXPECT_EQ(browser.OkBtn->Font().PixelsPerInch(), dpi);
  browser.Hide();
}

}  // namespace
}  // namespace stampwell::wizard
