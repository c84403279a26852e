#pragma once
// The switches of an unattended setup, read from the program's command line. Portable: the
// caller hands over the text of GetCommandLine.
//
// A switch begins with "/" or "-"; its name is case-insensitive; a value follows "=" and may
// be quoted in whole or in part (/DIR="C:\Program Files\Quendra Soft\" or "/DIR=C:\x").
// Quotes only group: there is no escape character, so a folder may end in a backslash.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace stampwell {

enum class SetupUiMode {
  Wizard,      // no switch: the wizard as it always was
  Silent,      // only the progress page, no question
  VerySilent,  // no window at all
};

struct SetupOptions {
  SetupUiMode mode = SetupUiMode::Wizard;
  std::optional<std::string> install_dir;  // /DIR: the installation directory itself
  std::optional<std::string> log_file;     // /LOG
  bool no_icons = false;                   // /NOICONS: no desktop shortcut, no Start Menu group
  bool suppress_message_boxes = false;     // /SUPPRESSMSGBOXES
  bool no_restart = false;                 // /NORESTART
  bool help = false;                       // /? or /HELP

  bool Unattended() const { return mode != SetupUiMode::Wizard; }
};

struct ParsedCommandLine {
  SetupOptions options;
  std::string error;  // empty when every argument was understood
  bool ok() const { return error.empty(); }
};

inline constexpr char kUsageText[] =
    "Usage: StampwellSetup.exe [/SILENT | /VERYSILENT] [/DIR=\"folder\"] [/NOICONS] [/LOG=\"file\"] "
    "[/SUPPRESSMSGBOXES] [/NORESTART]\n"
    "\n"
    "/SILENT\tShows only the progress page and asks nothing.\n"
    "/VERYSILENT\tShows no window at all.\n"
    "/DIR=\"folder\"\tInstalls the product's files into this folder itself.\n"
    "/NOICONS\tMakes no desktop shortcut and no Start Menu group.\n"
    "/LOG=\"file\"\tWrites a plain-text log of the run to this file.\n"
    "/SUPPRESSMSGBOXES\tShows no message box; the default answer is taken.\n"
    "/NORESTART\tAccepted; this setup never restarts the computer.\n"
    "/? or /HELP\tShows this text.\n"
    "\n"
    "Exit codes: 0 installed, 1602 cancelled, 1603 failed, 1618 another setup is running, "
    "87 bad command line, 32 the product is running and was not closed.";

// The arguments of a whole command line, as Windows hands it to the program: the program's
// name (quoted or up to the first blank) comes first and is skipped.
std::vector<std::string> SplitArguments(std::string_view command_line);

// Every argument a switch that the program knows, each value well-formed.
ParsedCommandLine ParseSetupArguments(const std::vector<std::string>& arguments);

// The usage box's text: what was wrong (when anything was), then the usage.
std::string UsageMessage(const ParsedCommandLine& parsed);

}  // namespace stampwell
