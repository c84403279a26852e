#pragma once
// Removing what a run no longer needs: a file, or a folder with everything in it.

#include <string>

namespace stampwell {

// Removes the file or folder at `path`, and for a folder everything in it, read-only files
// included. A link or junction inside is removed as a link: what it points to is never
// entered. A file that cannot go now (a program still running from it) goes at the next
// restart, and so does its folder. Quiet when nothing is there.
void RemoveFileTree(const std::string& path);

}  // namespace stampwell
