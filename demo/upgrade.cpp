// Upgrade.exe of the demo payload: the product's update check, which in the demo has nothing
// to fetch and says so.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  MessageBoxA(nullptr, "Quendra Stampwell is up to date.", "Quendra Stampwell Upgrade", MB_OK | MB_ICONINFORMATION);
  return 0;
}
