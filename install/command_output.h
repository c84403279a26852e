#pragma once
// The bytes that a console command writes into a pipe, and the logged-on user in the
// answer of the user query. Portable: these bytes come from another program and are
// checked before use; the conversion of wide text to the ANSI code page is the caller's.

#include <string>
#include <string_view>

namespace stampwell {

// True when the bytes begin with the UTF-16 little-endian byte-order mark (FF FE), as the
// management command of some systems writes even into a pipe.
bool IsUtf16WithByteOrderMark(std::string_view bytes);

// The UTF-16 code units after the byte-order mark, up to the first NUL unit; an odd last
// byte is dropped.
std::u16string Utf16Units(std::string_view bytes);

// 8-bit output up to its first NUL byte.
std::string_view UpToFirstNul(std::string_view bytes);

// The text split into lines (a line ends at CR LF, CR or LF) and joined again, each line
// followed by CR LF; empty text stays empty.
std::string WithCrLfLines(std::string_view text);

// The user in "...DOMAIN\name..." output: what follows the first backslash, with characters
// of code 32 or below trimmed from its end, then from its start. Empty when the output holds
// no backslash (no user is logged on, or the query gave no answer).
std::string LoggedOnUserFromOutput(std::string_view output);

}  // namespace stampwell
