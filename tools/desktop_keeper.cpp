// Keeps the desktop of a test session in use from its start to its end.
//
// Wine closes a desktop a second after its last user process has ended, and the desktop's
// shell process (explorer.exe, which serves the desktop window and the shell windows list)
// quits with it. A program that starts within that second can be left on a desktop whose
// shell is going away: its windows lose the desktop window under them, and the shell windows
// list never answers. Tests run one after another, so each would meet that second. On Windows
// the desktop and its shell live as long as the logon session; with this process holding the
// desktop, the session gives the tests the same. It waits until the session's wineserver ends.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // Any call into the window manager makes this thread a user of the default desktop.
  ::GetDesktopWindow();
  ::Sleep(INFINITE);
  return 0;
}
