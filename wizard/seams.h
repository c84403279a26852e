#pragma once
// Calls of the wizard that a test must be able to observe or steer: the shell calls and the
// wait of the finish sequence, and the administrator query of Custom Install (a test account
// cannot be made a non-administrator in the test prefix). Real functions unless replaced.

#include <windows.h>

namespace stampwell::wizard::seams {

using ShellExecuteFn = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
using SleepFn = void(WINAPI*)(DWORD);
using IsUserAdministratorFn = bool (*)();

extern ShellExecuteFn ShellExecute;
extern SleepFn Sleep;
extern IsUserAdministratorFn IsUserAdministrator;

}  // namespace stampwell::wizard::seams
