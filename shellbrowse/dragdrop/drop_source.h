#pragma once
// The drop source of a drag that the shell tree starts with one mouse button.

#include <windows.h>
#include <ole2.h>

#include "framework/events.h"
#include "shellbrowse/dragdrop/com_object.h"

namespace stampwell {

class TDropSource_shlvtv final : public ComObject<IDropSource> {
 public:
  explicit TDropSource_shlvtv(TMouseButton button) noexcept;

  // Cancels on Escape or when another of the three mouse buttons goes down; drops when the drag
  // button is released.
  STDMETHODIMP QueryContinueDrag(BOOL escape_pressed, DWORD key_state) noexcept override;
  STDMETHODIMP GiveFeedback(DWORD effect) noexcept override;

 private:
  DWORD button_mask_;
};

}  // namespace stampwell
