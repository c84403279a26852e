#include "framework/png_decode.h"

#include <cstring>
#include <new>

#include "framework/inflate.h"

namespace stampwell {

namespace {

constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr int kPixelBytes = 3;
// Deflate's best: a 258-byte match in two bits.
constexpr std::size_t kMostInflation = 1032;

std::uint32_t BigEndian32(const std::uint8_t* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

bool IsType(const std::uint8_t* type, const char* name) { return std::memcmp(type, name, 4) == 0; }

struct Chunks {
  int width = 0;
  int height = 0;
  // The picture's compressed bytes: one IDAT where there is one (pointing into the file), the
  // IDATs joined where there are more.
  const std::uint8_t* data = nullptr;
  std::size_t size = 0;
  std::vector<std::uint8_t> joined;
};

// The header says 8-bit RGB, deflate, the standard filters, no interlacing.
bool ReadHeader(const std::uint8_t* header, Chunks& chunks) {
  const std::uint32_t width = BigEndian32(header), height = BigEndian32(header + 4);
  if (width == 0 || height == 0 || width > kMaxPngSide || height > kMaxPngSide) return false;
  if (header[8] != 8 || header[9] != 2 || header[10] != 0 || header[11] != 0 || header[12] != 0) return false;
  chunks.width = static_cast<int>(width);
  chunks.height = static_cast<int>(height);
  return true;
}

bool ReadChunks(const std::uint8_t* bytes, std::size_t size, Chunks& chunks) {
  if (size < sizeof kSignature || std::memcmp(bytes, kSignature, sizeof kSignature) != 0) return false;
  std::vector<std::pair<const std::uint8_t*, std::size_t>> parts;
  bool header = false;
  for (std::size_t at = sizeof kSignature;;) {
    if (size - at < 12) return false;  // ended without IEND
    const std::uint32_t length = BigEndian32(bytes + at);
    const std::uint8_t* type = bytes + at + 4;
    const std::uint8_t* data = bytes + at + 8;
    if (length > size - at - 12) return false;
    if (!header) {
      if (!IsType(type, "IHDR") || length != 13 || !ReadHeader(data, chunks)) return false;
      header = true;
    } else if (IsType(type, "IDAT")) {
      parts.emplace_back(data, length);
    } else if (IsType(type, "IEND")) {
      break;
    } else if ((type[0] & 0x20) == 0 && !IsType(type, "PLTE")) {
      return false;  // a critical chunk of a kind not read here (a second IHDR among them)
    }
    at += 12 + std::size_t{length};
  }
  if (parts.empty()) return false;
  if (parts.size() == 1) {
    chunks.data = parts[0].first;
    chunks.size = parts[0].second;
    return true;
  }
  for (const auto& [data, length] : parts) chunks.joined.insert(chunks.joined.end(), data, data + length);
  chunks.data = chunks.joined.data();
  chunks.size = chunks.joined.size();
  return true;
}

// PNG's choice among left, above and above-left, in selects rather than branches: a picture's
// rows of soft edges are mostly this filter, and a mispredicted branch per byte would double
// their reading.
std::uint8_t Paeth(int a, int b, int c) {
  const int pa = b > c ? b - c : c - b;
  const int pb = a > c ? a - c : c - a;
  const int pc = a + b - 2 * c > 0 ? a + b - 2 * c : 2 * c - a - b;
  const int nearer = pa <= pb ? a : b;
  const int distance = pa <= pb ? pa : pb;
  return static_cast<std::uint8_t>(distance <= pc ? nearer : c);
}

// Undoes one row's filter into `out`, given the row above (`up`, unfiltered, zeros for the top
// row); `n` is at least one pixel. `out` may overlap `in` from below: every byte written lies
// where `in` has been read already. False for a filter type that PNG does not have. The first
// pixel, which has no left neighbour, is done on its own, so that the loops over the rest have
// no branch.
bool Unfilter(int type, const std::uint8_t* in, const std::uint8_t* up, std::uint8_t* out, std::size_t n) {
  constexpr std::size_t p = kPixelBytes;
  switch (type) {
    case 0:
      std::memmove(out, in, n);
      return true;
    case 1:
      std::memmove(out, in, p);
      for (std::size_t i = p; i < n; ++i) out[i] = static_cast<std::uint8_t>(in[i] + out[i - p]);
      return true;
    case 2:
      for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<std::uint8_t>(in[i] + up[i]);
      return true;
    case 3:
      for (std::size_t i = 0; i < p; ++i) out[i] = static_cast<std::uint8_t>(in[i] + (up[i] >> 1));
      for (std::size_t i = p; i < n; ++i) out[i] = static_cast<std::uint8_t>(in[i] + ((out[i - p] + up[i]) >> 1));
      return true;
    case 4:
      for (std::size_t i = 0; i < p; ++i) out[i] = static_cast<std::uint8_t>(in[i] + up[i]);
      for (std::size_t i = p; i < n; ++i)
        out[i] = static_cast<std::uint8_t>(in[i] + Paeth(out[i - p], up[i], up[i - p]));
      return true;
    default:
      return false;
  }
}

// PNG's red-green-blue to the bitmap's blue-green-red.
void SwapRedAndBlue(std::uint8_t* row, std::size_t n) {
  for (std::size_t i = 0; i + 2 < n; i += kPixelBytes) {
    const std::uint8_t red = row[i];
    row[i] = row[i + 2];
    row[i + 2] = red;
  }
}

bool Decode(const std::uint8_t* bytes, std::size_t size, BgrPicture& picture) {
  Chunks chunks;
  if (!ReadChunks(bytes, size, chunks)) return false;
  const std::size_t row_bytes = static_cast<std::size_t>(chunks.width) * kPixelBytes;
  const std::size_t filtered_size = (row_bytes + 1) * static_cast<std::size_t>(chunks.height);
  // Refused before anything is made: no deflate stream of this size inflates that far.
  if (filtered_size / kMostInflation > chunks.size + 64) return false;
  // Inflated into the picture's own memory and unfiltered where it lies: row y moves y bytes
  // (its filter bytes and those above) towards the start, and writes only what it has read.
  std::vector<std::uint8_t>& rows = picture.rows;
  rows.resize(filtered_size);
  if (!InflateZlib(chunks.data, chunks.size, rows.data(), rows.size())) return false;
  const std::vector<std::uint8_t> top(row_bytes, 0);
  for (int y = 0; y < chunks.height; ++y) {
    const std::uint8_t* in = rows.data() + (row_bytes + 1) * static_cast<std::size_t>(y);
    std::uint8_t* out = rows.data() + row_bytes * static_cast<std::size_t>(y);
    if (!Unfilter(in[0], in + 1, y == 0 ? top.data() : out - row_bytes, out, row_bytes)) return false;
    // The row above has served as this one's; now it can take the bitmap's order.
    if (y > 0) SwapRedAndBlue(out - row_bytes, row_bytes);
  }
  rows.resize(row_bytes * static_cast<std::size_t>(chunks.height));
  SwapRedAndBlue(rows.data() + row_bytes * static_cast<std::size_t>(chunks.height - 1), row_bytes);
  picture.width = chunks.width;
  picture.height = chunks.height;
  return true;
}

}  // namespace

bool DecodeRgbPng(const std::uint8_t* bytes, std::size_t size, BgrPicture& picture) {
  picture = BgrPicture{};
  try {
    if (bytes && Decode(bytes, size, picture)) return true;
  } catch (const std::bad_alloc&) {
    // No room for the pixels: as unreadable.
  }
  picture = BgrPicture{};
  return false;
}

}  // namespace stampwell
