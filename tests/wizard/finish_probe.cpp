// Stands in for the web page and the product in the finish tests: records who started it and
// how, in "<its own path>.started", and ends. The record is written whole under another name
// and then renamed, so that a test never reads half of it.
#include <windows.h>
#include <tlhelp32.h>

#include <fstream>
#include <string>

#include "framework/unique_handle.h"

namespace {

DWORD ParentProcessId() {
  // A failed snapshot is INVALID_HANDLE_VALUE, which the file owner knows as invalid.
  stampwell::unique_file snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return 0;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  const DWORD self = ::GetCurrentProcessId();
  for (BOOL more = ::Process32First(snapshot.get(), &entry); more; more = ::Process32Next(snapshot.get(), &entry))
    if (entry.th32ProcessID == self) return entry.th32ParentProcessID;
  return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char self[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, self, MAX_PATH);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  ::GetStartupInfoA(&startup);
  const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
  const std::string record = std::string(self) + ".started";
  {
    std::ofstream out(record + ".partial", std::ios::trunc);
    out << ParentProcessId() << ' ' << show << '\n';
  }
  ::MoveFileExA((record + ".partial").c_str(), record.c_str(), MOVEFILE_REPLACE_EXISTING);
  return 0;
}
