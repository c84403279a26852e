#include "framework/area_scale.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace stampwell {

namespace {

// The source pixels under every target pixel along one axis, and how much of each. The axis is
// measured in units where a source pixel is `target_size / g` long and a target pixel
// `source_size / g` (g their greatest common divisor): every boundary lies on a whole unit, so
// the weights are exact integers, as small as exact weights can be, and sum to `total` for
// every target pixel. Small weights keep the sums of the common ratios (4 to 3 at 150 %) within
// 32 bits, which is what makes the scaling fast on a 32-bit processor.
struct AxisWeights {
  AxisWeights(int source_size, int target_size) {
    const long long g = std::gcd(source_size, target_size);
    const long long s = source_size / g, t = target_size / g;
    total = static_cast<std::uint32_t>(s);
    first.reserve(static_cast<size_t>(target_size) + 1);
    for (long long x = 0; x < target_size; ++x) {
      first.push_back(source.size());
      const long long begin = x * s, end = begin + s;
      for (long long i = begin / t; i < source_size && i * t < end; ++i) {
        const long long overlap = std::min(end, (i + 1) * t) - std::max(begin, i * t);
        if (overlap <= 0) continue;
        source.push_back(static_cast<int>(i));
        weight.push_back(static_cast<std::uint32_t>(overlap));
      }
    }
    first.push_back(source.size());
  }

  // The most source pixels that one target pixel takes.
  size_t MostTaps() const {
    size_t most = 0;
    for (size_t x = 0; x + 1 < first.size(); ++x) most = std::max(most, first[x + 1] - first[x]);
    return most;
  }

  // Target pixel x takes source[first[x] .. first[x + 1]) with weight[...].
  std::vector<size_t> first;
  std::vector<int> source;
  std::vector<std::uint32_t> weight;
  std::uint32_t total;
};

constexpr int kMostChannels = 4;

bool IsKey(const std::uint8_t* pixel, const std::uint8_t* key, int channels) {
  for (int k = 0; k < channels; ++k)
    if (pixel[k] != key[k]) return false;
  return true;
}

// floor(n / d) for the n that a mean can reach (n < 256 * d), without a division: one
// multiplication by d's reciprocal, short by at most one and corrected. Needs d < 2^24.
class Divider {
 public:
  explicit Divider(std::uint32_t d)
      : d_(d), reciprocal_(d > 1 ? static_cast<std::uint32_t>((std::uint64_t{1} << 32) / d) : 0) {}
  std::uint32_t operator()(std::uint32_t n) const {
    if (d_ == 1) return n;
    auto q = static_cast<std::uint32_t>((std::uint64_t{n} * reciprocal_) >> 32);
    if ((q + 1) * d_ <= n) ++q;
    return q;
  }

 private:
  std::uint32_t d_;
  std::uint32_t reciprocal_;
};

// One row of horizontal sums (in the columns' units) of a source row, kept for every target row
// that the source row reaches: shrinking, that is up to two, each summed across only once.
template <typename Sum>
class RowSums {
 public:
  RowSums(size_t slots, size_t values, size_t width) : tags_(slots, -1), sums_(slots), ink_(slots) {
    for (auto& row : sums_) row.resize(values);
    for (auto& row : ink_) row.resize(width);
  }
  // The slot of source row `row`, and whether it holds that row's sums already. Consecutive
  // source rows, as many as there are slots, never share one.
  size_t Slot(int row, bool& filled) {
    const size_t slot = static_cast<size_t>(row) % tags_.size();
    filled = tags_[slot] == row;
    tags_[slot] = row;
    return slot;
  }
  std::vector<Sum>& Sums(size_t slot) { return sums_[slot]; }
  std::vector<Sum>& Ink(size_t slot) { return ink_[slot]; }

 private:
  std::vector<int> tags_;
  std::vector<std::vector<Sum>> sums_, ink_;
};

// Sums one source row across into target columns; with a key, pixels of the key colour add
// nothing to the sums, only (by their absence) to the ink.
template <typename Sum, bool Keyed>
void SumAcross(const std::uint8_t* in, int channels, const AxisWeights& columns, const std::uint8_t* key, Sum* sums,
               Sum* ink) {
  const size_t width = columns.first.size() - 1;
  for (size_t x = 0; x < width; ++x) {
    Sum values[kMostChannels] = {};
    Sum covered = 0;
    for (size_t c = columns.first[x]; c < columns.first[x + 1]; ++c) {
      const std::uint8_t* pixel = in + static_cast<std::ptrdiff_t>(columns.source[c]) * channels;
      const Sum w = columns.weight[c];
      if constexpr (Keyed) {
        if (IsKey(pixel, key, channels)) continue;
        covered += w;
      }
      for (int k = 0; k < channels; ++k) values[k] += pixel[k] * w;
    }
    for (int k = 0; k < channels; ++k) sums[x * channels + k] = values[k];
    if constexpr (Keyed) ink[x] = covered;
  }
}

// Each target row: the weighted sums of the source rows it covers, every one summed across into
// target columns first, then all divided once, so that nothing is rounded twice. `Sum` holds
// 255 * columns.total * rows.total.
template <typename Sum, bool Keyed>
void ScaleWith(const PixelRect& source, const PixelRect& target, const std::uint8_t* key, const AxisWeights& columns,
               const AxisWeights& rows) {
  const int channels = target.channels;
  const size_t width = static_cast<size_t>(target.width);
  const size_t row_values = width * channels;
  RowSums<Sum> across(rows.MostTaps(), row_values, Keyed ? width : 0);
  std::vector<Sum> sums(row_values), ink(width);
  const Sum total = Sum{columns.total} * rows.total;
  const Divider divide(sizeof(Sum) == 4 ? static_cast<std::uint32_t>(total) : 1);
  for (int y = 0; y < target.height; ++y) {
    std::fill(sums.begin(), sums.end(), 0);
    if constexpr (Keyed) std::fill(ink.begin(), ink.end(), 0);
    for (size_t r = rows.first[static_cast<size_t>(y)]; r < rows.first[static_cast<size_t>(y) + 1]; ++r) {
      bool filled = false;
      const size_t slot = across.Slot(rows.source[r], filled);
      if (!filled)
        SumAcross<Sum, Keyed>(source.pixels + rows.source[r] * source.stride, channels, columns, key,
                              across.Sums(slot).data(), across.Ink(slot).data());
      const Sum w = rows.weight[r];
      const Sum* row_sums = across.Sums(slot).data();
      Sum* to = sums.data();
      for (size_t i = 0; i < row_values; ++i) to[i] += row_sums[i] * w;
      if constexpr (Keyed) {
        const Sum* row_ink = across.Ink(slot).data();
        for (size_t x = 0; x < width; ++x) ink[x] += row_ink[x] * w;
      }
    }
    std::uint8_t* out = target.pixels + y * target.stride;
    const Sum* from = sums.data();
    for (size_t x = 0; x < width; ++x, out += channels, from += channels) {
      if constexpr (Keyed) {
        // Mostly key: the key, so that what shows through keeps a clean edge.
        if (2 * ink[x] < total) {
          for (int k = 0; k < channels; ++k) out[k] = key[k];
          continue;
        }
        if (ink[x] != total) {
          for (int k = 0; k < channels; ++k) out[k] = static_cast<std::uint8_t>((from[k] + ink[x] / 2) / ink[x]);
          continue;
        }
      }
      for (int k = 0; k < channels; ++k) {
        const Sum n = from[k] + total / 2;
        if constexpr (sizeof(Sum) == 4)
          out[k] = static_cast<std::uint8_t>(divide(n));
        else
          out[k] = static_cast<std::uint8_t>(n / total);
      }
    }
  }
}

template <typename Sum>
void ScaleWith(const PixelRect& source, const PixelRect& target, const std::uint8_t* key, const AxisWeights& columns,
               const AxisWeights& rows) {
  if (key)
    ScaleWith<Sum, true>(source, target, key, columns, rows);
  else
    ScaleWith<Sum, false>(source, target, key, columns, rows);
}

// The same weights with exactly `Taps` source pixels for every target pixel, those that take
// fewer padded with weightless repeats of their last: loops over them have no branches.
template <int Taps>
struct FixedTaps {
  explicit FixedTaps(const AxisWeights& axis) {
    const size_t size = axis.first.size() - 1;
    source.resize(size * Taps);
    weight.resize(size * Taps, 0);
    for (size_t x = 0; x < size; ++x) {
      for (size_t t = 0; t < Taps; ++t) {
        const size_t c = std::min(axis.first[x] + t, axis.first[x + 1] - 1);
        source[x * Taps + t] = axis.source[c];
        if (axis.first[x] + t < axis.first[x + 1]) weight[x * Taps + t] = axis.weight[c];
      }
    }
  }
  std::vector<int> source;
  std::vector<std::uint32_t> weight;
};

// Scaling without a key whose sums fit 32 bits and whose target pixels take at most three source
// pixels along either axis: every scale between 50 % and 200 %, which is what a display between
// 96 and 192 dpi asks of a picture and of its double-size drawing. It gives what ScaleWith gives,
// with straight loops: the first paint at 150 % waits for this.
template <int Channels, int ColumnTaps, int RowTaps>
void ScaleFewTaps(const PixelRect& source, const PixelRect& target, const AxisWeights& column_weights,
                  const AxisWeights& row_weights) {
  const FixedTaps<ColumnTaps> columns(column_weights);
  const FixedTaps<RowTaps> rows(row_weights);
  const size_t width = static_cast<size_t>(target.width);
  const size_t values = width * Channels;
  // The sums across of the last RowTaps source rows, each row in slot (row % RowTaps): a target
  // row's source rows are consecutive, so none of them takes another's slot.
  std::vector<std::uint32_t> across(values * RowTaps);
  int summed[RowTaps];
  for (int& row : summed) row = -1;
  const std::uint32_t total = column_weights.total * row_weights.total;
  const Divider divide(total);
  for (int y = 0; y < target.height; ++y) {
    const std::uint32_t* sums[RowTaps];
    for (int t = 0; t < RowTaps; ++t) {
      const int row = rows.source[static_cast<size_t>(y) * RowTaps + t];
      std::uint32_t* slot = across.data() + values * static_cast<size_t>(row % RowTaps);
      sums[t] = slot;
      if (summed[row % RowTaps] == row) continue;
      summed[row % RowTaps] = row;
      const std::uint8_t* in = source.pixels + row * source.stride;
      for (size_t x = 0; x < width; ++x) {
        const int* from = &columns.source[x * ColumnTaps];
        const std::uint32_t* w = &columns.weight[x * ColumnTaps];
        for (int k = 0; k < Channels; ++k) {
          std::uint32_t sum = 0;
          for (int c = 0; c < ColumnTaps; ++c) sum += w[c] * in[from[c] * Channels + k];
          slot[x * Channels + k] = sum;
        }
      }
    }
    const std::uint32_t* w = &rows.weight[static_cast<size_t>(y) * RowTaps];
    std::uint8_t* out = target.pixels + y * target.stride;
    for (size_t i = 0; i < values; ++i) {
      std::uint32_t n = total / 2;
      for (int t = 0; t < RowTaps; ++t) n += w[t] * sums[t][i];
      out[i] = static_cast<std::uint8_t>(divide(n));
    }
  }
}

template <int Channels>
bool ScaleFewTaps(const PixelRect& source, const PixelRect& target, const AxisWeights& columns,
                  const AxisWeights& rows) {
  const size_t column_taps = columns.MostTaps(), row_taps = rows.MostTaps();
  if (column_taps > 3 || row_taps > 3) return false;
  if (column_taps <= 2 && row_taps <= 2) ScaleFewTaps<Channels, 2, 2>(source, target, columns, rows);
  else if (column_taps <= 2) ScaleFewTaps<Channels, 2, 3>(source, target, columns, rows);
  else if (row_taps <= 2) ScaleFewTaps<Channels, 3, 2>(source, target, columns, rows);
  else ScaleFewTaps<Channels, 3, 3>(source, target, columns, rows);
  return true;
}

void Scale(const PixelRect& source, const PixelRect& target, const std::uint8_t* key) {
  if (source.width <= 0 || source.height <= 0 || target.width <= 0 || target.height <= 0) return;
  if (target.channels < 1 || target.channels > kMostChannels || source.channels != target.channels) return;
  const AxisWeights columns(source.width, target.width), rows(source.height, target.height);
  const std::uint64_t total = std::uint64_t{columns.total} * rows.total;
  const bool fits = total < (std::uint64_t{1} << 24);
  if (fits && !key &&
      (target.channels == 3 ? ScaleFewTaps<3>(source, target, columns, rows)
                            : target.channels == 4 && ScaleFewTaps<4>(source, target, columns, rows)))
    return;
  if (fits)
    ScaleWith<std::uint32_t>(source, target, key, columns, rows);
  else
    ScaleWith<std::uint64_t>(source, target, key, columns, rows);
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
