#pragma once
// The payload: the product's files, carried as resources of a module, one per manifest entry.
//
// Entry N's bytes are the resource named "A" + N of type N + "A" (install/payload_naming.h).
// The manifest travels with them, as the RCDATA resource "PAYLOADMANIFEST" that the build's
// payload compiler writes beside them, so the two can never be out of step.

#include <windows.h>

#include <cstddef>
#include <span>
#include <string>
#include <vector>

namespace stampwell {

// A read-only view of one entry's bytes in place in the loaded module: no copy is made.
// It stays valid as long as the module is loaded (the program's own module: always).
using PayloadView = std::span<const std::byte>;

class PayloadStore {
 public:
  // The manifest as given; the resources are looked up in module.
  PayloadStore(HMODULE module, std::vector<std::string> manifest);

  // The manifest and payload of module itself. Throws InstallError when the module carries
  // no manifest or a manifest that breaks the rules.
  static PayloadStore FromModule(HMODULE module);

  HMODULE Module() const { return module_; }
  int EntryCount() const { return static_cast<int>(manifest_.size()); }
  // The relative path of entry n, 1 to EntryCount(). Throws std::out_of_range otherwise.
  const std::string& Entry(int n) const;
  const std::vector<std::string>& Manifest() const { return manifest_; }

  // Throws InstallError when the module holds no resource for entry n.
  PayloadView Open(int n) const;

  // Creates path, or truncates the file there, and writes entry n's bytes in one write.
  // Throws InstallError when the resource is missing or the file cannot be created or
  // written; a file that could not be written whole is removed rather than left short.
  void WriteToFile(int n, const std::string& path) const;
  // The same for a path where no file is: false, and nothing written, when the create finds
  // something there after all.
  bool WriteToNewFile(int n, const std::string& path) const;

 private:
  HMODULE module_;
  std::vector<std::string> manifest_;
};

// The setup program's own payload, read from its module on first use. A payload that fails
// its check (install/payload_check.h) is not read: the store is then empty, and the install
// run, which asks the check first, refuses before it would use it.
const PayloadStore& ProgramPayload();

// Writes bytes to path in one write (create or truncate); what WriteToFile does with a view.
void WriteBytesToFile(PayloadView bytes, const std::string& path);

// Writes bytes to a file made new at path, in one write; false when something is there
// already. A create that must replace a file truncates it, and a truncated file is written
// out to the disk as soon as it is closed (Linux's ext4 does so for files replaced by
// truncation, and Wine's replacing create truncates every file it opens, new or not), where
// a new file's bytes wait in the cache with the rest: the run, which has moved every earlier
// file aside first, makes each file new.
bool WriteBytesToNewFile(PayloadView bytes, const std::string& path);

}  // namespace stampwell
