#include "shellbrowse/dragdrop/drop_source.h"

namespace stampwell {
namespace {

constexpr DWORD kMouseButtons = MK_LBUTTON | MK_RBUTTON | MK_MBUTTON;

DWORD ButtonMask(TMouseButton button) noexcept {
  switch (button) {
    case TMouseButton::mbRight: return MK_RBUTTON;
    case TMouseButton::mbMiddle: return MK_MBUTTON;
    case TMouseButton::mbLeft: break;
  }
  return MK_LBUTTON;
}

}  // namespace

TDropSource_shlvtv::TDropSource_shlvtv(TMouseButton button) noexcept : button_mask_(ButtonMask(button)) {}

STDMETHODIMP TDropSource_shlvtv::QueryContinueDrag(BOOL escape_pressed, DWORD key_state) noexcept {
  if (escape_pressed || (key_state & kMouseButtons & ~button_mask_)) return DRAGDROP_S_CANCEL;
  if (!(key_state & button_mask_)) return DRAGDROP_S_DROP;
  return S_OK;
}

STDMETHODIMP TDropSource_shlvtv::GiveFeedback(DWORD) noexcept { return DRAGDROP_S_USEDEFAULTCURSORS; }

}  // namespace stampwell
