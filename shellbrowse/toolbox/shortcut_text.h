#pragma once
// Keyboard shortcuts as text ("Ctrl+C", "Shift+Del", "F5") and back.
//
// A shortcut is a key code in the low 13 bits plus the modifier bits below; 0 means none.

#include <cstdint>
#include <string>
#include <string_view>

namespace stampwell {

using TShortCut = std::uint16_t;

constexpr TShortCut kShortCutShift = 0x2000;
constexpr TShortCut kShortCutCtrl = 0x4000;
constexpr TShortCut kShortCutAlt = 0x8000;
constexpr TShortCut kShortCutKeyMask = 0x1FFF;

// The name of a key code alone ("BkSp", "A", "F12", "#59"); empty for code 0.
std::string KeyCodeName(unsigned code);

// "Shift+", "Ctrl+", "Alt+" as set, in this order, then the key's name; empty for no key.
std::string ShortCutText(TShortCut shortcut);

// Strips the prefixes "Shift+", "^" or "Ctrl+", and "Alt+" in any order and case, then takes the
// first key code from 8 to 597 whose name equals the rest, ignoring case; 0 when none does.
TShortCut ParseShortCutText(std::string_view text);

}  // namespace stampwell
