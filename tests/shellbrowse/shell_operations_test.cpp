// The toolbox's operations on the real shell of the test prefix: texts, new folders, icons,
// context menus and their verbs, the probes and the window helpers.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <cstdio>
#include <string>
#include <vector>

#include "framework/unique_handle.h"
#include "shellbrowse/toolbox/context_menu.h"
#include "shellbrowse/toolbox/default_key_table.h"
#include "shellbrowse/toolbox/id_list.h"
#include "shellbrowse/toolbox/new_folder.h"
#include "shellbrowse/toolbox/platform_probes.h"
#include "shellbrowse/toolbox/shell_error.h"
#include "shellbrowse/toolbox/shell_icons.h"
#include "shellbrowse/toolbox/shell_id_list.h"
#include "shellbrowse/toolbox/shell_pidl_list.h"
#include "shellbrowse/toolbox/shell_strings.h"
#include "shellbrowse/toolbox/shell_text.h"
#include "shellbrowse/toolbox/shell_toolbox.h"
#include "shellbrowse/toolbox/toolbox_error.h"
#include "shellbrowse/toolbox/window_helpers.h"
#include "shellbrowse_strings.h"
#include "tests/shellbrowse/shell_test_support.h"

using Microsoft::WRL::ComPtr;

namespace stampwell {
namespace {

using testing::ScratchDirectory;
using testing::WriteTextFile;

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

TEST(ToolboxStrings, TableHoldsTheLibrarysTexts) {
  const struct { unsigned id; const char* text; } expected[] = {
      {IDS_SB_NEW_FOLDER, "New Folder"},
      {IDS_SB_CREATE_FOLDER_FAILED, "Unable to create the folder '%2'\n\n%1"},
      {IDS_SB_KEY_SELECT_ALL, "Ctrl+A"}, {IDS_SB_KEY_DELETE, "Del"}, {IDS_SB_KEY_COPY, "Ctrl+C"},
      {IDS_SB_KEY_CUT, "Ctrl+X"}, {IDS_SB_KEY_PASTE, "Ctrl+V"}, {IDS_SB_KEY_REFRESH, "F5"},
      {IDS_SB_KEY_RENAME, "F2"}, {IDS_SB_BROWSE_CAPTION, "Browse for Folder"},
      {IDS_SB_FONT_NAME, "MS Sans Serif"}, {IDS_SB_OK, "OK"}, {IDS_SB_CANCEL, "Cancel"},
      {IDS_SB_CREATE_FOLDER_HINT, "Create Folder"}, {IDS_SB_CREATE_FOLDER_HELP, "Creates a new, empty folder."},
      {IDS_SB_DELETE_HINT, "Delete"}, {IDS_SB_DELETE_HELP, "Deletes the selected items."}};
  for (const auto& entry : expected) {
    // Read from the module's own table, not the built-in fallback.
    char buffer[256] = {};
    ASSERT_GT(LoadStringA(GetModuleHandleA(nullptr), entry.id, buffer, sizeof buffer), 0) << entry.text;
    EXPECT_EQ(std::string(buffer), entry.text);
    EXPECT_EQ(LoadToolboxString(entry.id), entry.text);
  }
  EXPECT_EQ(LoadToolboxString(1), "");

  SetTranslateStringHook([](const std::string& text) { return "[" + text + "]"; });
  EXPECT_EQ(ToolboxText(IDS_SB_OK), "[OK]");
  SetTranslateStringHook(nullptr);
  EXPECT_EQ(ToolboxText(IDS_SB_OK), "OK");
  EXPECT_EQ(TranslateString("x"), "x");
}

TEST(ToolboxStrings, DefaultKeysParsedFromTheTable) {
  const TShortCut expected[] = {kShortCutCtrl | 'A', 46, kShortCutCtrl | 'C', kShortCutCtrl | 'X',
                                kShortCutCtrl | 'V', VK_F5, VK_F2};
  for (int i = 0; i < kDefaultKeyCount; ++i) EXPECT_EQ(DefaultKeyTable(i).shortcut, expected[i]) << i;
  EXPECT_EQ(DefaultKeyTable(DefaultKey::Rename).text, "F2");
  EXPECT_THROW(DefaultKeyTable(7), ToolboxError);
}

TEST(ToolboxText, TrailingBackslashInDoubleByteCodePages) {
  EXPECT_EQ(IncludeTrailingChar("C:", '\\'), "C:\\");
  EXPECT_EQ(IncludeTrailingChar("C:\\", '\\'), "C:\\");
  EXPECT_EQ(IncludeTrailingChar("", '\\'), "");
  // 0x95 0x5C is one character in code page 932; 0xB1 0x5C one in 949 and 950.
  EXPECT_EQ(IncludeTrailingCharInCodePage("C:\\\x95\x5C", '\\', 932), "C:\\\x95\x5C\\");
  EXPECT_EQ(IncludeTrailingCharInCodePage("C:\\\x95\x5C\\", '\\', 932), "C:\\\x95\x5C\\");
  EXPECT_EQ(IncludeTrailingCharInCodePage("C:\\\xB1\x5C", '\\', 950), "C:\\\xB1\x5C\\");
  EXPECT_EQ(IncludeTrailingCharInCodePage("C:\\\x95\x5C", '\\', 1252), "C:\\\x95\x5C");
}

TEST(ToolboxText, FormatStrPosPositionalInserts) {
  EXPECT_EQ(FormatStrPos("%2 before %1", {"one", "two"}), "two before one");
  EXPECT_EQ(FormatStrPos("%1%1", {"ab"}), "abab");
  EXPECT_EQ(FormatStrPos("", {"a"}), "");
  EXPECT_EQ(FormatStrPos("plain", {}), "plain");
  // An insert past the arguments reads as empty, never as stray memory.
  EXPECT_EQ(FormatStrPos("[%3]", {"a"}), "[]");
  std::string long_text(1000, 'y');
  EXPECT_EQ(FormatStrPos("%1", {long_text}), long_text);

  std::vector<std::string> fifty;
  for (int i = 1; i <= 50; ++i) fifty.push_back("v" + std::to_string(i));
  EXPECT_EQ(FormatStrPos("%1 %50", fifty), "v1 v50");
  fifty.push_back("v51");
  try {
    FormatStrPos("%1", fifty);
    FAIL() << "51 arguments accepted";
  } catch (const ToolboxError& error) {
    EXPECT_STREQ(error.what(), "FormatStrPos: Too many substitution strings");
  }
}

std::vector<std::string> g_warnings;
void RecordWarning(const std::string& text) { g_warnings.push_back(text); }

class NewFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    g_warnings.clear();
    previous_ = SetFolderWarning(RecordWarning);
  }
  void TearDown() override { SetFolderWarning(previous_); }
  FolderWarningFn previous_ = nullptr;
};

TEST_F(NewFolder, TakesTheNextFreeName) {
  ScratchDirectory scratch("new_folder");
  ASSERT_TRUE(CreateDirectoryA((scratch.path() + "\\New Folder").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA((scratch.path() + "\\New Folder (2)").c_str(), nullptr));
  std::string name;
  ASSERT_TRUE(CreateFolderIn(scratch.path(), name));
  EXPECT_EQ(name, "New Folder (3)");
  EXPECT_TRUE(Exists(scratch.path() + "\\New Folder (3)"));
  // A trailing backslash is not doubled.
  ASSERT_TRUE(CreateFolderIn(scratch.path() + "\\", name));
  EXPECT_EQ(name, "New Folder (4)");
  EXPECT_TRUE(g_warnings.empty());
}

TEST_F(NewFolder, SecondSeriesAfterFiftyThenWarning) {
  ScratchDirectory scratch("new_folder_series");
  std::string name;
  for (int i = 1; i <= 50; ++i) ASSERT_TRUE(CreateFolderIn(scratch.path(), name));
  EXPECT_EQ(name, "New Folder (50)");
  ASSERT_TRUE(CreateFolderIn(scratch.path(), name));
  EXPECT_EQ(name, "fldr");
  ASSERT_TRUE(CreateFolderIn(scratch.path(), name));
  EXPECT_EQ(name, "fldr2");
  for (int i = 3; i <= 50; ++i) ASSERT_TRUE(CreateFolderIn(scratch.path(), name));
  EXPECT_EQ(name, "fldr50");
  EXPECT_TRUE(g_warnings.empty());

  EXPECT_FALSE(CreateFolderIn(scratch.path(), name));
  EXPECT_EQ(name, "");
  ASSERT_EQ(g_warnings.size(), 1u);
  // FormatMessage writes each line break of the format as CR LF.
  EXPECT_EQ(g_warnings[0], "Unable to create the folder 'New Folder'\r\n\r\n" + SystemMessage(ERROR_ALREADY_EXISTS));
}

TEST_F(NewFolder, OtherErrorsWarnWithTheAttemptedName) {
  ScratchDirectory scratch("new_folder_missing");
  std::string name = "stale";
  EXPECT_FALSE(CreateFolderIn(scratch.path() + "\\absent\\deeper", name));
  EXPECT_EQ(name, "");
  ASSERT_EQ(g_warnings.size(), 1u);
  EXPECT_EQ(g_warnings[0], "Unable to create the folder 'New Folder'\r\n\r\n" + SystemMessage(ERROR_PATH_NOT_FOUND));

  // An empty directory is the current one.
  char previous[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, previous);
  ASSERT_TRUE(SetCurrentDirectoryA(scratch.path().c_str()));
  bool made = CreateFolderIn("", name);
  SetCurrentDirectoryA(previous);
  ASSERT_TRUE(made);
  EXPECT_TRUE(Exists(scratch.path() + "\\New Folder"));
}

int ImageCount(HIMAGELIST list) {
  using CountFn = int(WINAPI*)(HIMAGELIST);
  auto count = reinterpret_cast<CountFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("comctl32.dll"), "ImageList_GetImageCount")));
  return count ? count(list) : -1;
}

TEST(ToolboxIcons, FolderIconAndSystemImageLists) {
  ScratchDirectory scratch("icons");
  unique_idlist folder;
  ASSERT_EQ(PathToIdList(scratch.path(), folder), S_OK);
  int closed = GetSysIconIndex(folder.get(), SHGFI_SMALLICON);
  int open = GetSysIconIndex(folder.get(), SHGFI_SMALLICON | SHGFI_OPENICON);
  EXPECT_GT(closed, 0);
  EXPECT_GT(open, 0);
  GetSysIconIndex(nullptr, SHGFI_SMALLICON);  // the desktop: answers, whatever its index

  HIMAGELIST small = GetSysImageList(0);
  HIMAGELIST large = GetSysImageList(1);
  ASSERT_NE(small, nullptr);
  ASSERT_NE(large, nullptr);
  EXPECT_GT(ImageCount(small), closed);
  EXPECT_GT(ImageCount(large), closed);
  // The NT family with common controls 4.71 or later: the overlays went in once.
  EXPECT_TRUE(IsWinNT());
  EXPECT_GE(ComCtlVersion() >> 32, 0x00040047u);
  EXPECT_TRUE(ShellOverlaysInstalled());
  int count = ImageCount(small);
  GetSysImageList(0);
  EXPECT_EQ(ImageCount(small), count);
}

struct FolderItem {
  ComPtr<IShellFolder> parent;
  unique_idlist parent_list, item;
};

FolderItem ItemOf(const std::string& path) {
  FolderItem result;
  unique_idlist list;
  EXPECT_EQ(PathToIdList(path, list), S_OK);
  EXPECT_EQ(GetParentFolder(list.get(), result.parent, result.parent_list, result.item), S_OK);
  return result;
}

TEST(ToolboxContextMenu, DeleteVerbOfAFolderDeletesIt) {
  ScratchDirectory scratch("verbs");
  std::string doomed = scratch.path() + "\\doomed";
  ASSERT_TRUE(CreateDirectoryA(doomed.c_str(), nullptr));
  FolderItem folder = ItemOf(doomed);
  ComPtr<IContextMenu> menu;
  unique_hmenu popup;
  LPCITEMIDLIST items[] = {folder.item.get()};
  // QueryContextMenu's success code carries the number of ids it used.
  ASSERT_TRUE(SUCCEEDED(BuildContextMenu(nullptr, folder.parent.Get(), 1, items, CMF_NORMAL, kFirstShellCommandId, menu, popup)));
  ASSERT_TRUE(menu);
  ASSERT_TRUE(popup);
  EXPECT_GT(GetMenuItemCount(popup.get()), 0);

  int offset = FindVerbOffset(menu.Get(), "delete");
  ASSERT_GE(offset, 0) << "the folder's menu offers no \"delete\" verb";
  EXPECT_EQ(FindVerbOffset(menu.Get(), "DELETE"), offset);
  EXPECT_EQ(FindVerbOffset(menu.Get(), "no such verb"), -1);
  EXPECT_EQ(InvokeVerb(nullptr, menu.Get(), std::string("no such verb")), HRESULT_FROM_WIN32(ERROR_NOT_FOUND));
  EXPECT_TRUE(Exists(doomed));

  testing::ConfirmationAnswerer answerer;
  EXPECT_EQ(InvokeVerb(nullptr, menu.Get(), std::string("delete")), S_OK);
  EXPECT_FALSE(Exists(doomed));
  std::printf("delete verb: %d confirmation(s) answered\n", answerer.answered());
}

TEST(ToolboxContextMenu, FailuresKeepNothing) {
  ComPtr<IContextMenu> menu;
  unique_hmenu popup;
  EXPECT_EQ(BuildContextMenu(nullptr, nullptr, 0, nullptr, CMF_NORMAL, kFirstShellCommandId, menu, popup), E_INVALIDARG);
  EXPECT_FALSE(menu);
  EXPECT_FALSE(popup);

  try {
    SendToTarget("no such entry.lnk", nullptr);
    FAIL() << "no error raised";
  } catch (const ToolboxError& error) {
    EXPECT_NE(std::string(error.what()), "");
  }
}

TEST(ToolboxProbes, VersionsNetworkAndDrives) {
  std::uint64_t version = 0;
  char kernel[MAX_PATH];
  GetModuleFileNameA(GetModuleHandleA("kernel32.dll"), kernel, MAX_PATH);
  EXPECT_TRUE(GetFileVersion(kernel, version));
  EXPECT_GT(version >> 48, 0u);
  ScratchDirectory scratch("probes");
  std::string text_file = scratch.path() + "\\plain.txt";
  ASSERT_TRUE(WriteTextFile(text_file));
  EXPECT_FALSE(GetFileVersion(text_file, version));
  EXPECT_EQ(version, 0u);
  EXPECT_FALSE(GetFileVersion(scratch.path() + "\\absent.dll", version));

  bool connected = IsNetDriveConnected('C');
  ASSERT_NE(NetworkApiState(), 0);
  // A local drive is no connected network drive; without the API the answer is yes.
  EXPECT_EQ(connected, NetworkApiState() == 1);

  EXPECT_TRUE(ValidateDrivesCache());
  {
    DrivesCacheLock lock;
    EXPECT_FALSE(ValidateDrivesCache());
    DrivesCacheLock nested;
    EXPECT_FALSE(ValidateDrivesCache());
  }
  EXPECT_TRUE(ValidateDrivesCache());
}

TEST(ToolboxPidlList, FolderOrderAndOwnership) {
  ScratchDirectory scratch("pidl_list");
  for (const char* name : {"b", "c", "a"})
    ASSERT_TRUE(CreateDirectoryA((scratch.path() + "\\" + name).c_str(), nullptr));
  unique_idlist folder_list;
  ASSERT_EQ(PathToIdList(scratch.path(), folder_list), S_OK);
  ComPtr<IShellFolder> folder;
  ASSERT_EQ(BindToFolder(folder_list.get(), folder), S_OK);

  TPTPidlList list;
  list.SetCompareFolder(folder.Get());
  list.SetMalloc(ShellMalloc());
  list.SetSorted(true);
  list.SetDuplicates(PidlDuplicates::Ignore);
  ComPtr<IEnumIDList> items;
  ASSERT_EQ(folder->EnumObjects(nullptr, SHCONTF_FOLDERS, &items), S_OK);
  for (LPITEMIDLIST item; items->Next(1, &item, nullptr) == S_OK;) list.Add(item);
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(GetDisplayName(folder.Get(), list.IdList(0), NameKind::InFolder), "a");
  EXPECT_EQ(GetDisplayName(folder.Get(), list.IdList(2), NameKind::InFolder), "c");

  unique_idlist c_list;
  ASSERT_EQ(PathToIdList(scratch.path() + "\\c", c_list), S_OK);
  LPCITEMIDLIST c_item = static_cast<LPCITEMIDLIST>(IdListItem(c_list.get(), IdListItemCount(c_list.get()) - 1));
  EXPECT_EQ(list.IndexOf(c_item), 2);
  // An equal list added again is handed over and freed; the entry stays the first one.
  EXPECT_EQ(list.Add(CopyIdList(c_item).release()), 2);
  EXPECT_EQ(list.Count(), 3);
  list.Delete(0);
  EXPECT_EQ(list.Count(), 2);
}

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_VSCROLL || message == WM_HSCROLL) {
    auto* counts = reinterpret_cast<std::vector<UINT>*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (counts) counts->push_back(message * 100 + LOWORD(wparam));
    return 0;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

TEST(ToolboxWindows, StyleBitsOwnerFormAndScrolling) {
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = CountingProc;
  window_class.hInstance = GetModuleHandleA(nullptr);
  window_class.lpszClassName = "ToolboxTestWindow";
  RegisterClassA(&window_class);
  unique_hwnd form(CreateWindowA("ToolboxTestWindow", "form", WS_OVERLAPPEDWINDOW, 0, 0, 300, 300, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr));
  ASSERT_TRUE(form);
  HWND panel = CreateWindowA("ToolboxTestWindow", "", WS_CHILD | WS_VISIBLE, 0, 0, 200, 200, form.get(),
                             nullptr, GetModuleHandleA(nullptr), nullptr);
  HWND control = CreateWindowA("ToolboxTestWindow", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, 0, 0,
                               100, 100, panel, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_TRUE(control);
  EXPECT_EQ(GetOwnerFormHandle(control), form.get());
  EXPECT_EQ(GetOwnerFormHandle(form.get()), form.get());
  EXPECT_EQ(GetOwnerFormHandle(nullptr), nullptr);
  SetParent(panel, nullptr);  // a child window without a parent is no form
  EXPECT_EQ(GetOwnerFormHandle(control), nullptr);

  SetWindowStyleBits(control, WS_BORDER, true);
  EXPECT_TRUE(GetWindowLongA(control, GWL_STYLE) & WS_BORDER);
  SetWindowStyleBits(control, WS_BORDER, false);
  EXPECT_FALSE(GetWindowLongA(control, GWL_STYLE) & WS_BORDER);
  SetWindowStyleBits(nullptr, WS_BORDER, true);

  std::vector<UINT> sent;
  SetWindowLongPtrA(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&sent));
  SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE, 0, 99, 100, 0, 0};
  SetScrollInfo(control, SB_VERT, &info, FALSE);
  ScrollOneStep(control, 1, SB_LINEDOWN);
  EXPECT_TRUE(sent.empty()) << "everything is in view: nothing to scroll";
  info.nPage = 50;
  SetScrollInfo(control, SB_VERT, &info, FALSE);
  ScrollOneStep(control, 1, SB_LINEDOWN);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0], WM_VSCROLL * 100 + SB_LINEDOWN);

  UINT lines = 0;
  SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  sent.clear();
  EXPECT_TRUE(WheelScroll(control, true, SB_LINEUP, SB_PAGEUP));
  if (lines == WHEEL_PAGESCROLL) {
    EXPECT_EQ(sent, std::vector<UINT>{WM_VSCROLL * 100 + SB_PAGEUP});
  } else {
    EXPECT_EQ(sent, std::vector<UINT>(lines, WM_VSCROLL * 100 + SB_LINEUP));
  }
  sent.clear();
  SetScrollInfo(control, SB_HORZ, &info, FALSE);
  EXPECT_TRUE(WheelScroll(control, false, SB_LINERIGHT, SB_PAGERIGHT));
  if (lines != WHEEL_PAGESCROLL) {
    EXPECT_EQ(sent, std::vector<UINT>{WM_HSCROLL * 100 + SB_LINERIGHT});
  }
  SetWindowLongPtrA(control, GWLP_USERDATA, 0);

  // The hourglass is shown while waiting and the old cursor comes back.
  HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
  SetCursor(arrow);
  WaitWithHourglass(1);
  EXPECT_EQ(GetCursor(), arrow);
}

bool g_cleanup_ran = false;
void MarkCleanup() noexcept { g_cleanup_ran = true; }

TEST(ToolboxLifecycle, StartAndEnd) {
  EXPECT_TRUE(ShellToolboxStart());
  EXPECT_NE(ShellMalloc(), nullptr);
  AddShellToolboxCleanup(MarkCleanup);
  ShellToolboxEnd();
  EXPECT_TRUE(g_cleanup_ran);
  // The test program's own COM is still there and the allocator comes back on use.
  EXPECT_NE(ShellMalloc(), nullptr);
}

}  // namespace
}  // namespace stampwell
