#include "setup/command_line.h"

#include "framework/ascii.h"

namespace stampwell {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Blank-separated words; a quote opens or closes a quoted part and is itself dropped.
std::vector<std::string> SplitWords(std::string_view text) {
  std::vector<std::string> words;
  std::string word;
  bool in_word = false, quoted = false;
  for (char c : text) {
    if (c == '"') {
      quoted = !quoted;
      in_word = true;
    } else if (IsBlank(c) && !quoted) {
      if (in_word) words.push_back(std::move(word));
      word.clear();
      in_word = false;
    } else {
      word += c;
      in_word = true;
    }
  }
  if (in_word) words.push_back(std::move(word));
  return words;
}

enum class ValueRule { None, Required };

struct Switch {
  const char* name;
  ValueRule value;
  void (*apply)(SetupOptions&, const std::string&);
};

constexpr Switch kSwitches[] = {
    {"SILENT", ValueRule::None,
     [](SetupOptions& o, const std::string&) {
       // /VERYSILENT wins whichever comes first.
       if (o.mode != SetupUiMode::VerySilent) o.mode = SetupUiMode::Silent;
     }},
    {"VERYSILENT", ValueRule::None, [](SetupOptions& o, const std::string&) { o.mode = SetupUiMode::VerySilent; }},
    {"DIR", ValueRule::Required, [](SetupOptions& o, const std::string& v) { o.install_dir = v; }},
    {"LOG", ValueRule::Required, [](SetupOptions& o, const std::string& v) { o.log_file = v; }},
    {"NOICONS", ValueRule::None, [](SetupOptions& o, const std::string&) { o.no_icons = true; }},
    {"SUPPRESSMSGBOXES", ValueRule::None,
     [](SetupOptions& o, const std::string&) { o.suppress_message_boxes = true; }},
    {"NORESTART", ValueRule::None, [](SetupOptions& o, const std::string&) { o.no_restart = true; }},
    {"HELP", ValueRule::None, [](SetupOptions& o, const std::string&) { o.help = true; }},
    {"?", ValueRule::None, [](SetupOptions& o, const std::string&) { o.help = true; }},
};

// Empty when the argument is understood; otherwise what is wrong with it.
std::string ApplyArgument(const std::string& argument, SetupOptions& options) {
  if (argument.size() < 2 || (argument[0] != '/' && argument[0] != '-'))
    return "Not a switch: " + argument;
  std::string_view body(argument);
  body.remove_prefix(1);
  const std::size_t equals = body.find('=');
  const std::string name = AsciiUpper(body.substr(0, equals));
  for (const Switch& known : kSwitches) {
    if (name != known.name) continue;
    if (known.value == ValueRule::None) {
      if (equals != std::string_view::npos) return "The switch takes no value: " + argument;
      known.apply(options, {});
      return {};
    }
    const std::string value = equals == std::string_view::npos ? std::string() : std::string(body.substr(equals + 1));
    if (value.empty()) return "The switch needs a value after \"=\": " + argument;
    known.apply(options, value);
    return {};
  }
  return "Unknown switch: " + argument;
}

}  // namespace

std::vector<std::string> SplitArguments(std::string_view command_line) {
  // The program's name ends at its closing quote, or at the first blank when unquoted.
  std::size_t start = 0;
  if (!command_line.empty() && command_line[0] == '"') {
    std::size_t close = command_line.find('"', 1);
    start = close == std::string_view::npos ? command_line.size() : close + 1;
  } else {
    while (start < command_line.size() && !IsBlank(command_line[start])) ++start;
  }
  return SplitWords(command_line.substr(start));
}

ParsedCommandLine ParseSetupArguments(const std::vector<std::string>& arguments) {
  ParsedCommandLine parsed;
  for (const std::string& argument : arguments) {
    std::string error = ApplyArgument(argument, parsed.options);
    // The first fault is the one reported; the rest are still read, so that the usage box
    // knows whether it may be shown at all.
    if (parsed.error.empty()) parsed.error = std::move(error);
  }
  return parsed;
}

std::string UsageMessage(const ParsedCommandLine& parsed) {
  if (parsed.ok()) return kUsageText;
  return parsed.error + "\n\n" + kUsageText;
}

}  // namespace stampwell
