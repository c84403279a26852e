#pragma once
// Running a console command hidden and capturing what it writes.

#include <string>

namespace stampwell {

inline constexpr unsigned kCommandTimeLimitMs = 10000;
inline constexpr std::size_t kCommandOutputLimit = 64 * 1024;

// Runs command_line (its program named by full path: an elevated setup must not start a
// stranger's program from the current directory) in a new hidden console with standard
// output and error into a pipe, and returns the output as 8-bit text, each line followed by
// CR LF. The pipe is read while the command runs, so a long answer cannot stall it; output
// beyond kCommandOutputLimit is read and dropped. UTF-16 output with a byte-order mark is
// converted to the ANSI code page; other output is taken as 8-bit text up to its first NUL.
//
// Throws InstallError with the system's message when the pipe cannot be made or the command
// cannot be started, and when the command has not ended after time_limit_ms (it is then
// terminated).
std::string RunAndCapture(const std::string& command_line, unsigned time_limit_ms = kCommandTimeLimitMs);

// Decodes captured bytes as RunAndCapture does.
std::string DecodeCommandOutput(const std::string& bytes);

}  // namespace stampwell
