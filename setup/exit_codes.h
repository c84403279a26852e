#pragma once
// The setup program's exit codes. Deployment tools (Intune, Configuration Manager, winget)
// read them as they read an MSI package's, so the shared meanings keep the MSI numbers.
// Portable: no Windows types.

namespace stampwell {

inline constexpr int kExitInstalled = 0;
// ERROR_INVALID_PARAMETER: a switch that the program does not know, or a bad value.
inline constexpr int kExitBadCommandLine = 87;
// ERROR_INSTALL_USEREXIT: the user ended the setup before the product was installed.
inline constexpr int kExitCancelled = 1602;
// ERROR_INSTALL_FAILURE: the installation did not complete.
inline constexpr int kExitFailed = 1603;
// ERROR_INSTALL_ALREADY_RUNNING: another setup of this product is running; retry later.
inline constexpr int kExitAnotherSetupRunning = 1618;
// ERROR_SHARING_VIOLATION: the product itself is running and a silent setup does not close it.
inline constexpr int kExitProductRunning = 32;

}  // namespace stampwell
