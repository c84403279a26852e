#pragma once
// The two memory blocks that a dragged shell item is offered in, built and read without the
// shell.
//
// "Shell IDList Array" (the platform's CIDA): a 32-bit count n, n + 1 32-bit byte offsets from
// the block start (first the parent folder's absolute list, then each item's list relative to
// it), then the lists themselves in the same order.
//
// CF_HDROP (the platform's DROPFILES): a 20-byte header (offset of the first name, a drop point
// of (0, 0), the non-client flag and the wide-character flag, all 32-bit), then each name
// followed by a zero byte, then one more zero byte. Each name has a slot of 260 bytes, so the
// block is 20 + 260 n + 1 bytes; a longer name gets a slot that fits it whole, since a cut name
// would name another file.
//
// All numbers are little-endian.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace stampwell {

inline constexpr std::size_t kDropFilesHeaderSize = 20;
inline constexpr std::size_t kDropFilesNameSlot = 260;

// The CIDA block of `items` (relative lists) below `parent` (an absolute list; null is written
// as the empty list, the desktop). Every list must be well formed (see id_list.h). Throws
// std::bad_alloc without memory.
std::vector<std::uint8_t> BuildIdListArrayBlock(const void* parent, std::span<const void* const> items);

// A CIDA block read from outside: every list lies whole inside the block it was read from.
struct IdListArrayView {
  const std::uint8_t* parent = nullptr;
  std::vector<const std::uint8_t*> items;
};

// Reads a CIDA block that another program may have made; nothing when the count or an offset
// points outside `block` or a list there is not well formed before the block ends.
std::optional<IdListArrayView> ParseIdListArrayBlock(std::span<const std::uint8_t> block);

// The DROPFILES block of `names` (8-bit, in the ANSI code page); nothing when a name is empty or
// holds a zero byte, because either would end the list of names early. Throws std::bad_alloc
// without memory.
std::optional<std::vector<std::uint8_t>> BuildDropFilesBlock(std::span<const std::string> names);

}  // namespace stampwell
