// The drag objects with the real shell of the test prefix: a file dropped on a folder's own drop
// target, the effects that dropped items allow, and the subsystem-wide values.
#include <gtest/gtest.h>

#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

#include "shellbrowse/dragdrop/data_effects.h"
#include "shellbrowse/dragdrop/data_object.h"
#include "shellbrowse/dragdrop/drag_blocks.h"
#include "shellbrowse/dragdrop/global_lock.h"
#include "shellbrowse/toolbox/drag_drop_values.h"
#include "shellbrowse/toolbox/shell_id_list.h"
#include "shellbrowse/toolbox/shell_toolbox.h"
#include "shellbrowse/toolbox/toolbox_error.h"
#include "tests/shellbrowse/shell_test_support.h"

using Microsoft::WRL::ComPtr;

namespace stampwell {
namespace {

using testing::RunningOnWine;
using testing::ScratchDirectory;
using testing::WriteTextFile;

void WriteText(const std::string& path, const std::string& text) { ASSERT_TRUE(WriteTextFile(path, text)) << path; }

std::string ReadText(const std::string& path) {
  unique_file file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return "(missing)";
  char buffer[256];
  DWORD read = 0;
  ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr);
  return std::string(buffer, read);
}

// The item at `path` as the tree holds a node: its parent folder, the parent's absolute list and
// the item's list relative to it.
struct ItemInFolder {
  ComPtr<IShellFolder> parent;
  unique_idlist parent_list;
  unique_idlist item;
};
bool SplitPath(const std::string& path, ItemInFolder& split) {
  unique_idlist absolute;
  return SUCCEEDED(PathToIdList(path, absolute)) &&
         SUCCEEDED(GetParentFolder(absolute.get(), split.parent, split.parent_list, split.item));
}

// The data object of the item at `path`, as the tree makes it for a node.
ComPtr<IDataObject> DataObjectFor(const std::string& path) {
  ItemInFolder split;
  if (!SplitPath(path, split)) return nullptr;
  return new TDataObject_shtv(split.parent_list.get(), split.item.get(),
                              GetDisplayName(split.parent.Get(), split.item.get(), NameKind::ForParsing));
}

// A folder's own drop target, through its parent folder as the tree asks for it.
ComPtr<IDropTarget> FolderDropTarget(const std::string& path) {
  ItemInFolder split;
  if (!SplitPath(path, split)) return nullptr;
  LPCITEMIDLIST items[] = {split.item.get()};
  ComPtr<IDropTarget> target;
  if (FAILED(split.parent->GetUIObjectOf(nullptr, 1, items, IID_IDropTarget, nullptr,
                                         reinterpret_cast<void**>(target.GetAddressOf()))))
    return nullptr;
  return target;
}

// OLE for one test, as the subsystem's start gives it to the tree.
class OleScope {
 public:
  OleScope() : started_(SUCCEEDED(OleInitialize(nullptr))) {}
  ~OleScope() {
    if (started_) OleUninitialize();
  }

 private:
  bool started_;
};

TEST(ShellDrop, FileDroppedOnAFoldersDropTargetIsCopiedByTheShell) {
  OleScope ole;
  ScratchDirectory scratch("drop");
  const std::string source = scratch.path() + "\\source";
  const std::string target_folder = scratch.path() + "\\target";
  CreateDirectoryA(source.c_str(), nullptr);
  CreateDirectoryA(target_folder.c_str(), nullptr);
  WriteText(source + "\\dropped.txt", "dropped contents");

  ComPtr<IDataObject> data = DataObjectFor(source + "\\dropped.txt");
  ASSERT_TRUE(data);
  ComPtr<IDropTarget> target = FolderDropTarget(target_folder);
  ASSERT_TRUE(target);

  // As the tree's Drop does it: enter and hover with the button that started the drag, then drop
  // with the effect narrowed to what the item allows.
  POINTL point{0, 0};
  DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
  ASSERT_EQ(target->DragEnter(data.Get(), MK_LBUTTON | MK_CONTROL, point, &effect), S_OK);
  // The folder accepts the item (it read our id list array): Ctrl asks for a copy.
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
  effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
  ASSERT_EQ(target->DragOver(MK_LBUTTON | MK_CONTROL, point, &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
  effect = DROPEFFECT_COPY & GetDataEffects(data.Get());
  ASSERT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
  // S_OK from the drop means the shell bound our parent list and named our item.
  EXPECT_EQ(target->Drop(data.Get(), MK_LBUTTON | MK_CONTROL, point, &effect), S_OK);

  if (RunningOnWine()) {
    // Wine 8's file-system folder drop target reads the id list array and resolves each item
    // but does not copy ("semi-stub"); Windows copies. We check the copy on Windows only.
    GTEST_SKIP() << "Wine's folder drop target does not copy the dropped file";
  }
  EXPECT_EQ(ReadText(target_folder + "\\dropped.txt"), "dropped contents");
  EXPECT_EQ(ReadText(source + "\\dropped.txt"), "dropped contents");  // a copy, not a move
}

// A data object that hands out a block of our choosing as "Shell IDList Array".
class BlockData final : public ComObject<IDataObject> {
 public:
  explicit BlockData(std::vector<std::uint8_t> block) : block_(std::move(block)) {}
  STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) noexcept override {
    HRESULT hr = QueryGetData(format);
    if (hr != S_OK) return hr;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, block_.size());
    {
      GlobalLockScope lock(memory);
      std::memcpy(lock.get(), block_.data(), block_.size());
    }
    *medium = STGMEDIUM{TYMED_HGLOBAL, {nullptr}, nullptr};
    medium->hGlobal = memory;
    return S_OK;
  }
  STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) noexcept override { return E_NOTIMPL; }
  STDMETHODIMP QueryGetData(FORMATETC* format) noexcept override {
    return format->cfFormat == ShellIdListArrayFormat() && (format->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_FORMATETC;
  }
  STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) noexcept override { return E_NOTIMPL; }
  STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) noexcept override { return E_NOTIMPL; }
  STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) noexcept override { return E_NOTIMPL; }
  STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) noexcept override { return OLE_E_ADVISENOTSUPPORTED; }
  STDMETHODIMP DUnadvise(DWORD) noexcept override { return OLE_E_ADVISENOTSUPPORTED; }
  STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) noexcept override { return OLE_E_ADVISENOTSUPPORTED; }

 private:
  std::vector<std::uint8_t> block_;
};

TEST(DataEffects, AreWhatTheFolderAllowsForAllItemsAtOnce) {
  ScratchDirectory scratch("effects");
  WriteText(scratch.path() + "\\one.txt", "1");
  WriteText(scratch.path() + "\\two.txt", "2");

  unique_idlist folder_list;
  ASSERT_EQ(PathToIdList(scratch.path(), folder_list), S_OK);
  ComPtr<IShellFolder> folder;
  ASSERT_EQ(BindToFolder(folder_list.get(), folder), S_OK);
  auto child = [&](const char* name) {
    std::wstring wide(name, name + std::strlen(name));
    unique_idlist item;
    ULONG eaten = 0;
    folder->ParseDisplayName(nullptr, nullptr, wide.data(), &eaten, item.put(), nullptr);
    return item;
  };
  unique_idlist one = child("one.txt"), two = child("two.txt");
  ASSERT_TRUE(one && two);

  // The shell's own answer for both files together.
  LPCITEMIDLIST both[] = {one.get(), two.get()};
  SFGAOF expected = SFGAO_CANCOPY | SFGAO_CANMOVE | SFGAO_CANLINK;
  ASSERT_EQ(folder->GetAttributesOf(2, both, &expected), S_OK);
  expected &= 7;
  EXPECT_NE(expected & DROPEFFECT_COPY, 0u);  // a plain file can be copied

  const void* items[] = {one.get(), two.get()};
  ComPtr<IDataObject> data = new BlockData(BuildIdListArrayBlock(folder_list.get(), items));
  EXPECT_EQ(GetDataEffects(data.Get()), expected);
  // The tree's own data object of one file.
  ComPtr<IDataObject> node_data = DataObjectFor(scratch.path() + "\\one.txt");
  ASSERT_TRUE(node_data);
  SFGAOF alone = 7;
  LPCITEMIDLIST just_one[] = {one.get()};
  ASSERT_EQ(folder->GetAttributesOf(1, just_one, &alone), S_OK);
  EXPECT_EQ(GetDataEffects(node_data.Get()), alone & 7);

  // Without an id list array every effect stays allowed; a malformed one from another program
  // is refused with an error rather than read.
  ComPtr<IDataObject> offers_nothing = new TDataObject_shtv(nullptr, nullptr, "");
  EXPECT_EQ(GetDataEffects(offers_nothing.Get()), 7u);
  EXPECT_EQ(GetDataEffects(nullptr), 7u);
  std::vector<std::uint8_t> malformed = {5, 0, 0, 0, 8, 0, 0, 0, 0, 0};
  ComPtr<IDataObject> bad = new BlockData(malformed);
  EXPECT_THROW(GetDataEffects(bad.Get()), ToolboxError);
}

// A query that answers only the hover time.
BOOL WINAPI OnlyHoverTime(UINT action, UINT, void* value, UINT) {
  if (action != SPI_GETMOUSEHOVERTIME) return FALSE;
  *static_cast<UINT*>(value) = 777;
  return TRUE;
}

TEST(DragDropValues, StartSetsUpOleTheFormatAndTheHoverSettings) {
  DragHoverSettings read = ReadDragHoverSettings(OnlyHoverTime);
  EXPECT_EQ(read.hover_time, 777u);
  EXPECT_EQ(read.hover_width, 2);  // the calls that failed keep their defaults
  EXPECT_EQ(read.hover_height, 2);
  EXPECT_EQ(read.scroll_interval, 100u);
  EXPECT_EQ(read.horizontal_margin, 26);
  EXPECT_EQ(read.vertical_margin, 20);

  HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  class Target final : public ComObject<IDropTarget> {
    STDMETHODIMP DragEnter(IDataObject*, DWORD, POINTL, DWORD*) noexcept override { return S_OK; }
    STDMETHODIMP DragOver(DWORD, POINTL, DWORD*) noexcept override { return S_OK; }
    STDMETHODIMP DragLeave() noexcept override { return S_OK; }
    STDMETHODIMP Drop(IDataObject*, DWORD, POINTL, DWORD*) noexcept override { return S_OK; }
  };
  ComPtr<IDropTarget> target = new Target;

  ASSERT_TRUE(ShellToolboxStart());
  EXPECT_EQ(ShellIdListArrayFormat(), RegisterClipboardFormatA("Shell IDList Array"));
  DragHoverSettings system = ReadDragHoverSettings(SystemParametersInfoA);
  EXPECT_EQ(DragHoverValues().hover_time, system.hover_time);
  EXPECT_EQ(DragHoverValues().hover_width, system.hover_width);
  EXPECT_EQ(DragHoverValues().hover_height, system.hover_height);
  // The test program itself has COM only. Windows registers a drop target only with OLE
  // (E_OUTOFMEMORY without it), which the start provides; Wine registers one with COM alone, so
  // there this checks less.
  EXPECT_EQ(RegisterDragDrop(window, target.Get()), S_OK);
  EXPECT_EQ(RevokeDragDrop(window), S_OK);
  ShellToolboxEnd();
  DestroyWindow(window);
}

}  // namespace
}  // namespace stampwell
