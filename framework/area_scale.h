#pragma once
// Picture scaling by area averaging: every target pixel is the mean of the source area it
// covers, each source pixel weighted by exactly the part of it that lies inside. Portable,
// with host tests; the skin's pictures at display scales between their drawn sizes use it.

#include <cstddef>
#include <cstdint>

namespace stampwell {

// Pixels of `channels` bytes each (3: BGR, 4: BGRA), rows `stride` bytes apart.
struct PixelRect {
  std::uint8_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  std::ptrdiff_t stride = 0;
  int channels = 3;
};

// Scales all of `source` onto all of `target` (same channel count), every channel on its own,
// rounded to nearest. Works in both directions; enlarging gives soft, blocky edges.
void ScaleByArea(const PixelRect& source, const PixelRect& target);

// The same for a strip of `frames` equal frames side by side along its longer axis: each frame
// is scaled into its own share of `target` (which holds as many frames), so that no frame's
// colours run into its neighbour's. A strip that does not divide evenly is scaled whole.
void ScaleFramesByArea(const PixelRect& source, const PixelRect& target, int frames);

}  // namespace stampwell
