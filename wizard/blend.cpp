#include "wizard/blend.h"

namespace stampwell::wizard {

BlendTable::BlendTable() noexcept {
  for (int a = 0; a < 256; ++a) {
    for (int d = -255; d <= 255; ++d) {
      // The product as a 32-bit pattern, shifted as an unsigned value: only the low byte is
      // used, and it equals floor(a * d / 256) mod 256 for negative d as well.
      std::uint32_t product = static_cast<std::uint32_t>(a * d);
      rows_[a][d + 255] = static_cast<std::uint32_t>(static_cast<std::int32_t>(product) >> 8);
    }
  }
}

void BlendTable::BlendBytes(std::uint8_t* current, const std::uint8_t* target, int count,
                            int level) const noexcept {
  const auto& row = rows_[level];
  for (int i = 0; i < count; ++i) {
    current[i] = static_cast<std::uint8_t>(current[i] + row[target[i] - current[i] + 255]);
  }
}

const BlendTable& SharedBlendTable() {
  static const BlendTable table;
  return table;
}

}  // namespace stampwell::wizard
