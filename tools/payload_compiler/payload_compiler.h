#pragma once
// Compiles a payload folder into a resource file: entry N of the manifest becomes the
// resource named "A" + N of type N + "A", language 2052, holding the file's bytes unchanged;
// the manifest itself is stored beside them as RCDATA "PAYLOADMANIFEST", and the size and
// CRC-32 of the manifest and of every entry as RCDATA "PAYLOADCHECKSUMS".

#include <filesystem>
#include <string>
#include <vector>

namespace stampwell::tools {

// The problems found, one line each ("entry N "path": reason"); empty on success. Nothing is
// written unless the whole manifest is sound and every file is there: a half-written output
// would pass for an up-to-date one.
std::vector<std::string> CompilePayload(const std::filesystem::path& manifest, const std::filesystem::path& folder,
                                        const std::filesystem::path& output);

}  // namespace stampwell::tools
