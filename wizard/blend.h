#pragma once
// The cross-fade of an image button between its normal and its hover frame. Portable.
//
// The level a runs from 0 (normal) to 255 (hover). Each colour byte c moves towards the
// hover byte t by the low byte of (a * (t - c)) >> 8, taken from a table so that a fade step
// costs three look-ups and three 8-bit additions per pixel.

#include <array>
#include <cstdint>

namespace stampwell::wizard {

class BlendTable {
 public:
  BlendTable() noexcept;
  // The 8-bit addend for level a (0..255) and difference d (-255..255).
  std::uint8_t Step(int level, int difference) const noexcept {
    return static_cast<std::uint8_t>(rows_[level][difference + 255]);
  }
  // Blends `count` bytes of `current` towards `target` at `level`, in place.
  void BlendBytes(std::uint8_t* current, const std::uint8_t* target, int count,
                  int level) const noexcept;

 private:
  std::array<std::array<std::uint32_t, 511>, 256> rows_;
};

// One table for the whole process: it never changes after construction.
const BlendTable& SharedBlendTable();

}  // namespace stampwell::wizard
