#include "framework/graphics.h"

#include <cstring>
#include <utility>

#include "framework/bitmap_file.h"
#include "framework/dpi_scale.h"
#include "framework/exception.h"

namespace stampwell {

COLORREF ColorToRGB(TColor color) {
  if (color & clSystemColor) return ::GetSysColor(color & 0xFF);
  if (color == clNone || color == clDefault) return RGB(0, 0, 0);
  return static_cast<COLORREF>(color & 0xFFFFFF);
}

bool ColorFromName(const std::string& name, TColor& color) {
  static const std::pair<const char*, TColor> kNames[] = {
      {"clBlack", clBlack}, {"clMaroon", clMaroon}, {"clGreen", clGreen}, {"clOlive", clOlive},
      {"clNavy", clNavy}, {"clPurple", clPurple}, {"clTeal", clTeal}, {"clGray", clGray},
      {"clSilver", clSilver}, {"clRed", clRed}, {"clLime", clLime}, {"clYellow", clYellow},
      {"clBlue", clBlue}, {"clFuchsia", clFuchsia}, {"clAqua", clAqua}, {"clWhite", clWhite},
      {"clBtnFace", clBtnFace}, {"clWindow", clWindow}, {"clWindowText", clWindowText},
      {"clBtnText", clBtnText}, {"clHighlight", clHighlight}, {"clHighlightText", clHighlightText},
      {"clGrayText", clGrayText}, {"clInfoBk", clInfoBk}, {"clNone", clNone}, {"clDefault", clDefault},
  };
  for (const auto& [n, c] : kNames) {
    if (name == n) {
      color = c;
      return true;
    }
  }
  return false;
}

int TFont::Size() const { return -::MulDiv(height_, 72, 96); }
void TFont::SetSize(int points) { SetHeight(-::MulDiv(points, 96, 72)); }

void TFont::Assign(const TFont& other) {
  name_ = other.name_;
  height_ = other.height_;
  color_ = other.color_;
  style_ = other.style_;
  charset_ = other.charset_;
  pixels_per_inch_ = other.pixels_per_inch_;
  Changed();
}

void TFont::SetPixelsPerInch(unsigned dpi) {
  if (dpi == 0 || dpi == pixels_per_inch_) return;
  pixels_per_inch_ = dpi;
  Changed();
}

void TFont::Changed() {
  handle_.reset();
  if (OnChange) OnChange();
}

HFONT TFont::Handle() const {
  if (!handle_) {
    LOGFONTA lf{};
    lf.lfHeight = ScaleToDpi(height_, pixels_per_inch_);
    lf.lfWeight = (style_ & fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (style_ & fsItalic) ? TRUE : FALSE;
    lf.lfUnderline = (style_ & fsUnderline) ? TRUE : FALSE;
    lf.lfStrikeOut = (style_ & fsStrikeOut) ? TRUE : FALSE;
    lf.lfCharSet = charset_;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH;
    ::lstrcpynA(lf.lfFaceName, name_.c_str(), LF_FACESIZE);
    handle_.reset(::CreateFontIndirectA(&lf));
  }
  return handle_.get();
}

TCanvas::~TCanvas() {
  if (old_font_) ::SelectObject(dc_, old_font_);
}

void TCanvas::FillRect(const RECT& rect) {
  if (brush_.Style == TBrushStyle::bsClear) return;
  unique_hbrush brush(::CreateSolidBrush(ColorToRGB(brush_.Color)));
  ::FillRect(dc_, &rect, brush.get());
}

void TCanvas::PrepareText() {
  HGDIOBJ old = ::SelectObject(dc_, font_.Handle());
  if (!old_font_) old_font_ = old;
  ::SetTextColor(dc_, ColorToRGB(font_.Color()));
  if (brush_.Style == TBrushStyle::bsClear) {
    ::SetBkMode(dc_, TRANSPARENT);
  } else {
    ::SetBkMode(dc_, OPAQUE);
    ::SetBkColor(dc_, ColorToRGB(brush_.Color));
  }
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
  PrepareText();
  ::TextOutA(dc_, x, y, text.c_str(), static_cast<int>(text.size()));
}

int TCanvas::TextWidth(const std::string& text) {
  PrepareText();
  SIZE size{};
  ::GetTextExtentPoint32A(dc_, text.c_str(), static_cast<int>(text.size()), &size);
  return size.cx;
}

int TCanvas::TextHeight(const std::string& text) {
  PrepareText();
  SIZE size{};
  ::GetTextExtentPoint32A(dc_, text.c_str(), static_cast<int>(text.size()), &size);
  return size.cy;
}

void TCanvas::Draw(int x, int y, const TBitmap& bitmap) {
  if (bitmap.Empty() || bitmap.DrawFromResource(dc_, x, y)) return;
  ::BitBlt(dc_, x, y, bitmap.Width(), bitmap.Height(), bitmap.DC(), 0, 0, SRCCOPY);
}

void TCanvas::StretchDraw(const RECT& dest, const TBitmap& bitmap) {
  if (bitmap.Empty()) return;
  int old_mode = ::SetStretchBltMode(dc_, COLORONCOLOR);
  ::StretchBlt(dc_, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, bitmap.DC(), 0, 0,
               bitmap.Width(), bitmap.Height(), SRCCOPY);
  ::SetStretchBltMode(dc_, old_mode);
}

void TCanvas::CopyRect(const RECT& dest, const TBitmap& bitmap, const RECT& source) {
  if (bitmap.Empty()) return;
  int dw = dest.right - dest.left, dh = dest.bottom - dest.top;
  int sw = source.right - source.left, sh = source.bottom - source.top;
  if (dw == sw && dh == sh) {
    ::BitBlt(dc_, dest.left, dest.top, dw, dh, bitmap.DC(), source.left, source.top, SRCCOPY);
  } else {
    int old_mode = ::SetStretchBltMode(dc_, COLORONCOLOR);
    ::StretchBlt(dc_, dest.left, dest.top, dw, dh, bitmap.DC(), source.left, source.top, sw, sh, SRCCOPY);
    ::SetStretchBltMode(dc_, old_mode);
  }
}

TBitmap::~TBitmap() { Release(); }

void TBitmap::Release() const {
  if (dc_ && old_bitmap_) ::SelectObject(dc_.get(), old_bitmap_);
  old_bitmap_ = nullptr;
  bitmap_.reset();
  dc_.reset();
  bits_ = nullptr;
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
  if (format == format_) return;
  format_ = format;
  Recreate();
}

void TBitmap::SetSize(int width, int height) {
  if (width == width_ && height == height_) return;
  width_ = width < 0 ? 0 : width;
  height_ = height < 0 ? 0 : height;
  Recreate();
}

void TBitmap::Recreate() {
  pending_ = nullptr;
  resource_name_.clear();
  ++version_;
  MakeSection();
  if (!Empty() && !dc_) {
    width_ = height_ = 0;
    throw Exception("Out of system resources");
  }
}

void TBitmap::MakeSection() const {
  const std::uint8_t* source = pending_;
  pending_ = nullptr;
  Release();
  if (Empty()) return;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width_;
  info.bmiHeader.biHeight = -height_;  // top-down: row 0 first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = format_ == TPixelFormat::pf32bit ? 32 : 24;
  info.bmiHeader.biCompression = BI_RGB;
  scoped_window_dc screen(nullptr);
  dc_.reset(::CreateCompatibleDC(screen.get()));
  bitmap_.reset(::CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits_, nullptr, 0));
  if (!dc_ || !bitmap_) {
    // Without a section the bitmap draws nothing; a caller that made it (Recreate) says why.
    Release();
    return;
  }
  old_bitmap_ = ::SelectObject(dc_.get(), bitmap_.get());
  if (source) {
    const auto* source_info = reinterpret_cast<const BITMAPINFO*>(source + pending_layout_.info_offset);
    ::SetDIBitsToDevice(dc_.get(), 0, 0, width_, height_, 0, 0, 0, height_, source + pending_layout_.bits_offset,
                        source_info, DIB_RGB_COLORS);
  } else {
    std::memset(bits_, 0, static_cast<size_t>(Stride()) * height_);
  }
}

std::ptrdiff_t TBitmap::Stride() const {
  int bpp = format_ == TPixelFormat::pf32bit ? 32 : 24;
  return ((static_cast<std::ptrdiff_t>(width_) * bpp + 31) / 32) * 4;
}

std::uint8_t* TBitmap::ScanLine(int y) const {
  Realize();
  if (!bits_ || y < 0 || y >= height_) return nullptr;
  ::GdiFlush();
  return static_cast<std::uint8_t*>(bits_) + y * Stride();
}

void TBitmap::Assign(const TBitmap& other) {
  if (&other == this) return;
  format_ = other.format_ == TPixelFormat::pf32bit ? TPixelFormat::pf32bit : TPixelFormat::pf24bit;
  width_ = other.width_;
  height_ = other.height_;
  if (other.pending_) {
    // Both read the same resource when they are first drawn.
    Release();
    pending_ = other.pending_;
    pending_layout_ = other.pending_layout_;
    resource_name_ = other.resource_name_;
    ++version_;
    return;
  }
  Recreate();
  if (!Empty()) ::BitBlt(dc_.get(), 0, 0, width_, height_, other.dc_.get(), 0, 0, SRCCOPY);
  resource_name_ = other.resource_name_;
}

void TBitmap::LoadFromBytes(const std::uint8_t* data, size_t size) {
  BitmapFileLayout layout;
  std::string problem = CheckBitmapFile(data, size, layout);
  if (!problem.empty()) throw Exception("Bitmap image is not valid: " + problem);
  format_ = TPixelFormat::pf24bit;
  width_ = layout.width;
  height_ = layout.height < 0 ? -layout.height : layout.height;
  Recreate();
  const auto* info = reinterpret_cast<const BITMAPINFO*>(data + layout.info_offset);
  ::SetDIBitsToDevice(dc_.get(), 0, 0, width_, height_, 0, 0, 0, height_, data + layout.bits_offset, info,
                      DIB_RGB_COLORS);
}

bool TBitmap::DrawFromResource(HDC dc, int x, int y) const {
  if (!pending_) return false;
  const auto* info = reinterpret_cast<const BITMAPINFO*>(pending_ + pending_layout_.info_offset);
  return ::SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(width_), static_cast<DWORD>(height_), 0, 0, 0,
                             static_cast<UINT>(height_), pending_ + pending_layout_.bits_offset, info,
                             DIB_RGB_COLORS) != 0;
}

void TBitmap::LoadFromResource(const std::string& name) {
  HMODULE module = ::GetModuleHandleA(nullptr);
  HRSRC found = ::FindResourceA(module, name.c_str(), MAKEINTRESOURCEA(2) /* RT_BITMAP */);
  HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
  const auto* bytes = static_cast<const std::uint8_t*>(loaded ? ::LockResource(loaded) : nullptr);
  DWORD size = found ? ::SizeofResource(module, found) : 0;
  if (!bytes) throw Exception("Bitmap resource " + name + " not found");
  BitmapFileLayout layout;
  std::string problem = CheckPackedBitmap(bytes, size, layout);
  if (!problem.empty()) throw Exception("Bitmap image is not valid: " + problem);
  Release();
  format_ = TPixelFormat::pf24bit;
  width_ = layout.width;
  height_ = layout.height < 0 ? -layout.height : layout.height;
  pending_ = bytes;
  pending_layout_ = layout;
  resource_name_ = name;
  ++version_;
}

}  // namespace stampwell
