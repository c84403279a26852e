#pragma once
// What the install run makes besides the payload files, and the log lines that name it:
// the product's folders and the Start Menu group. Portable.

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace stampwell {

// Made as a single directory; a failure to make it stops the run.
inline constexpr char kDataFolder[] = "Data";
// Made in this order with their parents; a failure here shows later as a file that cannot
// be written.
inline constexpr std::array<const char*, 11> kExampleFolders = {
    "Example\\Animated", "Example\\Business", "Example\\Cute",    "Example\\Digital",
    "Example\\Feature",  "Example\\Festival", "Example\\Icon",    "Example\\Life",
    "Example\\Love",     "Example\\User",     "Example\\Protection"};

// Every folder that the run makes below the installation directory, in the order made: the
// folders in which a payload entry may lie, besides the directory itself.
inline std::vector<std::string> ProductFolders() {
  std::vector<std::string> folders{kDataFolder};
  folders.insert(folders.end(), kExampleFolders.begin(), kExampleFolders.end());
  return folders;
}

// The folder lines of the uninstall log for an installation directory that ends in a
// backslash: twelve "<DIR>" lines (every category before "Example", "Example\User" never
// listed) and the "<SDIR>" line of the directory itself.
std::vector<std::string> InstallFolderLogLines(const std::string& install_dir);

struct GroupShortcut {
  std::string link_file;
  std::string target;
};

struct GroupShortcutSource {
  std::string group_dir;  // no trailing backslash
  std::string product_title;
  std::string home_page_url;
  std::string buy_page_url;
  std::string install_dir;  // ends in a backslash
  std::string main_exe_name;
};

// The Start Menu group folder: programs (ends in a backslash) + publisher + "\" + title.
std::string StartMenuGroupDirFor(std::string_view programs, std::string_view publisher, std::string_view title);

// The group's five shortcuts in the order in which they are made: on the web, Buy,
// Uninstall, Help, the product.
std::array<GroupShortcut, 5> GroupShortcuts(const GroupShortcutSource& source);

// The group's log lines once all five are made: the product, Buy, Help, Uninstall, on the
// web (not the order of making), then "<SDIR>" + the group folder.
std::vector<std::string> GroupLogLines(const std::array<GroupShortcut, 5>& made, const std::string& group_dir);

}  // namespace stampwell
