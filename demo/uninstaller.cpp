// unin00000.exe: removes an installation of the product as its uninstall log describes it.
//
//   unin00000.exe            asks first, then removes, then says what it could not remove
//   unin00000.exe /quiet     no questions and no messages; the exit code says how it went
//                            (0 everything removed, 1 nothing done, 2 something left)
//
// It reads "Uninstall.txt" beside itself, deletes the files the log lists, then the folders
// below its own folder that are left empty (listed or not), the "<DIR>" and "<SDIR>" folders
// when they are empty, and the per-user uninstall entry. What it keeps, it names.
// A running program cannot delete its own file, so it hands that last step to a copy of
// itself in the temporary folder, which waits until this process has ended.
#include <windows.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "demo/uninstall_plan.h"
#include "framework/unique_handle.h"

namespace stampwell::demo {
namespace {

constexpr char kTitle[] = "Quendra Stampwell Uninstall";
constexpr char kProduct[] = "Quendra Stampwell";
constexpr char kKeyPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\QuendraStampwell";
constexpr int kExitDone = 0, kExitNothingDone = 1, kExitSomethingLeft = 2;

std::string ErrorText(DWORD code) {
  char* buffer = nullptr;
  DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
      reinterpret_cast<char*>(&buffer), 0, nullptr);
  unique_hlocal owner(buffer);
  std::string text(buffer ? buffer : "", buffer ? length : 0);
  while (!text.empty() && (static_cast<unsigned char>(text.back()) <= ' ' || text.back() == '.')) text.pop_back();
  return text.empty() ? "error " + std::to_string(code) : text;
}

std::string ModulePath() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool ReadFileText(const std::string& path, std::string& text) {
  unique_file file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return false;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > (16 << 20)) return false;
  text.resize(static_cast<std::size_t>(size.QuadPart));
  DWORD read = 0;
  return text.empty() || (ReadFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &read, nullptr) &&
                          read == text.size());
}

// Deletes a listed file. A file that is already gone counts as removed.
bool RemoveFile(const std::string& path, std::string& problem) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return true;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    problem = "it is a folder, not a file";
    return false;
  }
  if (attributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  if (DeleteFileA(path.c_str()) || !Exists(path)) return true;
  problem = ErrorText(GetLastError());
  return false;
}

constexpr char kKeptNotEmpty[] = "kept, because it holds files that were not installed with the program";

// Removes a listed folder when it is empty; a folder that still holds files is left.
bool RemoveEmptyFolder(const std::string& path, std::string& problem) {
  if (!Exists(path)) return true;
  if (RemoveDirectoryA(path.c_str()) || !Exists(path)) return true;
  DWORD error = GetLastError();
  problem = error == ERROR_DIR_NOT_EMPTY ? kKeptNotEmpty : ErrorText(error);
  return false;
}

// The names in a folder, "." and ".." left out; `folders` gets the subfolders that are real
// folders (a link to a folder elsewhere is only a name here: nothing behind it is touched).
std::vector<std::string> FolderContents(const std::string& folder, std::vector<std::string>* folders = nullptr) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found{};
  unique_find search(FindFirstFileA((folder + "\\*").c_str(), &found));
  if (!search) return names;
  do {
    std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    names.push_back(name);
    if (folders && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
        !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
      folders->push_back(folder + "\\" + name);
  } while (FindNextFileA(search.get(), &found));
  return names;
}

// The installation makes folders that its log never names ("Example\User"). Below the
// installation folder, every folder that the removal has left empty goes, deepest first;
// RemoveDirectory takes only empty ones, so nothing that someone else put there is lost.
// `kept` gets the folders that stay because they still hold something.
void RemoveEmptyFoldersBelow(const std::string& folder, std::vector<std::string>& kept) {
  std::vector<std::string> subfolders;
  FolderContents(folder, &subfolders);
  for (const auto& subfolder : subfolders) {
    RemoveEmptyFoldersBelow(subfolder, kept);
    if (!RemoveDirectoryA(subfolder.c_str()) && Exists(subfolder)) kept.push_back(subfolder);
  }
}

// The entry names where the product is installed; another installation's entry is not ours.
bool RemoveUninstallEntry(const std::string& install_dir, std::string& problem) {
  unique_hkey key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kKeyPath, 0, KEY_READ, key.put()) != ERROR_SUCCESS) return true;
  char location[MAX_PATH * 2] = {};
  DWORD size = sizeof location - 1, type = 0;
  if (RegQueryValueExA(key.get(), "InstallLocation", nullptr, &type, reinterpret_cast<BYTE*>(location), &size) ==
          ERROR_SUCCESS &&
      type == REG_SZ) {
    std::string listed(location);
    while (!listed.empty() && listed.back() == '\\') listed.pop_back();
    if (!SamePath(listed, install_dir)) return true;
  }
  key.reset();
  LSTATUS status = RegDeleteKeyA(HKEY_CURRENT_USER, kKeyPath);
  if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) return true;
  problem = ErrorText(static_cast<DWORD>(status));
  return false;
}

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

// Starts a copy of this program in the temporary folder that waits for this process to end,
// then deletes this program's file and the given folders when they are empty.
bool StartSelfRemoval(const std::string& self, const std::vector<std::string>& folders) {
  char temp[MAX_PATH + 1] = {};
  if (!GetTempPathA(sizeof temp, temp)) return false;
  std::string copy = std::string(temp) + "unin00000-" + std::to_string(GetCurrentProcessId()) + ".exe";
  if (!CopyFileA(self.c_str(), copy.c_str(), FALSE)) return false;
  HANDLE waitable = nullptr;
  if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &waitable, SYNCHRONIZE, TRUE, 0))
    return false;
  unique_handle own(waitable);
  std::string command = Quoted(copy) + " /remove " + std::to_string(reinterpret_cast<UINT_PTR>(waitable)) + " " +
                        Quoted(self);
  for (const auto& folder : folders) command += " " + Quoted(folder);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(copy.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr, temp, &startup, &process)) {
    DeleteFileA(copy.c_str());
    return false;
  }
  unique_handle started_thread(process.hThread), started_process(process.hProcess);
  return true;
}

// Splits a command line of plain and double-quoted words (paths cannot hold quotes).
std::vector<std::string> Words(const char* line) {
  std::vector<std::string> words;
  while (*line) {
    while (*line == ' ' || *line == '\t') ++line;
    if (!*line) break;
    std::string word;
    if (*line == '"') {
      ++line;
      while (*line && *line != '"') word += *line++;
      if (*line) ++line;
    } else {
      while (*line && *line != ' ' && *line != '\t') word += *line++;
    }
    words.push_back(word);
  }
  return words;
}

// The copy's part: wait for the uninstaller to end, delete it and its folders.
int FinishRemoval(const std::vector<std::string>& words) {
  {
    unique_handle uninstaller(reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(std::stoull(words.at(1)))));
    WaitForSingleObject(uninstaller.get(), 60000);
  }
  const std::string& program = words.at(2);
  // This mode deletes a file named on its command line: only ever an uninstaller's own file.
  if (!IsSafeAbsolutePath(program) || !SamePath(program.substr(program.find_last_of('\\') + 1), "unin00000.exe"))
    return kExitNothingDone;
  // The loader may hold the image a moment after the process has ended.
  for (int attempt = 0; attempt < 50 && Exists(program); ++attempt) {
    std::string ignored;
    if (RemoveFile(program, ignored)) break;
    Sleep(100);
  }
  for (std::size_t i = 3; i < words.size(); ++i) RemoveDirectoryA(words[i].c_str());
  // This copy lives in the temporary folder; have it go at the next start where that is allowed.
  MoveFileExA(ModulePath().c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  return 0;
}

int Message(bool quiet, const std::string& text, UINT flags = MB_OK) {
  return quiet ? IDYES : MessageBoxA(nullptr, text.c_str(), kTitle, flags);
}

// The log beside this program as a plan; nothing when it cannot be read or is not ours (the
// user has been told).
std::optional<UninstallPlan> ReadPlan(bool quiet, const std::string& log_path) {
  std::string text;
  if (!ReadFileText(log_path, text)) {
    Message(quiet, "Cannot read the uninstall log \"" + log_path + "\".", MB_OK | MB_ICONERROR);
    return std::nullopt;
  }
  try {
    return ReadUninstallLog(text, kTitle);
  } catch (const std::exception&) {
    Message(quiet, "\"" + log_path + "\" is not an uninstall log of " + kProduct + ". Nothing was removed.",
            MB_OK | MB_ICONERROR);
    return std::nullopt;
  }
}

// One removal as it goes: what it could not remove, a line each, and what it leaves to the
// copy of itself that deletes this program.
struct Removal {
  std::string self, install_dir;
  std::vector<std::string> left;
  bool remove_self = false;
  std::vector<std::string> deferred;  // folders that hold this program
};

void RemoveListedFiles(const UninstallPlan& plan, Removal& removal) {
  std::string problem;
  for (const auto& file : plan.files) {
    if (SamePath(file, removal.self)) {
      removal.remove_self = true;
      continue;
    }
    if (!RemoveFile(file, problem)) removal.left.push_back(file + ": " + problem);
  }
}

void RemoveFolders(const UninstallPlan& plan, Removal& removal) {
  // The installation folder, when the log names it as one of its top folders: the empty
  // folders below it go, listed or not.
  bool own_folder_listed = false;
  for (const auto& folder : plan.top_folders)
    own_folder_listed = own_folder_listed || SamePath(folder, removal.install_dir);
  std::vector<std::string> kept_below;
  if (own_folder_listed) RemoveEmptyFoldersBelow(removal.install_dir, kept_below);
  std::vector<std::string> reported;
  std::string problem;
  for (const auto* list : {&plan.folders, &plan.top_folders})
    for (const auto& folder : *list) {
      // Folders that hold this program can only go once it has been deleted.
      if (removal.remove_self && IsInsideFolder(removal.self, folder)) {
        removal.deferred.push_back(folder);
        continue;
      }
      if (!RemoveEmptyFolder(folder, problem)) {
        removal.left.push_back(folder + ": " + problem);
        reported.push_back(folder);
      }
    }
  for (const auto& folder : kept_below) {
    bool listed = false;
    for (const auto& r : reported) listed = listed || SamePath(r, folder);
    if (!listed) removal.left.push_back(folder + ": " + kKeptNotEmpty);
  }
  // The installation folder goes after this program; whatever else it still holds keeps it.
  if (own_folder_listed && removal.remove_self) {
    std::string self_name = removal.self.substr(removal.self.find_last_of('\\') + 1);
    for (const auto& name : FolderContents(removal.install_dir))
      if (!SamePath(name, self_name)) {
        removal.left.push_back(removal.install_dir + ": " + kKeptNotEmpty);
        break;
      }
  }
}

// Says how it went; the exit code.
int Report(bool quiet, const std::vector<std::string>& left) {
  if (left.empty()) {
    Message(quiet, std::string(kProduct) + " was removed from your computer.", MB_OK | MB_ICONINFORMATION);
    return kExitDone;
  }
  std::string report = std::string(kProduct) + " was removed, but these items were kept or could not be removed:\r\n";
  for (std::size_t i = 0; i < left.size() && i < 20; ++i) report += "\r\n" + left[i];
  if (left.size() > 20) report += "\r\n... and " + std::to_string(left.size() - 20) + " more";
  Message(quiet, report, MB_OK | MB_ICONWARNING);
  return kExitSomethingLeft;
}

int Uninstall(bool quiet) {
  Removal removal;
  removal.self = ModulePath();
  removal.install_dir = FolderOf(removal.self);
  std::optional<UninstallPlan> plan = ReadPlan(quiet, removal.install_dir + "\\Uninstall.txt");
  if (!plan) return kExitNothingDone;
  if (Message(quiet, std::string("Do you want to remove ") + kProduct + " and all of its components?",
              MB_YESNO | MB_ICONQUESTION) != IDYES)
    return kExitNothingDone;

  for (const auto& r : plan->refused) removal.left.push_back(r.text + ": " + r.reason);
  RemoveListedFiles(*plan, removal);
  RemoveFolders(*plan, removal);
  std::string problem;
  if (!RemoveUninstallEntry(removal.install_dir, problem))
    removal.left.push_back(std::string("HKEY_CURRENT_USER\\") + kKeyPath + ": " + problem);
  if (removal.remove_self && !StartSelfRemoval(removal.self, removal.deferred))
    removal.left.push_back(removal.self + ": " + ErrorText(GetLastError()));
  return Report(quiet, removal.left);
}

}  // namespace
}  // namespace stampwell::demo

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR command_line, int) {
  using namespace stampwell::demo;
  std::vector<std::string> words = Words(command_line);
  bool quiet = !words.empty() && words[0] == "/quiet";
  try {
    if (!words.empty() && words[0] == "/remove" && words.size() >= 3) return FinishRemoval(words);
    return Uninstall(quiet);
  } catch (const std::exception& e) {
    Message(quiet, e.what(), MB_OK | MB_ICONERROR);
    return 1;
  }
}
