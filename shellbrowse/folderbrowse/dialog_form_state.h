#pragma once
// The dialog window's geometry as a host may keep it between runs: a 9-byte record of the
// outer width and height (4 bytes each, little-endian, signed) and the window state's ordinal
// (1 byte). Portable.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace stampwell {

struct DialogFormState {
  std::int32_t width = -1;
  std::int32_t height = -1;
  std::uint8_t window_state = 0;  // wsNormal, wsMinimized, wsMaximized
  friend bool operator==(const DialogFormState&, const DialogFormState&) = default;
};

constexpr size_t kDialogFormStateSize = 9;

// Appends the record to `stream`.
void WriteDialogFormState(const DialogFormState& state, std::vector<std::uint8_t>& stream);

// Reads one record from the front of `stream`; nothing when fewer than 9 bytes are left or the
// state byte names no window state (0..2). `consumed` gets 9 on success.
std::optional<DialogFormState> ReadDialogFormState(std::span<const std::uint8_t> stream, size_t* consumed = nullptr);

}  // namespace stampwell
