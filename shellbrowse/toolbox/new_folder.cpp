#include "shellbrowse/toolbox/new_folder.h"

#include <windows.h>

#include <cstdio>

#include "shellbrowse/toolbox/shell_error.h"
#include "shellbrowse/toolbox/shell_strings.h"
#include "shellbrowse/toolbox/shell_text.h"
#include "shellbrowse_strings.h"

namespace stampwell {
namespace {

constexpr int kAttemptsPerSeries = 50;

void ShowWarningBox(const std::string& text) {
  // Captioned like every message of the program: with the active window's title.
  HWND owner = GetActiveWindow();
  char caption[256] = {};
  if (owner) GetWindowTextA(owner, caption, sizeof caption);
  MessageBoxA(owner, text.c_str(), caption, MB_OK | MB_ICONWARNING);
}

FolderWarningFn g_warning = ShowWarningBox;

void Warn(DWORD error, const std::string& name) {
  g_warning(FormatStrPos(ToolboxText(IDS_SB_CREATE_FOLDER_FAILED), {SystemMessage(error), name}));
}

std::string AttemptName(int series, int attempt, const std::string& new_folder) {
  std::string base = series == 0 ? new_folder : "fldr";
  if (attempt == 1) return base;
  char suffix[32];
  std::snprintf(suffix, sizeof suffix, series == 0 ? " (%d)" : "%d", attempt);
  return base + suffix;
}

}  // namespace

FolderWarningFn SetFolderWarning(FolderWarningFn warning) noexcept {
  FolderWarningFn old = g_warning;
  g_warning = warning ? warning : ShowWarningBox;
  return old;
}

bool CreateFolderIn(const std::string& directory, std::string& name) {
  name.clear();
  std::string base = directory;
  if (base.empty()) {
    char current[MAX_PATH] = {};
    DWORD length = GetCurrentDirectoryA(MAX_PATH, current);
    base.assign(current, length < MAX_PATH ? length : 0);
  }
  base = IncludeTrailingChar(base, '\\');
  const std::string new_folder = ToolboxText(IDS_SB_NEW_FOLDER);
  for (int series = 0; series < 2; ++series) {
    for (int attempt = 1; attempt <= kAttemptsPerSeries; ++attempt) {
      std::string candidate = AttemptName(series, attempt, new_folder);
      if (CreateDirectoryA((base + candidate).c_str(), nullptr)) {
        name = candidate;
        return true;
      }
      DWORD error = GetLastError();
      if (error == ERROR_ALREADY_EXISTS) continue;
      Warn(error, candidate);
      return false;
    }
  }
  Warn(ERROR_ALREADY_EXISTS, new_folder);
  return false;
}

}  // namespace stampwell
