// Shortcut texts over every key code that parsing knows and every modifier mix.
#include <gtest/gtest.h>

#include <string>

#include "shellbrowse/toolbox/shortcut_text.h"

namespace stampwell {
namespace {

constexpr TShortCut kMixes[] = {0,
                                kShortCutShift,
                                kShortCutCtrl,
                                kShortCutAlt,
                                kShortCutShift | kShortCutCtrl,
                                kShortCutShift | kShortCutAlt,
                                kShortCutCtrl | kShortCutAlt,
                                kShortCutShift | kShortCutCtrl | kShortCutAlt};

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>((c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c);
  return s;
}

TEST(ShortCutText, NamesOfKeys) {
  EXPECT_EQ(ShortCutText(8), "BkSp");
  EXPECT_EQ(ShortCutText(9), "Tab");
  EXPECT_EQ(ShortCutText(13), "Enter");
  EXPECT_EQ(ShortCutText(27), "Esc");
  const char* navigation[] = {"Space", "PgUp", "PgDn", "End", "Home", "Left", "Up", "Right", "Down"};
  for (int code = 32; code <= 40; ++code) EXPECT_EQ(ShortCutText(static_cast<TShortCut>(code)), navigation[code - 32]);
  EXPECT_EQ(ShortCutText(45), "Ins");
  EXPECT_EQ(ShortCutText(46), "Del");
  EXPECT_EQ(ShortCutText('7'), "7");
  EXPECT_EQ(ShortCutText('Q'), "Q");
  EXPECT_EQ(ShortCutText(96), "0");
  EXPECT_EQ(ShortCutText(105), "9");
  EXPECT_EQ(ShortCutText(112), "F1");
  EXPECT_EQ(ShortCutText(135), "F24");
  EXPECT_EQ(ShortCutText(136), "#136");
  EXPECT_EQ(ShortCutText(41), "#41");
  EXPECT_EQ(ShortCutText(597), "#597");
  EXPECT_EQ(ShortCutText(kShortCutShift | kShortCutCtrl | kShortCutAlt | 'K'), "Shift+Ctrl+Alt+K");
  // No key is no shortcut, whatever modifiers are set.
  EXPECT_EQ(ShortCutText(0), "");
  EXPECT_EQ(ShortCutText(kShortCutCtrl), "");
}

TEST(ShortCutText, EveryCodeAndModifierMixRoundTrips) {
  for (unsigned code = 8; code <= 597; ++code) {
    // The keypad digits share their names with the digit keys, which come first.
    unsigned parsed_code = (code >= 96 && code <= 105) ? code - 96 + '0' : code;
    for (TShortCut mix : kMixes) {
      TShortCut shortcut = static_cast<TShortCut>(code | mix);
      std::string text = ShortCutText(shortcut);
      ASSERT_EQ(ParseShortCutText(text), parsed_code | mix) << text;
      ASSERT_EQ(ParseShortCutText(Lower(text)), parsed_code | mix) << text;
    }
  }
}

TEST(ShortCutText, ParsingPrefixesAndFailures) {
  EXPECT_EQ(ParseShortCutText("^C"), ParseShortCutText("Ctrl+C"));
  EXPECT_EQ(ParseShortCutText("^C"), kShortCutCtrl | 'C');
  EXPECT_EQ(ParseShortCutText("Shift+Del"), kShortCutShift | 46);
  EXPECT_EQ(ParseShortCutText("alt+shift+^f5"), kShortCutAlt | kShortCutShift | kShortCutCtrl | 116);
  EXPECT_EQ(ParseShortCutText("Ctrl+Ctrl+A"), kShortCutCtrl | 'A');
  EXPECT_EQ(ParseShortCutText("f2"), 113);
  EXPECT_EQ(ParseShortCutText(""), 0);
  EXPECT_EQ(ParseShortCutText("Ctrl+"), 0);
  EXPECT_EQ(ParseShortCutText("Ctrl+Nothing"), 0);
  EXPECT_EQ(ParseShortCutText("#65"), 0);  // code 65 is named "A"
  EXPECT_EQ(ParseShortCutText("#598"), 0);
  EXPECT_EQ(ParseShortCutText(" Del"), 0);
}

}  // namespace
}  // namespace stampwell
