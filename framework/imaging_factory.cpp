#include "framework/imaging_factory.h"

#include <windows.h>
#include <wrl/client.h>

#include <mutex>

#include "framework/system_library.h"
#include "framework/unique_handle.h"

namespace stampwell {

namespace {

class FactoryOwner {
 public:
  IWICImagingFactory* Get() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!factory_) {
      // Our own hold on the library: the owner is released after main has ended COM, which
      // may have let COM unload it; releasing the factory then still finds its code.
      if (!library_) library_ = LoadSystemLibrary("windowscodecs.dll");
      if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_PPV_ARGS(&factory_))))
        factory_.Reset();
    }
    return factory_.Get();
  }

 private:
  std::mutex mutex_;
  // Declared before the factory, so it is freed after it.
  unique_hmodule library_;
  Microsoft::WRL::ComPtr<IWICImagingFactory> factory_;
};

}  // namespace

IWICImagingFactory* ImagingFactory() {
  static FactoryOwner owner;
  return owner.Get();
}

}  // namespace stampwell
