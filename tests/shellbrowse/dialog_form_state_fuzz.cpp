// Geometry records from a host's stream: reading must stay inside the bytes, and what it
// accepts must write back to the same nine bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "shellbrowse/folderbrowse/dialog_form_state.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::span<const std::uint8_t> bytes(data, size);
  size_t consumed = 0;
  auto state = stampwell::ReadDialogFormState(bytes, &consumed);
  if (!state) return 0;
  if (consumed != stampwell::kDialogFormStateSize || state->window_state > 2) std::abort();
  std::vector<std::uint8_t> written;
  stampwell::WriteDialogFormState(*state, written);
  if (!std::equal(written.begin(), written.end(), bytes.begin(), bytes.begin() + 9)) std::abort();
  return 0;
}
