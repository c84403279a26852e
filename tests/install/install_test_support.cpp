#include "tests/install/install_test_support.h"

#include <objidl.h>
#include <shlobj.h>
#include <wrl/client.h>

#include "framework/unique_handle.h"
#include "install/shell_link.h"
#include "setup/system_queries.h"
#include "tests/install/win32_test_support.h"

namespace stampwell::testing {

void RecordingWindow::ProcessMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

LinkInfo ReadLink(const std::string& link_file) {
  LinkInfo info;
  Microsoft::WRL::ComPtr<IShellLinkA> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(link.GetAddressOf()))))
    return info;
  Microsoft::WRL::ComPtr<IPersistFile> file;
  if (FAILED(link.As(&file)) || FAILED(file->Load(WidePath(link_file).c_str(), STGM_READ))) return info;
  info.loaded = true;
  char text[MAX_PATH * 2] = {};
  if (SUCCEEDED(link->GetPath(text, sizeof text, nullptr, SLGP_RAWPATH))) info.path = text;
  text[0] = 0;
  if (SUCCEEDED(link->GetWorkingDirectory(text, sizeof text))) info.working_directory = text;
  text[0] = 0;
  if (SUCCEEDED(link->GetArguments(text, sizeof text))) info.arguments = text;
  text[0] = 0;
  if (SUCCEEDED(link->GetDescription(text, sizeof text))) info.description = text;
  text[0] = 0;
  if (SUCCEEDED(link->GetIconLocation(text, sizeof text, &info.icon_index))) info.icon = text;
  return info;
}

std::string DesktopLinkFile() {
  return GetSpecialFolderPath(CSIDL_DESKTOPDIRECTORY) + "\\" + kProductName + ".lnk";
}

std::string StartMenuGroupFolder() {
  return GetProgramsFolder() + kPublisherName + "\\" + kProductName;
}

void RemoveInstallationTraces() {
  DeleteFileA(DesktopLinkFile().c_str());
  RemoveTree(StartMenuGroupFolder());
  std::string publisher = GetProgramsFolder() + kPublisherName;
  SetFileAttributesA(publisher.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileA(publisher.c_str());
  RemoveDirectoryA(publisher.c_str());
  RemoveTree(GetSpecialFolderPath(CSIDL_PERSONAL) + "\\" + kPublisherName);
  RegDeleteKeyA(HKEY_CURRENT_USER, kUninstallKeyPath);
}

bool ReadEntryValue(const std::string& name, std::string& data) {
  char buffer[2048];
  DWORD size = sizeof buffer;
  if (RegGetValueA(HKEY_CURRENT_USER, kUninstallKeyPath, name.c_str(), RRF_RT_REG_SZ, nullptr, buffer, &size) !=
      ERROR_SUCCESS)
    return false;
  data = buffer;
  return true;
}

namespace {

void Walk(const std::string& folder, const std::string& relative, std::map<std::string, std::string>& tree) {
  WIN32_FIND_DATAA found{};
  unique_find search(FindFirstFileA((folder + relative + "*").c_str(), &found));
  if (!search) return;
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      tree[relative + name + "\\"] = "<folder>";
      Walk(folder, relative + name + "\\", tree);
    } else {
      tree[relative + name] = ReadWholeFile(folder + relative + name);
    }
  } while (FindNextFileA(search.get(), &found));
}

}  // namespace

std::map<std::string, std::string> Tree(const std::string& folder) {
  std::map<std::string, std::string> tree;
  Walk(folder, "", tree);
  return tree;
}

bool SplitCrLfLines(const std::string& text, std::vector<std::string>& lines) {
  lines.clear();
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) return false;
    std::string line = text.substr(start, end - start);
    if (line.find_first_of("\r\n") != std::string::npos) return false;
    lines.push_back(line);
    start = end + 2;
  }
  return true;
}

}  // namespace stampwell::testing
