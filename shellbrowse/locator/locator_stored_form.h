#pragma once
// The byte layout in which a shell locator stores itself in a form resource (the binary
// property "Pidl"), little-endian:
//
//   1 byte   kind: 0 an item identifier list follows; any other value a special folder
//   1 byte   folder number              (kind not 0 only)
//   4 bytes  size N of the list         (kind 0 only; the 2-byte terminator included)
//   N bytes  the item identifier list   (kind 0 only; each item led by a 16-bit size that
//                                        counts itself, ended by a 16-bit zero)
//
// Portable: a form resource is outside data, so decoding checks every size against the bytes
// that are really there before anything is copied, and a list that does not end where its
// stored size says is refused.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace stampwell {

// What a stored "Pidl" names. kind is 0 (the list in id_list, empty for none) or 1 (the special
// folder folder_id, id_list empty).
struct StoredLocation {
  std::uint8_t kind = 0;
  std::uint8_t folder_id = 0;
  std::vector<std::uint8_t> id_list;
};

// The stored bytes of a locator. For kind 0, id_list is the whole list with its terminator,
// or empty when the locator holds none (then the size field is 0). Any other kind stores
// only the folder number.
std::vector<std::uint8_t> EncodeStoredLocation(std::uint8_t kind, std::uint8_t folder_id,
                                               std::span<const std::uint8_t> id_list);

// Reads the stored bytes. A size of 0 reads as special folder 0, the desktop, as the layout
// has always meant. On malformed data the result is empty and *error (when given) says why:
// the data ends early, a size runs past the data, an item runs past the list's size, the
// terminator is missing or not at the list's end, or bytes follow the location.
std::optional<StoredLocation> DecodeStoredLocation(std::span<const std::uint8_t> data,
                                                   std::string* error = nullptr);

}  // namespace stampwell
