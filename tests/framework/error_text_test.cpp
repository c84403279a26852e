// The default error report's full stop: appended only when the last character sorts after ".".
#include "framework/exception.h"

#include <gtest/gtest.h>

namespace stampwell {
namespace {

TEST(ErrorReportText, FullStopOnlyAfterCharactersThatSortAfterIt) {
  EXPECT_EQ(ErrorReportText("Access denied"), "Access denied.");
  EXPECT_EQ(ErrorReportText("Code 5"), "Code 5.");            // digits sort after "."
  EXPECT_EQ(ErrorReportText("Path C:\\"), "Path C:\\.");
  EXPECT_EQ(ErrorReportText("Done."), "Done.");               // no second full stop
  EXPECT_EQ(ErrorReportText("Really?!"), "Really?!.");        // "?" sorts after "."
  EXPECT_EQ(ErrorReportText("Stop!"), "Stop!");               // "!" sorts before "."
  EXPECT_EQ(ErrorReportText("a-"), "a-");                     // "-" sorts before "."
  EXPECT_EQ(ErrorReportText("caf\xE9"), "caf\xE9.");          // upper half of the code page
  EXPECT_EQ(ErrorReportText(""), "");
}

}  // namespace
}  // namespace stampwell
