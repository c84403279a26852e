#pragma once
// The window side of an install run in a benchmark, without a window.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "bench/win32_clock.h"
#include "install/install_run.h"

namespace stampwell {

// How a run goes: as the wizard's, whose window is pumped before each file and given 10 ms
// after it; or as a silent run's, which has no window to pump or to repaint.
enum class RunMode { wizard, silent };

// The window side of a run without a window; the wizard's pumping and pauses are real and timed.
struct BenchUi : InstallRunUi {
  std::string folder;
  bool window = true;
  double paused = 0, pumped = 0;
  std::vector<std::string> messages;
  std::string FolderField() override { return folder; }
  void SetFolderField(const std::string& text) override { folder = text; }
  void ShowPage(int) override {}
  void SetFillWidth(int) override {}
  void SetProgressRange(int, int) override {}
  void SetProgressPosition(int) override {}
  void SetEstimateText(const std::string&) override {}
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  bool AskRetry(const std::string& text) override {
    messages.push_back(text);
    return false;
  }
  bool DesktopLinkChecked() override { return false; }
  void ProcessMessages() override {
    if (!window) return;
    double start = bench::Seconds();
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    pumped += bench::Seconds() - start;
  }
  void Sleep(unsigned ms) override {
    if (!window) return;
    double start = bench::Seconds();
    ::Sleep(ms);
    paused += bench::Seconds() - start;
  }
  std::uint32_t TickCount() override { return GetTickCount(); }
};

}  // namespace stampwell
