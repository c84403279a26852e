#include "setup/setup_settings.h"

namespace stampwell {

SetupSettings& Settings() {
  static SetupSettings settings;
  return settings;
}

std::string ArchSuffixFor(bool windows64) { return windows64 ? kArchSuffix64 : ""; }

void AssignSetupSettings(SetupSettings& settings, bool windows64) {
  settings.QuickInstallMode = false;
  settings.ArchSuffix = ArchSuffixFor(windows64);
  settings.PublisherName = kPublisherName;
  settings.UninstallTitle = kUninstallTitle;
  settings.MainExeName = kMainExeName;
  settings.UninstallKeyPath = kUninstallKeyPath;
  settings.HomePageUrl = kHomePageUrl;
  settings.BuyPageUrl = kBuyPageUrl;
  settings.FinishPageUrl = kFinishPageUrl;
}

}  // namespace stampwell
