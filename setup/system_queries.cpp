#include "setup/system_queries.h"

#include <shlobj.h>

#include <memory>
#include <vector>

#include "framework/system_library.h"
#include "framework/unique_handle.h"
#include "setup/free_space_text.h"
#include "setup/product_title.h"
#include "setup/program_files_path.h"

namespace stampwell {

namespace seams {
GetTokenInformationFn GetTokenInformation = ::GetTokenInformation;
}

bool IsWindows64Bit() {
  HMODULE kernel = ::GetModuleHandleA("KERNEL32.DLL");
  // kernel32 is always mapped; the fallback load resolves to the system folder's copy
  // because the program restricts the library search at start.
  unique_hmodule loaded;
  if (!kernel) {
    loaded.reset(::LoadLibraryA("KERNEL32.DLL"));
    kernel = loaded.get();
  }
  if (!kernel) return false;

  auto is_wow64_process = STAMPWELL_SYSTEM_FUNCTION(kernel, IsWow64Process);
  auto get_native_system_info = STAMPWELL_SYSTEM_FUNCTION(kernel, GetNativeSystemInfo);
  if (!is_wow64_process) return false;

  BOOL wow64 = FALSE;
  if (!is_wow64_process(::GetCurrentProcess(), &wow64) || !wow64 || !get_native_system_info) return false;

  SYSTEM_INFO info{};
  get_native_system_info(&info);
  return info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ||
         info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_IA64;
}

namespace {

unique_handle OpenQueryToken() {
  unique_handle token;
  if (::OpenThreadToken(::GetCurrentThread(), TOKEN_QUERY, TRUE, token.put())) return token;
  if (::GetLastError() != ERROR_NO_TOKEN) return unique_handle();
  if (::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put())) return token;
  return unique_handle();
}

// The token's whole group list. The first call asks for the size, so an account in any
// number of groups is read completely; the list may still grow between the two calls.
std::vector<unsigned char> ReadTokenGroups(HANDLE token) {
  std::vector<unsigned char> buffer(1024);
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD needed = 0;
    if (seams::GetTokenInformation(token, TokenGroups, buffer.data(), static_cast<DWORD>(buffer.size()), &needed))
      return buffer;
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed <= buffer.size()) return {};
    buffer.resize(needed);
  }
  return {};
}

}  // namespace

bool IsUserAdministrator() {
  std::vector<unsigned char> buffer;
  {
    unique_handle token = OpenQueryToken();
    if (!token) return false;
    buffer = ReadTokenGroups(token.get());
  }
  if (buffer.size() < sizeof(TOKEN_GROUPS)) return false;

  SID_IDENTIFIER_AUTHORITY nt_authority = SECURITY_NT_AUTHORITY;
  unique_sid administrators;
  if (!::AllocateAndInitializeSid(&nt_authority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0,
                                  0, 0, 0, administrators.put()))
    return false;

  const auto* groups = reinterpret_cast<const TOKEN_GROUPS*>(buffer.data());
  for (DWORD i = 0; i < groups->GroupCount; ++i) {
    // Attributes are not examined: a deny-only Administrators group still counts.
    if (::EqualSid(groups->Groups[i].Sid, administrators.get())) return true;
  }
  return false;
}

namespace {

// True when the last character, not just the last byte, is a backslash: in double-byte
// code pages a trail byte can have the backslash's value.
bool EndsInBackslashCharacter(const std::string& text) {
  size_t last = std::string::npos;
  for (size_t i = 0; i < text.size(); ++i) {
    last = i;
    if (::IsDBCSLeadByte(static_cast<BYTE>(text[i])) && i + 1 < text.size()) ++i;
  }
  return last != std::string::npos && text[last] == '\\';
}

std::string SpecialFolderPathOf(int csidl) {
  unique_cotaskmem pidl;
  if (FAILED(::SHGetSpecialFolderLocation(WizardWindow(), csidl,
                                          reinterpret_cast<PIDLIST_ABSOLUTE*>(pidl.put()))) ||
      !pidl)
    return {};
  char path[MAX_PATH] = {};
  if (!::SHGetPathFromIDListA(static_cast<PCIDLIST_ABSOLUTE>(pidl.get()), path)) return {};
  std::string result = path;
  // Windows answers without a trailing backslash except for a drive root; Wine answers
  // "...\Documents\" where it links the folder to the Unix home. Callers append
  // "\name", so the documented shape is kept on every host.
  if (result.size() > 3 && EndsInBackslashCharacter(result)) result.pop_back();
  return result;
}

}  // namespace

std::string GetSpecialFolderPath(int csidl) { return SpecialFolderPathOf(csidl); }

std::string GetProgramFilesPath() {
  char windows_dir[250] = {};
  UINT length = ::GetWindowsDirectoryA(windows_dir, sizeof windows_dir);
  if (length >= sizeof windows_dir) length = 0;
  return ProgramFilesPathFromWindowsDir(std::string(windows_dir, length));
}

std::string GetProgramsFolder() {
  unique_cotaskmem pidl;
  if (FAILED(::SHGetSpecialFolderLocation(WizardWindow(), CSIDL_PROGRAMS,
                                          reinterpret_cast<PIDLIST_ABSOLUTE*>(pidl.put()))) ||
      !pidl)
    return {};
  char path[260] = {};
  ::SHGetPathFromIDListA(static_cast<PCIDLIST_ABSOLUTE>(pidl.get()), path);
  return std::string(path) + "\\";
}

std::string GetFreeSpaceText(const std::string& path) {
  std::optional<std::string> root = FreeSpaceDriveRoot(path);
  if (!root) return {};
  ULARGE_INTEGER available{};
  int64_t free_bytes = -1;
  // No drive-not-ready dialog for an empty removable drive.
  UINT old_mode = ::SetErrorMode(SEM_FAILCRITICALERRORS);
  if (::GetDiskFreeSpaceExA(root->c_str(), &available, nullptr, nullptr))
    free_bytes = static_cast<int64_t>(available.QuadPart);
  ::SetErrorMode(old_mode);
  return FreeSpaceTextFromBytes(free_bytes);
}

}  // namespace stampwell
