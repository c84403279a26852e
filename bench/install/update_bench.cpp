// The price of a run that is all or nothing, measured side by side in one process on the
// full-size payload, in alternating order, the 10 ms pauses of the run left out on both sides:
//   update   an install run over an earlier installation of the same payload (every file
//            replaced: the product's folders moved aside whole, the journal committed),
//            against
//   fresh    the same run into an empty folder; goal: update / fresh at most 1.10;
//   undo     the taking back of a whole update that fails after its last file, against that
//            update's extraction; goal: undo / extraction under 0.1.
// The runs remove what they leave over (the earlier version, the failed run's files) as the
// wizard does, on a thread of their own while the page that the run ended on shows. The
// ratios are of what the user waits for: until the run reports. The removal is printed on its
// own, and the ratios with it added, so that nothing is hidden behind the thread.
// Each ratio is printed twice: of the work alone, and as the user waits for it, with the run's
// pause of 10 ms per file added to the run's side (the undo makes no pause).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/install/bench_ui.h"
#include "bench/win32_clock.h"
#include "install/install_error.h"
#include "install/install_log.h"
#include "install/install_run.h"
#include "install/install_system.h"
#include "install/leftover_removal.h"
#include "install/payload_store.h"
#include "setup/setup_settings.h"
#include "tests/support/remove_tree.h"

namespace stampwell {
namespace {

using bench::Seconds;

constexpr int kRounds = 15;

// The install run's own system with the time of its extraction and of its undo; with
// `fail_at_entry`, the uninstall entry fails, after every file is written.
struct TimedSystem : WindowsInstallSystem {
  TimedSystem(SetupSettings& settings, TInstallLog& log, bool fail_at_entry, LeftoverRemoval& leftovers)
      : WindowsInstallSystem(settings, log, ProgramPayload(),
                             {[] { return std::string(kProductName); }, [] { return false; },
                              [](const std::string&) {}},
                             &leftovers),
        fail_at_entry_(fail_at_entry) {}
  double extraction = 0, undo = 0, in_use_look = 0;
  FilesInUse FindFilesInUse(const std::string& install_dir, const std::vector<std::string>& files) override {
    const double start = Seconds();
    FilesInUse found = WindowsInstallSystem::FindFilesInUse(install_dir, files);
    in_use_look += Seconds() - start;
    return found;
  }
  void WritePayload(int n, const std::string& path) override {
    const double start = Seconds();
    WindowsInstallSystem::WritePayload(n, path);
    extraction += Seconds() - start;
  }
  void UndoRun() override {
    const double start = Seconds();
    WindowsInstallSystem::UndoRun();
    undo += Seconds() - start;
  }
  void WriteUninstallEntry() override {
    if (fail_at_entry_) throw InstallError("the entry fails here");
  }
  void NotifyAssociationsChanged() override {}

 private:
  bool fail_at_entry_;
};

struct Timing {
  double total = 0, extraction = 0, undo = 0, removal = 0, in_use_look = 0;
};

Timing Run(const std::string& folder, bool fail_at_entry) {
  SetupSettings settings;
  AssignSetupSettings(settings, true);
  TInstallLog log;
  BenchUi ui;
  ui.folder = folder;
  ui.window = false;  // the work alone: no pauses, no window to pump
  LeftoverRemoval leftovers;
  TimedSystem system(settings, log, fail_at_entry, leftovers);
  const double start = Seconds();
  RunInstall(settings, ui, system);
  const double total = Seconds() - start;
  const double removal_start = Seconds();
  leftovers.Wait();
  const double removal = Seconds() - removal_start;
  if (ui.messages.empty() == fail_at_entry) {
    std::fprintf(stderr, "the install run %s: %s\n", fail_at_entry ? "did not fail" : "stopped",
                 ui.messages.empty() ? "" : ui.messages.front().c_str());
    std::exit(1);
  }
  return {total, system.extraction, system.undo, removal, system.in_use_look};
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

std::string TempFolder() {
  char temp[MAX_PATH + 1] = {};
  GetTempPathA(sizeof temp, temp);
  return std::string(temp) + "stampwell-update-bench." + std::to_string(GetCurrentProcessId());
}

int Main() {
  const std::string fresh_folder = TempFolder() + "\\fresh", update_folder = TempFolder() + "\\update";
  std::uint64_t bytes = 0;
  for (int n = 1; n <= ProgramPayload().EntryCount(); ++n) bytes += ProgramPayload().Open(n).size();
  std::printf("payload: %d files, %.1f MB\n", ProgramPayload().EntryCount(), bytes / 1e6);
  Run(update_folder, false);  // the earlier installation that every update replaces
  std::vector<double> fresh, update, undo, extraction, update_removal, undo_removal, in_use_look,
      update_without_look;
  for (int round = 0; round < kRounds; ++round) {
    // Alternating, so that a slower moment of the machine falls on both sides alike.
    testing::RemoveTree(fresh_folder);
    const bool fresh_first = round % 2 == 0;
    if (fresh_first) fresh.push_back(Run(fresh_folder, false).total);
    const Timing updated = Run(update_folder, false);
    update.push_back(updated.total);
    update_removal.push_back(updated.removal);
    in_use_look.push_back(updated.in_use_look);
    update_without_look.push_back(updated.total - updated.in_use_look);
    if (!fresh_first) fresh.push_back(Run(fresh_folder, false).total);
    const Timing failed = Run(update_folder, true);
    undo.push_back(failed.undo);
    undo_removal.push_back(failed.removal);
    extraction.push_back(failed.extraction);
  }
  const double update_ratio = Median(update) / Median(fresh);
  const double undo_ratio = Median(undo) / Median(extraction);
  const double pauses = ProgramPayload().EntryCount() * kPauseAfterEntryMs / 1000.0;
  const double waited_update_ratio = (Median(update) + pauses) / (Median(fresh) + pauses);
  const double waited_undo_ratio = Median(undo) / (Median(extraction) + pauses);
  std::printf("medians of %d rounds (seconds):\n", kRounds);
  std::printf("  fresh install                      %8.3f\n", Median(fresh));
  std::printf("  update in place (every file)       %8.3f\n", Median(update));
  // A fresh install has no folder to look into.
  std::printf("  of which the look for files in use %8.3f\n", Median(in_use_look));
  // On its thread: behind the finish page, or behind the message that names the failure.
  std::printf("  its earlier version's removal      %8.3f\n", Median(update_removal));
  std::printf("  extraction of a failing update     %8.3f\n", Median(extraction));
  std::printf("  undo of that whole update          %8.3f\n", Median(undo));
  std::printf("  the failed update's removal        %8.3f\n", Median(undo_removal));
  std::printf("  the run's pauses (%d x %u ms)     %8.3f\n", ProgramPayload().EntryCount(), kPauseAfterEntryMs, pauses);
  const auto verdict = [](bool met) { return met ? "met" : "NOT MET"; };
  std::printf("update / fresh, the work alone:         %.3f (goal: at most 1.10) %s\n", update_ratio,
              verdict(update_ratio <= 1.10));
  std::printf("update / fresh, as the user waits:      %.3f (goal: at most 1.10) %s\n", waited_update_ratio,
              verdict(waited_update_ratio <= 1.10));
  std::printf("undo / extraction, the work alone:      %.3f (goal: under 0.1) %s\n", undo_ratio,
              verdict(undo_ratio < 0.1));
  std::printf("undo / extraction, as the user waits:   %.3f (goal: under 0.1) %s\n", waited_undo_ratio,
              verdict(waited_undo_ratio < 0.1));
  std::printf("update / fresh without the look for files in use, the work alone: %.3f\n",
              Median(update_without_look) / Median(fresh));
  std::printf("with the removal that follows, the work alone: update / fresh %.3f, undo / extraction %.3f\n",
              (Median(update) + Median(update_removal)) / Median(fresh),
              (Median(undo) + Median(undo_removal)) / Median(extraction));
  testing::RemoveTree(TempFolder());
  return 0;
}

}  // namespace
}  // namespace stampwell

int main() { return stampwell::Main(); }
