#include "setup/program_version.h"

#include <windows.h>

#include <cstddef>
#include <span>

#include "setup/version_record.h"

namespace stampwell {

std::string ProgramVersion() {
  // The resource in place, not GetFileVersionInfo: that would need version.dll, which is not
  // one of the libraries that Windows always loads from its own folder.
  HMODULE module = ::GetModuleHandleA(nullptr);
  HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(VS_VERSION_INFO), RT_VERSION);
  if (!found) return {};
  HGLOBAL loaded = ::LoadResource(module, found);
  const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
  if (!bytes) return {};
  std::span<const std::byte> record(static_cast<const std::byte*>(bytes), ::SizeofResource(module, found));
  return FileVersionOfRecord(record).value_or("");
}

}  // namespace stampwell
