#pragma once
// Start and end of the shell-browser subsystem's process-wide state.
//
// Start (before any of its windows exists): COM for this thread, the shell's allocator, the OS
// version, the common controls' version, the default keys, OLE and the drag-and-drop values.
// End: the Send To list and the other lists, what the other pieces registered (OLE among them),
// the network library, COM.

namespace stampwell {

// False when COM could not be initialised; the rest is still set up.
bool ShellToolboxStart();
void ShellToolboxEnd() noexcept;

// A piece of the subsystem (the device-change dispatcher, for one) that frees its process-wide
// state at the end; called in the reverse order of registration.
void AddShellToolboxCleanup(void (*cleanup)() noexcept);

}  // namespace stampwell
