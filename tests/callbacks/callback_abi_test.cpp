// Every kind of code of ours that the system calls back into, and every system function that the
// program looks up by name, run in one process. Its point is the 32-bit build: there a callback,
// COM method or looked-up function whose calling convention or parameters differ from what the
// system expects corrupts the stack, while on x64 (one convention) the same fault goes unseen.
// On a machine that runs no 32-bit code this program is the 32-bit stage's, and each emulated
// start of a process costs about a minute, hence one program for all of it.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <dbt.h>
#include <ole2.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include <wrl/client.h>

#include "app/security_baseline.h"
#include "app/single_setup.h"
#include "setup/setup_settings.h"
#include "setup/system_queries.h"
#include "framework/application.h"
#include "framework/system_library.h"
#include "framework/unique_handle.h"
#include "framework/forms.h"
#include "framework/menus.h"
#include "framework/std_controls.h"
#include "framework/tree_view.h"
#include "install/in_use_finder.h"
#include "install/logged_on_user.h"
#include "shellbrowse/notification/change_handler_thread.h"
#include "shellbrowse/dragdrop/data_object.h"
#include "shellbrowse/notification/device_change_handler.h"
#include "shellbrowse/dragdrop/drop_source.h"
#include "shellbrowse/dragdrop/drop_target.h"
#include "shellbrowse/toolbox/platform_probes.h"
#include "shellbrowse/toolbox/shell_icons.h"
#include "shellbrowse/toolbox/shell_id_list.h"
#include "tests/shellbrowse/notify_test_support.h"
#include "tests/shellbrowse/shell_test_support.h"

using Microsoft::WRL::ComPtr;

namespace stampwell {
namespace {

constexpr bool kBuilt32Bit = sizeof(void*) == 4;

class OleEnvironment : public ::testing::Environment {
 public:
  // The clipboard and the drag loop need OLE, as the setup has it from start-up.
  void SetUp() override { ASSERT_EQ(OleInitialize(nullptr), S_OK); }
  void TearDown() override { OleUninitialize(); }
};
const ::testing::Environment* const ole_environment = ::testing::AddGlobalTestEnvironment(new OleEnvironment);

// --- functions looked up by name: each product path that looks one up, run for real ---

TEST(LookedUpFunctions, AnswerThroughTheProgramsOwnPaths) {
  ApplySecurityBaseline();  // SetDefaultDllDirectories, SetSearchPathMode

  // IsWow64Process and GetNativeSystemInfo. The test prefix is 64-bit Windows: the 32-bit build
  // runs there under WOW64 as the shipped setup does on 64-bit Windows, the 64-bit build does not.
  EXPECT_EQ(IsWindows64Bit(), kBuilt32Bit);
  EXPECT_EQ(ArchSuffixFor(IsWindows64Bit()), kBuilt32Bit ? " (x86)" : "");
  if (kBuilt32Bit) {
    // What Custom Install proposes to an administrator: the 32-bit program folder.
    EXPECT_EQ(GetProgramFilesPath() + ArchSuffixFor(IsWindows64Bit()), "C:\\Program Files (x86)");
  }

  InitCommonControlClasses();  // InitCommonControlsEx
  std::uint64_t version = 0;   // GetFileVersionInfoSizeA, GetFileVersionInfoA, VerQueryValueA
  EXPECT_TRUE(GetFileVersion(SystemDirectory() + "\\kernel32.dll", version));
  EXPECT_NE(version, 0u);
  EXPECT_NE(ComCtlVersion(), 0u);

  IsNetDriveConnected('C');  // NetUseGetInfo, NetApiBufferFree
  EXPECT_EQ(NetworkApiState(), 2) << "netapi32 and both of its functions were found";
  UnloadNetworkLibrary();

  // Shell_GetCachedImageIndex (by its ordinal), ImageList_SetOverlayImage, ImageList_Draw.
  HIMAGELIST small_icons = GetSysImageList(0);
  ASSERT_NE(small_icons, nullptr);
  InstallShellOverlays();
  EXPECT_TRUE(ShellOverlaysInstalled());
  unique_hdc dc(CreateCompatibleDC(nullptr));
  unique_gdi<HBITMAP> bitmap(CreateBitmap(16, 16, 1, 32, nullptr));
  HGDIOBJ old = SelectObject(dc.get(), bitmap.get());
  EXPECT_TRUE(DrawImageListIcon(small_icons, GetSysIconIndex(nullptr, SHGFI_SMALLICON), dc.get(), 0, 0));
  SelectObject(dc.get(), old);

  // RmStartSession, RmRegisterResources, RmGetList, RmEndSession: asked once a file of the
  // folder is held (Wine's Restart Manager names no holder; Windows may name this process,
  // which the finder leaves out).
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + "callback-in-use";
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string held_path = folder + "\\held.dll";
  {
    unique_file held(CreateFileA(held_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(held);
    const FilesInUse in_use = FindFilesInUse(folder, {held_path});
    EXPECT_EQ(in_use.files, std::vector<std::string>{held_path});
    EXPECT_TRUE(in_use.holders.empty());
  }
  DeleteFileA(held_path.c_str());
  RemoveDirectoryA(folder.c_str());
}

// --- window procedures and enumeration callbacks ---

TEST(WindowCallbacks, SearchForAnotherSetupWalksEveryTopLevelWindow) {
  // Our own windows never count, and no other setup runs in the test: every window is
  // offered to the enumeration callback and none is taken.
  TForm form(nullptr);
  form.SetCaption(kProductName);
  form.Show();
  EXPECT_FALSE(BringRunningSetupToFront());
}

// Ends the modal loop from inside it, once it runs, noting what the loop had done to the others.
struct ModalCloser {
  TForm* modal;
  TForm* other;
  TEdit* edit;
  bool* other_was_disabled;
  std::string* edit_text;
};

void CALLBACK CloseModalForm(HWND window, UINT, UINT_PTR id, DWORD) {
  KillTimer(window, id);
  auto* closer = static_cast<ModalCloser*>(GetPropA(window, "closer"));
  *closer->other_was_disabled = !IsWindowEnabled(closer->other->Handle());
  *closer->edit_text = closer->edit->Text();
  closer->modal->SetModalResult(mrOk);
}

TEST(WindowCallbacks, ModalFormDisablesTheThreadsWindowsAndAMenuFindsItsOwner) {
  InitCommonControlClasses();
  // Another window of the thread: the modal loop disables it through EnumThreadWindows.
  TForm other(nullptr);
  other.SetBounds(10, 10, 200, 100);
  other.HandleNeeded();
  other.Show();

  TForm modal(nullptr);
  modal.SetBounds(40, 40, 300, 200);
  auto* edit = new TEdit(&modal);  // a common control under the framework's window procedure
  edit->SetBounds(10, 10, 200, 24);
  edit->SetParent(&modal);
  edit->SetText("typed");

  bool other_was_disabled = false;
  std::string edit_text;
  ModalCloser closer{&modal, &other, edit, &other_was_disabled, &edit_text};
  SetPropA(modal.Handle(), "closer", &closer);
  SetTimer(modal.Handle(), 1, 50, &CloseModalForm);
  EXPECT_EQ(modal.ShowModal(), mrOk);
  RemovePropA(modal.Handle(), "closer");
  EXPECT_TRUE(other_was_disabled);
  EXPECT_TRUE(IsWindowEnabled(other.Handle())) << "enabled again after the modal loop";
  EXPECT_EQ(edit_text, "typed");

  // A main menu set on a window is left to the window when the menu goes (EnumThreadWindows).
  {
    TMainMenu menu(nullptr);
    SetMenu(other.Handle(), menu.Handle());
  }
  EXPECT_TRUE(IsMenu(GetMenu(other.Handle())));
}

// --- the tree's sort callback ---

// The stack a call of `callback` as the control makes it (PFNTVCOMPARE: three arguments, the
// callee pops them) leaves behind: 0 for a function of that convention; for a cdecl function
// passed through a cast, the 12 bytes of arguments that nobody popped. Measured here because a
// control compiled with frame pointers survives the imbalance (Wine's does), while one whose
// code addresses its locals through the stack pointer (as optimised system code may) does not:
// the fault must not depend on which caller a user's system has.
long StackLeftByCompare(PFNTVCOMPARE callback, LPARAM a, LPARAM b, LPARAM sort) {
#if defined(__i386__)
  struct Call {
    PFNTVCOMPARE callback;
    LPARAM a, b, sort;
  } call{callback, a, b, sort};
  long left = 0;
  __asm__ volatile(
      "movl %%esp, %%esi\n\t"
      "pushl 12(%1)\n\t"
      "pushl 8(%1)\n\t"
      "pushl 4(%1)\n\t"
      "call *(%1)\n\t"
      "movl %%esi, %%eax\n\t"
      "subl %%esp, %%eax\n\t"
      "movl %%esi, %%esp\n\t"
      : "=&a"(left)
      : "D"(&call)
      : "esi", "ecx", "edx", "memory", "cc");
  return left;
#else
  callback(a, b, sort);  // one calling convention: nothing can be left behind
  return 0;
#endif
}

// Watches the tree's sort requests: measures the product's callback once, then lets it sort.
struct SortWatch {
  WNDPROC original = nullptr;
  long stack_left = -1;
};
SortWatch* g_sort_watch = nullptr;  // one tree, one test at a time

LRESULT CALLBACK WatchSortRequests(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == TVM_SORTCHILDRENCB && g_sort_watch->stack_left < 0) {
    const auto* sort = reinterpret_cast<const TVSORTCB*>(lparam);
    HTREEITEM first = TreeView_GetChild(window, sort->hParent);
    HTREEITEM second = first ? TreeView_GetNextSibling(window, first) : nullptr;
    TVITEMA a{}, b{};
    a.mask = b.mask = TVIF_PARAM;
    a.hItem = first;
    b.hItem = second;
    if (first && second && TreeView_GetItem(window, &a) && TreeView_GetItem(window, &b))
      g_sort_watch->stack_left = StackLeftByCompare(sort->lpfnCompare, a.lParam, b.lParam, sort->lParam);
  }
  return CallWindowProcA(g_sort_watch->original, window, message, wparam, lparam);
}

TEST(TreeSortCallback, SortsManyNodesThroughTheControl) {
  InitCommonControlClasses();
  TForm form(nullptr);
  form.SetBounds(10, 10, 300, 400);
  auto* tree = new TTreeView(&form);
  tree->SetBounds(0, 0, 280, 380);
  tree->SetParent(&form);
  form.HandleNeeded();

  TTreeNode* root = tree->Items().AddChild(nullptr, "root");
  constexpr int kNodes = 300;
  for (int i = 0; i < kNodes; ++i) tree->Items().AddChild(root, std::to_string((i * 7919) % kNodes));
  int comparisons = 0;
  SortWatch watch;
  g_sort_watch = &watch;
  watch.original = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(tree->Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WatchSortRequests)));
  ASSERT_TRUE(root->CustomSort([&](TTreeNode* a, TTreeNode* b) {
    ++comparisons;
    return std::stoi(a->Text()) - std::stoi(b->Text());
  }));
  SetWindowLongPtrA(tree->Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(watch.original));
  g_sort_watch = nullptr;
  EXPECT_EQ(watch.stack_left, 0) << "the sort callback leaves bytes on the stack: not the convention the control calls";
  EXPECT_GT(comparisons, kNodes);
  int expected = 0;
  for (TTreeNode* node = root->GetFirstChild(); node; node = node->GetNextSibling()) {
    ASSERT_EQ(node->Text(), std::to_string(expected)) << "position " << expected;
    ++expected;
  }
  EXPECT_EQ(expected, kNodes);
}

// --- thread procedures ---

TEST(ThreadProcedures, ChangeWorkerPostsTheFolderThatChanged) {
  constexpr UINT kChangeMessage = 0x465;
  testing::ScratchDirectory folder("callback_abi");
  testing::PostedMessageRecorder owner(kChangeMessage);
  {
    TChangeHandlerThread worker(owner.window(), kChangeMessage);
    int slot = -1;
    ASSERT_TRUE(worker.AddWatch(folder.path(), FILE_NOTIFY_CHANGE_DIR_NAME, false, &slot));
    ASSERT_TRUE(CreateDirectoryA((folder.path() + "\\new").c_str(), nullptr));
    EXPECT_TRUE(testing::PumpUntil([&] { return !owner.received().empty(); }, 60000));
  }  // the worker ends and is joined here
  RemoveDirectoryA((folder.path() + "\\new").c_str());
}

TEST(ThreadProcedures, UserQueryWorkerReturns) {
  // The user query's worker runs in an apartment of its own and is waited for; whatever the
  // management interface answers, the thread has run and come back before the time limit
  // (a worker that hung would leave the wait to the limit).
  constexpr DWORD kLimitMs = 60000;
  DWORD started = GetTickCount();
  std::optional<std::string> name = QueryUserNameThroughWmi(kLimitMs);
  DWORD elapsed = GetTickCount() - started;
  EXPECT_LT(elapsed, kLimitMs) << "the worker did not come back";
  if (name) {
    std::printf("management interface answered \"%s\"\n", name->c_str());
    // Win32_ComputerSystem.UserName is "DOMAIN\\user" (Wine: "<COMPUTER>\\root").
    EXPECT_NE(name->find('\\'), std::string::npos) << *name;
  } else {
    std::printf("management interface did not answer; the worker came back all the same\n");
  }
}

// --- the device-change window and its dispatch ---

struct DeviceChangeRecorder {
  int calls = 0;
  void Changed(TPTDeviceChangeHandler&, const MSG&) { ++calls; }
};

TEST(DeviceChangeWindow, ABroadcastReachesAHandler) {
  DeviceChangeRecorder recorder;
  TPTDeviceChangeHandler& handler = GetDeviceChangeHandler();
  handler.AddHandler(MakeDeviceChangeEvent<&DeviceChangeRecorder::Changed>(recorder));
  SendMessageA(handler.Handle(), WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
  EXPECT_TRUE(testing::PumpUntil([&] { return recorder.calls > 0; }, 60000));
  handler.RemoveHandler(MakeDeviceChangeEvent<&DeviceChangeRecorder::Changed>(recorder));
}

// --- COM objects that OLE calls: data object, its enumerator, drop source, drop target ---

ComPtr<IDataObject> DataObjectOfTheWindowsFolder(std::string& path) {
  char windows[MAX_PATH];
  GetWindowsDirectoryA(windows, MAX_PATH);
  path = windows;
  unique_idlist absolute;
  EXPECT_EQ(PathToIdList(path, absolute), S_OK);
  unique_idlist parent = CopyIdList(absolute.get());
  ILRemoveLastID(parent.get());
  return ComPtr<IDataObject>(new TDataObject_shtv(parent.get(), ILFindLastID(absolute.get()), path));
}

TEST(OleCallsOurObjects, ClipboardReadsTheDataObjectThroughItsEnumerator) {
  std::string path;
  ComPtr<IDataObject> data = DataObjectOfTheWindowsFolder(path);
  // The clipboard asks the object for its formats (our enumerator) and, when flushed, for each
  // block (our GetData); what comes back out is the platform's own copy.
  ASSERT_EQ(OleSetClipboard(data.Get()), S_OK);
  ASSERT_EQ(OleFlushClipboard(), S_OK);
  ASSERT_TRUE(OpenClipboard(nullptr));
  HANDLE drop = GetClipboardData(CF_HDROP);
  char file[MAX_PATH] = {};
  if (drop) DragQueryFileA(static_cast<HDROP>(drop), 0, file, MAX_PATH);
  CloseClipboard();
  EXPECT_STRCASEEQ(file, path.c_str());
  OleSetClipboard(nullptr);
}

class RecordingOwner final : public DropTargetOwner {
 public:
  HRESULT DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
    calls.push_back("enter");
    FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    offered_files = data && data->QueryGetData(&format) == S_OK;
    *effect = DROPEFFECT_COPY;
    return S_OK;
  }
  HRESULT DragOver(DWORD, POINTL, DWORD* effect) override {
    if (calls.empty() || calls.back() != "over") calls.push_back("over");
    *effect = DROPEFFECT_COPY;
    return S_OK;
  }
  HRESULT DragLeave() override {
    calls.push_back("leave");
    return S_OK;
  }
  HRESULT Drop(IDataObject*, DWORD, POINTL, DWORD* effect) override {
    calls.push_back("drop");
    *effect = DROPEFFECT_COPY;
    return S_OK;
  }
  std::vector<std::string> calls;
  bool offered_files = false;
};

TEST(OleCallsOurObjects, DragLoopAsksTheSourceAndDeliversToTheTarget) {
  TForm form(nullptr);
  form.SetBounds(100, 100, 300, 200);
  form.HandleNeeded();
  form.Show();
  RecordingOwner owner;
  ComPtr<TDropTarget_shtv> target(new TDropTarget_shtv(owner));
  ASSERT_EQ(RegisterDragDrop(form.Handle(), target.Get()), S_OK);
  RECT bounds;
  GetWindowRect(form.Handle(), &bounds);
  SetCursorPos((bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2);

  std::string path;
  ComPtr<IDataObject> data = DataObjectOfTheWindowsFolder(path);
  // No button is down: the source answers "drop" at its first question, and the loop hands the
  // data to the target under the cursor.
  ComPtr<IDropSource> source(new TDropSource_shlvtv(TMouseButton::mbLeft));
  DWORD effect = DROPEFFECT_NONE;
  HRESULT result = DoDragDrop(data.Get(), source.Get(), DROPEFFECT_COPY | DROPEFFECT_LINK, &effect);
  RevokeDragDrop(form.Handle());
  target->Detach();

  EXPECT_EQ(result, DRAGDROP_S_DROP);
  ASSERT_FALSE(owner.calls.empty());
  EXPECT_EQ(owner.calls.front(), "enter");
  EXPECT_EQ(owner.calls.back(), "drop");
  EXPECT_TRUE(owner.offered_files);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
}

}  // namespace
}  // namespace stampwell
