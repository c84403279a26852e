#pragma once
// The drop effects that the shell items of a data object allow.

#include <windows.h>
#include <objidl.h>

namespace stampwell {

// Copy, move and link (7) narrowed to what every item of the data object's "Shell IDList
// Array" allows (SFGAO_CANCOPY, SFGAO_CANMOVE and SFGAO_CANLINK equal the drop effects 1, 2
// and 4); 7 when the data object offers no such block. Raises (ToolboxError with the system's
// message) when the block is malformed, its parent folder cannot be bound or the attributes
// cannot be read.
DWORD GetDataEffects(IDataObject* data);

}  // namespace stampwell
