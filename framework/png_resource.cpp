#include "framework/png_resource.h"

#include <windows.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <cstring>
#include <new>

#include "framework/exception.h"
#include "framework/graphics.h"
#include "framework/imaging_factory.h"

namespace stampwell {

using Microsoft::WRL::ComPtr;

namespace {

// COM for the span of one reading, on a thread that has not started it. The setup program's
// window thread has (main starts OLE); the start-up worker has not, as it needs none for the
// pictures that the generators write; a test may not.
class ScopedComIfNeeded {
 public:
  ScopedComIfNeeded() {
    HRESULT hr = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    // S_FALSE: already started here, still to be balanced. RPC_E_CHANGED_MODE: started in the
    // other model, which serves as well; nothing to balance.
    started_ = SUCCEEDED(hr);
  }
  ScopedComIfNeeded(const ScopedComIfNeeded&) = delete;
  ScopedComIfNeeded& operator=(const ScopedComIfNeeded&) = delete;
  ~ScopedComIfNeeded() {
    if (started_) ::CoUninitialize();
  }

 private:
  bool started_ = false;
};

struct Resource {
  const std::uint8_t* bytes = nullptr;
  DWORD size = 0;
};

Resource FindPng(const std::string& name) {
  HMODULE module = ::GetModuleHandleA(nullptr);
  HRSRC found = ::FindResourceA(module, name.c_str(), MAKEINTRESOURCEA(10) /* RT_RCDATA */);
  HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
  const auto* bytes = static_cast<const std::uint8_t*>(loaded ? ::LockResource(loaded) : nullptr);
  if (!bytes) return {};
  return {bytes, ::SizeofResource(module, found)};
}

bool ReadWithImagingComponent(const std::uint8_t* bytes, std::size_t size, BgrPicture& picture) {
  IWICImagingFactory* factory = ImagingFactory();
  if (!factory) return false;
  ComPtr<IWICStream> stream;
  if (FAILED(factory->CreateStream(&stream))) return false;
  // The stream only reads: the bytes stay as they are.
  if (FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(bytes), static_cast<DWORD>(size)))) return false;
  ComPtr<IWICBitmapDecoder> decoder;
  if (FAILED(factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand, &decoder)))
    return false;
  ComPtr<IWICBitmapFrameDecode> frame;
  if (FAILED(decoder->GetFrame(0, &frame))) return false;
  ComPtr<IWICFormatConverter> converter;
  if (FAILED(factory->CreateFormatConverter(&converter))) return false;
  if (FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat24bppBGR, WICBitmapDitherTypeNone, nullptr, 0.0,
                                   WICBitmapPaletteTypeCustom)))
    return false;
  UINT width = 0, height = 0;
  constexpr UINT kMaxSide = kMaxPngSide;
  if (FAILED(converter->GetSize(&width, &height)) || width == 0 || height == 0 || width > kMaxSide || height > kMaxSide)
    return false;

  const UINT stride = width * 3;
  picture.rows.resize(static_cast<size_t>(stride) * height);
  if (FAILED(converter->CopyPixels(nullptr, stride, stride * height, picture.rows.data()))) return false;
  picture.width = static_cast<int>(width);
  picture.height = static_cast<int>(height);
  return true;
}

}  // namespace

bool DecodePngWithImagingComponent(const std::uint8_t* bytes, std::size_t size, BgrPicture& picture) {
  picture = BgrPicture{};
  ScopedComIfNeeded com;
  try {
    if (ReadWithImagingComponent(bytes, size, picture)) return true;
  } catch (const std::bad_alloc&) {
    // No room for the pixels: as unreadable.
  }
  picture = BgrPicture{};
  return false;
}

bool DecodePngResource(const std::string& name, BgrPicture& picture) {
  picture = BgrPicture{};
  const Resource png = FindPng(name);
  if (!png.bytes) return false;
  return DecodeRgbPng(png.bytes, png.size, picture) || DecodePngWithImagingComponent(png.bytes, png.size, picture);
}

void CopyBgrPicture(const BgrPicture& picture, TBitmap& bitmap) {
  bitmap.SetPixelFormat(TPixelFormat::pf24bit);
  bitmap.SetSize(picture.width, picture.height);
  const size_t row_bytes = static_cast<size_t>(picture.width) * 3;
  for (int y = 0; y < picture.height; ++y) {
    std::uint8_t* row = bitmap.ScanLine(y);
    if (!row) return;
    std::memcpy(row, picture.rows.data() + row_bytes * static_cast<size_t>(y), row_bytes);
  }
}

bool LoadPngResource(TBitmap& bitmap, const std::string& name) {
  if (!FindPng(name).bytes) return false;
  BgrPicture picture;
  try {
    if (DecodePngResource(name, picture)) {
      CopyBgrPicture(picture, bitmap);
      return true;
    }
  } catch (const Exception&) {
    // No room for the section: as unreadable.
  }
  bitmap.SetSize(0, 0);
  return false;
}

}  // namespace stampwell
