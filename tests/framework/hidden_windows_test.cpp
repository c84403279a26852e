// Windows made late: a form's controls get their windows when the form shows, and a hidden
// control only when it comes to show or when its handle is asked for. Until then a control
// keeps what code sets on it (and an edit still reports its changes); the window it gets later
// shows that state, and takes its place in the tab order, whatever the order in which windows
// were made. A page control whose tabs are all hidden is a plain window until a tab shows.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "framework/application.h"
#include "framework/forms.h"
#include "framework/std_controls.h"
#include "framework/window_text.h"

namespace stampwell {
namespace {

const char kPages[] =
    "object Pages: TForm\n"
    "  ClientWidth = 300\n"
    "  ClientHeight = 200\n"
    "  object First: TEdit\n"
    "    TabOrder = 0\n"
    "  end\n"
    "  object Later: TPanel\n"
    "    Top = 30\n"
    "    Height = 150\n"
    "    Visible = False\n"
    "    TabOrder = 1\n"
    "    object Folder: TEdit\n"
    "      TabOrder = 0\n"
    "      OnChange = FolderChange\n"
    "    end\n"
    "    object Licence: TMemo\n"
    "      Top = 30\n"
    "      TabOrder = 1\n"
    "    end\n"
    "    object Log: TListBox\n"
    "      Left = 190\n"
    "      TabOrder = 2\n"
    "    end\n"
    "    object Desktop: TCheckBox\n"
    "      Top = 125\n"
    "      TabOrder = 3\n"
    "    end\n"
    "  end\n"
    "  object Last: TButton\n"
    "    Top = 185\n"
    "    TabOrder = 2\n"
    "  end\n"
    "end\n";

class TPages : public TForm {
 public:
  explicit TPages(TComponent* owner) : TForm(owner) {
    RegisterHandlers({{"FolderChange", TNotifyEvent([this](TObject*) { changes += Field<TEdit>("Folder").Text() + ";"; })}});
    LoadFromText(kPages, "TEST_PAGES");
  }
  std::string changes;
};

TEST(HiddenWindows, AreMadeWhenTheyShowWithTheStateSetBefore) {
  TPages form(nullptr);
  auto& later = form.Field<TPanel>("Later");
  auto& folder = form.Field<TEdit>("Folder");
  auto& licence = form.Field<TMemo>("Licence");
  auto& log = form.Field<TListBox>("Log");
  auto& desktop = form.Field<TCheckBox>("Desktop");
  // The form's creation step changes controls, not windows: there are none before it shows.
  ASSERT_TRUE(form.HandleAllocated());
  EXPECT_EQ(::GetWindow(form.HandleOrNull(), GW_CHILD), nullptr);
  form.Show();
  EXPECT_TRUE(form.Field<TEdit>("First").HandleAllocated());
  EXPECT_TRUE(form.Field<TButton>("Last").HandleAllocated());
  EXPECT_FALSE(later.HandleAllocated());
  EXPECT_FALSE(folder.HandleAllocated());

  // Without a window: the edit reports its change once, as its window would; the memo's lines
  // follow its text; the list keeps its selection, the box its check.
  folder.SetText("C:\\Program Files\\Quendra Soft");
  EXPECT_EQ(form.changes, "C:\\Program Files\\Quendra Soft;");
  licence.SetText("one\r\ntwo");
  EXPECT_EQ(licence.Lines().Count(), 2);
  log.Items().Add("a.dll");
  log.Items().Add("b.dll");
  log.SetItemIndex(1);
  EXPECT_EQ(log.ItemIndex(), 1);
  desktop.SetChecked(true);
  EXPECT_FALSE(later.HandleAllocated());

  form.changes.clear();
  later.Show();
  ASSERT_TRUE(later.HandleAllocated());
  ASSERT_TRUE(folder.HandleAllocated());
  EXPECT_TRUE(::IsWindowVisible(later.HandleOrNull()));
  EXPECT_EQ(WindowText(folder.HandleOrNull()), "C:\\Program Files\\Quendra Soft");
  EXPECT_EQ(form.changes, "") << "a window made with the text reports no change";
  EXPECT_EQ(WindowText(licence.HandleOrNull()), "one\r\ntwo");
  EXPECT_EQ(::SendMessageA(log.HandleOrNull(), LB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(log.ItemIndex(), 1);
  EXPECT_TRUE(desktop.Checked());
  EXPECT_EQ(::SendMessageA(desktop.HandleOrNull(), BM_GETCHECK, 0, 0), BST_CHECKED);

  // Made last, the panel still lies between the first edit and the button, so Tab walks the
  // form in its tab order.
  HWND first = form.Field<TEdit>("First").HandleOrNull();
  EXPECT_EQ(::GetWindow(first, GW_HWNDNEXT), later.HandleOrNull());
  EXPECT_EQ(::GetWindow(later.HandleOrNull(), GW_HWNDNEXT), form.Field<TButton>("Last").HandleOrNull());
  EXPECT_EQ(::GetWindow(folder.HandleOrNull(), GW_HWNDNEXT), licence.HandleOrNull());
  form.Hide();
}

TEST(HiddenWindows, AskingForTheHandleMakesTheHiddenParentsWindowToo) {
  TPages form(nullptr);
  auto& later = form.Field<TPanel>("Later");
  auto& log = form.Field<TListBox>("Log");
  log.Items().Add("a.dll");
  HWND window = log.Handle();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(later.HandleAllocated());
  EXPECT_EQ(::GetWindowLongA(later.HandleOrNull(), GWL_STYLE) & WS_VISIBLE, 0);
  EXPECT_EQ(::GetParent(window), later.HandleOrNull());
  EXPECT_EQ(::SendMessageA(window, LB_GETCOUNT, 0, 0), 1);
  // Exactly one window per control: the parent made its visible children, this one included.
  int children = 0;
  for (HWND child = ::GetWindow(later.HandleOrNull(), GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) ++children;
  EXPECT_EQ(children, 4);
  // Hiding again keeps the window; showing it shows the same one.
  later.Show();
  later.Hide();
  later.Show();
  EXPECT_EQ(log.HandleOrNull(), window);
}

const char kTabless[] =
    "object Tabless: TForm\n"
    "  ClientWidth = 300\n"
    "  ClientHeight = 200\n"
    "  object Pages: TPageControl\n"
    "    Width = 300\n"
    "    Height = 200\n"
    "    ActivePage = One\n"
    "    object One: TTabSheet\n"
    "      Caption = 'One'\n"
    "      object Name: TEdit\n"
    "      end\n"
    "    end\n"
    "    object Two: TTabSheet\n"
    "      Caption = 'Two'\n"
    "    end\n"
    "  end\n"
    "end\n";

std::string ClassOf(HWND window) {
  char name[64] = {};
  ::GetClassNameA(window, name, sizeof name);
  return name;
}

TEST(HiddenWindows, APageControlWithoutVisibleTabsIsAPlainWindowUntilATabShows) {
  TForm form(nullptr);
  form.LoadFromText(kTabless, "TEST_TABLESS");
  auto& pages = form.Field<TPageControl>("Pages");
  auto& one = form.Field<TTabSheet>("One");
  auto& two = form.Field<TTabSheet>("Two");
  auto& name = form.Field<TEdit>("Name");
  // Hidden before the form shows, as a wizard does in its creation step: no tab control is made.
  one.SetTabVisible(false);
  two.SetTabVisible(false);
  form.Show();
  ASSERT_TRUE(pages.HandleAllocated());
  EXPECT_NE(ClassOf(pages.HandleOrNull()), WC_TABCONTROLA);
  EXPECT_EQ(one.BoundsRect().left, 4);
  EXPECT_EQ(one.BoundsRect().top, 6);
  name.SetText("kept");

  // A tab that shows needs the tab control: the window is made anew, with the pages and their
  // controls in it, the active page and the text kept.
  two.SetTabVisible(true);
  ASSERT_TRUE(pages.HandleAllocated());
  EXPECT_EQ(ClassOf(pages.HandleOrNull()), WC_TABCONTROLA);
  EXPECT_EQ(::SendMessageA(pages.HandleOrNull(), TCM_GETITEMCOUNT, 0, 0), 1);
  EXPECT_EQ(pages.ActivePage(), &one);
  ASSERT_TRUE(name.HandleAllocated());
  EXPECT_EQ(::GetParent(::GetParent(name.HandleOrNull())), pages.HandleOrNull());
  EXPECT_EQ(WindowText(name.HandleOrNull()), "kept");
  EXPECT_TRUE(::IsWindowVisible(one.HandleOrNull()));

  two.SetTabVisible(false);
  EXPECT_NE(ClassOf(pages.HandleOrNull()), WC_TABCONTROLA);
  EXPECT_TRUE(::IsWindowVisible(name.HandleOrNull()));
  form.Hide();
}

// An edit made as a Unicode window keeps a character that the ANSI code page lacks, posted
// as a keyboard's translation posts it and taken by the application's own loop; its change
// is reported, and its 8-bit text is the code page's rendering. An ANSI edit keeps only that.
TEST(HiddenWindows, UnicodeEditKeepsWhatTheCodePageLacks) {
  TPages form(nullptr);
  auto& first = form.Field<TEdit>("First");  // an ANSI edit, for comparison
  auto& folder = form.Field<TEdit>("Folder");
  folder.SetUnicode(true);
  form.Show();
  form.Field<TPanel>("Later").Show();
  ASSERT_TRUE(folder.HandleAllocated());
  EXPECT_TRUE(::IsWindowUnicode(folder.HandleOrNull()));
  EXPECT_FALSE(::IsWindowUnicode(first.HandleOrNull()));

  const wchar_t letter = L'\u0416';  // Cyrillic, in no Western code page
  for (TEdit* edit : {&first, &folder}) ::PostMessageW(edit->HandleOrNull(), WM_CHAR, letter, 1);
  form.changes.clear();
  Application().ProcessMessages();
  EXPECT_TRUE(folder.WideText() == std::wstring(1, letter));
  EXPECT_EQ(form.changes, folder.Text() + ";");
  if (GetACP() != CP_UTF8) {
    EXPECT_FALSE(first.WideText() == std::wstring(1, letter));
  }

  // Text set by code reaches it as the code page gives it.
  folder.SetText("C:\\Program Files");
  EXPECT_TRUE(folder.WideText() == L"C:\\Program Files");
  EXPECT_EQ(WindowText(folder.HandleOrNull()), "C:\\Program Files");
}

}  // namespace
}  // namespace stampwell
