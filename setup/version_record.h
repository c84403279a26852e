#pragma once
// The file version of a program's version record (the VS_VERSION_INFO resource), read from
// the record's bytes. Portable: the caller finds the resource.

#include <cstddef>
#include <optional>
#include <span>
#include <string>

namespace stampwell {

// "major.minor.build.revision" of the record's fixed part (VS_FIXEDFILEINFO); nothing when
// the bytes are not a version record: a length that runs past them, another root key, a
// fixed part too short or without its signature 0xFEEF04BD.
std::optional<std::string> FileVersionOfRecord(std::span<const std::byte> record);

}  // namespace stampwell
