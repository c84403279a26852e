#include "shellbrowse/drop_target.h"

namespace stampwell {
namespace {

HRESULT NoEffect(DWORD* effect) noexcept {
  if (effect) *effect = DROPEFFECT_NONE;
  return S_OK;
}

}  // namespace

STDMETHODIMP TDropTarget_shtv::DragEnter(IDataObject* data, DWORD key_state, POINTL point, DWORD* effect) noexcept {
  return owner_ ? owner_->DragEnter(data, key_state, point, effect) : NoEffect(effect);
}

STDMETHODIMP TDropTarget_shtv::DragOver(DWORD key_state, POINTL point, DWORD* effect) noexcept {
  return owner_ ? owner_->DragOver(key_state, point, effect) : NoEffect(effect);
}

STDMETHODIMP TDropTarget_shtv::DragLeave() noexcept { return owner_ ? owner_->DragLeave() : S_OK; }

STDMETHODIMP TDropTarget_shtv::Drop(IDataObject* data, DWORD key_state, POINTL point, DWORD* effect) noexcept {
  return owner_ ? owner_->Drop(data, key_state, point, effect) : NoEffect(effect);
}

}  // namespace stampwell
