#pragma once
// The cross-fade arithmetic of the image button: a table of a x d / 256 for every fade level
// a (0..255) and byte difference d (-255..255), and the blend of one 24-bit picture towards
// another through it. Portable.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace stampwell {

class BlendTable {
 public:
  static constexpr int kLevels = 256;
  static constexpr int kDifferences = 511;  // -255 .. +255

  BlendTable();

  // The one table every button shares: no button ever changes it, so sharing is unobservable
  // and saves half a megabyte per button.
  static const BlendTable& Shared();

  // The 32-bit product a x d shifted right by 8 (floor division, also for negative d).
  std::uint32_t Entry(int level, int difference) const {
    return entries_[static_cast<size_t>(level) * kDifferences + static_cast<size_t>(difference + 255)];
  }
  const std::uint32_t* Row(int level) const { return &entries_[static_cast<size_t>(level) * kDifferences]; }

 private:
  std::vector<std::uint32_t> entries_;
};

// One picture row of `bytes` colour bytes: c := c + low byte of table[level][t - c], an 8-bit
// addition, which is c + floor(level x (t - c) / 256) and always lies between c and t.
void BlendRow(std::uint8_t* current, const std::uint8_t* target, size_t bytes, int level,
              const BlendTable& table);

// A view of 24-bit pixel rows (blue, green, red), `stride` bytes apart.
struct PixelRows {
  std::uint8_t* first = nullptr;
  std::ptrdiff_t stride = 0;
  int width = 0;
  int height = 0;
};

// Blends `current` towards `target` at `level` over target's size (which must not exceed current's).
void BlendPixels(PixelRows current, const PixelRows& target, int level, const BlendTable& table);

}  // namespace stampwell
