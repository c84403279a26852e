// The licence window: its text, the title's size on every activation, and closing that hides.
#include <gtest/gtest.h>

#include <windows.h>
#include <richedit.h>

#include "wizard/form1.h"
#include "wizard/form2.h"
#include "wizard/licence_text.h"
#include "wizard_test_support.h"

namespace stampwell::wizard {
namespace {

using testing::Pump;

struct TitleState {
  LONG title_twips;
  LONG body_twips;
  CHARRANGE caret;
};

TitleState Read(HWND edit) {
  CHARRANGE saved;
  ::SendMessageA(edit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&saved));
  CHARFORMAT2A format{};
  format.cbSize = sizeof format;
  CHARRANGE range{0, TForm2::kTitleLength};
  ::SendMessageA(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
  ::SendMessageA(edit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  LONG title = format.yHeight;
  range = {40, 60};
  ::SendMessageA(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
  ::SendMessageA(edit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  ::SendMessageA(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&saved));
  return {title, format.yHeight, saved};
}

std::string Text(HWND edit) {
  std::string text(static_cast<size_t>(::GetWindowTextLengthA(edit)) + 1, '\0');
  text.resize(static_cast<size_t>(::GetWindowTextA(edit, text.data(), static_cast<int>(text.size()))));
  return text;
}

TEST(LicenceWindow, ShowsTheAgreementReadOnlyWithItsTitleAt20PointsEveryTime) {
  TForm1 wizard;
  TForm2 licence;
  wizard.SetLicenceWindow(&licence);
  wizard.Show();
  Pump(100);
  EXPECT_FALSE(::IsWindowVisible(licence.hwnd()));
  HWND edit = licence.RichEdit1->Handle();

  // The text: 215 lines, the title first, the same text as the wizard's licence page.
  EXPECT_EQ(::SendMessageA(edit, EM_GETLINECOUNT, 0, 0), 215);
  char first[64] = {};
  *reinterpret_cast<WORD*>(first) = sizeof first;
  std::string title(first, static_cast<size_t>(::SendMessageA(edit, EM_GETLINE, 0,
                                                                reinterpret_cast<LPARAM>(first))));
  // The rich edit hands a line out with its paragraph mark.
  EXPECT_EQ(title, "END USER LICENSE AGREEMENT\r");
  EXPECT_EQ(::SendMessageA(wizard.Memo1->Handle(), EM_GETLINECOUNT, 0, 0), 215);
  EXPECT_EQ(Text(wizard.Memo1->Handle()), LicenceText());
  CHARFORMAT2A charset{};
  charset.cbSize = sizeof charset;
  ::SendMessageA(edit, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&charset));
  EXPECT_EQ(charset.bCharSet, GB2312_CHARSET);
  // Rich text, not plain: Windows keeps a plain-text control in one format, so the title's
  // size would apply to the whole agreement (Wine keeps the runs apart either way, so only
  // the mode tells).
  EXPECT_TRUE(::SendMessageA(edit, EM_GETTEXTMODE, 0, 0) & TM_RICHTEXT);

  for (int showing = 0; showing < 2; ++showing) {
    wizard.Label10Click();
    Pump(200);
    ASSERT_TRUE(::IsWindowVisible(licence.hwnd())) << showing;
    RECT frame;
    ::GetWindowRect(licence.hwnd(), &frame);
    EXPECT_EQ(frame.right - frame.left, 616);
    EXPECT_EQ(frame.bottom - frame.top, 572);
    EXPECT_EQ(frame.left, 1024 / 2 - 616 / 2);
    EXPECT_EQ(frame.top, 768 / 2 - 572 / 2);
    licence.FormActivate();  // what the activation ran; read the result
    TitleState state = Read(edit);
    EXPECT_EQ(state.title_twips, 20 * 20) << showing;
    EXPECT_LT(state.body_twips, 20 * 20) << showing;
    EXPECT_EQ(state.caret.cpMin, 0);
    EXPECT_EQ(state.caret.cpMax, 0);
    if (showing == 0) testing::SaveScreenshot(licence.hwnd(), "licence_window");

    // Typing changes nothing: the control is read-only.
    const std::string before = Text(edit);
    EXPECT_TRUE(::GetWindowLongA(edit, GWL_STYLE) & ES_READONLY);
    ::SetFocus(edit);
    testing::PressKey('X');
    testing::PressKey(VK_DELETE);
    Pump(100);
    EXPECT_EQ(Text(edit), before);

    // The wizard stays usable: it can take the focus while the licence is open.
    ::SetForegroundWindow(wizard.hwnd());
    Pump(100);
    EXPECT_TRUE(::IsWindowEnabled(wizard.hwnd()));
    EXPECT_EQ(Text(edit), before);

    // Close box or Exit: hidden, kept for the next showing.
    if (showing == 0) {
      ::SendMessageA(licence.hwnd(), WM_CLOSE, 0, 0);
    } else {
      licence.Exit1Click();
    }
    Pump(50);
    EXPECT_TRUE(::IsWindow(licence.hwnd()));
    EXPECT_FALSE(::IsWindowVisible(licence.hwnd()));
  }
  wizard.SetLicenceWindow(nullptr);
}

TEST(LicenceWindow, ActivationRunsTheTitleStepAndLeavesTheCaretAtTheStart) {
  TForm2 licence;
  HWND edit = licence.RichEdit1->Handle();
  // Before any activation the title is at the body's size.
  EXPECT_LT(Read(edit).title_twips, 20 * 20);
  CHARRANGE away{100, 120};
  ::SendMessageA(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&away));
  licence.ShowCentred();
  Pump(200);
  // Wine delivers the activation as on Windows when the window comes to the foreground.
  TitleState state = Read(edit);
  EXPECT_EQ(state.title_twips, 20 * 20);
  EXPECT_EQ(state.caret.cpMin, 0);
  EXPECT_EQ(state.caret.cpMax, 0);
  licence.Hide();
}

}  // namespace
}  // namespace stampwell::wizard
