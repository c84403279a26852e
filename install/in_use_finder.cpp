#include "install/in_use_finder.h"

#include <windows.h>
#include <restartmanager.h>
#include <tlhelp32.h>

#include <memory>

#include "framework/system_library.h"
#include "framework/unique_handle.h"

namespace stampwell {
namespace {

std::wstring Wide(const std::string& ansi) {
  if (ansi.empty()) return {};
  int size = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
  if (size > 0) MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), size);
  return wide;
}

std::string Ansi(const std::wstring& wide) {
  if (wide.empty()) return {};
  int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string ansi(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
  if (size > 0)
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), ansi.data(), size, nullptr, nullptr);
  return ansi;
}

// Whether `path` lies below `folder` (which ends in a backslash), letter case aside as the
// file system sets it aside.
bool LiesIn(const std::wstring& path, const std::wstring& folder) {
  if (path.size() <= folder.size()) return false;
  return CompareStringOrdinal(path.data(), static_cast<int>(folder.size()), folder.data(),
                              static_cast<int>(folder.size()), TRUE) == CSTR_EQUAL;
}

std::vector<std::string> ProgramsRunningFrom(const std::wstring& folder) {
  std::vector<std::string> programs;
  unique_file snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return programs;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  const DWORD self = GetCurrentProcessId();
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
    if (entry.th32ProcessID == self || entry.th32ProcessID == 0) continue;
    // Limited information is granted for processes of other users and elevations too, and
    // its image name is a Win32 path for 64-bit processes as well.
    unique_handle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID));
    if (!process) continue;
    wchar_t image[MAX_PATH * 4] = {};
    DWORD length = MAX_PATH * 4;
    if (!QueryFullProcessImageNameW(process.get(), 0, image, &length)) continue;
    std::wstring path(image, length);
    if (LiesIn(path, folder)) programs.push_back(Ansi(path));
  }
  return programs;
}

// Opened as the run opens a file to replace it: for writing, shared with nobody. Only a
// holder makes it fail so; a file that is read-only or denied to the user is not in use, and
// the run's own failure names that case.
bool HeldOpen(const std::string& path) {
  unique_file file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file) return false;
  const DWORD error = GetLastError();
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_USER_MAPPED_FILE;
}

// The Restart Manager's names for the applications that hold `paths`; none where it is
// missing or cannot tell.
std::vector<std::string> RestartManagerHolders(const std::vector<std::string>& paths) {
  std::vector<std::string> names;
  unique_hmodule library = LoadSystemLibrary("rstrtmgr.dll");
  auto start = STAMPWELL_SYSTEM_FUNCTION(library.get(), RmStartSession);
  auto add = STAMPWELL_SYSTEM_FUNCTION(library.get(), RmRegisterResources);
  auto list = STAMPWELL_SYSTEM_FUNCTION(library.get(), RmGetList);
  auto end = STAMPWELL_SYSTEM_FUNCTION(library.get(), RmEndSession);
  if (!start || !add || !list || !end) return names;
  DWORD session = 0;
  WCHAR key[CCH_RM_SESSION_KEY + 1] = {};
  if (start(&session, 0, key) != ERROR_SUCCESS) return names;
  struct SessionEnd {
    decltype(end) call;
    DWORD session;
    ~SessionEnd() { call(session); }
  } session_end{end, session};

  std::vector<std::wstring> wide;
  for (const std::string& path : paths) wide.push_back(Wide(path));
  std::vector<LPCWSTR> pointers;
  for (const std::wstring& path : wide) pointers.push_back(path.c_str());
  if (add(session, static_cast<UINT>(pointers.size()), pointers.data(), 0, nullptr, 0, nullptr) != ERROR_SUCCESS)
    return names;
  std::vector<RM_PROCESS_INFO> apps(8);
  for (int attempt = 0; attempt < 3; ++attempt) {
    UINT needed = 0, count = static_cast<UINT>(apps.size());
    DWORD reasons = 0;
    DWORD result = list(session, &needed, &count, apps.data(), &reasons);
    if (result == ERROR_MORE_DATA) {
      apps.resize(needed + 4);
      continue;
    }
    if (result != ERROR_SUCCESS) return names;
    const DWORD self = GetCurrentProcessId();
    for (UINT i = 0; i < count; ++i)
      if (apps[i].Process.dwProcessId != self && apps[i].strAppName[0]) names.push_back(Ansi(apps[i].strAppName));
    break;
  }
  return names;
}

}  // namespace

FilesInUse FindFilesInUse(const std::string& install_dir, const std::vector<std::string>& files) {
  FilesInUse in_use;
  std::wstring folder = Wide(install_dir);
  if (folder.empty()) return in_use;
  if (folder.back() != L'\\') folder += L'\\';
  // Nothing runs from, and nothing holds a file of, a folder that does not exist: a fresh
  // installation costs no look at every process.
  const DWORD attributes = GetFileAttributesW(folder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return in_use;

  in_use.programs = ProgramsRunningFrom(folder);
  for (const std::string& file : files)
    if (HeldOpen(file)) in_use.files.push_back(file);
  if (!in_use.empty()) {
    std::vector<std::string> held = in_use.programs;
    held.insert(held.end(), in_use.files.begin(), in_use.files.end());
    in_use.holders = RestartManagerHolders(held);
  }
  return in_use;
}

}  // namespace stampwell
