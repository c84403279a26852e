// The dynamic libraries of the demo payload's "Data" folder: a valid library that does
// nothing, so that the folder holds loadable DLL files where the product's codecs would be.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }

extern "C" __declspec(dllexport) int StampwellDemoLibraryVersion() { return 1; }
