// Forms, components and timers: focus events fire only when the form's active control changes;
// a secondary form hides when closed (after its close query agrees) instead of being destroyed;
// a modal form ends with its button's modal result; owners free what they own.
#include "framework/forms.h"

#include <gtest/gtest.h>

#include <string>

#include "framework/application.h"
#include "framework/std_controls.h"
#include "framework/timer.h"
#include "framework/unique_handle.h"

namespace stampwell {
namespace {

const char kTwoEdits[] =
    "object Two: TForm\n"
    "  ClientWidth = 200\n"
    "  ClientHeight = 80\n"
    "  OnCloseQuery = FormCloseQuery\n"
    "  object Edit1: TEdit\n"
    "    TabOrder = 0\n"
    "    OnEnter = Edit1Enter\n"
    "    OnExit = Edit1Exit\n"
    "  end\n"
    "  object Edit2: TEdit\n"
    "    Top = 30\n"
    "    TabOrder = 1\n"
    "    OnEnter = Edit2Enter\n"
    "  end\n"
    "end\n";

class TTwoEdits : public TForm {
 public:
  explicit TTwoEdits(TComponent* owner) : TForm(owner) {
    RegisterHandlers({
        {"Edit1Enter", TNotifyEvent([this](TObject*) { log += "enter1 "; })},
        {"Edit1Exit", TNotifyEvent([this](TObject*) { log += "exit1 "; })},
        {"Edit2Enter", TNotifyEvent([this](TObject*) { log += "enter2 "; })},
        {"FormCloseQuery", TCloseQueryEvent([this](TObject*, bool& ok) { ok = allow_close; })},
    });
    LoadFromText(kTwoEdits, "TEST_TWO_EDITS");
  }
  std::string log;
  bool allow_close = false;
};

TEST(Forms, EnterAndExitFireOnlyWhenTheActiveControlChanges) {
  TTwoEdits form(nullptr);
  form.Show();
  Application().ProcessMessages();
  form.log.clear();
  auto& edit1 = form.Field<TEdit>("Edit1");
  auto& edit2 = form.Field<TEdit>("Edit2");
  edit1.SetFocus();
  edit2.SetFocus();
  edit2.SetFocus();
  EXPECT_EQ(form.ActiveControl(), &edit2);
  // The focus leaving the window and coming back to the same control is no new entry.
  ::SetFocus(nullptr);
  ::SetFocus(form.Handle());
  EXPECT_TRUE(edit2.Focused());
  EXPECT_EQ(form.log, "enter1 exit1 enter2 ");
}

TEST(Forms, ASecondaryFormHidesOnCloseOnlyWhenItsQueryAgrees) {
  TTwoEdits form(nullptr);
  form.Show();
  Application().ProcessMessages();
  ::SendMessageA(form.Handle(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(form.Visible());
  EXPECT_TRUE(::IsWindowVisible(form.Handle()));
  form.allow_close = true;
  ::SendMessageA(form.Handle(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(form.Visible());
  EXPECT_TRUE(::IsWindow(form.Handle()));  // kept for the next showing
  EXPECT_FALSE(Application().Terminated());
  EXPECT_EQ(form.ClientWidth(), 200);
  EXPECT_EQ(form.ClientHeight(), 80);
}

}  // namespace
}  // namespace stampwell

namespace stampwell {
namespace {

class Probe : public TComponent {
 public:
  Probe(TComponent* owner, std::string* log, const char* name) : TComponent(owner), log_(log) { SetName(name); }
  ~Probe() override { *log_ += Name() + " "; }

 private:
  std::string* log_;
};

TEST(Components, AnOwnerFreesWhatItOwnsNewestFirstAndAFreedOneLeavesItsOwner) {
  std::string log;
  {
    TComponent owner(nullptr);
    auto* a = new Probe(&owner, &log, "a");
    new Probe(a, &log, "a1");
    auto* b = new Probe(&owner, &log, "b");
    new Probe(&owner, &log, "c");
    delete b;
    EXPECT_EQ(owner.Components().size(), 2u);
    EXPECT_EQ(owner.FindComponent("b"), nullptr);
    EXPECT_EQ(owner.FindComponent("c")->Name(), "c");
  }
  EXPECT_EQ(log, "b c a a1 ");
}

TEST(Components, AControlFreedOnItsOwnLeavesItsParentAndTheMouseTracking) {
  TTwoEdits form(nullptr);
  auto* label = new TLabel(&form);
  label->SetParent(&form);
  EXPECT_EQ(form.Controls().back(), label);
  delete label;
  for (TControl* c : form.Controls()) EXPECT_NE(c, label);
  auto* edit = &form.Field<TEdit>("Edit1");
  HWND window = edit->Handle();
  delete edit;
  EXPECT_FALSE(::IsWindow(window));
  EXPECT_EQ(form.FindComponent("Edit1"), nullptr);
}

}  // namespace
}  // namespace stampwell

namespace stampwell {
namespace {

TEST(Forms, AButtonWithAModalResultEndsShowModal) {
  const char text[] =
      "object Dlg: TForm\n"
      "  BorderStyle = bsDialog\n"
      "  object OkBtn: TButton\n"
      "    Caption = 'OK'\n"
      "    ModalResult = 1\n"
      "  end\n"
      "end\n";
  TForm dialog(nullptr);
  dialog.LoadFromText(text, "TEST_DIALOG");
  auto& ok = dialog.Field<TButton>("OkBtn");
  // The click arrives while the modal loop runs, as the user's would.
  ::PostMessageA(dialog.Handle(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(ok.Handle()));
  EXPECT_EQ(dialog.ShowModal(), mrOk);
  EXPECT_FALSE(dialog.Visible());
  EXPECT_FALSE(dialog.Modal());
}

class TCountingPaints : public TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;
  void Paint(TCanvas&) override { ++paints; }
  int paints = 0;
};

TEST(Forms, TheFirstPaintDrawsEachControlOnce) {
  // The surface made at the first paint is painted whole as it is made; the paint that made it
  // must not draw the same controls into it again.
  TForm form(nullptr);
  form.LoadFromText("object Painted: TForm\n  ClientWidth = 120\n  ClientHeight = 60\nend\n", "TEST_PAINTED");
  auto* counting = new TCountingPaints(&form);
  counting->SetBounds(10, 10, 50, 20);
  counting->SetParent(&form);
  form.Show();
  ::UpdateWindow(form.Handle());
  EXPECT_EQ(counting->paints, 1);
  counting->Invalidate();
  ::UpdateWindow(form.Handle());
  EXPECT_EQ(counting->paints, 2);
  form.Hide();
}

SIZE TextSize(const std::string& text, TFont& font) {
  scoped_window_dc screen(nullptr);
  scoped_select_object selected(screen.get(), font.Handle());
  RECT r{};
  ::DrawTextA(screen.get(), text.c_str(), -1, &r, DT_CALCRECT | DT_EXPANDTABS);
  return SIZE{r.right, r.bottom};
}

TEST(Forms, AnAutoSizedLabelTakesTheSizeOfItsTextInTheFontItIsReadWith) {
  // The label is measured once, when the reading is done: the font's height and style that
  // come after its caption must count, whatever the order of the properties.
  TForm form(nullptr);
  form.LoadFromText(
      "object Labels: TForm\n"
      "  object Sized: TLabel\n"
      "    AutoSize = True\n"
      "    Caption = 'Quendra Stampwell'\n"
      "    ParentFont = False\n"
      "    Font.Name = 'Microsoft Sans Serif'\n"
      "    Font.Height = 16\n"
      "    Font.Style = [fsBold]\n"
      "  end\n"
      "  object Fixed: TLabel\n"
      "    AutoSize = False\n"
      "    Width = 40\n"
      "    Height = 30\n"
      "    Caption = 'A caption wider than forty pixels'\n"
      "  end\n"
      "end\n",
      "TEST_LABELS");
  auto& sized = form.Field<TLabel>("Sized");
  TFont bold;
  bold.SetName("Microsoft Sans Serif");
  bold.SetHeight(16);
  bold.SetStyle(fsBold);
  SIZE expected = TextSize("Quendra Stampwell", bold);
  EXPECT_EQ(sized.Width(), expected.cx);
  EXPECT_EQ(sized.Height(), expected.cy);
  // Changed by code after the reading, it is measured again.
  sized.SetCaption("Quendra Stampwell Setup");
  EXPECT_EQ(sized.Width(), TextSize("Quendra Stampwell Setup", bold).cx);
  auto& fixed = form.Field<TLabel>("Fixed");
  EXPECT_EQ(fixed.Width(), 40);
  EXPECT_EQ(fixed.Height(), 30);
}

TEST(Timers, ATimerTicksOnTheMessageLoopUntilDisabled) {
  TTimer timer(nullptr);
  int ticks = 0;
  timer.SetInterval(10);
  timer.SetOnTimer([&](TObject*) {
    if (++ticks == 3) timer.SetEnabled(false);
  });
  EXPECT_TRUE(timer.Running());
  DWORD start = ::GetTickCount();
  while (timer.Running() && ::GetTickCount() - start < 5000) {
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    Application().ProcessMessages();
  }
  EXPECT_EQ(ticks, 3);
  EXPECT_FALSE(timer.Running());
}

}  // namespace
}  // namespace stampwell
