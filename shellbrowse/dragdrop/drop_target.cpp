#include "shellbrowse/dragdrop/drop_target.h"

namespace stampwell {
namespace {

HRESULT NoEffect(DWORD* effect, HRESULT result) noexcept {
  if (effect) *effect = DROPEFFECT_NONE;
  return result;
}

// Runs one of the owner's handlers; no exception crosses into the platform's drag loop.
template <typename Call>
HRESULT Forward(DropTargetOwner* owner, DWORD* effect, Call call) noexcept {
  if (!owner) return NoEffect(effect, S_OK);
  try {
    return call(*owner);
  } catch (...) {
    return NoEffect(effect, E_UNEXPECTED);
  }
}

}  // namespace

STDMETHODIMP TDropTarget_shtv::DragEnter(IDataObject* data, DWORD key_state, POINTL point, DWORD* effect) noexcept {
  return Forward(owner_, effect, [&](DropTargetOwner& owner) { return owner.DragEnter(data, key_state, point, effect); });
}

STDMETHODIMP TDropTarget_shtv::DragOver(DWORD key_state, POINTL point, DWORD* effect) noexcept {
  return Forward(owner_, effect, [&](DropTargetOwner& owner) { return owner.DragOver(key_state, point, effect); });
}

STDMETHODIMP TDropTarget_shtv::DragLeave() noexcept {
  return Forward(owner_, nullptr, [](DropTargetOwner& owner) { return owner.DragLeave(); });
}

STDMETHODIMP TDropTarget_shtv::Drop(IDataObject* data, DWORD key_state, POINTL point, DWORD* effect) noexcept {
  return Forward(owner_, effect, [&](DropTargetOwner& owner) { return owner.Drop(data, key_state, point, effect); });
}

}  // namespace stampwell
