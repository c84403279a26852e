// Sorted insertion into the identifier-list container and lookups in it, at 10,000 and 100,000
// lists: the growth between the two sizes, side by side with what n log n growth would be.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "shellbrowse/toolbox/id_list.h"
#include "shellbrowse/toolbox/pidl_list.h"

namespace {

using Clock = std::chrono::steady_clock;

// Two-item lists shaped like a folder's children: a shared parent item, then a name item.
std::vector<std::vector<std::uint8_t>> MakeLists(int count, std::uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<std::vector<std::uint8_t>> lists;
  lists.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    std::vector<std::uint8_t> bytes = {22, 0};
    for (int b = 0; b < 20; ++b) bytes.push_back(static_cast<std::uint8_t>('P' + b % 7));
    int name_length = 8 + static_cast<int>(random() % 24);
    bytes.push_back(static_cast<std::uint8_t>(name_length + 2));
    bytes.push_back(0);
    for (int c = 0; c < name_length; ++c) bytes.push_back(static_cast<std::uint8_t>('a' + random() % 26));
    bytes.push_back(0);
    bytes.push_back(0);
    lists.push_back(std::move(bytes));
  }
  return lists;
}

struct Timing {
  double insert_seconds;
  double lookup_seconds;
  long long insert_comparisons;
  long long lookup_comparisons;
  // The limit on the same lists: one sort of a plain pointer vector, and std::lower_bound in it.
  double sort_seconds;
  double lower_bound_seconds;
};

Timing Measure(int count) {
  auto lists = MakeLists(count, 7u + static_cast<std::uint32_t>(count));
  Timing best{1e9, 1e9, 0, 0, 1e9, 1e9};
  // The best of three runs, so that a stray disturbance of the machine does not count.
  for (int run = 0; run < 3; ++run) {
    stampwell::PidlList list;
    list.SetDuplicates(stampwell::PidlDuplicates::Accept);
    list.SetSorted(true);
    auto start = Clock::now();
    for (auto& bytes : lists) list.Add(bytes.data());
    auto inserted = Clock::now();
    long long found = 0;
    for (auto& bytes : lists) found += list.IndexOf(bytes.data()) >= 0;
    auto looked_up = Clock::now();
    if (found != count) std::printf("lookup failed: %lld of %d found\n", found, count);
    {
      std::vector<const void*> plain;
      plain.reserve(lists.size());
      auto less = [](const void* x, const void* y) { return stampwell::CompareIdListBytes(x, y) < 0; };
      auto sort_start = Clock::now();
      for (auto& bytes : lists) plain.push_back(bytes.data());
      std::stable_sort(plain.begin(), plain.end(), less);
      auto sorted = Clock::now();
      long long hits = 0;
      for (auto& bytes : lists) {
        auto at = std::lower_bound(plain.begin(), plain.end(), static_cast<const void*>(bytes.data()), less);
        hits += at != plain.end();
      }
      auto searched = Clock::now();
      if (hits != count) std::printf("plain lookup failed\n");
      best.sort_seconds = std::min(best.sort_seconds, std::chrono::duration<double>(sorted - sort_start).count());
      best.lower_bound_seconds = std::min(best.lower_bound_seconds, std::chrono::duration<double>(searched - sorted).count());
    }
    if (run == 0) {
      // The work itself, apart from the memory system: comparisons made, counted once.
      long long comparisons = 0;
      stampwell::PidlList counted;
      counted.SetCompare([&comparisons](const void* x, const void* y) {
        ++comparisons;
        return stampwell::CompareIdListBytes(x, y);
      });
      counted.SetDuplicates(stampwell::PidlDuplicates::Accept);
      counted.SetSorted(true);
      for (auto& bytes : lists) counted.Add(bytes.data());
      best.insert_comparisons = comparisons;
      comparisons = 0;
      for (auto& bytes : lists) counted.IndexOf(bytes.data());
      best.lookup_comparisons = comparisons;
    }
    best.insert_seconds = std::min(best.insert_seconds, std::chrono::duration<double>(inserted - start).count());
    best.lookup_seconds = std::min(best.lookup_seconds, std::chrono::duration<double>(looked_up - inserted).count());
  }
  return best;
}

}  // namespace

int main() {
  const int small = 10000, large = 100000;
  Timing a = Measure(small);
  Timing b = Measure(large);
  double n_log_n = (large * std::log2(static_cast<double>(large))) / (small * std::log2(static_cast<double>(small)));
  std::printf("sorted insertion: %d lists %.4f s, %d lists %.4f s\n", small, a.insert_seconds, large, b.insert_seconds);
  std::printf("IndexOf of each:  %d lists %.4f s, %d lists %.4f s\n", small, a.lookup_seconds, large, b.lookup_seconds);
  std::printf("growth %dx lists: insertion %.2fx, IndexOf %.2fx; n log n would be %.2fx, n^2 %.0fx\n",
              large / small, b.insert_seconds / a.insert_seconds, b.lookup_seconds / a.lookup_seconds, n_log_n,
              static_cast<double>(large) * large / (static_cast<double>(small) * small));
  std::printf("comparisons: insertion %.2fx, IndexOf %.2fx (n log n %.2fx)\n",
              static_cast<double>(b.insert_comparisons) / a.insert_comparisons,
              static_cast<double>(b.lookup_comparisons) / a.lookup_comparisons, n_log_n);
  std::printf("plain vector (the limit): sort %.4f s / %.4f s, lower_bound %.4f s / %.4f s: growth %.2fx and %.2fx\n",
              a.sort_seconds, b.sort_seconds, a.lower_bound_seconds, b.lower_bound_seconds,
              b.sort_seconds / a.sort_seconds, b.lower_bound_seconds / a.lower_bound_seconds);
  std::printf("container / limit: insertion %.2f at %d, %.2f at %d; IndexOf %.2f at %d, %.2f at %d\n",
              a.insert_seconds / a.sort_seconds, small, b.insert_seconds / b.sort_seconds, large,
              a.lookup_seconds / a.lower_bound_seconds, small, b.lookup_seconds / b.lower_bound_seconds, large);
  std::printf("insertion growth / n log n growth: %.2f\n", (b.insert_seconds / a.insert_seconds) / n_log_n);
  std::printf("IndexOf growth / n log n growth: %.2f\n", (b.lookup_seconds / a.lookup_seconds) / n_log_n);
  return 0;
}
