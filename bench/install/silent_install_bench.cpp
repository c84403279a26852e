// A whole unattended installation of the full-size payload, process start to exit, side by
// side in one run with the peer installers of the same files doing the same:
//   ours  the setup program with /VERYSILENT /NOICONS /DIR=folder (no window, no pauses,
//         no shortcuts: the peers make none either);
//   NSIS  the NSIS setup with /S /D=folder (a 32-bit program: measured where 32-bit programs
//         run, said so and left out elsewhere);
//   MSI   msiexec /i package /qn INSTALLDIR=folder.
// Each whole process counts: its start, its checks, its writes, its records and its end.
//   --setup  the setup program with the full-size payload   --nsis, --msi  the peers
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "bench/started_process.h"
#include "bench/win32_clock.h"
#include "setup/setup_settings.h"
#include "tests/support/remove_tree.h"

namespace stampwell {
namespace {

using bench::Seconds;
using testing::RemoveTree;

// Each round runs every installer once, the order moving on by one each round (A B C, B C A,
// C A B, ...), so that none always meets the write-back of the one before or always runs while
// a neighbour on a shared machine is busy; the medians of the same rounds are compared.
constexpr int kRounds = 15;

std::string TempFolder(const std::string& name) {
  char temp[MAX_PATH + 1] = {};
  GetTempPathA(sizeof temp, temp);
  return std::string(temp) + "stampwell-silent-bench." + std::to_string(GetCurrentProcessId()) + "\\" + name;
}

// The whole process's time; nothing when it did not start, did not end within five minutes or
// ended with another code than 0.
std::optional<double> RunToExit(const std::string& command) {
  std::optional<bench::StartedProcess> started = bench::StartProcess(command);
  if (!started) return std::nullopt;
  HANDLE process = started->process.get();
  if (WaitForSingleObject(process, 300000) != WAIT_OBJECT_0) {
    TerminateProcess(process, 1);
    return std::nullopt;
  }
  const double seconds = Seconds() - started->started_at;
  DWORD code = 1;
  if (!GetExitCodeProcess(process, &code) || code != 0) return std::nullopt;
  return seconds;
}

std::string Msiexec() {
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, MAX_PATH);
  return std::string(system) + "\\msiexec.exe";
}

struct Installer {
  std::string name;
  std::function<std::string(const std::string& folder)> install;
  std::function<void()> remove;  // after the folder itself is gone
  bool runs = true;
  std::vector<double> seconds;
};

std::vector<Installer> Installers(const std::string& setup, const std::string& nsis, const std::string& msi) {
  return {
      {"ours",
       [setup](const std::string& folder) { return "\"" + setup + "\" /VERYSILENT /NOICONS /DIR=\"" + folder + "\""; },
       [] { RegDeleteKeyA(HKEY_CURRENT_USER, kUninstallKeyPath); }, true, {}},
      {"NSIS", [nsis](const std::string& folder) { return "\"" + nsis + "\" /S /D=" + folder; }, [] {}, true, {}},
      {"MSI",
       [msi](const std::string& folder) {
         return "\"" + Msiexec() + "\" /i \"" + msi + "\" /qn INSTALLDIR=\"" + folder + "\\\\\"";
       },
       [msi] { RunToExit("\"" + Msiexec() + "\" /x \"" + msi + "\" /qn"); }, true, {}},
  };
}

// One installation into a fresh folder, then everything of it taken away again; false when
// the installer failed or left the payload's first file out.
bool InstallOnce(Installer& installer, const std::string& folder, const std::string& probe_file) {
  std::optional<double> seconds = RunToExit(installer.install(folder));
  const bool installed =
      seconds && GetFileAttributesA((folder + "\\" + probe_file).c_str()) != INVALID_FILE_ATTRIBUTES;
  RemoveTree(folder);
  installer.remove();
  if (installed) installer.seconds.push_back(*seconds);
  return installed;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

int Benchmark(const std::string& setup, const std::string& nsis, const std::string& msi) {
  CreateDirectoryA(TempFolder("").c_str(), nullptr);
  const std::string probe_file = "Help.CHM";  // the manifest's first entry
  std::vector<Installer> installers = Installers(setup, nsis, msi);
  for (Installer& installer : installers) {
    installer.runs = InstallOnce(installer, TempFolder(installer.name + "-try"), probe_file);
    installer.seconds.clear();
  }
  if (!installers[0].runs || !installers[2].runs) {
    std::fprintf(stderr, "%s did not install the payload\n", installers[0].runs ? "msiexec" : "the setup program");
    return 1;
  }
  for (int round = 0; round < kRounds; ++round) {
    for (int i = 0; i < static_cast<int>(installers.size()); ++i) {
      Installer& installer = installers[(round + i) % installers.size()];
      if (!installer.runs) continue;
      if (!InstallOnce(installer, TempFolder(installer.name + std::to_string(round)), probe_file)) {
        std::fprintf(stderr, "%s ran once but failed in round %d\n", installer.name.c_str(), round);
        return 1;
      }
    }
  }
  RemoveDirectoryA(TempFolder("").c_str());

  std::printf("\nsilent installation of the full-size payload, whole process, median of %d rounds (seconds):\n",
              kRounds);
  const double ours = Median(installers[0].seconds);
  std::printf("  ours, /VERYSILENT /NOICONS /DIR=             %8.3f\n", ours);
  for (std::size_t i = 1; i < installers.size(); ++i) {
    if (installers[i].runs)
      std::printf("  %-4s peer, silent                            %8.3f\n", installers[i].name.c_str(),
                  Median(installers[i].seconds));
    else
      std::printf("  %-4s peer: not measured: its setup is a 32-bit program, and this machine runs no 32-bit code\n",
                  installers[i].name.c_str());
  }
  std::printf("ratios:\n");
  if (installers[1].runs)
    std::printf("  ours / NSIS peer, whole silent install       %8.2f   (goal: below 1)\n",
                ours / Median(installers[1].seconds));
  std::printf("  ours / MSI peer, whole silent install        %8.2f   (goal: below 0.5)\n",
              ours / Median(installers[2].seconds));
  return 0;
}

}  // namespace
}  // namespace stampwell

int main(int argc, char** argv) {
  std::string setup, nsis, msi;
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string arg = argv[i], value = argv[i + 1];
    if (!value.empty() && value[0] == '/') value = "Z:" + value;
    std::replace(value.begin(), value.end(), '/', '\\');
    if (arg == "--setup") setup = value;
    else if (arg == "--nsis") nsis = value;
    else if (arg == "--msi") msi = value;
  }
  if (setup.empty() || nsis.empty() || msi.empty()) {
    std::fprintf(stderr, "usage: silent_install_bench --setup SETUP --nsis NSIS_SETUP --msi PACKAGE\n");
    return 2;
  }
  return stampwell::Benchmark(setup, nsis, msi);
}
