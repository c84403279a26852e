#pragma once
// Path arithmetic of the install run and the shortcuts. Portable: no Windows calls.

#include <string>
#include <string_view>
#include <vector>

namespace stampwell {

// The installation directory for a folder field: the folder, a backslash unless it already
// ends in one, and the product title; no trailing backslash. "C:\" gives "C:\<title>".
std::string InstallDirFor(std::string_view folder, std::string_view title);

// The installation directory that a folder field names, no trailing backslash but a drive
// root's: the folder itself when the field names the directory (an unattended run's /DIR),
// else InstallDirFor the folder.
std::string InstallDirNamedBy(std::string_view folder, bool folder_is_install_dir, std::string_view title);

// path with a backslash appended unless it already ends in one.
std::string WithTrailingBackslash(std::string path);

// path without its trailing backslashes; a drive's root keeps its one ("C:\" stays "C:\", for
// "C:" alone would mean the current folder of drive C).
std::string WithoutTrailingBackslash(std::string path);

// True for a folder path that names its drive: "X:\..." or a network path "\\server\share".
// Empty text, relative paths, drive-relative "C:folder" and rooted "\folder" are refused:
// the install run would otherwise resolve them against whatever the current directory is.
bool IsFullFolderPath(std::string_view folder);

// The longest path that the system's 8-bit file functions take (MAX_PATH less its terminating
// zero), and the longest folder path that they create (room is kept for an 8.3 name).
inline constexpr std::size_t kLongestFilePath = 259;
inline constexpr std::size_t kLongestFolderPath = 247;

// True when every file and folder that the run makes below install_dir (no trailing
// backslash) stays within those limits: each of `files` (relative paths), the folder that
// holds it, and each of `folders`.
bool InstallPathsFit(std::string_view install_dir, const std::vector<std::string>& files,
                     const std::vector<std::string>& folders);

// The text of the plain message for a folder field that IsFullFolderPath refuses.
inline constexpr char kFullFolderPathNeeded[] =
    "Please enter the full path of a folder, beginning with its drive (for example C:\\Program Files).";

// Everything up to and including the last backslash or colon; empty when there is neither.
// For a web address this is its scheme and colon ("http:").
std::string DirectoryPart(std::string_view path);

// The extension from the last dot after the last backslash or colon, dot included; empty
// when there is none.
std::string ExtensionOf(std::string_view path);

// True when a link file's extension is ".lnk" in any letter case.
bool HasLinkExtension(std::string_view link_file);

// The desktop shortcut's path: desktop + "\" + title + ".lnk", with the first occurrence of
// the running account's name (case-sensitive) replaced by the logged-on user's. No
// replacement when either name is empty: the shortcut then stays on the running account's
// desktop, where its log line says it is.
std::string DesktopLinkPath(std::string_view desktop, std::string_view title, std::string_view account,
                            std::string_view user);

}  // namespace stampwell
