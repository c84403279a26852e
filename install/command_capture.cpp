#include "install/command_capture.h"

#include <windows.h>

#include <vector>

#include "framework/unique_handle.h"
#include "install/command_output.h"
#include "install/install_error.h"
#include "install/system_message.h"

namespace stampwell {
namespace {

[[noreturn]] void ThrowLastError() { throw InstallError(SystemErrorText(GetLastError())); }

// Appends what the pipe holds now, without blocking; false once the write end is closed.
bool DrainAvailable(HANDLE pipe, std::string& output) {
  for (;;) {
    DWORD available = 0;
    if (!PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr)) return false;
    if (available == 0) return true;
    char buffer[4096];
    DWORD read = 0;
    if (!ReadFile(pipe, buffer, available < sizeof buffer ? available : sizeof buffer, &read, nullptr)) return false;
    std::size_t room = output.size() < kCommandOutputLimit ? kCommandOutputLimit - output.size() : 0;
    output.append(buffer, read < room ? read : room);
  }
}

}  // namespace

std::string DecodeCommandOutput(const std::string& bytes) {
  if (!IsUtf16WithByteOrderMark(bytes)) return WithCrLfLines(UpToFirstNul(bytes));
  std::u16string units = Utf16Units(bytes);
  if (units.empty()) return {};
  const wchar_t* wide = reinterpret_cast<const wchar_t*>(units.data());
  int length = WideCharToMultiByte(CP_ACP, 0, wide, static_cast<int>(units.size()), nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide, static_cast<int>(units.size()), narrow.data(), length, nullptr, nullptr);
  return WithCrLfLines(narrow);
}

std::string RunAndCapture(const std::string& command_line, unsigned time_limit_ms) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  unique_handle read_end, write_end;
  if (!CreatePipe(read_end.put(), write_end.put(), &inherit, 0)) ThrowLastError();
  // Only the write end goes to the command: with our read end inherited too, the pipe would
  // never report its end while the command or a child of it lived.
  SetHandleInformation(read_end.get(), HANDLE_FLAG_INHERIT, 0);

  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
  startup.wShowWindow = SW_HIDE;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = write_end.get();
  startup.hStdError = write_end.get();
  std::vector<char> command(command_line.begin(), command_line.end());
  command.push_back('\0');
  PROCESS_INFORMATION started{};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_NEW_CONSOLE, nullptr, nullptr,
                      &startup, &started))
    ThrowLastError();
  unique_handle process(started.hProcess);
  unique_handle thread(started.hThread);
  write_end.reset();

  std::string output;
  DWORD start = GetTickCount();
  for (;;) {
    bool open = DrainAvailable(read_end.get(), output);
    DWORD waited = WaitForSingleObject(process.get(), 20);
    if (waited == WAIT_OBJECT_0) break;
    if (!open && waited != WAIT_TIMEOUT) break;
    if (GetTickCount() - start >= time_limit_ms) {
      TerminateProcess(process.get(), 1);
      WaitForSingleObject(process.get(), 1000);
      throw InstallError("The command \"" + command_line + "\" did not end within " +
                         std::to_string(time_limit_ms / 1000) + " seconds");
    }
  }
  DrainAvailable(read_end.get(), output);
  return DecodeCommandOutput(output);
}

}  // namespace stampwell
