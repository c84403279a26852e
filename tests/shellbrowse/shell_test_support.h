#pragma once
// Helpers for the toolbox's Wine tests: COM for the test's lifetime and scratch folders inside
// the prefix's temporary folder, removed with all they hold.

#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "framework/unique_handle.h"
#include "tests/support/remove_tree.h"

namespace stampwell::testing {

// A fresh, empty folder under the temporary folder, without a trailing backslash, removed at
// the end of the scope.
class ScratchDirectory {
 public:
  explicit ScratchDirectory(const std::string& name) {
    char temp[MAX_PATH];
    DWORD length = GetTempPathA(MAX_PATH, temp);
    std::string base(temp, length);
    if (!base.empty() && base.back() == '\\') base.pop_back();
    char long_base[MAX_PATH];
    if (GetLongPathNameA(base.c_str(), long_base, MAX_PATH)) base = long_base;
    path_ = base + "\\toolbox_" + name;
    RemoveTree(path_);
    CreateDirectoryA(path_.c_str(), nullptr);
  }
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;
  ~ScratchDirectory() { RemoveTree(path_); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Where Wine's shell differs from Windows' a test says so and checks each as it behaves.
inline bool RunningOnWine() {
  return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

// COM for the whole test program, as the setup initialises it at start.
class ComEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { CoInitialize(nullptr); }
  void TearDown() override { CoUninitialize(); }
};

// Writes `text` as the whole of the file at `path`; false when it cannot be made.
inline bool WriteTextFile(const std::string& path, const std::string& text = "") {
  unique_file file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  if (!file) return false;
  if (text.empty()) return true;
  DWORD written = 0;
  return WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
         written == text.size();
}

// Answers the shell's confirmation dialogs of this process with Yes while it lives, as a user
// would; tells how many it answered. A shell verb run without the no-UI flag asks before it
// deletes, on Windows as under Wine.
class ConfirmationAnswerer {
 public:
  ConfirmationAnswerer() : worker_([this] { Run(); }) {}
  ConfirmationAnswerer(const ConfirmationAnswerer&) = delete;
  ConfirmationAnswerer& operator=(const ConfirmationAnswerer&) = delete;
  ~ConfirmationAnswerer() {
    stop_ = true;
    worker_.join();
  }
  int answered() const { return answered_; }

 private:
  static BOOL CALLBACK Answer(HWND window, LPARAM self) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    if (process == GetCurrentProcessId() && IsWindowVisible(window) && std::string(name) == "#32770") {
      HWND yes = GetDlgItem(window, IDYES);
      PostMessageA(window, WM_COMMAND, MAKEWPARAM(yes ? IDYES : IDOK, BN_CLICKED),
                   reinterpret_cast<LPARAM>(yes ? yes : GetDlgItem(window, IDOK)));
      ++reinterpret_cast<ConfirmationAnswerer*>(self)->answered_;
    }
    return TRUE;
  }
  void Run() {
    while (!stop_) {
      EnumWindows(Answer, reinterpret_cast<LPARAM>(this));
      Sleep(100);
    }
  }

  std::atomic<bool> stop_{false};
  std::atomic<int> answered_{0};
  std::thread worker_;
};

}  // namespace stampwell::testing
