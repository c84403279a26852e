// The switches of an unattended setup, as administrators' tools write them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "setup/command_line.h"

namespace stampwell {
namespace {

using Args = std::vector<std::string>;

ParsedCommandLine Parse(const char* command_line) { return ParseSetupArguments(SplitArguments(command_line)); }

TEST(CommandLineSplit, SkipsTheProgramNameQuotedOrNot) {
  EXPECT_EQ(SplitArguments("setup.exe"), Args{});
  EXPECT_EQ(SplitArguments("C:\\dl\\setup.exe  /SILENT\t-log=x"), (Args{"/SILENT", "-log=x"}));
  EXPECT_EQ(SplitArguments("\"C:\\My Downloads\\setup.exe\" /SILENT"), Args{"/SILENT"});
  // A quoted name ends at its closing quote, even with no blank after it.
  EXPECT_EQ(SplitArguments("\"C:\\a b\\setup.exe\"/VERYSILENT"), Args{"/VERYSILENT"});
  EXPECT_EQ(SplitArguments("\"C:\\unterminated /SILENT"), Args{});
  EXPECT_EQ(SplitArguments(""), Args{});
}

TEST(CommandLineSplit, QuotesGroupBlanksAndAreDropped) {
  EXPECT_EQ(SplitArguments("s /DIR=\"C:\\Program Files\\Q Soft\" /LOG"),
            (Args{"/DIR=C:\\Program Files\\Q Soft", "/LOG"}));
  EXPECT_EQ(SplitArguments("s \"/DIR=C:\\a b\""), Args{"/DIR=C:\\a b"});
  // No escape character: a folder may end in a backslash before its closing quote.
  EXPECT_EQ(SplitArguments("s /DIR=\"C:\\a b\\\" /SILENT"), (Args{"/DIR=C:\\a b\\", "/SILENT"}));
  EXPECT_EQ(SplitArguments("s \"\""), Args{""});
}

TEST(CommandLineSwitches, NoArgumentsMeansTheWizard) {
  ParsedCommandLine parsed = Parse("setup.exe");
  EXPECT_TRUE(parsed.ok());
  EXPECT_EQ(parsed.options.mode, SetupUiMode::Wizard);
  EXPECT_FALSE(parsed.options.Unattended());
  EXPECT_FALSE(parsed.options.install_dir || parsed.options.log_file || parsed.options.no_icons ||
               parsed.options.help);
}

TEST(CommandLineSwitches, NamesAreCaseInsensitiveWithSlashOrDash) {
  for (const char* line : {"s /VERYSILENT", "s -verysilent", "s /VerySilent", "s /silent -VERYSILENT",
                           "s /VERYSILENT /SILENT"}) {
    ParsedCommandLine parsed = Parse(line);
    EXPECT_TRUE(parsed.ok()) << line;
    EXPECT_EQ(parsed.options.mode, SetupUiMode::VerySilent) << line;
  }
  EXPECT_EQ(Parse("s -Silent").options.mode, SetupUiMode::Silent);
  ParsedCommandLine all = Parse("s /silent /noicons -SuppressMsgBoxes /norestart /dir=\"D:\\Apps\\Q\" /Log=C:\\l.txt");
  ASSERT_TRUE(all.ok()) << all.error;
  EXPECT_TRUE(all.options.no_icons);
  EXPECT_TRUE(all.options.suppress_message_boxes);
  EXPECT_TRUE(all.options.no_restart);
  EXPECT_EQ(all.options.install_dir, "D:\\Apps\\Q");
  EXPECT_EQ(all.options.log_file, "C:\\l.txt");
  EXPECT_EQ(Parse("s /DIR=a /DIR=b").options.install_dir, "b");  // the last one counts
  EXPECT_TRUE(Parse("s /?").options.help);
  EXPECT_TRUE(Parse("s -help").options.help);
}

TEST(CommandLineSwitches, EveryFaultIsReportedWithTheArgument) {
  struct Case {
    const char* line;
    const char* error;
  } cases[] = {
      {"s /S", "Unknown switch: /S"},
      {"s /SILENTLY", "Unknown switch: /SILENTLY"},
      {"s SILENT", "Not a switch: SILENT"},
      {"s /", "Not a switch: /"},
      {"s \"\"", "Not a switch: "},
      {"s /DIR", "The switch needs a value after \"=\": /DIR"},
      {"s /DIR=", "The switch needs a value after \"=\": /DIR="},
      {"s /LOG=\"\"", "The switch needs a value after \"=\": /LOG="},
      {"s /SILENT=yes", "The switch takes no value: /SILENT=yes"},
      {"s /=x", "Unknown switch: /=x"},
  };
  for (const Case& c : cases) {
    ParsedCommandLine parsed = Parse(c.line);
    EXPECT_EQ(parsed.error, c.error) << c.line;
  }
}

TEST(CommandLineSwitches, TheSwitchesAfterAFaultAreStillRead) {
  // The usage box is not shown to a run that asked for no window.
  ParsedCommandLine parsed = Parse("s /BOGUS /VERYSILENT /UNKNOWN");
  EXPECT_EQ(parsed.error, "Unknown switch: /BOGUS");
  EXPECT_EQ(parsed.options.mode, SetupUiMode::VerySilent);
  EXPECT_EQ(UsageMessage(parsed).rfind("Unknown switch: /BOGUS\n\nUsage: ", 0), 0u);
  EXPECT_EQ(UsageMessage(Parse("s /?")), kUsageText);
}

}  // namespace
}  // namespace stampwell
