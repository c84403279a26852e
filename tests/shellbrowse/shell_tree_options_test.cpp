// The shell tree's option names, as form resources store them.
#include "shellbrowse/tree/shell_tree_options.h"

#include <gtest/gtest.h>

namespace stampwell {
namespace {

TEST(ShellTreeOptions, NamesRoundTripInOrdinalOrder) {
  EXPECT_EQ(kDefaultShellTreeOptions.Bits(), 955);
  EXPECT_EQ(ShellTreeOptionNames(kDefaultShellTreeOptions),
            (std::vector<std::string>{"ptstoAutoFill", "ptstoVirtualFolders", "ptstoDefaultKeyHandling",
                                      "ptstoContextMenus", "ptstoDynamicRefresh", "ptstoOleDrag", "ptstoOleDrop",
                                      "ptstoShowHidden"}));
  for (unsigned bits = 0; bits < (1u << kShellTreeOptionCount); bits += 37) {
    TPTShellTreeOptions options = TPTShellTreeOptions::FromBits(static_cast<std::uint16_t>(bits));
    TPTShellTreeOptions parsed;
    std::string unknown;
    ASSERT_TRUE(ParseShellTreeOptions(ShellTreeOptionNames(options), parsed, unknown));
    EXPECT_EQ(parsed, options);
  }
  EXPECT_EQ(ShellTreeOptionName(9), "ptstoShowHidden");
  EXPECT_EQ(ShellTreeOptionName(10), "");
  EXPECT_EQ(ShellTreeOptionName(-1), "");
  // Bits past the last option are not options.
  EXPECT_EQ(TPTShellTreeOptions::FromBits(0xFFFF).Bits(), 0x3FF);
}

TEST(ShellTreeOptions, UnknownNamesAreRefusedAndLeaveTheSet) {
  TPTShellTreeOptions options{ptstoOleDrop};
  std::string unknown;
  EXPECT_FALSE(ParseShellTreeOptions({"ptstoAutoFill", "ptstoautofill"}, options, unknown));
  EXPECT_EQ(unknown, "ptstoautofill");
  EXPECT_EQ(options, (TPTShellTreeOptions{ptstoOleDrop}));
  EXPECT_TRUE(ParseShellTreeOptions({}, options, unknown));
  EXPECT_EQ(options.Bits(), 0);
  options += ptstoShowHidden;
  options += ptstoShowHidden;
  EXPECT_TRUE(options.Contains(ptstoShowHidden));
  options -= ptstoShowHidden;
  EXPECT_FALSE(options.Contains(ptstoShowHidden));
}

}  // namespace
}  // namespace stampwell
