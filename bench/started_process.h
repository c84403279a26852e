#pragma once
// A program that a benchmark starts, and when it started: the performance counter's time just
// before CreateProcess, so that the program's own start-up counts.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "bench/win32_clock.h"
#include "framework/unique_handle.h"

namespace stampwell::bench {

struct StartedProcess {
  unique_handle process, thread;
  DWORD id = 0;
  double started_at = 0;
};

// Nothing when the command line does not start a process.
inline std::optional<StartedProcess> StartProcess(const std::string& command) {
  std::vector<char> line(command.begin(), command.end());
  line.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  double start = Seconds();
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
    return std::nullopt;
  return StartedProcess{unique_handle(started.hProcess), unique_handle(started.hThread), started.dwProcessId, start};
}

}  // namespace stampwell::bench
