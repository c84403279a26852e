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

void ScaleByArea(const PixelRect& source, const PixelRect& target) {
  if (source.width <= 0 || source.height <= 0 || target.width <= 0 || target.height <= 0) return;
  const int channels = target.channels;
  const auto columns = AxisWeights(source.width, target.width);
  const auto rows = AxisWeights(source.height, target.height);

  // Each target row: the weighted source rows, every one first summed across into target
  // columns (in source.width units), then all divided once, so that nothing is rounded twice.
  // Only one row of sums is held at a time; a source row is summed again for every target row
  // it reaches, which is at most twice when shrinking.
  const size_t row_values = static_cast<size_t>(target.width) * channels;
  std::vector<std::uint32_t> across(row_values);
  std::vector<std::uint64_t> sums(row_values);
  const std::uint64_t total = std::uint64_t(source.width) * std::uint64_t(source.height);
  for (int y = 0; y < target.height; ++y) {
    std::fill(sums.begin(), sums.end(), 0);
    for (const Contribution& row : rows[static_cast<size_t>(y)]) {
      const std::uint8_t* in = source.pixels + row.source * source.stride;
      std::fill(across.begin(), across.end(), 0);
      for (int x = 0; x < target.width; ++x) {
        for (const Contribution& c : columns[static_cast<size_t>(x)]) {
          const std::uint8_t* pixel = in + static_cast<std::ptrdiff_t>(c.source) * source.channels;
          for (int k = 0; k < channels; ++k) across[static_cast<size_t>(x * channels + k)] += pixel[k] * c.weight;
        }
      }
      for (size_t i = 0; i < row_values; ++i) sums[i] += std::uint64_t{across[i]} * row.weight;
    }
    std::uint8_t* out = target.pixels + y * target.stride;
    for (size_t i = 0; i < row_values; ++i) out[i] = static_cast<std::uint8_t>((sums[i] + total / 2) / total);
  }
}

void ScaleFramesByArea(const PixelRect& source, const PixelRect& target, int frames) {
  const bool across = source.width >= source.height;
  const int source_long = across ? source.width : source.height;
  const int target_long = across ? target.width : target.height;
  if (frames <= 1 || source_long % frames != 0 || target_long % frames != 0) {
    ScaleByArea(source, target);
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
    ScaleByArea(from, to);
  }
}

}  // namespace stampwell
