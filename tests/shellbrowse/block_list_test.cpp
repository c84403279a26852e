// The block list against a plain vector over random insertions and removals, across many block
// splits and emptied blocks.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "shellbrowse/toolbox/block_list.h"

namespace stampwell {
namespace {

TEST(BlockList, MatchesVectorOverRandomEdits) {
  std::mt19937 random(99);
  BlockList<int> list;
  std::vector<int> reference;
  for (int step = 0; step < 20000; ++step) {
    bool grow = reference.size() < 50 || std::uniform_int_distribution<int>(0, 9)(random) < 7;
    if (grow) {
      std::size_t at = std::uniform_int_distribution<std::size_t>(0, reference.size())(random);
      list.insert(at, step);
      reference.insert(reference.begin() + static_cast<std::ptrdiff_t>(at), step);
    } else {
      std::size_t at = std::uniform_int_distribution<std::size_t>(0, reference.size() - 1)(random);
      list.erase(at);
      reference.erase(reference.begin() + static_cast<std::ptrdiff_t>(at));
    }
    ASSERT_EQ(list.size(), reference.size());
  }
  for (std::size_t i = 0; i < reference.size(); ++i) ASSERT_EQ(list[i], reference[i]) << i;
  EXPECT_EQ(list.flatten(), reference);

  list.assign(reference);
  EXPECT_EQ(list.flatten(), reference);
  list.insert(list.size(), -1);
  EXPECT_EQ(list[list.size() - 1], -1);
  while (!list.empty()) list.erase(0);
  list.insert(0, 5);
  EXPECT_EQ(list[0], 5);
  list.clear();
  EXPECT_EQ(list.size(), 0u);
}

}  // namespace
}  // namespace stampwell
