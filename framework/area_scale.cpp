#include "framework/area_scale.h"

#include <algorithm>
#include <vector>

namespace stampwell {

namespace {

struct Contribution {
  int source;
  std::uint32_t weight;
};

// The source pixels under every target pixel along one axis, and how much of each. In units
// where a source pixel is `target_size` long and a target pixel `source_size`, every boundary
// lies on a whole unit, so the weights are exact integers and sum to `source_size` per target
// pixel.
std::vector<std::vector<Contribution>> AxisWeights(int source_size, int target_size) {
  std::vector<std::vector<Contribution>> weights(static_cast<size_t>(target_size));
  const long long s = source_size, t = target_size;
  for (long long x = 0; x < t; ++x) {
    long long begin = x * s, end = begin + s;
    for (long long i = begin / t; i < s && i * t < end; ++i) {
      long long overlap = std::min(end, (i + 1) * t) - std::max(begin, i * t);
      if (overlap > 0)
        weights[static_cast<size_t>(x)].push_back({static_cast<int>(i), static_cast<std::uint32_t>(overlap)});
    }
  }
  return weights;
}

}  // namespace

namespace {

bool IsKey(const std::uint8_t* pixel, const std::uint8_t* key, int channels) {
  for (int k = 0; k < channels; ++k)
    if (pixel[k] != key[k]) return false;
  return true;
}

// With a key: pixels of the key colour add nothing to the means, only to the key's coverage.
void Scale(const PixelRect& source, const PixelRect& target, const std::uint8_t* key) {
  if (source.width <= 0 || source.height <= 0 || target.width <= 0 || target.height <= 0) return;
  const int channels = target.channels;
  const auto columns = AxisWeights(source.width, target.width);
  const auto rows = AxisWeights(source.height, target.height);

  // Each target row: the weighted source rows, every one first summed across into target
  // columns (in source.width units), then all divided once, so that nothing is rounded twice.
  // Only one row of sums is held at a time; a source row is summed again for every target row
  // it reaches, which is at most twice when shrinking.
  const size_t row_values = static_cast<size_t>(target.width) * channels;
  const size_t width = static_cast<size_t>(target.width);
  std::vector<std::uint32_t> across(row_values), ink_across(width);
  std::vector<std::uint64_t> sums(row_values), ink(width);
  const std::uint64_t total = std::uint64_t(source.width) * std::uint64_t(source.height);
  for (int y = 0; y < target.height; ++y) {
    std::fill(sums.begin(), sums.end(), 0);
    std::fill(ink.begin(), ink.end(), 0);
    for (const Contribution& row : rows[static_cast<size_t>(y)]) {
      const std::uint8_t* in = source.pixels + row.source * source.stride;
      std::fill(across.begin(), across.end(), 0);
      std::fill(ink_across.begin(), ink_across.end(), 0);
      for (size_t x = 0; x < width; ++x) {
        for (const Contribution& c : columns[x]) {
          const std::uint8_t* pixel = in + static_cast<std::ptrdiff_t>(c.source) * source.channels;
          if (key && IsKey(pixel, key, channels)) continue;
          ink_across[x] += c.weight;
          for (int k = 0; k < channels; ++k) across[x * channels + k] += pixel[k] * c.weight;
        }
      }
      for (size_t i = 0; i < row_values; ++i) sums[i] += std::uint64_t{across[i]} * row.weight;
      for (size_t x = 0; x < width; ++x) ink[x] += std::uint64_t{ink_across[x]} * row.weight;
    }
    std::uint8_t* out = target.pixels + y * target.stride;
    for (size_t x = 0; x < width; ++x) {
      // Mostly key: the key, so that what shows through keeps a clean edge.
      if (2 * ink[x] < total) {
        for (int k = 0; k < channels; ++k) out[x * channels + k] = key[k];
        continue;
      }
      for (int k = 0; k < channels; ++k)
        out[x * channels + k] = static_cast<std::uint8_t>((sums[x * channels + k] + ink[x] / 2) / ink[x]);
    }
  }
}

void ScaleFrames(const PixelRect& source, const PixelRect& target, int frames, const std::uint8_t* key) {
  const bool across = source.width >= source.height;
  const int source_long = across ? source.width : source.height;
  const int target_long = across ? target.width : target.height;
  if (frames <= 1 || source_long % frames != 0 || target_long % frames != 0) {
    Scale(source, target, key);
    return;
  }
  const int source_step = source_long / frames, target_step = target_long / frames;
  for (int f = 0; f < frames; ++f) {
    PixelRect from = source, to = target;
    if (across) {
      from.pixels += static_cast<std::ptrdiff_t>(f) * source_step * source.channels;
      from.width = source_step;
      to.pixels += static_cast<std::ptrdiff_t>(f) * target_step * target.channels;
      to.width = target_step;
    } else {
      from.pixels += static_cast<std::ptrdiff_t>(f) * source_step * source.stride;
      from.height = source_step;
      to.pixels += static_cast<std::ptrdiff_t>(f) * target_step * target.stride;
      to.height = target_step;
    }
    Scale(from, to, key);
  }
}

}  // namespace

void ScaleByArea(const PixelRect& source, const PixelRect& target) { Scale(source, target, nullptr); }

void ScaleFramesByArea(const PixelRect& source, const PixelRect& target, int frames) {
  ScaleFrames(source, target, frames, nullptr);
}

void ScaleFramesByAreaKeyed(const PixelRect& source, const PixelRect& target, int frames, const std::uint8_t* key) {
  ScaleFrames(source, target, frames, key);
}

}  // namespace stampwell
