#pragma once
// The default Program Files folder. Portable: the caller reads the Windows directory.

#include <string>
#include <string_view>

namespace stampwell {

// The drive part of a path: "C:" for "C:\Windows", "\\server\share" for a UNC path,
// empty when the path names no drive.
std::string DrivePart(std::string_view path);

// The Windows directory's drive followed by "\Program Files": "D:\Program Files" for
// "D:\WINNT". The fixed name, never looked up; on 64-bit Windows it names the 64-bit folder.
std::string ProgramFilesPathFromWindowsDir(std::string_view windows_dir);

}  // namespace stampwell
