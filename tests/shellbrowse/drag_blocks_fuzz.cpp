// "Shell IDList Array" blocks from other programs: reading must never leave the data, and what
// is accepted must be lists that the list arithmetic may walk and that write back to blocks
// that read the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <vector>

#include "shellbrowse/dragdrop/drag_blocks.h"
#include "shellbrowse/toolbox/id_list.h"

namespace {

bool SameList(const void* a, const void* b) {
  std::size_t size = stampwell::IdListSize(a);
  return size == stampwell::IdListSize(b) && std::memcmp(a, b, size) == 0;
}

bool Inside(const std::uint8_t* list, const std::uint8_t* data, std::size_t size) {
  return list >= data && list + stampwell::IdListSize(list) <= data + size;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto view = stampwell::ParseIdListArrayBlock(std::span(data, size));
  if (!view) return 0;
  if (!Inside(view->parent, data, size)) std::abort();
  std::vector<const void*> items;
  for (const std::uint8_t* item : view->items) {
    if (!Inside(item, data, size)) std::abort();
    items.push_back(item);
  }
  auto rebuilt = stampwell::BuildIdListArrayBlock(view->parent, items);
  auto again = stampwell::ParseIdListArrayBlock(rebuilt);
  if (!again || again->items.size() != items.size() || !SameList(again->parent, view->parent)) std::abort();
  for (std::size_t i = 0; i < items.size(); ++i)
    if (!SameList(again->items[i], items[i])) std::abort();
  return 0;
}
