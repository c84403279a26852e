// Stored locator bytes from a form resource: decoding must never read outside the data, and
// what it accepts must write back to the same bytes.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <span>

#include "shellbrowse/locator/locator_stored_form.h"
#include "shellbrowse/toolbox/id_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::span<const std::uint8_t> bytes(data, size);
  auto read = stampwell::DecodeStoredLocation(bytes);
  if (!read) return 0;
  if (read->kind == 0) {
    // What is accepted is a list that the list arithmetic may walk.
    if (stampwell::IdListSize(read->id_list.data()) != read->id_list.size()) std::abort();
    auto written = stampwell::EncodeStoredLocation(0, 0, read->id_list);
    if (!std::equal(written.begin(), written.end(), bytes.begin(), bytes.end())) std::abort();
  } else if (read->kind != 1 || !read->id_list.empty()) {
    std::abort();
  }
  return 0;
}
