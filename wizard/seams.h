#pragma once
// Calls of the wizard that a test must be able to observe or steer: the shell calls and the
// wait of the finish sequence, the search for the desktop shell that starts programs as the
// user (a test must see the direct start that follows when none answers), and the
// administrator query of Custom Install (a test account cannot be made a non-administrator in
// the test prefix). Real functions unless replaced.

#include <windows.h>
#include <shldisp.h>

namespace stampwell::wizard::seams {

using ShellExecuteFn = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
using SleepFn = void(WINAPI*)(DWORD);
using IsUserAdministratorFn = bool (*)();
using FindDesktopShellFn = HRESULT (*)(IShellDispatch2**);

extern ShellExecuteFn ShellExecute;
extern SleepFn Sleep;
extern IsUserAdministratorFn IsUserAdministrator;
extern FindDesktopShellFn FindDesktopShell;

}  // namespace stampwell::wizard::seams
