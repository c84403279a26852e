#include "shellbrowse/folderbrowse/dialog_form_state.h"

namespace stampwell {
namespace {

void PutInt32(std::int32_t value, std::vector<std::uint8_t>& out) {
  auto u = static_cast<std::uint32_t>(value);
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(u >> (8 * i)));
}

std::int32_t GetInt32(std::span<const std::uint8_t> in) {
  std::uint32_t u = 0;
  for (int i = 0; i < 4; ++i) u |= static_cast<std::uint32_t>(in[static_cast<size_t>(i)]) << (8 * i);
  return static_cast<std::int32_t>(u);
}

}  // namespace

void WriteDialogFormState(const DialogFormState& state, std::vector<std::uint8_t>& stream) {
  PutInt32(state.width, stream);
  PutInt32(state.height, stream);
  stream.push_back(state.window_state);
}

std::optional<DialogFormState> ReadDialogFormState(std::span<const std::uint8_t> stream, size_t* consumed) {
  if (stream.size() < kDialogFormStateSize) return std::nullopt;
  // A state byte beyond the three window states would become an enumeration value that no
  // code path expects; such a record is refused whole rather than clamped.
  if (stream[8] > 2) return std::nullopt;
  DialogFormState state;
  state.width = GetInt32(stream.subspan(0, 4));
  state.height = GetInt32(stream.subspan(4, 4));
  state.window_state = stream[8];
  if (consumed) *consumed = kDialogFormStateSize;
  return state;
}

}  // namespace stampwell
