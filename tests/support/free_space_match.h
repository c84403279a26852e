#pragma once
// Compares two free-space texts of one drive read moments apart. Other programs write to the
// drive in between (a build, the other tests), so the number may move a little; the words
// around it may not, and an empty text matches only an empty one.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

namespace stampwell::testing {

inline ::testing::AssertionResult SameFreeSpace(const std::string& seen, const std::string& expected,
                                                double tolerance_mb = 256) {
  static const std::string kPrefix = "Space available: ", kSuffix = " MB";
  auto number = [](const std::string& text, double& mb) {
    if (text.rfind(kPrefix, 0) != 0 || text.size() < kPrefix.size() + kSuffix.size() ||
        text.compare(text.size() - kSuffix.size(), kSuffix.size(), kSuffix) != 0)
      return false;
    mb = std::strtod(text.c_str() + kPrefix.size(), nullptr);
    return true;
  };
  double a = 0, b = 0;
  if (seen.empty() || expected.empty() || !number(seen, a) || !number(expected, b)) {
    if (seen == expected) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << '"' << seen << "\" is not \"" << expected << '"';
  }
  if (std::fabs(a - b) <= tolerance_mb) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << '"' << seen << "\" is not near \"" << expected << '"';
}

}  // namespace stampwell::testing
