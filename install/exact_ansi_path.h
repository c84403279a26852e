#pragma once
// Paths that the 8-bit ("A") file functions can reach. A wide path whose characters the
// system's ANSI code page cannot hold turns into an 8-bit text with "?" or a look-alike in
// their place, which names another path or none: such a path is refused, never used.

#include <optional>
#include <string>

namespace stampwell {

// The path in the ANSI code page, or nothing when a character of it has no exact equivalent
// there.
std::optional<std::string> ExactAnsiPath(const std::wstring& path);

// The path in the ANSI code page with "?" for each character that has no exact equivalent
// there. No file name holds "?", so the mark cannot pass for a real folder.
std::string AnsiPathMarkingLosses(const std::wstring& path);

// The user's documents folder (no trailing backslash), or empty when the shell does not name
// it or its name cannot be written exactly in the ANSI code page.
std::string ExactPersonalFolder();

}  // namespace stampwell
