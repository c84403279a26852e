// The install run's extraction measured side by side, in one run, under the same conditions:
//   ours   the install run as the silent run goes (no window: no look at a message queue, no
//          pauses), and as the wizard runs it (its 10 ms pauses measured apart),
//   limit  the same bytes written to the same paths with the fewest calls there are (a create,
//          one write, a close per file), from the image's pages and from a copy on the heap,
//          the faster of the two being the floor; plainly, and as the wizard's run goes (a look
//          at the message queue before each file, the 10 ms pause after it, measured apart),
//   peers  installers of the same files, installed silently: one of Debian's nsis (a 32-bit
//          program: measured where 32-bit programs run, said so and left out elsewhere) and
//          an MSI package of Debian's wixl installed by msiexec /qn, each less the same
//          installer of no files (its own start and end);
// the payload check's share; each step after the extraction; and the peak memory of a
// process that runs the install run, for the product's payload and for the full-size one.
//   --memory             only run the install run once and print its memory figures (the
//                        probe that the full benchmark starts);
//   --limit-and-pauses   print the limit and the run's pauses, for the benchmark by clicks.
#include <windows.h>
#include <ole2.h>
#include <psapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "bench/started_process.h"
#include "bench/install/bench_ui.h"
#include "bench/win32_clock.h"
#include "framework/unique_handle.h"
#include "install/command_capture.h"
#include "install/desktop_link.h"
#include "install/directories.h"
#include "install/install_layout.h"
#include "install/install_log.h"
#include "install/install_run.h"
#include "install/install_system.h"
#include "install/logged_on_user.h"
#include "install/payload_check.h"
#include "install/payload_store.h"
#include "install/start_menu_step.h"
#include "install/uninstall_entry.h"
#include "install/uninstall_entry_values.h"
#include "setup/setup_settings.h"
#include "setup/system_queries.h"
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

struct RunTimes {
  double total = 0, paused = 0, pumped = 0, written = 0;
  // The journal's own steps (its start with the registry value that names it, the plan of
  // the folders and files, its end) and the folders, the plan's records flushed before the
  // first of them is made.
  double journal = 0, folders = 0;
};

WindowsInstallSystem::Hooks BenchHooks() {
  return {[] { return std::string(kProductName); }, [] { return false; }, [](const std::string&) {}};
}

// One install run into folder (no shortcuts, no registry entry: those are not extraction).
RunTimes RunOurs(const std::string& folder, RunMode mode = RunMode::wizard) {
  SetupSettings settings;
  AssignSetupSettings(settings, true);
  TInstallLog log;
  BenchUi ui;
  ui.folder = folder;
  ui.window = mode == RunMode::wizard;
  struct NoRegistry : WindowsInstallSystem {
    using WindowsInstallSystem::WindowsInstallSystem;
    double written = 0, journal = 0, folders = 0;
    static void Timed(double& into, const std::function<void()>& step) {
      double start = Seconds();
      step();
      into += Seconds() - start;
    }
    void WritePayload(int n, const std::string& path) override {
      Timed(written, [&] { WindowsInstallSystem::WritePayload(n, path); });
    }
    void BeginRun(const std::string& dir) override {
      Timed(journal, [&] { WindowsInstallSystem::BeginRun(dir); });
    }
    void PlanFolders(const std::vector<std::string>& paths) override {
      Timed(journal, [&] { WindowsInstallSystem::PlanFolders(paths); });
    }
    void PlanWrites(const std::vector<std::string>& paths) override {
      Timed(journal, [&] { WindowsInstallSystem::PlanWrites(paths); });
    }
    void CommitRun() override {
      Timed(journal, [&] { WindowsInstallSystem::CommitRun(); });
    }
    bool ForceDirectories(const std::string& path) override {
      bool made = false;
      Timed(folders, [&] { made = WindowsInstallSystem::ForceDirectories(path); });
      return made;
    }
    void MakeDirectory(const std::string& path) override {
      Timed(folders, [&] { WindowsInstallSystem::MakeDirectory(path); });
    }
    void WriteUninstallEntry() override {}
    void NotifyAssociationsChanged() override {}
  } system(settings, log, ProgramPayload(), BenchHooks());
  double start = Seconds();
  RunInstall(settings, ui, system);
  RunTimes times{Seconds() - start, ui.paused, ui.pumped, system.written, system.journal, system.folders};
  if (!ui.messages.empty()) {
    std::fprintf(stderr, "the install run stopped: %s\n", ui.messages.front().c_str());
    std::exit(1);
  }
  return times;
}

// The limit: one create, one write and one close per file, into the same folders and paths as
// the run, the bytes taken from the image's pages as the run takes them or from a copy on the
// heap (a write from pages that the loader maps in as they are first read, and one from memory
// already touched, need not cost the same). Each file is made new, as the run makes it: a
// create that may replace a file truncates it under Wine, and Linux writes a truncated file
// out to the disk when it is closed. Under the run's conditions it also sleeps 10 ms after
// each file and looks once at its message queue before each, as the run must; the sleeps are
// left out of its time. What a machine does to the work that follows a pause (caches gone
// cold, a virtual processor taken away, under Wine the file server's process asleep) then
// falls on both sides alike. `creating` is the share of the creates, where that cost shows.
enum class LimitConditions { plain, as_the_run };
enum class LimitSource { image, heap };

struct LimitTimes {
  double seconds = 0, creating = 0;
};

LimitTimes RunLimit(const std::string& folder, const std::vector<std::vector<char>>& files,
                    LimitConditions conditions = LimitConditions::plain, LimitSource source = LimitSource::heap) {
  const PayloadStore& payload = ProgramPayload();
  const bool as_the_run = conditions == LimitConditions::as_the_run;
  std::string dir = folder + "\\" + kProductName + "\\";
  // The run's time holds the making of its folders; so does the limit's.
  double start = Seconds(), paused = 0, creating = 0;
  ForceDirectories(dir + kDataFolder);
  for (const char* sub : kExampleFolders) ForceDirectories(dir + sub);
  for (int n = 1; n <= payload.EntryCount(); ++n) {
    const PayloadView bytes = source == LimitSource::image
                                  ? payload.Open(n)
                                  : PayloadView(reinterpret_cast<const std::byte*>(files[n - 1].data()),
                                                files[n - 1].size());
    MSG message;
    if (as_the_run) PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
    double create = Seconds();
    unique_file file(CreateFileA((dir + payload.Entry(n)).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    creating += Seconds() - create;
    DWORD written = 0;
    if (!file || (!bytes.empty() && !WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                                               nullptr))) {
      std::fprintf(stderr, "the limit could not write %s\n", payload.Entry(n).c_str());
      std::exit(1);
    }
    if (as_the_run) {
      file.reset();
      double slept = Seconds();
      ::Sleep(kPauseAfterEntryMs);
      paused += Seconds() - slept;
    }
  }
  return {Seconds() - start - paused, creating};
}

struct Started {
  bool ran = false;  // started and ended with exit code 0
  double seconds = 0;
};

Started RunProgram(const std::string& command) {
  std::optional<bench::StartedProcess> started = bench::StartProcess(command);
  if (!started) return {};
  HANDLE process = started->process.get();
  if (WaitForSingleObject(process, 300000) != WAIT_OBJECT_0) {
    TerminateProcess(process, 1);
    return {};
  }
  Started result{true, Seconds() - started->started_at};
  DWORD code = 1;
  result.ran = GetExitCodeProcess(process, &code) && code == 0;
  return result;
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// A peer installer: how to install its files into a folder, and how to take them away again.
struct Peer {
  std::string name;
  std::function<std::string(const std::string& folder)> install;
  std::function<std::string()> remove;  // empty: removing the folder is enough
};

Peer NsisPeer(const std::string& setup) {
  return {"NSIS", [setup](const std::string& folder) { return "\"" + setup + "\" /S /D=" + folder; }, {}};
}

std::string Msiexec() {
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, MAX_PATH);
  return std::string(system) + "\\msiexec.exe";
}

Peer MsiPeer(const std::string& package) {
  return {"MSI",
          [package](const std::string& folder) {
            return "\"" + Msiexec() + "\" /i \"" + package + "\" /qn INSTALLDIR=\"" + folder + "\\\\\"";
          },
          [package] { return "\"" + Msiexec() + "\" /x \"" + package + "\" /qn"; }};
}

// One silent installation into folder; false when the installer did not run or installed
// nothing there.
bool InstallPeer(const Peer& peer, const std::string& folder, const std::string& probe_file, double& seconds) {
  Started run = RunProgram(peer.install(folder));
  seconds = run.seconds;
  bool ok = run.ran && (probe_file.empty() || FileExists(folder + "\\" + probe_file));
  if (peer.remove) RunProgram(peer.remove());
  RemoveTree(folder);
  return ok;
}

// The value below which a share `fraction` of the values lies (0.5: the median).
double Quantile(std::vector<double> values, double fraction) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1) + 0.5)];
}

double Median(std::vector<double> values) { return Quantile(std::move(values), 0.5); }

struct PeerFigures {
  Peer full, empty;
  bool runs = true;
  std::string why_not;
  std::vector<double> total, base;
};

// Each step after the extraction, timed alone on a real installation, then removed again.
void TimeStepsAfterExtraction() {
  SetupSettings settings;
  AssignSetupSettings(settings, true);
  TInstallLog log;
  std::string folder = TempFolder("steps");
  RunOurs(folder);
  settings.InstallDir = folder + "\\" + kProductName + "\\";
  WindowsInstallSystem system(settings, log, ProgramPayload(),
                              {[] { return std::string(kProductName); }, [] { return true; },
                               [](const std::string&) {}});
  for (const std::string& entry : ProgramPayload().Manifest()) log.Add(settings.InstallDir + entry);
  struct Step {
    const char* name;
    std::function<void()> run;
  };
  std::string user;
  const Step steps[] = {
      {"logged-on user query (alone)", [&] { user = LoggedOnUser(); }},
      {"desktop shortcut (its own query included)",
       [&] { system.CreateDesktopLink(kProductName, settings.InstallDir + settings.MainExeName); }},
      {"folder lines and Start Menu group", [&] { system.StartMenuStep(); }},
      {"save \"Uninstall.txt\"", [&] { system.SaveLog(settings.InstallDir + "Uninstall.txt"); }},
      {"uninstall registry entry", [&] { system.WriteUninstallEntry(); }},
      {"association change notice", [&] { system.NotifyAssociationsChanged(); }},
  };
  std::printf("\nsteps after the extraction, each alone (milliseconds):\n");
  double sum = 0;
  for (const Step& step : steps) {
    double start = Seconds();
    try {
      step.run();
    } catch (const std::exception& e) {
      std::printf("  %-44s failed: %s\n", step.name, e.what());
      continue;
    }
    double took = Seconds() - start;
    if (step.run && std::strncmp(step.name, "logged-on", 9) != 0) sum += took;
    std::printf("  %-44s %8.1f\n", step.name, took * 1000);
  }
  std::printf("  %-44s %8.1f\n", "the steps of the run together", sum * 1000);
  // What the steps made outside the folder: the shortcuts and the entry.
  for (const std::string& line : log.Lines()) {
    if (line.size() > 4 && line.compare(line.size() - 4, 4, ".lnk") == 0 &&
        line.compare(0, settings.InstallDir.size(), settings.InstallDir) != 0)
      DeleteFileA(line.c_str());
  }
  std::string group = GetProgramsFolder() + settings.PublisherName;
  if (GetProgramsFolder().size() > 1) RemoveTree(group);
  RegDeleteKeyA(HKEY_CURRENT_USER, settings.UninstallKeyPath.c_str());
  RemoveTree(folder);
}

// Every entry's bytes, copied out of the program into memory, as the limit writes them.
std::vector<std::vector<char>> PayloadInMemory() {
  const PayloadStore& payload = ProgramPayload();
  std::vector<std::vector<char>> files;
  for (int n = 1; n <= payload.EntryCount(); ++n) {
    PayloadView view = payload.Open(n);
    const char* bytes = reinterpret_cast<const char*>(view.data());
    files.emplace_back(bytes, bytes + view.size());
  }
  return files;
}

long long TotalSize(const std::vector<std::vector<char>>& files) {
  long long bytes = 0;
  for (const std::vector<char>& file : files) bytes += static_cast<long long>(file.size());
  return bytes;
}

// The peers, each tried once with no files: whether it runs here at all, and why not.
std::vector<PeerFigures> ReadyPeers(const std::string& nsis, const std::string& nsis_empty, const std::string& msi,
                                    const std::string& msi_empty) {
  std::vector<PeerFigures> peers;
  peers.push_back({NsisPeer(nsis), NsisPeer(nsis_empty), true, {}, {}, {}});
  peers.push_back({MsiPeer(msi), MsiPeer(msi_empty), true, {}, {}, {}});
  for (PeerFigures& peer : peers) {
    double ignored = 0;
    if (!InstallPeer(peer.empty, TempFolder("try"), "", ignored)) {
      peer.runs = false;
      peer.why_not = peer.full.name == "NSIS"
                         ? "its setup is a 32-bit program, and this machine runs no 32-bit code"
                         : "msiexec did not install the package";
    }
  }
  return peers;
}

// Each round's figures, a value per round.
struct ExtractionRounds {
  std::vector<double> silent, silent_written, silent_journal, silent_folders;
  std::vector<double> ours_total, ours_paused, ours_work, ours_pumped, ours_written;
  std::vector<double> limit, limit_creating, limit_image, run_limit, run_limit_creating;
  std::vector<double> against_run_limit;  // ours without pauses / the limit as the run goes
};

// At least thirty-one rounds. On this kind of machine the cost of a create after a pause
// switches between two levels (about 0.5 and 1 ms) for tens of seconds at a time, so a round
// whose two runs fall on either side of a switch has a ratio of 0.7 or 2.1; with fifteen
// rounds the median moved from 0.96 to 1.12 between runs of the same program, with thirty
// from 1.06.
constexpr int kLeastRounds = 31;

// One contender of a round: it runs into a fresh folder, records its figures and leaves
// nothing behind; false when it failed.
struct Contender {
  std::string name;
  std::function<bool(const std::string& folder)> run;
};

// The orders of one cycle of rounds, a balanced Latin square: over the cycle each contender
// runs once in each place and straight after each other contender equally often (an odd
// count needs every order also reversed). What one contender leaves to the next (its files'
// write-back, the removal of its folder, a peer's service still ending) then falls on every
// contender alike. An order that only moved on by one each round kept every neighbour: the
// NSIS peer of no files always ran straight after the NSIS peer, ours straight after the
// MSI peer of no files.
std::vector<std::vector<int>> BalancedOrders(int count) {
  std::vector<int> first;
  for (int k = 0; k < count; ++k) first.push_back(k == 0 ? 0 : k % 2 ? (k + 1) / 2 : count - k / 2);
  std::vector<std::vector<int>> orders;
  for (int shift = 0; shift < count; ++shift) {
    std::vector<int> order;
    for (int k : first) order.push_back((k + shift) % count);
    orders.push_back(std::move(order));
  }
  if (count % 2 != 0)
    for (int shift = 0; shift < count; ++shift) orders.emplace_back(orders[shift].rbegin(), orders[shift].rend());
  return orders;
}

// Whole cycles of balanced orders, at least kLeastRounds rounds; ratios are taken between
// medians of the same rounds. False when a contender failed.
bool RunRounds(const std::vector<Contender>& contenders) {
  const std::vector<std::vector<int>> orders = BalancedOrders(static_cast<int>(contenders.size()));
  const int cycle = static_cast<int>(orders.size());
  const int rounds = (kLeastRounds + cycle - 1) / cycle * cycle;
  for (int round = 0; round < rounds; ++round) {
    for (int index : orders[round % cycle]) {
      const Contender& contender = contenders[index];
      std::string folder = TempFolder((contender.name + std::to_string(round)).c_str());
      if (!contender.run(folder)) {
        std::fprintf(stderr, "%s ran once but failed in round %d\n", contender.name.c_str(), round);
        return false;
      }
      RemoveTree(folder);
    }
  }
  return true;
}

// Ours, silent and as the wizard runs it, the limits and the peers, in the same rounds; false
// when a peer that ran once failed later.
bool MeasureExtraction(const std::vector<std::vector<char>>& files, std::vector<PeerFigures>& peers,
                       ExtractionRounds& rounds) {
  std::vector<Contender> contenders{
      {"silent",
       [&](const std::string& folder) {
         RunTimes times = RunOurs(folder, RunMode::silent);
         rounds.silent.push_back(times.total);
         rounds.silent_written.push_back(times.written);
         rounds.silent_journal.push_back(times.journal);
         rounds.silent_folders.push_back(times.folders);
         return true;
       }},
      {"limit",
       [&](const std::string& folder) {
         LimitTimes plain = RunLimit(folder, files);
         rounds.limit.push_back(plain.seconds);
         rounds.limit_creating.push_back(plain.creating);
         return true;
       }},
      {"limit-image",
       [&](const std::string& folder) {
         rounds.limit_image.push_back(RunLimit(folder, files, LimitConditions::plain, LimitSource::image).seconds);
         return true;
       }},
      {"wizard",
       [&](const std::string& folder) {
         // Measured straight after the limit as the run goes, whose pauses it shares.
         std::string limit_folder = folder + "-limit";
         LimitTimes as_the_run = RunLimit(limit_folder, files, LimitConditions::as_the_run);
         RemoveTree(limit_folder);
         RunTimes times = RunOurs(folder);
         const double work = times.total - times.paused;
         rounds.ours_total.push_back(times.total);
         rounds.ours_paused.push_back(times.paused);
         rounds.ours_pumped.push_back(times.pumped);
         rounds.ours_written.push_back(times.written);
         rounds.ours_work.push_back(work);
         rounds.run_limit.push_back(as_the_run.seconds);
         rounds.run_limit_creating.push_back(as_the_run.creating);
         rounds.against_run_limit.push_back(work / as_the_run.seconds);
         return true;
       }},
  };
  for (PeerFigures& peer : peers) {
    if (!peer.runs) continue;
    const std::string probe = ProgramPayload().Entry(1);
    contenders.push_back({peer.full.name, [&peer, probe](const std::string& folder) {
                            double seconds = 0;
                            if (!InstallPeer(peer.full, folder, probe, seconds)) return false;
                            peer.total.push_back(seconds);
                            return true;
                          }});
    contenders.push_back({peer.full.name + "-empty", [&peer](const std::string& folder) {
                            double seconds = 0;
                            if (!InstallPeer(peer.empty, folder, "", seconds)) return false;
                            peer.base.push_back(seconds);
                            return true;
                          }});
  }
  return RunRounds(contenders);
}

// The payload check alone, on this thread, as the run would pay for it if nothing had started
// it ahead; a negative time when the check finds the payload damaged.
double TimePayloadCheck() {
  std::vector<double> check;
  for (int i = 0; i < 3; ++i) {
    double start = Seconds();
    if (!CheckPayload(GetModuleHandleA(nullptr)).intact) return -1;
    check.push_back(Seconds() - start);
  }
  return Median(check);
}

// Finding every entry's bytes among the program's resources, as each of the run's opens does:
// whether an index of them made once would save the run anything.
double TimeFindingEntries(long long bytes) {
  const PayloadStore& payload = ProgramPayload();
  std::vector<double> finding;
  for (int i = 0; i < kLeastRounds; ++i) {
    long long found = 0;
    double start = Seconds();
    for (int n = 1; n <= payload.EntryCount(); ++n) found += static_cast<long long>(payload.Open(n).size());
    finding.push_back(Seconds() - start);
    if (found != bytes) return -1;
  }
  return Median(finding);
}

void PrintExtraction(const ExtractionRounds& rounds, const std::vector<PeerFigures>& peers, double check,
                     double finding) {
  const double heap = Median(rounds.limit), image = Median(rounds.limit_image);
  const double l = std::min(heap, image), rl = Median(rounds.run_limit);
  const double silent = Median(rounds.silent);
  double w = Median(rounds.ours_work), t = Median(rounds.ours_total), p = Median(rounds.ours_paused);
  std::printf("\nextraction, median of %zu rounds (seconds):\n", rounds.silent.size());
  std::printf("  limit: one create, write, close per file    %8.3f   (the faster of the two below)\n", l);
  std::printf("  ... the bytes from the image's pages        %8.3f\n", image);
  std::printf("  ... the bytes from a copy on the heap       %8.3f\n", heap);
  std::printf("  ... of the heap's, making the files         %8.3f\n", Median(rounds.limit_creating));
  std::printf("  ours as the silent run goes                 %8.3f   (no window: no look at a queue, no pauses)\n",
              silent);
  std::printf("  ... of it, the payload writes               %8.3f\n", Median(rounds.silent_written));
  std::printf("  ... of it, the journal's start, plan, end   %8.3f\n", Median(rounds.silent_journal));
  std::printf("  ... of it, the folders (the plan flushed)  %8.3f\n", Median(rounds.silent_folders));
  std::printf("  limit as the wizard's run goes, no pauses   %8.3f   (a look at the queue, a write, 10 ms)\n", rl);
  std::printf("  ... of it, making the files                 %8.3f   (where the pauses' cost falls)\n",
              Median(rounds.run_limit_creating));
  std::printf("  ours as the wizard runs it, pauses left out %8.3f\n", w);
  std::printf("  ... the pauses alone (%d x 10 ms)          %8.3f\n", ProgramPayload().EntryCount(), p);
  std::printf("  ... as the user waits                       %8.3f\n", t);
  std::printf("  ... of it, the payload writes               %8.3f\n", Median(rounds.ours_written));
  std::printf("  ... of it, the message pumping              %8.3f\n", Median(rounds.ours_pumped));
  for (const PeerFigures& peer : peers) {
    if (!peer.runs) {
      std::printf("  %s peer: not measured: %s\n", peer.full.name.c_str(), peer.why_not.c_str());
      continue;
    }
    double pt = Median(peer.total), pb = Median(peer.base);
    std::printf("  %-4s peer, whole process                   %8.3f\n", peer.full.name.c_str(), pt);
    std::printf("  %-4s peer of no files (its own start, end)  %8.3f\n", peer.full.name.c_str(), pb);
    std::printf("  %-4s peer, extraction alone                %8.3f\n", peer.full.name.c_str(),
                std::max(pt - pb, 0.0));
  }
  std::printf("  payload check alone (CRC-32 of every entry) %8.3f   (started at start-up, ahead of the run)\n", check);
  std::printf("  finding the %d entries' bytes, all of them  %8.5f   (resource look-ups)\n",
              ProgramPayload().EntryCount(), finding);

  std::printf("(ours: the whole install run, from its first check to its commit: the in-use look, the free space,\n"
              " the journal, the folders, the files and the uninstall log, without the shortcuts and the registry\n"
              " entry; a peer's extraction: its whole process less that of the same installer of no files, which\n"
              " starts, makes the installation folder and ends as it does)\n");
  const std::vector<double>& ratios = rounds.against_run_limit;
  std::printf("ratios:\n");
  for (const PeerFigures& peer : peers) {
    if (!peer.runs) continue;
    double pn = std::max(Median(peer.total) - Median(peer.base), 1e-6);
    std::printf("  ours as the silent run goes / %-4s extraction %6.2f%s\n", peer.full.name.c_str(), silent / pn,
                peer.full.name == "NSIS" ? "   (goal: below 1)" : "");
    // The same ratio round by round, each round's peer extraction its own two runs' difference:
    // how far one round's conditions move it.
    std::vector<double> per_round;
    for (std::size_t r = 0; r < rounds.silent.size() && r < peer.total.size() && r < peer.base.size(); ++r)
      per_round.push_back(rounds.silent[r] / std::max(peer.total[r] - peer.base[r], 1e-3));
    std::printf("  ... round by round: median %.2f, middle half %.2f to %.2f\n", Median(per_round),
                Quantile(per_round, 0.25), Quantile(per_round, 0.75));
    std::printf("  ours as the wizard runs it, pauses left out / %-4s extraction %6.2f\n", peer.full.name.c_str(),
                w / pn);
    std::printf("  limit / %-4s extraction                     %6.2f\n", peer.full.name.c_str(), l / pn);
  }
  std::printf("  ours as the silent run goes / limit         %8.2f   (how near the floor)\n", silent / l);
  std::printf("  ours, wizard, no pauses / limit as it goes  %8.2f   (goal: at most 1.10; median of the rounds' own;\n"
              "                                                       middle half %.2f to %.2f, all %.2f to %.2f)\n",
              Median(ratios), Quantile(ratios, 0.25), Quantile(ratios, 0.75), Quantile(ratios, 0),
              Quantile(ratios, 1));
  std::printf("  limit as the wizard's run goes / limit      %8.2f   (what the pauses cost the same writes after them)\n",
              rl / l);
  std::printf("  payload check / ours as the silent run goes %8.2f\n", check / silent);
}

// The peak memory of a process that runs the install run, for the product's payload (`probe`)
// and for the full-size one (this program); false when a probe does not answer.
bool PrintMemory(const std::string& probe, const std::string& product_kind) {
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
      return false;
    }
    std::printf("  %-24s %8.2f %11.2f %11.2f %9.2f %11.2f %12.2f %9.2f\n", name.c_str(), size, ws_before, ws_peak,
                ws_peak - ws_before, priv_before, priv_peak, priv_peak - priv_before);
  }
  std::printf("(pre: after start, before the run, when the payload already lies in the program's image; the\n"
              " growth during the run is what a copy of the files would raise with their size)\n");
  return true;
}

int Benchmark(const std::string& nsis, const std::string& nsis_empty, const std::string& msi,
              const std::string& msi_empty, const std::string& probe, const std::string& product_kind) {
  std::vector<std::vector<char>> files = PayloadInMemory();
  long long bytes = TotalSize(files);
  std::printf("payload: %d files, %.2f MB (full-size synthetic)\n", ProgramPayload().EntryCount(), bytes / 1048576.0);
  // As the setup program does once its window is up: the check is done before the first run.
  StartProgramPayloadCheck();
  CreateDirectoryA(TempFolder("").c_str(), nullptr);
  std::vector<PeerFigures> peers = ReadyPeers(nsis, nsis_empty, msi, msi_empty);

  ExtractionRounds rounds;
  if (!MeasureExtraction(files, peers, rounds)) return 1;
  double check = TimePayloadCheck(), finding = TimeFindingEntries(bytes);
  if (check < 0 || finding < 0) {
    std::fprintf(stderr, "the payload check or a look-up finds this program's payload damaged\n");
    return 1;
  }
  PrintExtraction(rounds, peers, check, finding);
  TimeStepsAfterExtraction();
  bool answered = PrintMemory(probe, product_kind);
  RemoveDirectoryA(TempFolder("").c_str());
  return answered ? 0 : 1;
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

// The limit, plain and with the run's pauses, and the run's pauses, medians of five (as many as
// the benchmark by clicks has rounds), for that benchmark.
int LimitAndPauses() {
  std::vector<std::vector<char>> files = PayloadInMemory();
  StartProgramPayloadCheck();
  std::vector<double> limit, paused_limit, paused;
  for (int round = 0; round < 5; ++round) {
    std::string a = TempFolder("limit"), b = TempFolder("ours"), c = TempFolder("paused-limit");
    limit.push_back(RunLimit(a, files).seconds);
    paused.push_back(RunOurs(b).paused);
    paused_limit.push_back(RunLimit(c, files, LimitConditions::as_the_run).seconds);
    RemoveTree(a);
    RemoveTree(b);
    RemoveTree(c);
  }
  RemoveDirectoryA(TempFolder("").c_str());
  std::printf("limit %.4f\npaused-limit %.4f\npauses %.4f\n", Median(limit), Median(paused_limit), Median(paused));
  return 0;
}

}  // namespace
}  // namespace stampwell

int main(int argc, char** argv) {
  if (FAILED(OleInitialize(nullptr))) return 1;
  std::string nsis, nsis_empty, msi, msi_empty, probe, kind = "demo", mode;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    auto next = [&]() -> std::string { return i + 1 < argc ? argv[++i] : ""; };
    auto windows_path = [](std::string p) {
      if (!p.empty() && p[0] == '/') p = "Z:" + p;
      std::replace(p.begin(), p.end(), '/', '\\');
      return p;
    };
    if (arg == "--memory" || arg == "--limit-and-pauses") mode = arg;
    else if (arg == "--nsis") nsis = windows_path(next());
    else if (arg == "--nsis-empty") nsis_empty = windows_path(next());
    else if (arg == "--msi") msi = windows_path(next());
    else if (arg == "--msi-empty") msi_empty = windows_path(next());
    else if (arg == "--probe") probe = windows_path(next());
    else if (arg == "--payload-kind") kind = next();
  }
  int result = mode == "--memory"             ? stampwell::MemoryProbe()
               : mode == "--limit-and-pauses" ? stampwell::LimitAndPauses()
                                              : stampwell::Benchmark(nsis, nsis_empty, msi, msi_empty, probe, kind);
  OleUninitialize();
  return result;
}
