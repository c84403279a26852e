// The install run's extraction measured side by side, in one run, under the same conditions:
//   ours   the install run as the wizard runs it (its 10 ms pauses measured apart),
//   limit  the same bytes written from memory, one write per file,
//   peer   an installer of Debian's nsis with the same files, stored, installed silently;
// and the peak memory of a process that runs the install run, for the product's payload and
// for the full-size one. With --memory the program only runs the install run once and
// prints its memory figures (the probe that the full benchmark starts).
#include <windows.h>
#include <ole2.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/setup_settings.h"
#include "bench/win32_clock.h"
#include "framework/unique_handle.h"
#include "install/command_capture.h"
#include "install/directories.h"
#include "install/install_layout.h"
#include "install/install_log.h"
#include "install/install_run.h"
#include "install/install_system.h"
#include "install/payload_store.h"
#include "tests/support/remove_tree.h"

namespace stampwell {
namespace {

using bench::Seconds;
using testing::RemoveTree;

std::string TempFolder(const char* name) {
  char temp[MAX_PATH + 1] = {};
  GetTempPathA(sizeof temp, temp);
  return std::string(temp) + "stampwell-bench." + std::to_string(GetCurrentProcessId()) + "\\" + name;
}


// The window side of a run without a window; the pauses are real and timed.
struct BenchUi : InstallRunUi {
  std::string folder;
  double paused = 0;
  std::vector<std::string> messages;
  std::string FolderField() override { return folder; }
  void SetFolderField(const std::string& text) override { folder = text; }
  void ShowPage(int) override {}
  void SetFillWidth(int) override {}
  void SetProgressRange(int, int) override {}
  void SetProgressPosition(int) override {}
  void SetEstimateText(const std::string&) override {}
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  bool DesktopLinkChecked() override { return false; }
  void ProcessMessages() override {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  }
  void Sleep(unsigned ms) override {
    double start = Seconds();
    ::Sleep(ms);
    paused += Seconds() - start;
  }
  std::uint32_t TickCount() override { return GetTickCount(); }
};

struct RunTimes {
  double total = 0, paused = 0;
};

// One install run into folder (no shortcuts, no registry entry: those are not extraction).
RunTimes RunOurs(const std::string& folder) {
  SetupSettings settings;
  AssignSetupSettings(settings, true);
  TInstallLog log;
  BenchUi ui;
  ui.folder = folder;
  struct NoRegistry : WindowsInstallSystem {
    using WindowsInstallSystem::WindowsInstallSystem;
    void WriteUninstallEntry() override {}
    void NotifyAssociationsChanged() override {}
  } system(settings, log, ProgramPayload(),
           {[] { return std::string(kProductName); }, [] { return false; }, [](const std::string&) {}, nullptr});
  double start = Seconds();
  RunInstall(settings, ui, system);
  RunTimes times{Seconds() - start, ui.paused};
  if (!ui.messages.empty()) {
    std::fprintf(stderr, "the install run stopped: %s\n", ui.messages.front().c_str());
    std::exit(1);
  }
  return times;
}

// The limit: the bytes already in memory, one create, one write and one close per file.
double RunLimit(const std::string& folder, const std::vector<std::vector<char>>& files) {
  const PayloadStore& payload = ProgramPayload();
  std::string dir = folder + "\\";
  ForceDirectories(dir + kDataFolder);
  for (const char* sub : kExampleFolders) ForceDirectories(dir + sub);
  double start = Seconds();
  for (int n = 1; n <= payload.EntryCount(); ++n) {
    const std::vector<char>& bytes = files[n - 1];
    unique_file file(CreateFileA((dir + payload.Entry(n)).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file || (!bytes.empty() && !WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                                               nullptr))) {
      std::fprintf(stderr, "the limit could not write %s\n", payload.Entry(n).c_str());
      std::exit(1);
    }
  }
  return Seconds() - start;
}

double RunPeer(const std::string& peer, const std::string& folder) {
  std::string command = "\"" + peer + "\" /S /D=" + folder;
  std::vector<char> line(command.begin(), command.end());
  line.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  double start = Seconds();
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) {
    std::fprintf(stderr, "the peer installer did not start: %s\n", peer.c_str());
    std::exit(1);
  }
  unique_handle process(started.hProcess), thread(started.hThread);
  WaitForSingleObject(process.get(), INFINITE);
  return Seconds() - start;
}

struct Memory {
  double peak_working_set_mb = 0, peak_private_mb = 0, private_before_mb = 0;
};

Memory ProcessMemory() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  Memory memory;
  memory.peak_working_set_mb = counters.PeakWorkingSetSize / 1048576.0;
  memory.peak_private_mb = counters.PeakPagefileUsage / 1048576.0;
  memory.private_before_mb = counters.PagefileUsage / 1048576.0;
  return memory;
}

int MemoryProbe() {
  Memory before = ProcessMemory();
  std::string folder = TempFolder("probe");
  RunOurs(folder);
  Memory after = ProcessMemory();
  RemoveTree(folder);
  RemoveDirectoryA(TempFolder("").c_str());
  long long bytes = 0;
  const PayloadStore& payload = ProgramPayload();
  for (int n = 1; n <= payload.EntryCount(); ++n) bytes += static_cast<long long>(payload.Open(n).size());
  std::printf("%.2f %.2f %.2f %.2f %.2f\n", bytes / 1048576.0, before.peak_working_set_mb, after.peak_working_set_mb,
              before.private_before_mb, after.peak_private_mb);
  return 0;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

int Benchmark(const std::string& peer, const std::string& peer_empty, const std::string& probe,
              const std::string& product_kind) {
  const PayloadStore& payload = ProgramPayload();
  std::vector<std::vector<char>> files;
  long long bytes = 0;
  for (int n = 1; n <= payload.EntryCount(); ++n) {
    PayloadView view = payload.Open(n);
    files.emplace_back(reinterpret_cast<const char*>(view.data()), reinterpret_cast<const char*>(view.data()) + view.size());
    bytes += static_cast<long long>(view.size());
  }
  std::printf("payload: %d files, %.2f MB (full-size synthetic)\n", payload.EntryCount(), bytes / 1048576.0);

  const int rounds = 3;
  std::vector<double> ours_total, ours_paused, ours_work, limit, peer_total, peer_base;
  for (int round = 0; round < rounds; ++round) {
    // Alternating order so that neither side always finds the disk cache warmer.
    std::string a = TempFolder(("limit" + std::to_string(round)).c_str());
    std::string b = TempFolder(("ours" + std::to_string(round)).c_str());
    std::string c = TempFolder(("peer" + std::to_string(round)).c_str());
    std::string d = TempFolder(("empty" + std::to_string(round)).c_str());
    CreateDirectoryA(TempFolder("").c_str(), nullptr);
    limit.push_back(RunLimit(a, files));
    RunTimes times = RunOurs(b);
    ours_total.push_back(times.total);
    ours_paused.push_back(times.paused);
    ours_work.push_back(times.total - times.paused);
    peer_total.push_back(RunPeer(peer, c));
    peer_base.push_back(RunPeer(peer_empty, d));
    for (const std::string& f : {a, b, c, d}) RemoveTree(f);
  }
  RemoveDirectoryA(TempFolder("").c_str());

  double l = Median(limit), w = Median(ours_work), t = Median(ours_total), p = Median(ours_paused);
  double pt = Median(peer_total), pb = Median(peer_base), pn = std::max(pt - pb, 1e-6);
  std::printf("\nextraction, median of %d rounds (seconds):\n", rounds);
  std::printf("  limit (one write per file from memory)      %8.3f\n", l);
  std::printf("  ours, the 10 ms pauses left out             %8.3f\n", w);
  std::printf("  ours, the pauses alone (%d x 10 ms)         %8.3f\n", payload.EntryCount(), p);
  std::printf("  ours, as the user waits                     %8.3f\n", t);
  std::printf("  peer installer, whole process               %8.3f\n", pt);
  std::printf("  peer installer of no files (its own start)  %8.3f\n", pb);
  std::printf("  peer installer, extraction alone            %8.3f\n", pn);
  std::printf("ratios:\n");
  std::printf("  ours without pauses / limit                 %8.2f\n", w / l);
  std::printf("  ours without pauses / peer extraction       %8.2f\n", w / pn);
  std::printf("  ours as the user waits / peer extraction    %8.2f\n", t / pn);

  std::printf("\npeak memory of a process that runs the install run (MB):\n");
  std::printf("  %-24s %8s %11s %11s %9s %11s %12s %9s\n", "payload", "size", "peak WS pre", "peak WS run", "WS growth",
              "private pre", "private run", "growth");
  for (const auto& [name, program] :
       {std::pair<std::string, std::string>{"product (" + product_kind + ")", probe},
        std::pair<std::string, std::string>{"full-size synthetic", ""}}) {
    std::string exe = program;
    if (exe.empty()) {
      char self[MAX_PATH];
      GetModuleFileNameA(nullptr, self, MAX_PATH);
      exe = self;
    }
    std::string line = RunAndCapture("\"" + exe + "\" --memory", 120000);
    double size = 0, ws_before = 0, ws_peak = 0, priv_before = 0, priv_peak = 0;
    if (std::sscanf(line.c_str(), "%lf %lf %lf %lf %lf", &size, &ws_before, &ws_peak, &priv_before, &priv_peak) != 5) {
      std::fprintf(stderr, "the memory probe answered: %s\n", line.c_str());
      return 1;
    }
    std::printf("  %-24s %8.2f %11.2f %11.2f %9.2f %11.2f %12.2f %9.2f\n", name.c_str(), size, ws_before, ws_peak,
                ws_peak - ws_before, priv_before, priv_peak, priv_peak - priv_before);
  }
  std::printf("(pre: after start, before the run, when the payload already lies in the program's image; the\n"
              " growth during the run is what a copy of the files would raise with their size)\n");
  return 0;
}

}  // namespace
}  // namespace stampwell

int main(int argc, char** argv) {
  if (FAILED(OleInitialize(nullptr))) return 1;
  std::string peer, peer_empty, probe, kind = "demo";
  bool memory = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    auto next = [&]() -> std::string { return i + 1 < argc ? argv[++i] : ""; };
    auto windows_path = [](std::string p) {
      if (!p.empty() && p[0] == '/') p = "Z:" + p;
      std::replace(p.begin(), p.end(), '/', '\\');
      return p;
    };
    if (arg == "--memory") memory = true;
    else if (arg == "--peer") peer = windows_path(next());
    else if (arg == "--peer-empty") peer_empty = windows_path(next());
    else if (arg == "--probe") probe = windows_path(next());
    else if (arg == "--payload-kind") kind = next();
  }
  int result = memory ? stampwell::MemoryProbe() : stampwell::Benchmark(peer, peer_empty, probe, kind);
  OleUninitialize();
  return result;
}
