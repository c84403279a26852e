#include "install/space_needed.h"

#include <cstdio>

namespace stampwell {
namespace {

// The usual allocation unit of NTFS; a file takes at least one unit of its own.
constexpr std::uint64_t kAllocationUnit = 4096;
// The uninstall log and the journal: a line of up to 260 characters (two paths for the
// journal) for each of a few hundred entries.
constexpr std::uint64_t kLogRoom = 384 * 1024;

std::uint64_t InUnits(std::uint64_t bytes) { return (bytes + kAllocationUnit - 1) / kAllocationUnit * kAllocationUnit; }

std::string Megabytes(std::uint64_t bytes) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f MB", static_cast<double>(bytes) / (1024.0 * 1024.0));
  return text;
}

}  // namespace

std::uint64_t BytesNeeded(const std::vector<std::uint64_t>& sizes) {
  std::uint64_t needed = kLogRoom;
  for (std::uint64_t size : sizes) needed += InUnits(size);
  return needed;
}

std::string NotEnoughSpaceMessage(const std::string& product_title, std::uint64_t needed, std::uint64_t available) {
  return "There is not enough free space on the drive of the installation folder.\r" + product_title +
         " needs " + Megabytes(needed) + "; the drive has " + Megabytes(available) +
         " free.\rPlease free some space on the drive, or choose another folder.";
}

}  // namespace stampwell
