#pragma once
// Calls of the wizard that a test must be able to observe or steer: the shell calls and the
// wait of the finish sequence, the search for the desktop shell that starts programs as the
// user (a test must see the direct start that follows when none answers), and the
// administrator query of Custom Install (a test account cannot be made a non-administrator in
// the test prefix), and the high-contrast setting (a test must not change the session's own
// colours). Real functions unless replaced.

#include <windows.h>
#include <shldisp.h>

namespace stampwell::wizard::seams {

using ShellExecuteFn = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
using SleepFn = void(WINAPI*)(DWORD);
using IsUserAdministratorFn = bool (*)();
using FindDesktopShellFn = HRESULT (*)(IShellDispatch2**);
using HighContrastOnFn = bool (*)();

extern ShellExecuteFn ShellExecute;
extern SleepFn Sleep;
extern IsUserAdministratorFn IsUserAdministrator;
extern FindDesktopShellFn FindDesktopShell;
// SPI_GETHIGHCONTRAST's HCF_HIGHCONTRASTON.
extern HighContrastOnFn HighContrastOn;

}  // namespace stampwell::wizard::seams
