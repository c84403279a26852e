#pragma once
// Helpers of the Windows tests of the install run: a window side that records what the run
// shows, reading shortcuts back, and removing what an installation leaves outside its folder.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "install/install_log.h"
#include "install/install_run.h"
#include "install/install_system.h"
#include "setup/setup_settings.h"

namespace stampwell::testing {

// The window side of a run without a window: pages, messages and texts are recorded;
// messages are pumped, pauses and ticks are real.
struct RecordingWindow : InstallRunUi {
  std::string folder;
  bool desktop_link = true;
  std::vector<int> pages;
  std::vector<std::string> messages;
  std::string estimate;
  int width = -1;
  int position = -1;

  std::string FolderField() override { return folder; }
  void SetFolderField(const std::string& text) override { folder = text; }
  void ShowPage(int page) override { pages.push_back(page); }
  void SetFillWidth(int w) override { width = w; }
  void SetProgressRange(int, int) override {}
  void SetProgressPosition(int p) override { position = p; }
  void SetEstimateText(const std::string& text) override { estimate = text; }
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  // The Retry/Cancel questions, answered by `retry` (empty: Cancel).
  std::vector<std::string> questions;
  std::function<bool()> retry;
  bool AskRetry(const std::string& text) override {
    questions.push_back(text);
    return retry && retry();
  }
  bool DesktopLinkChecked() override { return desktop_link; }
  void ProcessMessages() override;
  void Sleep(unsigned ms) override { ::Sleep(ms); }
  std::uint32_t TickCount() override { return ::GetTickCount(); }
  int Page() const { return pages.empty() ? -1 : pages.back(); }
};

struct LinkInfo {
  bool loaded = false;
  std::string path, working_directory, arguments, description, icon;
  int icon_index = -1;
};
// Reads a .lnk file back through the shell link interface.
LinkInfo ReadLink(const std::string& link_file);

// The desktop shortcut and the Start Menu group of the product, and its registry key.
std::string DesktopLinkFile();
std::string StartMenuGroupFolder();
void RemoveInstallationTraces();
// The value of the uninstall entry, or nothing when it is missing.
bool ReadEntryValue(const std::string& name, std::string& data);

// Every file (with its bytes) and folder (as "<folder>") below `folder` (ending in a
// backslash), by relative path; empty when it does not exist.
std::map<std::string, std::string> Tree(const std::string& folder);

// Splits "Uninstall.txt" at CR LF; false when a line break is anything else.
bool SplitCrLfLines(const std::string& text, std::vector<std::string>& lines);

}  // namespace stampwell::testing
