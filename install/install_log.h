#pragma once
// The uninstall log: the lines that tell the uninstaller what the install run made.
//
// Lines are only appended, in the order in which things were made; the first is the
// uninstall title. Paths are absolute; a folder line is a marker joined to its path.
// The in-memory part is portable; SaveToFile is Win32 (install/install_log_file.cpp).

#include <string>
#include <vector>

namespace stampwell {

inline constexpr char kUninstallLogName[] = "Uninstall.txt";
inline constexpr char kFolderMarker[] = "<DIR>";     // a folder inside the installation directory
inline constexpr char kTopFolderMarker[] = "<SDIR>"; // the installation directory or the Start Menu group

class TInstallLog {
 public:
  void Clear() { lines_.clear(); }
  void Add(std::string line) { lines_.push_back(std::move(line)); }
  const std::vector<std::string>& Lines() const { return lines_; }
  std::size_t Count() const { return lines_.size(); }

  // The file's exact bytes: every line followed by CR LF, the last too; no byte-order mark.
  std::string FileText() const;

  // Creates or truncates the file and writes FileText() in one write. Throws InstallError
  // "Cannot create file "<path>". <system message>" when the file cannot be created.
  void SaveToFile(const std::string& path) const;

 private:
  std::vector<std::string> lines_;
};

// The log of this process's install run, which the install run and the shortcut step fill.
TInstallLog& InstallLog();

}  // namespace stampwell
