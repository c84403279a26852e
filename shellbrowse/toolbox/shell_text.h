#pragma once
// Text helpers of the toolbox on the system's ANSI code page.

#include <windows.h>

#include <string>
#include <vector>

namespace stampwell {

// IncludeTrailingChar (trailing_char.h) in the system's ANSI code page, or in `code_page`.
std::string IncludeTrailingChar(const std::string& text, char c);
std::string IncludeTrailingCharInCodePage(const std::string& text, char c, UINT code_page);

// `format` with the positional inserts %1, %2, ... (FormatMessage rules, "%1!d!" included)
// filled from `arguments`. Empty for an empty format or when nothing is produced. An insert
// number past the arguments gives the empty string rather than reading memory that is not an
// argument. Raises "FormatStrPos: Too many substitution strings" for more than 50 arguments.
std::string FormatStrPos(const std::string& format, const std::vector<std::string>& arguments);

}  // namespace stampwell
