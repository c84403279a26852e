#pragma once
// Colours, fonts, brushes, bitmaps, pictures and the drawing surface (TCanvas).

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/bitmap_file.h"
#include "framework/unique_handle.h"

namespace stampwell {

// A colour: 0x00BBGGRR, or a system colour as 0x80000000 | COLOR_ index.
using TColor = std::int32_t;
constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080,
                 clNavy = 0x800000, clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080,
                 clSilver = 0xC0C0C0, clRed = 0x0000FF, clLime = 0x00FF00, clYellow = 0x00FFFF,
                 clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00, clWhite = 0xFFFFFF;
constexpr TColor clSystemColor = static_cast<TColor>(0x80000000u);
constexpr TColor clBtnFace = clSystemColor | COLOR_BTNFACE, clWindow = clSystemColor | COLOR_WINDOW,
                 clWindowText = clSystemColor | COLOR_WINDOWTEXT, clBtnText = clSystemColor | COLOR_BTNTEXT,
                 clHighlight = clSystemColor | COLOR_HIGHLIGHT, clHighlightText = clSystemColor | COLOR_HIGHLIGHTTEXT,
                 clGrayText = clSystemColor | COLOR_GRAYTEXT, clInfoBk = clSystemColor | COLOR_INFOBK;
constexpr TColor clNone = 0x1FFFFFFF, clDefault = 0x20000000;

COLORREF ColorToRGB(TColor color);
// The colour of a name ("clBtnFace"); false when the name is no colour.
bool ColorFromName(const std::string& name, TColor& color);

// Font style bits.
using TFontStyles = unsigned;
constexpr TFontStyles fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8;

class TFont {
 public:
  TFont() = default;
  TFont(const TFont& other) { Assign(other); }
  TFont& operator=(const TFont& other) { Assign(other); return *this; }

  const std::string& Name() const { return name_; }
  void SetName(const std::string& name) { name_ = name; Changed(); }
  // Negative: the character height in pixels at 96 dpi; positive: the cell height.
  int Height() const { return height_; }
  void SetHeight(int height) { height_ = height; Changed(); }
  // Points at the screen's 96 pixels per inch.
  int Size() const;
  void SetSize(int points);
  TColor Color() const { return color_; }
  void SetColor(TColor color) { color_ = color; Changed(); }
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles style) { style_ = style; Changed(); }
  BYTE Charset() const { return charset_; }
  void SetCharset(BYTE charset) { charset_ = charset; Changed(); }
  // The DPI of the window that the font draws in: the GDI font's height is Height scaled to it.
  unsigned PixelsPerInch() const { return pixels_per_inch_; }
  void SetPixelsPerInch(unsigned dpi);

  // Copies the description, and reports the change.
  void Assign(const TFont& other);
  // A GDI font for this description, made once and kept until the font changes.
  HFONT Handle() const;

  // Told after every change.
  std::function<void()> OnChange;

 private:
  void Changed();

  std::string name_ = "MS Sans Serif";
  int height_ = -11;
  TColor color_ = clWindowText;
  TFontStyles style_ = 0;
  BYTE charset_ = DEFAULT_CHARSET;
  unsigned pixels_per_inch_ = 96;
  mutable unique_hfont handle_;
};

enum class TBrushStyle { bsSolid, bsClear };

struct TBrush {
  TColor Color = clWhite;
  TBrushStyle Style = TBrushStyle::bsSolid;
};

class TBitmap;

// A drawing surface over a device context that someone else owns. Fonts that it selects are
// restored when it ends.
class TCanvas {
 public:
  explicit TCanvas(HDC dc) : dc_(dc) {}
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;
  ~TCanvas();

  HDC Handle() const { return dc_; }
  // The DPI that the canvas draws at: its font's, and the scale of the pictures it is given.
  unsigned Dpi() const { return font_.PixelsPerInch(); }
  void SetDpi(unsigned dpi) { font_.SetPixelsPerInch(dpi); }
  TFont& Font() { return font_; }
  TBrush& Brush() { return brush_; }

  // Fills with the brush; a clear brush leaves the surface untouched.
  void FillRect(const RECT& rect);
  // Text in the font's colour, on the brush colour or (clear brush) on what lies below.
  void TextOut(int x, int y, const std::string& text);
  int TextWidth(const std::string& text);
  int TextHeight(const std::string& text);
  // Selects the font and sets the text colour and background mode for a text routine.
  void PrepareText();
  void Draw(int x, int y, const TBitmap& bitmap);
  void StretchDraw(const RECT& dest, const TBitmap& bitmap);
  // Copies `source_rect` of a bitmap to `dest` (same size: a plain copy).
  void CopyRect(const RECT& dest, const TBitmap& bitmap, const RECT& source_rect);

 private:
  HDC dc_;
  TFont font_;
  TBrush brush_;
  HGDIOBJ old_font_ = nullptr;
};

enum class TPixelFormat { pfDevice, pf24bit, pf32bit };

// A device-independent bitmap with its own memory device context.
class TBitmap {
 public:
  TBitmap() = default;
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;
  ~TBitmap();

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return width_ <= 0 || height_ <= 0; }
  TPixelFormat PixelFormat() const { return format_; }
  // Changing the format or the size keeps nothing of the old pixels.
  void SetPixelFormat(TPixelFormat format);
  void SetSize(int width, int height);

  // The memory DC with the bitmap selected; null while empty.
  HDC DC() const {
    Realize();
    return dc_.get();
  }
  HBITMAP Handle() const {
    Realize();
    return bitmap_.get();
  }
  // Row y (0 = top) of a 24- or 32-bit bitmap, and the distance between rows in bytes.
  std::uint8_t* ScanLine(int y) const;
  std::ptrdiff_t Stride() const;

  void Assign(const TBitmap& other);
  // Reads a .bmp file's bytes; throws Exception with a clear message when they are no bitmap.
  void LoadFromBytes(const std::uint8_t* data, size_t size);
  // Reads a bitmap resource (RT_BITMAP) of the program; throws Exception when there is none or
  // it is no bitmap. Its pixels are read at their first use: the pictures of pages not shown
  // yet cost neither start-up time nor memory.
  void LoadFromResource(const std::string& name);
  // Draws a picture whose pixels are still only in the resource straight from there, at its
  // own size, and says whether it did: the first paint of a page then makes no copy of it.
  bool DrawFromResource(HDC dc, int x, int y) const;
  // The bitmap resource that the pixels came from, while nothing has replaced them since (a
  // new size, format or file); empty otherwise. Larger drawings of a picture are found by it.
  const std::string& ResourceName() const { return resource_name_; }
  // Changes whenever the bitmap takes new pixels as a whole: a new size, format, file or
  // resource, or an Assign. Copies made from it are stale once it has changed.
  std::uint32_t Version() const { return version_; }

 private:
  void Recreate();
  // Makes the DIB section of the current size and format, and fills it from the pending
  // resource if there is one.
  void MakeSection() const;
  void Realize() const {
    if (pending_) MakeSection();
  }
  void Release() const;

  int width_ = 0;
  int height_ = 0;
  TPixelFormat format_ = TPixelFormat::pf24bit;
  // A packed bitmap in the program's image, which stays mapped for the life of the process,
  // whose pixels the section does not hold yet.
  mutable const std::uint8_t* pending_ = nullptr;
  mutable BitmapFileLayout pending_layout_;
  // Made at the first use of a pending resource, hence mutable.
  mutable unique_hdc dc_;
  mutable unique_hbitmap bitmap_;
  mutable HGDIOBJ old_bitmap_ = nullptr;
  mutable void* bits_ = nullptr;
  std::string resource_name_;
  std::uint32_t version_ = 0;
};

// A picture as the controls hold it: a bitmap, possibly empty, and its copies for displays of
// more (or fewer) pixels per inch than 96.
class TPicture {
 public:
  TPicture();
  ~TPicture();
  TPicture(const TPicture&) = delete;
  TPicture& operator=(const TPicture&) = delete;

  TBitmap& Bitmap() { return bitmap_; }
  const TBitmap& Bitmap() const { return bitmap_; }
  int Width() const { return bitmap_.Width(); }
  int Height() const { return bitmap_.Height(); }
  void Assign(const TPicture& other) { bitmap_.Assign(other.bitmap_); }
  // Reads a bitmap resource (see TBitmap::LoadFromResource); a drawing of it at twice the size,
  // if the program has one, is found by the same name when a display needs it.
  void LoadFromResource(const std::string& name) { bitmap_.LoadFromResource(name); }

  // The picture for a window at `dpi` pixels per inch: exactly round(Width() * dpi / 96) by
  // round(Height() * dpi / 96) pixels. At 96 it is the picture itself; at 192 the picture's
  // double-size drawing if the program has one; in between that drawing shrunk by area
  // averaging. Without a double-size drawing, and beyond 192, the picture is scaled from the
  // nearest drawing, which blurs when it is enlarged.
  // A strip of `frames` equal frames side by side along its longer axis (a button's looks) is
  // scaled frame by frame: each frame becomes round(frame * dpi / 96) long, and no frame's
  // edge takes colour from its neighbour.
  // Made at the first call for a dpi and kept until the picture changes; the reference stays
  // valid until then. Should the system have no room for the copy, the picture itself.
  const TBitmap& ForDpi(UINT dpi, int frames = 1) const;
  // The same for a glyph, whose bottom-left pixel's colour marks where it is clear: that colour
  // takes no part in the shrinking, and every pixel of the result is either clear or the
  // glyph's, so that the edge shows no fringe of the clear colour where it is drawn.
  const TBitmap& GlyphForDpi(UINT dpi, int frames = 1) const;
  // The size of ForDpi(dpi, frames) without making it: what lays a control out needs no pixels,
  // and the pictures of pages not shown yet are then neither read nor scaled.
  SIZE SizeForDpi(UINT dpi, int frames = 1) const;

 private:
  struct Scaled;
  const TBitmap& AtDpi(UINT dpi, int frames, bool keyed) const;
  // The drawing at twice the size that belongs to the bitmap's resource, read at the first
  // call above 96 dpi; null when the program has none that fits.
  const TBitmap* Large() const;

  TBitmap bitmap_;
  // What is made from bitmap_ while its Version() is scaled_version_.
  mutable std::uint32_t scaled_version_ = 0;
  mutable std::vector<std::unique_ptr<Scaled>> scaled_;
  mutable std::unique_ptr<TBitmap> large_;
  mutable bool large_read_ = false;
};

}  // namespace stampwell
