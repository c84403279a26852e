#include "controls/blend.h"

namespace stampwell {

BlendTable::BlendTable() : entries_(static_cast<size_t>(kLevels) * kDifferences) {
  for (int a = 0; a < kLevels; ++a) {
    for (int d = -255; d <= 255; ++d) {
      // An arithmetic shift of the signed product, kept as its 32-bit pattern.
      entries_[static_cast<size_t>(a) * kDifferences + static_cast<size_t>(d + 255)] =
          static_cast<std::uint32_t>((a * d) >> 8);
    }
  }
}

const BlendTable& BlendTable::Shared() {
  static const BlendTable table;
  return table;
}

void BlendRow(std::uint8_t* current, const std::uint8_t* target, size_t bytes, int level,
              const BlendTable& table) {
  const std::uint32_t* row = table.Row(level) + 255;
  for (size_t i = 0; i < bytes; ++i) {
    current[i] = static_cast<std::uint8_t>(current[i] + static_cast<std::uint8_t>(row[int(target[i]) - int(current[i])]));
  }
}

void BlendPixels(PixelRows current, const PixelRows& target, int level, const BlendTable& table) {
  for (int y = 0; y < target.height; ++y) {
    BlendRow(current.first + y * current.stride, target.first + y * target.stride,
             static_cast<size_t>(target.width) * 3, level, table);
  }
}

}  // namespace stampwell
