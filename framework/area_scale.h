#pragma once
// Picture scaling by area averaging: every target pixel is the mean of the source area it
// covers, each source pixel weighted by exactly the part of it that lies inside. Portable,
// with host tests; the skin's pictures at display scales between their drawn sizes use it.

#include <cstddef>
#include <cstdint>

namespace stampwell {

// Pixels of `channels` bytes each (1 to 4; 3: BGR, 4: BGRA), rows `stride` bytes apart.
struct PixelRect {
  std::uint8_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  std::ptrdiff_t stride = 0;
  int channels = 3;
};

// Scales all of `source` onto all of `target` (same channel count; with different or
// unsupported counts nothing is done), every channel on its own, rounded to nearest. Works in
// both directions; enlarging gives soft, blocky edges.
void ScaleByArea(const PixelRect& source, const PixelRect& target);

// The same for a strip of `frames` equal frames side by side along its longer axis: each frame
// is scaled into its own share of `target` (which holds as many frames), so that no frame's
// colours run into its neighbour's. A strip that does not divide evenly is scaled whole.
void ScaleFramesByArea(const PixelRect& source, const PixelRect& target, int frames);

// The same for a picture whose pixels of one colour, `key` (its `channels` bytes), are clear,
// as a glyph's are: the key takes no part in any mean, and a target pixel is the key where the
// key covers more than half of it, else the mean of the rest. So the glyph's edge neither takes
// the key's colour nor frays into it.
void ScaleFramesByAreaKeyed(const PixelRect& source, const PixelRect& target, int frames, const std::uint8_t* key);

}  // namespace stampwell
