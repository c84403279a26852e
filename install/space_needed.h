#pragma once
// The room that a run needs on the installation folder's drive, reckoned before anything is
// written: a drive that fills up half-way leaves an installation that is neither the old one
// nor the new. Portable.

#include <cstdint>
#include <string>
#include <vector>

namespace stampwell {

// Every file of `sizes` in whole allocation units, and room for the uninstall log and the
// run's journal. A file that the run replaces gives nothing back: it is moved aside, and
// keeps its room until the run has succeeded.
std::uint64_t BytesNeeded(const std::vector<std::uint64_t>& sizes);

// The plain message for a drive with too little room, with both figures in megabytes.
std::string NotEnoughSpaceMessage(const std::string& product_title, std::uint64_t needed, std::uint64_t available);

}  // namespace stampwell
