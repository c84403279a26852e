// The arithmetic behind the folder page's free-space text and the default Program Files path.
#include <gtest/gtest.h>

#include "setup/existing_installation.h"
#include "setup/free_space_text.h"
#include "setup/program_files_path.h"
#include "setup/setup_settings.h"

namespace stampwell {
namespace {

TEST(FreeSpaceText, FormatsMegabytesWithTwoDecimals) {
  EXPECT_EQ(FreeSpaceTextFromBytes(1'234'567'890), "Space available: 1177.38 MB");
  EXPECT_EQ(FreeSpaceTextFromBytes(1024 * 1024), "Space available: 1.00 MB");
  // 5 GB and more: no thousands separators, no exponent.
  EXPECT_EQ(FreeSpaceTextFromBytes(int64_t{5000} * 1024 * 1024 * 1024), "Space available: 5120000.00 MB");
  // Rounded to nearest: 0.005 MB and a little more rounds up.
  EXPECT_EQ(FreeSpaceTextFromBytes(5243), "Space available: 0.01 MB");
}

TEST(FreeSpaceText, NothingForNoSpaceOrAFailedQuery) {
  EXPECT_EQ(FreeSpaceTextFromBytes(0), "");
  EXPECT_EQ(FreeSpaceTextFromBytes(-1), "");
}

TEST(FreeSpaceText, OnlyDrivesCToZWithColonAndBackslash) {
  EXPECT_EQ(FreeSpaceDriveRoot("C:\\Program Files\\Quendra Soft"), "C:\\");
  EXPECT_EQ(FreeSpaceDriveRoot("c:\\x"), "C:\\");
  EXPECT_EQ(FreeSpaceDriveRoot("Z:\\"), "Z:\\");
  for (const char* path : {"A:\\", "B:\\Setup", "1:\\x", "\\\\server\\share", "C:Program", "[:\\", "\xC4:\\x"})
    EXPECT_EQ(FreeSpaceDriveRoot(path), std::nullopt) << path;
}

TEST(FreeSpaceText, TooShortPathGetsNoTextInsteadOfAnError) {
  // Reading three characters of a shorter path must not go past its end.
  for (const char* path : {"", "C", "C:", "c:"}) EXPECT_EQ(FreeSpaceDriveRoot(path), std::nullopt) << path;
}

// The folder field that installs into a location our entry names: the location less the
// product's own folder, which the run appends again.
TEST(ExistingInstallation, FolderFieldIsTheLocationLessTheProductFolder) {
  const char* title = "Quendra Stampwell";
  EXPECT_EQ(FolderFieldForInstallation("C:\\Program Files (x86)\\Quendra Soft\\Quendra Stampwell\\", title),
            "C:\\Program Files (x86)\\Quendra Soft");
  EXPECT_EQ(FolderFieldForInstallation("D:\\Apps\\quendra stampwell", title), "D:\\Apps");
  EXPECT_EQ(FolderFieldForInstallation("C:\\Quendra Stampwell\\", title), "C:\\");
  EXPECT_EQ(FolderFieldForInstallation("\\\\server\\share\\Quendra Stampwell\\", title), "\\\\server\\share");
  // Not an installation of this product's making, or not a full path: no folder.
  for (const char* location : {"", "\\", "Quendra Stampwell\\", "C:\\Other\\", "C:\\xQuendra Stampwell\\",
                               "\\Quendra Stampwell\\", "Soft\\Quendra Stampwell\\", "C:Quendra Stampwell"})
    EXPECT_EQ(FolderFieldForInstallation(location, title), std::nullopt) << location;
}

TEST(ProgramFilesPath, TakesTheDriveOfTheWindowsDirectory) {
  EXPECT_EQ(ProgramFilesPathFromWindowsDir("C:\\Windows"), "C:\\Program Files");
  EXPECT_EQ(ProgramFilesPathFromWindowsDir("D:\\WINNT"), "D:\\Program Files");
  EXPECT_EQ(ProgramFilesPathFromWindowsDir("\\\\server\\share\\windows"), "\\\\server\\share\\Program Files");
  EXPECT_EQ(ProgramFilesPathFromWindowsDir(""), "\\Program Files");
}

TEST(SetupSettings, CreationStepAssignsTheFixedValues) {
  SetupSettings settings;
  settings.QuickInstallMode = true;
  AssignSetupSettings(settings, /*windows64=*/true);
  EXPECT_FALSE(settings.QuickInstallMode);
  EXPECT_EQ(settings.ArchSuffix, " (x86)");
  EXPECT_EQ(settings.PublisherName, "Quendra Soft");
  EXPECT_EQ(settings.UninstallTitle, "Quendra Stampwell Uninstall");
  EXPECT_EQ(settings.MainExeName, "Stampwell.exe");
  EXPECT_EQ(settings.UninstallKeyPath, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\QuendraStampwell");
  // The addresses keep their paths and the version query.
  EXPECT_EQ(settings.HomePageUrl.substr(settings.HomePageUrl.size() - 11), "/stampwell/");
  EXPECT_EQ(settings.BuyPageUrl.substr(settings.BuyPageUrl.size() - 19), "/stampwell/buy.html");
  EXPECT_EQ(settings.FinishPageUrl.substr(settings.FinishPageUrl.size() - 16), "/stampwell/?v3.3");
  EXPECT_EQ(settings.HomePageUrl.rfind("http://", 0), 0u);

  AssignSetupSettings(settings, /*windows64=*/false);
  EXPECT_EQ(settings.ArchSuffix, "");
}

}  // namespace
}  // namespace stampwell
