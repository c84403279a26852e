#include "shellbrowse/toolbox/shortcut_text.h"

#include <array>

#include "framework/ascii.h"

namespace stampwell {
namespace {

constexpr unsigned kFirstParsedCode = 8;
constexpr unsigned kLastParsedCode = 597;

bool StripPrefix(std::string_view& text, std::string_view prefix) {
  if (text.size() < prefix.size() || !EqualIgnoringAsciiCase(text.substr(0, prefix.size()), prefix)) return false;
  text.remove_prefix(prefix.size());
  return true;
}

// The names that parsing compares against, built once.
const std::array<std::string, kLastParsedCode + 1>& ParsedNames() {
  static const auto names = [] {
    std::array<std::string, kLastParsedCode + 1> table;
    for (unsigned code = kFirstParsedCode; code <= kLastParsedCode; ++code) table[code] = KeyCodeName(code);
    return table;
  }();
  return names;
}

}  // namespace

std::string KeyCodeName(unsigned code) {
  static constexpr const char* kNavigation[] = {"Space", "PgUp", "PgDn",  "End", "Home",
                                                "Left",  "Up",   "Right", "Down"};
  switch (code) {
    case 0: return {};
    case 8: return "BkSp";
    case 9: return "Tab";
    case 13: return "Enter";
    case 27: return "Esc";
    case 45: return "Ins";
    case 46: return "Del";
    default: break;
  }
  if (code >= 32 && code <= 40) return kNavigation[code - 32];
  if ((code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z')) return std::string(1, static_cast<char>(code));
  if (code >= 96 && code <= 105) return std::string(1, static_cast<char>('0' + (code - 96)));
  if (code >= 112 && code <= 135) return "F" + std::to_string(code - 111);
  return "#" + std::to_string(code);
}

std::string ShortCutText(TShortCut shortcut) {
  std::string key = KeyCodeName(shortcut & kShortCutKeyMask);
  if (key.empty()) return {};
  std::string text;
  if (shortcut & kShortCutShift) text += "Shift+";
  if (shortcut & kShortCutCtrl) text += "Ctrl+";
  if (shortcut & kShortCutAlt) text += "Alt+";
  return text + key;
}

TShortCut ParseShortCutText(std::string_view text) {
  TShortCut modifiers = 0;
  for (bool stripped = true; stripped;) {
    stripped = true;
    if (StripPrefix(text, "Shift+")) modifiers |= kShortCutShift;
    else if (StripPrefix(text, "^") || StripPrefix(text, "Ctrl+")) modifiers |= kShortCutCtrl;
    else if (StripPrefix(text, "Alt+")) modifiers |= kShortCutAlt;
    else stripped = false;
  }
  if (text.empty()) return 0;
  const auto& names = ParsedNames();
  for (unsigned code = kFirstParsedCode; code <= kLastParsedCode; ++code)
    if (EqualIgnoringAsciiCase(names[code], text)) return static_cast<TShortCut>(code | modifiers);
  return 0;
}

}  // namespace stampwell
