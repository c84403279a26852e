// Shell-tree fill and refresh on a folder with many subfolders, side by side: a refresh that
// finds nothing changed against the fill of the same folder, the per-node cost at 100 and at
// 1000 subfolders, and the refresh that finds one new folder among 1000 against the fill.
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <string>

#include "bench/win32_clock.h"
#include "framework/application.h"
#include "framework/forms.h"
#include "shellbrowse/tree/shell_tree.h"
#include "tests/shellbrowse/shell_test_support.h"
#include "tests/shellbrowse/shell_tree_test_support.h"

using namespace stampwell;

namespace {

using bench::Seconds;

struct Timing {
  double fill = 0;     // seconds per FillTree
  double refresh = 0;  // seconds per RefreshTree, nothing changed
  double refresh_one_new = 0;
};

// Best of `rounds`: the least disturbed run of each step.
Timing Measure(int subfolders, int rounds) {
  stampwell::testing::ScratchDirectory scratch("bench_tree_" + std::to_string(subfolders));
  char name[32];
  for (int i = 0; i < subfolders; ++i) {
    std::snprintf(name, sizeof name, "\\Folder %04d", i);
    ::CreateDirectoryA((scratch.path() + name).c_str(), nullptr);
  }
  stampwell::testing::ShellTreeHost host;
  host.SetBase(scratch.path());
  Timing best{1e9, 1e9, 1e9};
  for (int round = 0; round < rounds; ++round) {
    double t0 = Seconds();
    host.tree->FillTree();
    double t1 = Seconds();
    host.tree->RefreshTree();
    double t2 = Seconds();
    std::string extra = scratch.path() + "\\Extra " + std::to_string(round);
    ::CreateDirectoryA(extra.c_str(), nullptr);
    double t3 = Seconds();
    host.tree->RefreshTree();
    double t4 = Seconds();
    ::RemoveDirectoryA(extra.c_str());
    if (t1 - t0 < best.fill) best.fill = t1 - t0;
    if (t2 - t1 < best.refresh) best.refresh = t2 - t1;
    if (t4 - t3 < best.refresh_one_new) best.refresh_one_new = t4 - t3;
  }
  int nodes = host.tree->Items().Count();
  std::printf("%5d subfolders (%d nodes): fill %8.2f ms, refresh %8.2f ms, refresh with one new %8.2f ms\n",
              subfolders, nodes, best.fill * 1e3, best.refresh * 1e3, best.refresh_one_new * 1e3);
  return best;
}

}  // namespace

int main() {
  ::CoInitialize(nullptr);
  Timing small = Measure(100, 5);
  Timing large = Measure(1000, 3);
  std::printf("refresh / fill, 100 subfolders:           %.2f\n", small.refresh / small.fill);
  std::printf("refresh / fill, 1000 subfolders:          %.2f\n", large.refresh / large.fill);
  std::printf("fill per node, 1000 vs 100 subfolders:    %.2f\n", (large.fill / 1000) / (small.fill / 100));
  std::printf("refresh per node, 1000 vs 100 subfolders: %.2f\n", (large.refresh / 1000) / (small.refresh / 100));
  std::printf("refresh with one new / plain refresh, 1000: %.2f\n", large.refresh_one_new / large.refresh);
  std::printf("refresh with one new / fill, 1000:          %.3f (goal below 0.10)\n", large.refresh_one_new / large.fill);
  ::CoUninitialize();
  return 0;
}
