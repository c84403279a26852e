#pragma once
// Appending a path separator (or any single-byte character) once, aware of double-byte code
// pages, where the byte 0x5C ("\") can be the second half of a character.

#include <string>

namespace stampwell {

// Whether `byte` leads a double-byte character in the code page in question.
using LeadBytePredicate = bool (*)(unsigned char byte);

// True when the last byte of `text` is part of a double-byte character (its lead or its trail
// byte), walking from the start as the code page reads it.
bool LastByteIsDoubleByte(const std::string& text, LeadBytePredicate is_lead_byte);

// `text` unchanged when it is empty; `c` appended without comparing when the last byte belongs to
// a double-byte character; otherwise `c` appended unless the last character already is `c`.
std::string IncludeTrailingChar(const std::string& text, char c, LeadBytePredicate is_lead_byte);

}  // namespace stampwell
