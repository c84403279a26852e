#pragma once
// The room that a run needs on the installation folder's drive, reckoned before anything is
// written: a drive that fills up half-way leaves an installation that is neither the old one
// nor the new. Portable.

#include <cstdint>
#include <string>
#include <vector>

namespace stampwell {

struct PlannedFile {
  std::uint64_t size = 0;           // the bytes that the run writes
  std::uint64_t replaced_size = 0;  // the bytes of the file there now, which the write frees
};

// Every file in whole allocation units, less the units of the file it replaces, and room for
// the uninstall log.
std::uint64_t BytesNeeded(const std::vector<PlannedFile>& files);

// The plain message for a drive with too little room, with both figures in megabytes.
std::string NotEnoughSpaceMessage(const std::string& product_title, std::uint64_t needed, std::uint64_t available);

}  // namespace stampwell
