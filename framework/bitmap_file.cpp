#include "framework/bitmap_file.h"

namespace stampwell {
namespace {

std::uint32_t U32(const std::uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24); }
std::uint16_t U16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

// The checks shared by both forms: the header at `info_offset`, its colour table, and rows that
// start at `bits_offset` (0: right after the colour table, as in a packed bitmap) and fit.
std::string CheckLayout(const std::uint8_t* data, size_t size, size_t info_offset, std::uint32_t bits_offset,
                        BitmapFileLayout& layout) {
  const std::uint8_t* info = data + info_offset;
  std::uint32_t header_size = U32(info);
  if (header_size < 40 || header_size > size - info_offset) return "the bitmap's header is damaged";
  std::int32_t width = static_cast<std::int32_t>(U32(info + 4));
  std::int32_t height = static_cast<std::int32_t>(U32(info + 8));
  int bpp = U16(info + 14);
  std::uint32_t compression = U32(info + 16);
  std::uint32_t colours_used = U32(info + 32);
  if (U16(info + 12) != 1) return "the bitmap's header is damaged";
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return "the bitmap's colour depth is not supported";
  if (compression != 0 && !(compression == 3 && (bpp == 16 || bpp == 32))) return "compressed bitmaps are not supported";
  if (width <= 0 || width > 16384 || height == 0 || height < -16384 || height > 16384) return "the bitmap's size is not supported";
  std::uint64_t palette = 0;
  if (bpp <= 8) palette = (colours_used ? colours_used : (1u << bpp));
  if (bpp <= 8 && palette > (1u << bpp)) return "the bitmap's colour table is damaged";
  std::uint64_t masks = (compression == 3 && header_size == 40) ? 12 : 0;
  std::uint64_t table_end = info_offset + std::uint64_t(header_size) + masks + palette * 4;
  if (table_end > size) return "the bitmap's colour table is damaged";
  if (bits_offset == 0) bits_offset = static_cast<std::uint32_t>(table_end);
  if (bits_offset < table_end || bits_offset > size) return "the bitmap's colour table is damaged";
  std::uint64_t stride = ((std::uint64_t(width) * bpp + 31) / 32) * 4;
  std::uint64_t rows = height < 0 ? std::uint64_t(-std::int64_t(height)) : std::uint64_t(height);
  if (stride * rows > size - bits_offset) return "the bitmap's pixels are cut short";
  layout.info_offset = info_offset;
  layout.bits_offset = bits_offset;
  layout.width = width;
  layout.height = height;
  layout.bits_per_pixel = bpp;
  return {};
}

}  // namespace

std::string CheckBitmapFile(const std::uint8_t* data, size_t size, BitmapFileLayout& layout) {
  if (size < 14 + 40) return "the picture is too short to be a bitmap";
  if (data[0] != 'B' || data[1] != 'M') return "the picture is not a bitmap";
  // A stated offset of 0 would point into the file header.
  std::uint32_t bits_offset = U32(data + 10);
  if (bits_offset == 0) return "the bitmap's colour table is damaged";
  return CheckLayout(data, size, 14, bits_offset, layout);
}

std::string CheckPackedBitmap(const std::uint8_t* data, size_t size, BitmapFileLayout& layout) {
  if (size < 40) return "the picture is too short to be a bitmap";
  return CheckLayout(data, size, 0, 0, layout);
}

}  // namespace stampwell
