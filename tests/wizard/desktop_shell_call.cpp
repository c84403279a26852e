// One call into the desktop's shell, made as the finish page makes it: the shell is found
// through its windows list and asked to start PROGRAM, then this program ends. Exits 0 when
// the shell answered the search, 1 otherwise.
//   desktop_shell_call PROGRAM
#include <windows.h>
#include <objbase.h>

#include <cstdio>

#include "wizard/user_start.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::printf("usage: desktop_shell_call PROGRAM\n");
    return 2;
  }
  if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
    std::printf("desktop_shell_call: COM did not start\n");
    return 1;
  }
  int result = 0;
  {
    const stampwell::wizard::UserStart start = stampwell::wizard::UserStart::Find();
    if (start.ThroughDesktopShell()) {
      start.Open(nullptr, nullptr, argv[1], SW_SHOWNOACTIVATE);
    } else {
      std::printf("desktop_shell_call: the desktop's shell did not answer the search\n");
      result = 1;
    }
  }
  ::CoUninitialize();
  return result;
}
