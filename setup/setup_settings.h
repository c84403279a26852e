#pragma once
// The setup-wide values that every subsystem reads. Portable: no Windows types.
//
// ProductTitle is deliberately absent: it is the wizard window's caption, read at each use
// (see setup/product_title.h).

#include <string>

namespace stampwell {

struct SetupSettings {
  std::string PublisherName;
  std::string ArchSuffix;
  std::string UninstallTitle;
  std::string MainExeName;
  std::string UninstallKeyPath;  // under HKEY_CURRENT_USER
  std::string HomePageUrl;
  std::string BuyPageUrl;
  std::string FinishPageUrl;

  // Run-time values of the install run.
  bool QuickInstallMode = false;
  std::string InstallDir;
  std::string CurrentEntry;
};

// The one process-wide instance; assigned by the wizard window's creation step.
SetupSettings& Settings();

// The fixed values of the settings, as the wizard's creation step assigns them.
inline constexpr char kProductName[] = "Quendra Stampwell";
inline constexpr char kPublisherName[] = "Quendra Soft";
inline constexpr char kUninstallTitle[] = "Quendra Stampwell Uninstall";
inline constexpr char kMainExeName[] = "Stampwell.exe";
inline constexpr char kUninstallKeyPath[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\QuendraStampwell";
inline constexpr char kHomePageUrl[] = "http://www.quendrasoft.com/stampwell/";
inline constexpr char kBuyPageUrl[] = "http://www.quendrasoft.com/stampwell/buy.html";
inline constexpr char kFinishPageUrl[] = "http://www.quendrasoft.com/stampwell/?v3.3";
inline constexpr char kArchSuffix64[] = " (x86)";

// The architecture suffix of the default folder: " (x86)" for the 32-bit setup on 64-bit
// Windows, otherwise empty.
std::string ArchSuffixFor(bool windows64);

// Resets the run-time values and assigns the fixed ones, in the order of the creation step:
// QuickInstallMode, ArchSuffix, PublisherName, then the titles, names, key and addresses.
void AssignSetupSettings(SetupSettings& settings, bool windows64);

}  // namespace stampwell
