#include "shellbrowse/locator/locator_stored_form.h"

#include "shellbrowse/toolbox/id_list.h"

namespace stampwell {
namespace {

std::uint32_t ReadU32(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at]) | (static_cast<std::uint32_t>(bytes[at + 1]) << 8) |
         (static_cast<std::uint32_t>(bytes[at + 2]) << 16) |
         (static_cast<std::uint32_t>(bytes[at + 3]) << 24);
}

void AppendU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

}  // namespace

std::vector<std::uint8_t> EncodeStoredLocation(std::uint8_t kind, std::uint8_t folder_id,
                                               std::span<const std::uint8_t> id_list) {
  std::vector<std::uint8_t> out;
  out.push_back(kind);
  if (kind != 0) {
    out.push_back(folder_id);
    return out;
  }
  out.reserve(1 + 4 + id_list.size());
  AppendU32(out, static_cast<std::uint32_t>(id_list.size()));
  out.insert(out.end(), id_list.begin(), id_list.end());
  return out;
}

std::optional<StoredLocation> DecodeStoredLocation(std::span<const std::uint8_t> data,
                                                   std::string* error) {
  auto fail = [error](const char* text) -> std::optional<StoredLocation> {
    if (error) *error = text;
    return std::nullopt;
  };
  if (data.empty()) return fail("the stored location is empty");
  StoredLocation location;
  std::size_t at = 1;
  if (data[0] != 0) {
    if (data.size() < 2) return fail("the stored location ends before its folder number");
    location.kind = 1;
    location.folder_id = data[1];
    at = 2;
  } else {
    if (data.size() - at < 4) return fail("the stored location ends before its list size");
    std::uint32_t size = ReadU32(data, at);
    at += 4;
    if (size == 0) {
      // The desktop, named as special folder 0 with no list.
      location.kind = 1;
      location.folder_id = 0;
    } else {
      if (size > data.size() - at) return fail("the stored list size runs past the end of the data");
      auto list = data.subspan(at, size);
      // The list must end exactly where the stored size says: items that run past it, or a
      // terminator that is missing or early, mean the size and the list disagree.
      std::optional<std::size_t> measured = MeasureIdList(list.data(), list.size());
      if (!measured) return fail("the stored item identifier list runs past its size or has no terminator");
      if (*measured != size) return fail("the stored item identifier list ends before its size");
      location.id_list.assign(list.begin(), list.end());
      at += size;
    }
  }
  if (at != data.size()) return fail("bytes follow the stored location");
  return location;
}

}  // namespace stampwell
