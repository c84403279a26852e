#include "shellbrowse/toolbox/platform_probes.h"

#include <lm.h>
#include <shlobj.h>
#include <wrl/client.h>

#include <vector>

#include "framework/system_library.h"
#include "shellbrowse/toolbox/shell_error.h"
#include "shellbrowse/toolbox/shell_id_list.h"

using Microsoft::WRL::ComPtr;

namespace stampwell {
namespace {

OSVERSIONINFOA g_os_version{};
bool g_os_version_read = false;

int g_drives_lock = 0;

struct NetworkApi {
  int state = 0;
  unique_hmodule library;
  decltype(&::NetUseGetInfo) use_get_info = nullptr;
  decltype(&::NetApiBufferFree) buffer_free = nullptr;
};
NetworkApi& Network() {
  static NetworkApi api;
  return api;
}

}  // namespace

void ReadOsVersion() noexcept {
  g_os_version = {};
  g_os_version.dwOSVersionInfoSize = sizeof g_os_version;
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
  g_os_version_read = GetVersionExA(&g_os_version) != FALSE;
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
}

bool IsWinNT() noexcept {
  if (!g_os_version_read) ReadOsVersion();
  return g_os_version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

bool GetFileVersion(const std::string& path, std::uint64_t& version) {
  version = 0;
  unique_hmodule library = LoadSystemLibrary("version.dll");
  if (!library) return false;
  auto size_of = STAMPWELL_SYSTEM_FUNCTION(library.get(), GetFileVersionInfoSizeA);
  auto info_of = STAMPWELL_SYSTEM_FUNCTION(library.get(), GetFileVersionInfoA);
  auto query = STAMPWELL_SYSTEM_FUNCTION(library.get(), VerQueryValueA);
  if (!size_of || !info_of || !query) return false;
  DWORD handle = 0;
  DWORD size = size_of(path.c_str(), &handle);
  if (size == 0) return false;
  std::vector<unsigned char> block(size);
  if (!info_of(path.c_str(), 0, size, block.data())) return false;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!query(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length) || !fixed ||
      length < sizeof(VS_FIXEDFILEINFO))
    return false;
  version = (static_cast<std::uint64_t>(fixed->dwFileVersionMS) << 32) | fixed->dwFileVersionLS;
  return true;
}

std::uint64_t ComCtlVersion() {
  static const std::uint64_t version = [] {
    // The process may use a side-by-side copy; its own file tells its version.
    char path[MAX_PATH] = {};
    HMODULE loaded = GetModuleHandleA("comctl32.dll");
    std::string file = loaded && GetModuleFileNameA(loaded, path, MAX_PATH)
        ? std::string(path) : SystemDirectory() + "\\comctl32.dll";
    std::uint64_t v = 0;
    return GetFileVersion(file, v) ? v : std::uint64_t{0};
  }();
  return version;
}

int NetworkApiState() noexcept { return Network().state; }

bool IsNetDriveConnected(char letter) noexcept {
  NetworkApi& api = Network();
  if (api.state == 0) {
    api.library = LoadSystemLibrary("netapi32.dll");
    if (api.library) {
      api.use_get_info = STAMPWELL_SYSTEM_FUNCTION(api.library.get(), NetUseGetInfo);
      api.buffer_free = STAMPWELL_SYSTEM_FUNCTION(api.library.get(), NetApiBufferFree);
    }
    api.state = (api.use_get_info && api.buffer_free) ? 2 : 1;
    if (api.state == 1) api.library.reset();
  }
  if (api.state != 2) return true;
  wchar_t use_name[] = {static_cast<wchar_t>(static_cast<unsigned char>(letter)), L':', 0};
  LPBYTE buffer = nullptr;
  DWORD status = api.use_get_info(nullptr, use_name, 1, &buffer);
  bool connected = status == NERR_Success && buffer &&
                   reinterpret_cast<USE_INFO_1*>(buffer)->ui1_status == USE_OK;
  if (buffer) api.buffer_free(buffer);
  return connected;
}

void UnloadNetworkLibrary() noexcept {
  NetworkApi& api = Network();
  api.use_get_info = nullptr;
  api.buffer_free = nullptr;
  api.library.reset();
  api.state = 0;
}

DrivesCacheLock::DrivesCacheLock() noexcept { ++g_drives_lock; }
DrivesCacheLock::~DrivesCacheLock() { --g_drives_lock; }

bool ValidateDrivesCache() {
  if (g_drives_lock > 0) return false;
  unique_idlist drives;
  CheckOle(SpecialFolderIdList(nullptr, CSIDL_DRIVES, drives));
  ComPtr<IShellFolder> folder;
  CheckOle(BindToFolder(drives.get(), folder));
  SFGAOF attributes = SFGAO_VALIDATE;
  folder->GetAttributesOf(0, nullptr, &attributes);
  return true;
}

}  // namespace stampwell
