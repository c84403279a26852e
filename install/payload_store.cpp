#include "install/payload_store.h"

#include <stdexcept>
#include <utility>

#include "framework/unique_handle.h"
#include "install/install_error.h"
#include "install/manifest_rules.h"
#include "install/payload_check.h"
#include "install/payload_naming.h"
#include "install/system_message.h"

namespace stampwell {

PayloadStore::PayloadStore(HMODULE module, std::vector<std::string> manifest)
    : module_(module), manifest_(std::move(manifest)) {}

PayloadStore PayloadStore::FromModule(HMODULE module) {
  HRSRC info = FindResourceA(module, kPayloadManifestResource, MAKEINTRESOURCEA(10) /* RT_RCDATA */);
  if (!info) throw InstallError("The setup program carries no payload manifest");
  HGLOBAL data = LoadResource(module, info);
  const char* text = data ? static_cast<const char*>(LockResource(data)) : nullptr;
  DWORD size = SizeofResource(module, info);
  if (!text && size != 0) throw InstallError("The payload manifest cannot be loaded");
  ParsedManifest parsed = ParseManifest(std::string_view(text ? text : "", size));
  if (!parsed.problems.empty())
    throw InstallError("The payload manifest is broken: " + FormatManifestProblem(parsed.problems.front()));
  return PayloadStore(module, std::move(parsed.entries));
}

const std::string& PayloadStore::Entry(int n) const {
  if (n < 1 || n > EntryCount())
    throw std::out_of_range("payload entry " + std::to_string(n) + " is not in the manifest");
  return manifest_[n - 1];
}

PayloadView PayloadStore::Open(int n) const {
  HRSRC info = FindResourceA(module_, PayloadLookupName(n).c_str(), PayloadLookupType(n).c_str());
  if (!info)
    throw InstallError("The setup program holds no payload resource " + PayloadResourceName(n) + " of type " +
                       PayloadResourceType(n));
  DWORD size = SizeofResource(module_, info);
  HGLOBAL data = LoadResource(module_, info);
  const void* bytes = data ? LockResource(data) : nullptr;
  if (!bytes) {
    if (size == 0) return {};
    throw InstallError("The payload resource " + PayloadResourceName(n) + " cannot be loaded");
  }
  return PayloadView(static_cast<const std::byte*>(bytes), size);
}

void PayloadStore::WriteToFile(int n, const std::string& path) const { WriteBytesToFile(Open(n), path); }

bool PayloadStore::WriteToNewFile(int n, const std::string& path) const { return WriteBytesToNewFile(Open(n), path); }

namespace {

// Creates path as `disposition` says and writes bytes to it in one write; false when the
// create found a file there that it may not replace.
bool WriteBytes(PayloadView bytes, const std::string& path, DWORD disposition) {
  unique_file file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    const DWORD error = GetLastError();
    if (disposition == CREATE_NEW && error == ERROR_FILE_EXISTS) return false;
    throw InstallError("Cannot create file \"" + path + "\". " + SystemErrorText(error), CauseOfSystemError(error));
  }
  if (bytes.empty()) return true;
  DWORD written = 0;
  BOOL ok = WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  DWORD error = ok ? ERROR_HANDLE_DISK_FULL : GetLastError();
  if (ok && written == bytes.size()) return true;
  // A short file would pass for the product's file; leave none.
  file.reset();
  DeleteFileA(path.c_str());
  throw InstallError("Cannot write file \"" + path + "\". " + SystemErrorText(error), CauseOfSystemError(error));
}

}  // namespace

void WriteBytesToFile(PayloadView bytes, const std::string& path) { WriteBytes(bytes, path, CREATE_ALWAYS); }

bool WriteBytesToNewFile(PayloadView bytes, const std::string& path) { return WriteBytes(bytes, path, CREATE_NEW); }

const PayloadStore& ProgramPayload() {
  static const PayloadStore store = ProgramPayloadIntact() ? PayloadStore::FromModule(GetModuleHandleA(nullptr))
                                                           : PayloadStore(GetModuleHandleA(nullptr), {});
  return store;
}

}  // namespace stampwell
