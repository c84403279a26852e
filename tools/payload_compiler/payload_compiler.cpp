#include "tools/payload_compiler/payload_compiler.h"

#include <fstream>
#include <limits>
#include <sstream>
#include <stdexcept>
#include <system_error>

#include "install/manifest_rules.h"
#include "install/payload_checksum.h"
#include "install/payload_naming.h"
#include "tools/payload_compiler/res_writer.h"

namespace stampwell::tools {
namespace fs = std::filesystem;
namespace {

constexpr std::uint16_t kRcData = 10;

fs::path FileOf(const fs::path& folder, const std::string& entry) {
  fs::path path = folder;
  std::size_t start = 0;
  for (;;) {
    std::size_t end = entry.find('\\', start);
    path /= entry.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (end == std::string::npos) return path;
    start = end + 1;
  }
}

std::string Problem(int entry, const std::string& path, const std::string& reason) {
  return FormatManifestProblem({entry, path, reason});
}

// Each entry's file, as the build will read it: there, a regular file, and small enough for a
// resource. The sizes of the files, or the problems.
std::vector<std::uintmax_t> SizeEntryFiles(const std::vector<std::string>& entries, const fs::path& folder,
                                           std::vector<std::string>& problems) {
  std::vector<std::uintmax_t> sizes;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    int entry = static_cast<int>(i) + 1;
    fs::path file = FileOf(folder, entries[i]);
    std::error_code error;
    fs::file_status status = fs::status(file, error);
    std::uintmax_t size = 0;
    if (!fs::exists(status))
      problems.push_back(Problem(entry, entries[i], "the file " + file.string() + " is missing"));
    else if (!fs::is_regular_file(status))
      problems.push_back(Problem(entry, entries[i], file.string() + " is not a regular file"));
    else if ((size = fs::file_size(file, error)), error)
      problems.push_back(Problem(entry, entries[i], "cannot read " + file.string() + ": " + error.message()));
    else if (size > std::numeric_limits<std::uint32_t>::max())
      problems.push_back(Problem(entry, entries[i], "the file is larger than a resource can be"));
    sizes.push_back(size);
  }
  return sizes;
}

// The manifest, every entry's bytes and their checksums as resources, into `path`; the problems.
std::vector<std::string> WriteResources(const std::vector<std::string>& entries,
                                        const std::vector<std::uintmax_t>& sizes, const fs::path& folder,
                                        const fs::path& path) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return {"cannot create " + path.string()};
  ResWriter res(out);
  std::string listed;
  for (const auto& entry : entries) listed += entry + "\r\n";
  PayloadChecksums checksums;
  checksums.manifest = {static_cast<std::uint32_t>(listed.size()),
                        res.Add(kRcData, std::string(kPayloadManifestResource), 0, listed)};
  for (std::size_t i = 0; i < entries.size(); ++i) {
    int entry = static_cast<int>(i) + 1;
    std::ifstream data(FileOf(folder, entries[i]), std::ios::binary);
    if (!data) return {Problem(entry, entries[i], "cannot open the file")};
    try {
      std::uint32_t size = static_cast<std::uint32_t>(sizes[i]);
      checksums.entries.push_back(
          {size, res.Add(PayloadResourceType(entry), PayloadResourceName(entry), kPayloadLanguage, data, size)});
    } catch (const std::runtime_error& e) {
      return {Problem(entry, entries[i], e.what())};
    }
  }
  res.Add(kRcData, std::string(kPayloadChecksumsResource), 0, EncodePayloadChecksums(checksums));
  out.close();
  if (!out) return {"cannot write " + path.string()};
  return {};
}

}  // namespace

std::vector<std::string> CompilePayload(const fs::path& manifest, const fs::path& folder, const fs::path& output) {
  std::ifstream in(manifest, std::ios::binary);
  if (!in) return {"cannot read the manifest " + manifest.string()};
  std::stringstream text;
  text << in.rdbuf();
  ParsedManifest parsed = ParseManifest(text.str());

  std::vector<std::string> problems;
  for (const auto& p : parsed.problems) problems.push_back(FormatManifestProblem(p));
  if (!problems.empty()) return problems;
  std::vector<std::uintmax_t> sizes = SizeEntryFiles(parsed.entries, folder, problems);
  if (!problems.empty()) return problems;

  // Written beside the output and renamed over it whole: a build stopped halfway leaves no
  // payload that looks complete.
  fs::path partial = output;
  partial += ".partial";
  try {
    problems = WriteResources(parsed.entries, sizes, folder, partial);
  } catch (const std::exception& e) {
    problems.push_back(e.what());
  }
  std::error_code error;
  if (problems.empty()) {
    fs::rename(partial, output, error);
    if (error) problems.push_back("cannot write " + output.string() + ": " + error.message());
  }
  if (!problems.empty()) fs::remove(partial, error);
  return problems;
}

}  // namespace stampwell::tools
