#include "wizard/oleacc_library.h"

#include "framework/system_library.h"

namespace stampwell::wizard {

namespace {

HMODULE Oleacc() noexcept {
  // Loaded once, released with the process (see the header).
  static const HMODULE module = LoadSystemLibrary("oleacc.dll").release();
  return module;
}

}  // namespace

LRESULT AccessibleResult(REFIID iid, WPARAM wparam, IUnknown* object) noexcept {
  auto result_from_object = STAMPWELL_SYSTEM_FUNCTION(Oleacc(), LresultFromObject);
  return result_from_object ? result_from_object(iid, wparam, object) : 0;
}

HRESULT StdAccessibleObject(HWND window, LONG object_id, REFIID iid, void** out) noexcept {
  *out = nullptr;
  auto create = STAMPWELL_SYSTEM_FUNCTION(Oleacc(), CreateStdAccessibleObject);
  return create ? create(window, object_id, iid, out) : E_FAIL;
}

}  // namespace stampwell::wizard
