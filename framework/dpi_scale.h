#pragma once
// Layout numbers are written for 96 pixels per inch; a window at another DPI places them
// scaled. Edges are scaled, not sizes: two controls that meet at 96 dpi meet at every DPI,
// and a size is the difference of its scaled edges.

namespace stampwell {

inline constexpr unsigned kDesignDpi = 96;

// v * dpi / 96, rounded half away from zero (as MulDiv rounds).
constexpr int ScaleToDpi(int v, unsigned dpi) {
  const long long scaled = static_cast<long long>(v) * dpi;
  const long long half = kDesignDpi / 2;
  return static_cast<int>(scaled >= 0 ? (scaled + half) / kDesignDpi : -((-scaled + half) / kDesignDpi));
}

// The 96-dpi number whose scaled value is closest to `pixels` (the inverse of ScaleToDpi on
// every value that ScaleToDpi can give).
constexpr int UnscaleFromDpi(int pixels, unsigned dpi) {
  if (dpi == 0) return pixels;
  const long long scaled = static_cast<long long>(pixels) * kDesignDpi;
  const long long half = dpi / 2;
  return static_cast<int>(scaled >= 0 ? (scaled + half) / dpi : -((-scaled + half) / dpi));
}

struct ScaledSpan {
  int start;
  int length;
};

// A span [start, start + length) in 96-dpi units, placed at `dpi`.
constexpr ScaledSpan ScaleSpan(int start, int length, unsigned dpi) {
  const int first = ScaleToDpi(start, dpi);
  return ScaledSpan{first, ScaleToDpi(start + length, dpi) - first};
}

// The inverse: a span in pixels at `dpi` back in 96-dpi units.
constexpr ScaledSpan UnscaleSpan(int start, int length, unsigned dpi) {
  const int first = UnscaleFromDpi(start, dpi);
  return ScaledSpan{first, UnscaleFromDpi(start + length, dpi) - first};
}

// A picture of `width` by `height` pixels at 96 dpi, made of `frames` equal frames side by side
// along its longer side (a button's looks), as it is drawn at `dpi`: every frame is scaled and
// rounded on its own, so that each is exactly as large as the control it fills. A strip whose
// long side does not divide by `frames` is scaled whole, as one frame.
struct StripScale {
  int width;
  int height;
  int frames;
};

constexpr StripScale ScaleStrip(int width, int height, int frames, unsigned dpi) {
  const bool across = width >= height;
  const int long_side = across ? width : height;
  const int split = frames > 1 && long_side % frames == 0 ? frames : 1;
  const int scaled_long = ScaleToDpi(long_side / split, dpi) * split;
  return across ? StripScale{scaled_long, ScaleToDpi(height, dpi), split}
                : StripScale{ScaleToDpi(width, dpi), scaled_long, split};
}

struct ScreenBox {
  int left, top, right, bottom;
};

// A window moved (and, where it is larger, shrunk) into a monitor's work area, so that its
// caption and its top-left corner are always reachable.
constexpr ScreenBox KeepInsideWorkArea(ScreenBox window, ScreenBox work) {
  int width = window.right - window.left, height = window.bottom - window.top;
  if (width > work.right - work.left) width = work.right - work.left;
  if (height > work.bottom - work.top) height = work.bottom - work.top;
  int left = window.left, top = window.top;
  if (left + width > work.right) left = work.right - width;
  if (top + height > work.bottom) top = work.bottom - height;
  if (left < work.left) left = work.left;
  if (top < work.top) top = work.top;
  return ScreenBox{left, top, left + width, top + height};
}

}  // namespace stampwell
