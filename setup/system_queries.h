#pragma once
// Queries of the running system that choose the setup's folders. Each is stateless, reports
// nothing to the user, and turns any failure into its neutral answer.

#include <windows.h>

#include <string>

namespace stampwell {

// True only for this 32-bit program running under WOW64 on an x64 or Itanium system.
bool IsWindows64Bit();

// True when the user's token lists the built-in Administrators group (S-1-5-32-544), enabled
// or not: membership alone counts, so a filtered administrator token answers true.
bool IsUserAdministrator();

// The file-system path of a shell special folder (a CSIDL), without a trailing backslash;
// empty when the shell cannot resolve it.
std::string GetSpecialFolderPath(int csidl);

// The Windows directory's drive + "\Program Files".
std::string GetProgramFilesPath();

// The current user's Start Menu Programs folder with a trailing backslash, or empty.
std::string GetProgramsFolder();

// "Space available: N MB" for the drive of a path like "C:\...", or empty (see
// setup/free_space_text.h for which paths get a text).
std::string GetFreeSpaceText(const std::string& path);

namespace seams {
// Reads a token's information class; GetTokenInformation unless a test replaces it, to
// present group lists that a real account cannot be given.
using GetTokenInformationFn = BOOL(WINAPI*)(HANDLE, TOKEN_INFORMATION_CLASS, LPVOID, DWORD, PDWORD);
extern GetTokenInformationFn GetTokenInformation;
}  // namespace seams

}  // namespace stampwell
