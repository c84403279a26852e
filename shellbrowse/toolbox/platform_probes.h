#pragma once
// Probes of the running system: the OS family, file versions, the common controls' version,
// network drives, and the shell's cache of drives.

#include <windows.h>

#include <cstdint>
#include <string>

namespace stampwell {

// True on the NT family (platform id 2 of the OS version record read at start).
bool IsWinNT() noexcept;

// The fixed file version (most significant 32 bits = major * 65536 + minor) of the module file
// at `path`; false when the file has no readable version record.
bool GetFileVersion(const std::string& path, std::uint64_t& version);

// The file version of the common controls library that this process uses (the loaded one, else
// the system folder's); 0 when it cannot be read. Read once and kept.
std::uint64_t ComCtlVersion();

// Whether the network drive `letter` is connected. True when the network API is not there, so
// that a drive is never hidden for want of an answer.
bool IsNetDriveConnected(char letter) noexcept;

// 0 not yet known, 1 unavailable, 2 available.
int NetworkApiState() noexcept;

// Makes the shell drop its cached drive list (My Computer validated), unless a DrivesCacheLock
// is held; true when it did. Raises when My Computer cannot be reached.
bool ValidateDrivesCache();

// Held by callers while they refresh, so that nested validations are skipped.
class DrivesCacheLock {
 public:
  DrivesCacheLock() noexcept;
  DrivesCacheLock(const DrivesCacheLock&) = delete;
  DrivesCacheLock& operator=(const DrivesCacheLock&) = delete;
  ~DrivesCacheLock();
};

// Read at subsystem start; released at its end.
void ReadOsVersion() noexcept;
void UnloadNetworkLibrary() noexcept;

}  // namespace stampwell
