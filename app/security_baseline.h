#pragma once

namespace stampwell {

// Restricts where the process finds libraries and programs: the system folder for every
// library loaded from now on (SetDefaultDllDirectories where Windows has it, otherwise the
// current directory is dropped from the search with SetDllDirectory("")), and safe search
// mode for SearchPath. The first call of the entry point.
void ApplySecurityBaseline();

}  // namespace stampwell
