// The form reader on real windows: a form with every kind of property reads back into its
// controls, and malformed forms name their line and property.
#include "framework/form_reader.h"

#include <gtest/gtest.h>

#include "framework/application.h"
#include "framework/menus.h"
#include "framework/std_controls.h"
#include "framework/timer.h"

namespace stampwell {
namespace {

class TEveryKindForm : public TForm {
 public:
  explicit TEveryKindForm(TComponent* owner) : TForm(owner) {
    RegisterHandlers({
        {"FormCreate", TNotifyEvent([this](TObject*) { ++created; })},
        {"FormCloseQuery", TCloseQueryEvent([](TObject*, bool& can_close) { can_close = false; })},
        {"Exit1Click", TNotifyEvent([this](TObject*) { ++exits; })},
        {"Edit1Change", TNotifyEvent([this](TObject*) { ++changes; })},
        {"AnyMouseDown", TMouseEvent([](TObject*, TMouseButton, TShiftState, int, int) {})},
    });
  }
  int created = 0, exits = 0, changes = 0;
};

TEST(FormReader, EveryPropertyKindReadsBack) {
  TEveryKindForm form(nullptr);
  form.LoadFromResource("test_every_kind");
  EXPECT_EQ(form.created, 1);
  EXPECT_EQ(form.Name(), "EveryKind");
  EXPECT_EQ(form.Caption(), "Every 'kind'");
  EXPECT_EQ(form.ClientWidth(), 300);
  EXPECT_EQ(form.ClientHeight(), 200);
  EXPECT_EQ(form.Color(), 15723752);
  EXPECT_EQ(form.Font().Style(), fsBold | fsUnderline);
  EXPECT_EQ(form.BorderIcons(), biSystemMenu);
  ASSERT_NE(form.Menu(), nullptr);
  EXPECT_NE(::GetMenu(form.Handle()), nullptr);

  auto& edit = form.Field<TEdit>("Edit1");
  EXPECT_EQ(edit.Text(), "folder");
  EXPECT_EQ(edit.TabOrder(), 1);
  auto& box = form.Field<TCheckBox>("CheckBox1");
  EXPECT_TRUE(box.Checked());
  EXPECT_EQ(box.Color(), 0x00D08726);
  EXPECT_EQ(form.Field<TMemo>("Memo1").Lines().Lines(), (std::vector<std::string>{"one", "two"}));
  auto& panel = form.Field<TPanel>("Panel1");
  auto& button = form.Field<TButton>("Button1");
  EXPECT_EQ(button.Parent(), &panel);
  EXPECT_TRUE(button.Default());
  EXPECT_EQ(button.ModalResult(), 1);
  EXPECT_TRUE(static_cast<bool>(button.OnMouseDown));
  auto& image = form.Field<TImage>("Image1");
  EXPECT_EQ(image.Picture().Width(), 4);
  EXPECT_FALSE(image.Visible());
  auto& timer = form.Field<TTimer>("Timer1");
  EXPECT_EQ(timer.Interval(), 250u);
  EXPECT_FALSE(timer.Enabled());
  EXPECT_EQ(timer.Tag(), 7);

  // Handlers are bound: a text change fires Edit1Change, the menu item its click, and the
  // close query refuses.
  ::SetWindowTextA(edit.Handle(), "other");
  EXPECT_EQ(form.changes, 1);
  EXPECT_EQ(edit.Text(), "other");
  EXPECT_TRUE(TMenuItem::DispatchCommand(form.Field<TMenuItem>("Exit1").Command()));
  EXPECT_EQ(form.exits, 1);
  EXPECT_FALSE(form.CloseQuery());
  // Windowed children are made in tab order: CheckBox1 (0) comes before Edit1 (1).
  EXPECT_EQ(::GetNextDlgTabItem(form.Handle(), nullptr, FALSE), box.Handle());
}

struct BadForm {
  const char* text;
  int line;
  const char* property;
  const char* says;
};

TEST(FormReader, MalformedFormsNameTheirLineAndProperty) {
  const BadForm cases[] = {
      {"object F: TForm\n  Caption = 12\nend\n", 2, "Caption", "a string was expected"},
      {"object F: TForm\n  Colour = 12\nend\n", 2, "Colour", "unknown property"},
      {"object F: TForm\n  object B: TNoSuchButton\n  end\nend\n", 2, "", "unknown class TNoSuchButton"},
      {"object F: TForm\n  OnCreate = Missing\nend\n", 2, "OnCreate", "no handler Missing"},
      {"object F: TForm\n  OnCloseQuery = FormCreate\nend\n", 2, "OnCloseQuery", "another kind"},
      {"object F: TForm\n  Menu = Nobody\nend\n", 2, "Menu", "Nobody"},
      {"object F: TForm\n  object B: TButton\n  end\n  object B: TEdit\n  end\nend\n", 4, "", "second component"},
      {"object F: TForm\n  object I: TImage\n    Picture.Data = {424D00}\n  end\nend\n", 3, "Picture.Data", "not valid"},
      {"object F: TForm\n  BorderStyle = bsRound\nend\n", 2, "BorderStyle", "bsRound"},
  };
  for (const BadForm& c : cases) {
    TEveryKindForm form(nullptr);
    try {
      form.LoadFromText(c.text, "TEST_BAD");
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const FormError& e) {
      EXPECT_EQ(e.Line(), c.line) << e.Message();
      EXPECT_EQ(e.Property(), c.property) << e.Message();
      EXPECT_NE(e.Message().find("Form TEST_BAD"), std::string::npos) << e.Message();
      EXPECT_NE(e.Message().find(c.says), std::string::npos) << e.Message();
    }
    // A half-read form keeps none of the components it made.
    EXPECT_TRUE(form.Components().empty()) << c.text;
  }
}

}  // namespace
}  // namespace stampwell
