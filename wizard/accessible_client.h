#pragma once
// An IAccessible for a window's client area whose children are the elements that an
// AccessibleSource lists (simple elements: child ids 1 to N, no objects of their own). The
// window returns it from WM_GETOBJECT for OBJID_CLIENT.

#include <windows.h>
#include <oleacc.h>

#include <memory>

#include "wizard/accessible_elements.h"

namespace stampwell::wizard {

// A new object with one reference, for LresultFromObject; null when out of memory.
IAccessible* NewAccessibleClient(std::shared_ptr<AccessibleSource> source);

}  // namespace stampwell::wizard
