// The form text format: every kind of value reads back through the writer, and malformed
// text is refused with the form's name, the line and the property.
#include "framework/form_text.h"

#include <gtest/gtest.h>

namespace stampwell {
namespace {

FormObject SampleForm() {
  FormObject root;
  root.name = "Form1";
  root.class_name = "TForm1";
  root.properties = {
      {"Left", FormValue::Integer(-4)},
      {"Color", FormValue::Integer(0xFFFFFFFFLL)},
      {"Caption", FormValue::String("It's \"one\"\r\nline\x01\xE9")},
      {"Empty", FormValue::String("")},
      {"Visible", FormValue::Boolean(false)},
      {"Align", FormValue::Identifier("alBottom")},
      {"Font.Style", FormValue::Set({"fsBold", "fsUnderline"})},
      {"Options", FormValue::Set({})},
      {"Pidl", FormValue::Binary({0x00, 0x14, 0xFF, 0x7F, 0x80})},
      {"Lines.Strings", FormValue::StringList({"first", "", "'quoted'"})},
  };
  FormObject child;
  child.name = "Button1";
  child.class_name = "TButton";
  child.properties = {{"Picture.Data", FormValue::Binary(std::vector<std::uint8_t>(100, 0xAB))}};
  root.children.push_back(child);
  return root;
}

void ExpectSame(const FormObject& a, const FormObject& b) {
  EXPECT_EQ(a.name, b.name);
  EXPECT_EQ(a.class_name, b.class_name);
  ASSERT_EQ(a.properties.size(), b.properties.size());
  for (size_t i = 0; i < a.properties.size(); ++i) {
    EXPECT_EQ(a.properties[i].name, b.properties[i].name);
    EXPECT_TRUE(a.properties[i].value == b.properties[i].value) << a.properties[i].name;
  }
  ASSERT_EQ(a.children.size(), b.children.size());
  for (size_t i = 0; i < a.children.size(); ++i) ExpectSame(a.children[i], b.children[i]);
}

TEST(FormText, EveryKindOfValueReadsBackThroughTheWriter) {
  FormObject form = SampleForm();
  std::string text = WriteFormText(form);
  FormObject back = ParseFormText(text, "SAMPLE");
  ExpectSame(form, back);
  EXPECT_EQ(WriteFormText(back), text);
}

TEST(FormText, ReadsHandWrittenSyntax) {
  const char* text =
      "// a layout\r\n"
      "object F: TForm // trailing comment\r\n"
      "  Caption = 'a'#13'b' +\r\n"
      "    'c'\r\n"
      "  Hex = $FF\r\n"
      "  Opts = [\r\n"
      "    x,\r\n"
      "    y]\r\n"
      "  Data = {\r\n"
      "    0A 0b\r\n"
      "    FF}\r\n"
      "  Flag = true\r\n"
      "  object L: TLabel\r\n"
      "  end\r\n"
      "end\r\n";
  FormObject f = ParseFormText(text, "T");
  ASSERT_EQ(f.properties.size(), 5u);
  EXPECT_EQ(f.properties[0].value.text, "a\rbc");
  EXPECT_EQ(f.properties[1].value.integer, 255);
  EXPECT_EQ(f.properties[2].value.items, (std::vector<std::string>{"x", "y"}));
  EXPECT_EQ(f.properties[3].value.bytes, (std::vector<std::uint8_t>{0x0A, 0x0B, 0xFF}));
  EXPECT_EQ(f.properties[3].line, 9);
  EXPECT_TRUE(f.properties[4].value.boolean);
  ASSERT_EQ(f.children.size(), 1u);
  EXPECT_EQ(f.children[0].line, 13);
}

struct Malformed {
  const char* text;
  int line;
  const char* property;
};

TEST(FormText, MalformedTextNamesFormLineAndProperty) {
  const Malformed cases[] = {
      {"object F: TForm\n  Caption = 'open\nend\n", 2, "Caption"},
      {"object F: TForm\n  Left = 12x\nend\n", 2, "Left"},
      {"object F: TForm\n  Left = 99999999999\nend\n", 2, "Left"},
      {"object F: TForm\n  Data = {ABC}\nend\n", 2, "Data"},
      {"object F: TForm\n  Data = {AB\n", 3, "Data"},
      {"object F: TForm\n  S = [a b]\nend\n", 2, "S"},
      {"object F: TForm\n  C = #300\nend\n", 2, "C"},
      {"object F: TForm\n  Left = 1\n  Left = 2\nend\n", 3, "Left"},
      {"object F: TForm\n  Left 1\nend\n", 2, "Left"},
      {"object F: TForm\n  object B: TButton\n  end\n", 4, ""},
      {"object F TForm\nend\n", 1, ""},
      {"object F: TForm\nend\nend\n", 3, ""},
      {"", 1, ""},
  };
  for (const Malformed& c : cases) {
    try {
      ParseFormText(c.text, "TEST_FORM");
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const FormError& e) {
      EXPECT_EQ(e.Form(), "TEST_FORM") << c.text;
      EXPECT_EQ(e.Line(), c.line) << c.text << " -> " << e.Message();
      EXPECT_EQ(e.Property(), c.property) << c.text;
      EXPECT_NE(e.Message().find("Form TEST_FORM, line " + std::to_string(c.line)), std::string::npos) << e.Message();
    }
  }
}

TEST(FormText, DeepNestingIsRefusedNotOverflowed) {
  std::string text;
  for (int i = 0; i < 200; ++i) text += "object O: TPanel\n";
  EXPECT_THROW(ParseFormText(text, "DEEP"), FormError);
}

}  // namespace
}  // namespace stampwell
