// Any command line is split and read without a fault; a line that is understood keeps its
// meaning when it is written back switch by switch.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "setup/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string line(reinterpret_cast<const char*>(data), size);
  stampwell::ParsedCommandLine parsed = stampwell::ParseSetupArguments(stampwell::SplitArguments(line));
  std::string usage = stampwell::UsageMessage(parsed);
  if (usage.find(stampwell::kUsageText) == std::string::npos) std::abort();
  if (!parsed.ok()) return 0;
  const stampwell::SetupOptions& o = parsed.options;
  // Values cannot hold a quote (quotes only group), so quoting them again is exact.
  std::string again = "setup.exe";
  if (o.mode == stampwell::SetupUiMode::Silent) again += " /SILENT";
  if (o.mode == stampwell::SetupUiMode::VerySilent) again += " /VERYSILENT";
  if (o.install_dir) again += " \"/DIR=" + *o.install_dir + "\"";
  if (o.log_file) again += " \"/LOG=" + *o.log_file + "\"";
  if (o.no_icons) again += " /NOICONS";
  if (o.suppress_message_boxes) again += " /SUPPRESSMSGBOXES";
  if (o.no_restart) again += " /NORESTART";
  if (o.help) again += " /?";
  stampwell::ParsedCommandLine reread = stampwell::ParseSetupArguments(stampwell::SplitArguments(again));
  const stampwell::SetupOptions& r = reread.options;
  if (!reread.ok() || r.mode != o.mode || r.install_dir != o.install_dir || r.log_file != o.log_file ||
      r.no_icons != o.no_icons || r.suppress_message_boxes != o.suppress_message_boxes ||
      r.no_restart != o.no_restart || r.help != o.help)
    std::abort();
  return 0;
}
