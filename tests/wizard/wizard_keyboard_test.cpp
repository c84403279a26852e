// The wizard window by keyboard alone: real key presses through the system's input queue, read
// back as the focus, the pages, the acceptance and what the pages show.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <vector>

#include "framework/application.h"
#include "wizard/form1.h"
#include "wizard/form2.h"
#include "wizard/wizard_keyboard.h"
#include "shown_wizard.h"
#include "wizard_test_support.h"

namespace stampwell::wizard {
namespace {

using testing::Pump;

bool Checked(TCheckBox* box) { return ::SendMessageA(box->Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED; }

// The colour that the page shows at a point of a windowless control.
COLORREF ShownAt(TControl& control, int x, int y) {
  auto* page = dynamic_cast<TCustomControl*>(control.Parent());
  return page->SurfacePixel(control.Left() + x, control.Top() + y);
}

COLORREF StripAt(const TYCLButton& button, int frame, int x, int y) {
  return ::GetPixel(button.Picture().Bitmap().DC(), frame * button.FrameWidth() + x, y);
}

class WizardKeys : public testing::ShownWizard {
 protected:
  void Key(WORD key) {
    testing::PressKey(key);
    testing::PumpInput(form_->hwnd());
  }
  void ShiftTab() {
    testing::PressShiftTab();
    testing::PumpInput(form_->hwnd());
  }
  TControl* Focused() const { return form_->Keyboard().Focused(); }
};

TEST_F(WizardKeys, TabWalksTheChoicePageInReadingOrderAndSkipsDisabledButtons) {
  TControl* close = &form_->CloseButton(0);
  const std::vector<TControl*> order = {form_->CheckBox5, form_->Label10, form_->Button_QuickInstall,
                                        form_->Button_custominstall, close};
  for (TControl* expected : order) {
    Key(VK_TAB);
    EXPECT_EQ(Focused(), expected) << expected->Name();
  }
  Key(VK_TAB);
  EXPECT_EQ(Focused(), form_->CheckBox5) << "Tab goes round";
  ShiftTab();
  EXPECT_EQ(Focused(), close);
  ShiftTab();
  EXPECT_EQ(Focused(), form_->Button_custominstall);
  // The acceptance never moved while the focus passed it.
  EXPECT_TRUE(Checked(form_->CheckBox5));

  // Without the acceptance both install buttons are disabled, and Tab passes them by.
  form_->Keyboard().FocusControl(form_->CheckBox5);
  Key(VK_SPACE);
  ASSERT_FALSE(Checked(form_->CheckBox5));
  Key(VK_TAB);
  EXPECT_EQ(Focused(), form_->Label10);
  Key(VK_TAB);
  EXPECT_EQ(Focused(), close);
}

TEST_F(WizardKeys, TheAcceptanceBoxTogglesOnlyBySpaceNeverByTheFocus) {
  Key(VK_TAB);
  ASSERT_EQ(::GetFocus(), form_->CheckBox5->Handle());
  EXPECT_TRUE(Checked(form_->CheckBox5));
  EXPECT_TRUE(form_->Button_QuickInstall->Enabled());

  Key(VK_SPACE);
  EXPECT_FALSE(Checked(form_->CheckBox5));
  EXPECT_FALSE(form_->Button_QuickInstall->Enabled());
  EXPECT_FALSE(form_->Button_custominstall->Enabled());
  // Once the keyboard was used, the box shows where the focus is.
  EXPECT_FALSE(::SendMessageA(form_->CheckBox5->Handle(), WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS);

  // Round the page and back onto the box, both ways: nothing changes.
  for (int i = 0; i < 3; ++i) Key(VK_TAB);
  for (int i = 0; i < 3; ++i) ShiftTab();
  ASSERT_EQ(Focused(), form_->CheckBox5);
  EXPECT_FALSE(Checked(form_->CheckBox5));

  Key(VK_SPACE);
  EXPECT_TRUE(Checked(form_->CheckBox5));
  EXPECT_TRUE(form_->Button_QuickInstall->Enabled());
  EXPECT_TRUE(form_->Button_custominstall->Enabled());
}

TEST_F(WizardKeys, TheFocusCueIsDrawnOnlyOnceANavigationKeyWasPressed) {
  TYCLButton& quick = *form_->Button_QuickInstall;
  // The dotted rectangle runs three pixels in from the edges: count the pixels of that row
  // that differ from the picture.
  auto cue_pixels = [&] {
    int differing = 0;
    for (int x = 3; x < quick.Width() - 3; ++x) differing += ShownAt(quick, x, 3) != StripAt(quick, 0, x, 3);
    return differing;
  };
  EXPECT_EQ(cue_pixels(), 0);

  // A program may move the focus by itself: a mouse user still sees no cue.
  form_->Keyboard().FocusControl(&quick);
  Pump(100, form_->hwnd());
  EXPECT_EQ(Focused(), &quick);
  EXPECT_FALSE(quick.FocusCue());
  EXPECT_EQ(cue_pixels(), 0);

  Key(VK_TAB);
  ShiftTab();
  ASSERT_EQ(Focused(), &quick);
  EXPECT_TRUE(quick.FocusCue());
  EXPECT_GT(cue_pixels(), quick.Width() / 4);
  // Inside the cue the picture stays as it is.
  const int cx = quick.Width() / 2, cy = quick.Height() / 2;
  EXPECT_EQ(ShownAt(quick, cx, cy), StripAt(quick, 0, cx, cy));

  Key(VK_TAB);
  EXPECT_FALSE(quick.FocusCue());
  EXPECT_EQ(cue_pixels(), 0);
  EXPECT_TRUE(form_->Button_custominstall->FocusCue());

  // A focused button that becomes disabled (a screen reader cleared the acceptance) shows no cue.
  form_->CheckBox5Click();
  EXPECT_FALSE(form_->Button_custominstall->FocusCue());
}

TEST_F(WizardKeys, SpaceAndEnterPressTheFocusedButtonAndEnterElsewhereTheMainOne) {
  int quick = 0, install = 0;
  form_->Button_QuickInstallClick = [&] { ++quick; };
  form_->Button_installClick = [&] { ++install; };

  // Enter on the acceptance box: the page's main button, Quick Install.
  Key(VK_TAB);
  Key(VK_RETURN);
  EXPECT_EQ(quick, 1);
  EXPECT_TRUE(Checked(form_->CheckBox5));

  // Space on Custom Install shows the folder page.
  Key(VK_TAB);
  Key(VK_TAB);
  Key(VK_TAB);
  ASSERT_EQ(Focused(), form_->Button_custominstall);
  Key(VK_SPACE);
  ASSERT_EQ(form_->ActivePage(), kFolderPage);
  EXPECT_EQ(quick, 1);

  // From the folder field, Enter installs.
  Key(VK_TAB);
  ASSERT_EQ(Focused(), form_->Edit1);
  Key(VK_RETURN);
  EXPECT_EQ(install, 1);

  // Back by Enter on the focused Back button.
  for (int i = 0; i < 5; ++i) Key(VK_TAB);
  ASSERT_EQ(Focused(), form_->Button_back);
  Key(VK_RETURN);
  EXPECT_EQ(form_->ActivePage(), kChoicePage);
  EXPECT_EQ(install, 1);

  // Without the acceptance, Enter does nothing.
  form_->Keyboard().FocusControl(form_->CheckBox5);
  Key(VK_SPACE);
  Key(VK_RETURN);
  EXPECT_EQ(quick, 1);
}

TEST_F(WizardKeys, EscIsTheCloseButtonWithItsQuestion) {
  Application().SetMainForm(form_.get());
  {
    testing::MessageBoxAnswerer no(IDNO);
    Key(VK_ESCAPE);
    ASSERT_EQ(no.seen().size(), 1u);
    EXPECT_EQ(no.seen()[0].caption, "Tip");
  }
  EXPECT_TRUE(::IsWindowVisible(form_->hwnd()));
  // The progress page has no close button: Esc does nothing there.
  form_->ShowPage(kProgressPage);
  {
    testing::MessageBoxAnswerer yes(IDYES);
    Key(VK_ESCAPE);
    EXPECT_TRUE(yes.seen().empty());
  }
  EXPECT_FALSE(Application().Terminated());
}

TEST_F(WizardKeys, TheLicenceLinkOpensTheLicenceWindow) {
  TForm2 licence;
  form_->SetLicenceWindow(&licence);
  Key(VK_TAB);
  Key(VK_TAB);
  ASSERT_EQ(Focused(), form_->Label10);
  Key(VK_RETURN);
  EXPECT_TRUE(::IsWindowVisible(licence.hwnd()));
  licence.Hide();
  form_->SetLicenceWindow(nullptr);
}

TEST_F(WizardKeys, EscClosesTheLicenceWindow) {
  TForm2 licence;
  licence.ShowCentred();
  ::SetForegroundWindow(licence.hwnd());
  ::SetFocus(licence.RichEdit1->Handle());
  Pump(150, licence.hwnd());
  ASSERT_TRUE(::IsWindowVisible(licence.hwnd()));
  testing::PressKey(VK_ESCAPE);
  testing::PumpInput(licence.hwnd());
  EXPECT_FALSE(::IsWindowVisible(licence.hwnd()));
}

TEST_F(WizardKeys, TheFinishPageReachesTheLaunchBoxAndFinish) {
  form_->ShowPage(kFinishPage);
  Key(VK_TAB);
  EXPECT_EQ(Focused(), form_->CheckBox3);
  Key(VK_SPACE);
  EXPECT_FALSE(Checked(form_->CheckBox3));
  Key(VK_TAB);
  EXPECT_EQ(Focused(), form_->Button_finish);
  Key(VK_TAB);
  EXPECT_EQ(Focused(), form_->CheckBox3);
}

}  // namespace
}  // namespace stampwell::wizard
