#pragma once
// The drop target registered for the shell tree's window: it hands every call to its owner.

#include <windows.h>
#include <ole2.h>

#include "shellbrowse/dragdrop/com_object.h"

namespace stampwell {

// What the drop target forwards to (the shell tree's own drop handlers), on the user-interface
// thread from the platform's drag loop. An exception stops at the target: the call then fails
// with E_UNEXPECTED and reports no effect.
class DropTargetOwner {
 public:
  virtual HRESULT DragEnter(IDataObject* data, DWORD key_state, POINTL point, DWORD* effect) = 0;
  virtual HRESULT DragOver(DWORD key_state, POINTL point, DWORD* effect) = 0;
  virtual HRESULT DragLeave() = 0;
  virtual HRESULT Drop(IDataObject* data, DWORD key_state, POINTL point, DWORD* effect) = 0;

 protected:
  ~DropTargetOwner() = default;
};

class TDropTarget_shtv final : public ComObject<IDropTarget> {
 public:
  explicit TDropTarget_shtv(DropTargetOwner& owner) noexcept : owner_(&owner) {}

  // The owner goes away while the platform may still hold this target (a drag loop running
  // when the window is revoked): from now on every call reports no effect.
  void Detach() noexcept { owner_ = nullptr; }

  STDMETHODIMP DragEnter(IDataObject* data, DWORD key_state, POINTL point, DWORD* effect) noexcept override;
  STDMETHODIMP DragOver(DWORD key_state, POINTL point, DWORD* effect) noexcept override;
  STDMETHODIMP DragLeave() noexcept override;
  STDMETHODIMP Drop(IDataObject* data, DWORD key_state, POINTL point, DWORD* effect) noexcept override;

 private:
  DropTargetOwner* owner_;
};

}  // namespace stampwell
