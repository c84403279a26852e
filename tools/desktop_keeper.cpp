// Keeps the desktop of a test session in use from its start to its end.
//
// Wine closes a desktop a second after its last user process has ended, and the desktop's
// shell process (explorer.exe, which serves the desktop window and the shell windows list)
// quits with it. A program that starts within that second can be left on a desktop whose
// shell is going away: its windows lose the desktop window under them, and the shell windows
// list never answers. Tests run one after another, so each would meet that second. On Windows
// the desktop and its shell live as long as the logon session; with this process holding the
// desktop, the session gives the tests the same. It waits until the session's wineserver ends.
//
// It holds the desktop with two threads. Wine's server counts a desktop's users by thread, and
// whenever a user leaves it takes the desktop as unused if the count equals the number of
// threads of the desktop's shell process. When one of the shell's own threads ends (those that
// started a program for a caller end some seconds after the call), the server drops that
// thread from the users before it drops it from the shell's threads: with one keeping thread
// and no test running, the two counts meet for that moment, and a second later the desktop
// closes with its shell, under whatever runs then. Two keeping threads keep the counts apart.
#include <windows.h>

namespace {

DWORD WINAPI HoldDesktop(void*) {
  ::Sleep(INFINITE);
  return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // Any call into the window manager makes this process a user of the default desktop; a
  // thread that it starts afterwards is a user from its start.
  ::GetDesktopWindow();
  HANDLE second = ::CreateThread(nullptr, 0, &HoldDesktop, nullptr, 0, nullptr);
  if (second) ::CloseHandle(second);
  ::Sleep(INFINITE);
  return 0;
}
