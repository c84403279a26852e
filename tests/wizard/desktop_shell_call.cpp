// One call into the desktop's shell, as the finish page makes it: finds the shell's
// automation object through its windows list and has the shell start PROGRAM, then ends.
// Exits 0 when the shell took the call, 1 otherwise, printing what failed.
//   desktop_shell_call PROGRAM
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <cstdio>
#include <string>

#include "wizard/user_start.h"

namespace {

int Call(const char* program) {
  IShellDispatch2* shell = nullptr;
  HRESULT hr = stampwell::wizard::FindDesktopShellDispatch(&shell);
  if (hr != S_OK) {
    std::printf("desktop_shell_call: the search answered 0x%08lx\n", static_cast<unsigned long>(hr));
    return 1;
  }
  const std::wstring wide(program, program + std::char_traits<char>::length(program));
  BSTR file = ::SysAllocString(wide.c_str());
  VARIANT none;
  ::VariantInit(&none);
  VARIANT show;
  ::VariantInit(&show);
  show.vt = VT_I4;
  show.lVal = SW_SHOWNOACTIVATE;
  hr = file ? shell->ShellExecute(file, none, none, none, show) : E_OUTOFMEMORY;
  ::SysFreeString(file);
  shell->Release();
  if (FAILED(hr)) {
    std::printf("desktop_shell_call: the shell did not start %s: 0x%08lx\n", program, static_cast<unsigned long>(hr));
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::printf("usage: desktop_shell_call PROGRAM\n");
    return 2;
  }
  if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
    std::printf("desktop_shell_call: COM did not start\n");
    return 1;
  }
  const int result = Call(argv[1]);
  ::CoUninitialize();
  return result;
}
