#include "framework/png_resource.h"

#include <windows.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <cstdint>

#include "framework/exception.h"
#include "framework/graphics.h"

namespace stampwell {

using Microsoft::WRL::ComPtr;

namespace {

// COM for the span of one reading, on a thread that has not started it. The setup program's
// window thread has (main starts OLE); a test or a worker thread may not.
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

bool Decode(const std::uint8_t* bytes, DWORD size, TBitmap& bitmap) {
  ComPtr<IWICImagingFactory> factory;
  if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory))))
    return false;
  ComPtr<IWICStream> stream;
  if (FAILED(factory->CreateStream(&stream))) return false;
  // The stream only reads: the resource stays as it is.
  if (FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(bytes), size))) return false;
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
  if (FAILED(converter->GetSize(&width, &height)) || width == 0 || height == 0 || width > 0x4000 || height > 0x4000)
    return false;

  bitmap.SetPixelFormat(TPixelFormat::pf24bit);
  bitmap.SetSize(static_cast<int>(width), static_cast<int>(height));
  std::uint8_t* pixels = bitmap.ScanLine(0);
  const auto stride = static_cast<UINT>(bitmap.Stride());
  return pixels && SUCCEEDED(converter->CopyPixels(nullptr, stride, stride * height, pixels));
}

}  // namespace

bool LoadPngResource(TBitmap& bitmap, const std::string& name) {
  HMODULE module = ::GetModuleHandleA(nullptr);
  HRSRC found = ::FindResourceA(module, name.c_str(), MAKEINTRESOURCEA(10) /* RT_RCDATA */);
  HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
  const auto* bytes = static_cast<const std::uint8_t*>(loaded ? ::LockResource(loaded) : nullptr);
  if (!bytes) return false;
  ScopedComIfNeeded com;
  try {
    if (Decode(bytes, ::SizeofResource(module, found), bitmap)) return true;
  } catch (const Exception&) {
    // No room for the section: as unreadable.
  }
  bitmap.SetSize(0, 0);
  return false;
}

}  // namespace stampwell
