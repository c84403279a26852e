#include "install/install_layout.h"

#include "install/install_paths.h"

namespace stampwell {

std::vector<std::string> InstallFolderLogLines(const std::string& install_dir) {
  std::vector<std::string> lines;
  for (const char* folder : kExampleFolders)
    if (std::string_view(folder) != "Example\\User") lines.push_back("<DIR>" + install_dir + folder);
  lines.push_back("<DIR>" + install_dir + "Example");
  lines.push_back("<DIR>" + install_dir + kDataFolder);
  lines.push_back("<SDIR>" + install_dir);
  return lines;
}

std::string StartMenuGroupDirFor(std::string_view programs, std::string_view publisher, std::string_view title) {
  std::string dir(programs);
  dir += publisher;
  dir += '\\';
  dir += title;
  return dir;
}

std::array<GroupShortcut, 5> GroupShortcuts(const GroupShortcutSource& s) {
  const std::string& g = s.group_dir;
  return {{
      {g + "\\" + s.product_title + " on the web.lnk", s.home_page_url},
      {g + "\\Buy " + s.product_title + " on online.lnk", s.buy_page_url},
      {g + "\\Uninstall.lnk", s.install_dir + "unin00000.exe"},
      {g + "\\Help.lnk", s.install_dir + "Help.CHM"},
      {g + "\\" + s.product_title + ".lnk", s.install_dir + s.main_exe_name},
  }};
}

std::vector<std::string> GroupLogLines(const std::array<GroupShortcut, 5>& made, const std::string& group_dir) {
  return {made[4].link_file, made[1].link_file, made[3].link_file, made[2].link_file, made[0].link_file,
          "<SDIR>" + group_dir};
}

}  // namespace stampwell
