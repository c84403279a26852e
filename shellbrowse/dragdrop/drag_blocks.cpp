#include "shellbrowse/dragdrop/drag_blocks.h"

#include <algorithm>
#include <cstring>

#include "shellbrowse/toolbox/id_list.h"

namespace stampwell {
namespace {

constexpr std::uint8_t kEmptyList[2] = {0, 0};

void PutU32(std::vector<std::uint8_t>& block, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) block[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t GetU32(std::span<const std::uint8_t> block, std::size_t at) {
  std::uint32_t value = 0;
  for (int i = 0; i < 4; ++i) value |= static_cast<std::uint32_t>(block[at + i]) << (8 * i);
  return value;
}

// The well-formed list at `offset`, or null when it does not lie whole inside the block.
const std::uint8_t* ListAt(std::span<const std::uint8_t> block, std::uint32_t offset) {
  if (offset >= block.size()) return nullptr;
  if (!MeasureIdList(block.data() + offset, block.size() - offset)) return nullptr;
  return block.data() + offset;
}

}  // namespace

std::vector<std::uint8_t> BuildIdListArrayBlock(const void* parent, std::span<const void* const> items) {
  if (!parent) parent = kEmptyList;
  const std::size_t n = items.size();
  const std::size_t header = 8 + 4 * n;
  std::size_t total = header + IdListSize(parent);
  for (const void* item : items) total += IdListSize(item ? item : kEmptyList);

  std::vector<std::uint8_t> block(total, 0);
  PutU32(block, 0, static_cast<std::uint32_t>(n));
  std::size_t at = header;
  auto append = [&](std::size_t index, const void* list) {
    if (!list) list = kEmptyList;
    const std::size_t size = IdListSize(list);
    PutU32(block, 4 + 4 * index, static_cast<std::uint32_t>(at));
    std::memcpy(block.data() + at, list, size);
    at += size;
  };
  append(0, parent);
  for (std::size_t i = 0; i < n; ++i) append(i + 1, items[i]);
  return block;
}

std::optional<IdListArrayView> ParseIdListArrayBlock(std::span<const std::uint8_t> block) {
  if (block.size() < 8) return std::nullopt;
  const std::uint64_t n = GetU32(block, 0);
  if (8 + 4 * n > block.size()) return std::nullopt;
  IdListArrayView view;
  view.parent = ListAt(block, GetU32(block, 4));
  if (!view.parent) return std::nullopt;
  view.items.reserve(static_cast<std::size_t>(n));
  for (std::uint64_t i = 0; i < n; ++i) {
    const std::uint8_t* item = ListAt(block, GetU32(block, static_cast<std::size_t>(8 + 4 * i)));
    if (!item) return std::nullopt;
    view.items.push_back(item);
  }
  return view;
}

std::optional<std::vector<std::uint8_t>> BuildDropFilesBlock(std::span<const std::string> names) {
  std::size_t total = kDropFilesHeaderSize + 1;
  for (const std::string& name : names) {
    if (name.empty() || name.find('\0') != std::string::npos) return std::nullopt;
    total += std::max(kDropFilesNameSlot, name.size() + 1);
  }
  std::vector<std::uint8_t> block(total, 0);
  PutU32(block, 0, static_cast<std::uint32_t>(kDropFilesHeaderSize));
  std::size_t at = kDropFilesHeaderSize;
  for (const std::string& name : names) {
    std::memcpy(block.data() + at, name.data(), name.size());
    // Names follow each other with one zero byte between them, as a reader walks them; the
    // slot's unused bytes lie past the final zero.
    at += name.size() + 1;
  }
  return block;
}

}  // namespace stampwell
