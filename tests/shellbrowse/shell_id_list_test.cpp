// Identifier lists on the real shell of the test prefix.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <string>

#include "shellbrowse/toolbox/id_list.h"
#include "shellbrowse/toolbox/shell_error.h"
#include "shellbrowse/toolbox/shell_id_list.h"
#include "shellbrowse/toolbox/toolbox_error.h"
#include "tests/shellbrowse/shell_test_support.h"

using Microsoft::WRL::ComPtr;

namespace stampwell {
namespace {

using testing::ScratchDirectory;

const USHORT kEmpty = 0;
LPCITEMIDLIST EmptyList() { return reinterpret_cast<LPCITEMIDLIST>(&kEmpty); }

TEST(ShellIdList, PathToListAndBack) {
  ScratchDirectory scratch("id_list");
  std::string deep = scratch.path() + "\\one\\two";
  ASSERT_TRUE(CreateDirectoryA((scratch.path() + "\\one").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA(deep.c_str(), nullptr));

  unique_idlist list;
  ASSERT_EQ(PathToIdList(deep, list), S_OK);
  ASSERT_TRUE(list);
  EXPECT_GE(IdListItemCount(list.get()), 3);
  EXPECT_EQ(IdListToPath(list.get()), deep);

  // A path that names nothing cannot be parsed and leaves no list.
  unique_idlist missing = CopyIdList(nullptr);
  EXPECT_TRUE(FAILED(PathToIdList(scratch.path() + "\\absent", missing)));
  EXPECT_FALSE(missing);
  EXPECT_TRUE(FAILED(PathToIdList(std::string(400, 'a'), missing)));
  EXPECT_FALSE(missing);

  // The desktop (empty or null list) is the user's desktop directory on disk.
  std::string desktop = SpecialFolderPath(nullptr, CSIDL_DESKTOPDIRECTORY);
  ASSERT_FALSE(desktop.empty());
  EXPECT_EQ(IdListToPath(nullptr), desktop);
  EXPECT_EQ(IdListToPath(EmptyList()), desktop);
  // My Computer has no file-system path.
  unique_idlist drives;
  ASSERT_EQ(SpecialFolderIdList(nullptr, CSIDL_DRIVES, drives), S_OK);
  EXPECT_EQ(IdListToPath(drives.get()), "");
  EXPECT_EQ(SpecialFolderPath(nullptr, CSIDL_DRIVES), "");
  // The number is masked to its low 7 bits, so a creation flag does not change the folder.
  EXPECT_EQ(SpecialFolderPath(nullptr, CSIDL_PERSONAL | 0x80), SpecialFolderPath(nullptr, CSIDL_PERSONAL));
}

TEST(ShellIdList, Comparisons) {
  ScratchDirectory scratch("compare");
  unique_idlist a, a_again, b;
  ASSERT_EQ(PathToIdList(scratch.path(), a), S_OK);
  ASSERT_EQ(PathToIdList(scratch.path(), a_again), S_OK);
  ASSERT_EQ(PathToIdList(scratch.path() + "\\..", b), S_OK);
  EXPECT_EQ(CompareIdLists(a.get(), a_again.get()), 0);
  int ab = CompareIdLists(a.get(), b.get());
  EXPECT_NE(ab, 0);
  EXPECT_NE(ab, kIdListsNotComparable);

  EXPECT_EQ(CompareIdLists(nullptr, nullptr), 0);
  EXPECT_EQ(CompareIdLists(nullptr, a.get()), -1);
  EXPECT_EQ(CompareIdLists(a.get(), nullptr), -1);
  EXPECT_EQ(CompareIdLists(EmptyList(), EmptyList()), 0);

  unique_idlist one_item;
  ASSERT_EQ(SpecialFolderIdList(nullptr, CSIDL_DRIVES, one_item), S_OK);
  ASSERT_EQ(IdListItemCount(one_item.get()), 1);
  EXPECT_EQ(CompareIdLists(EmptyList(), one_item.get()), -1);
  EXPECT_EQ(CompareIdLists(one_item.get(), EmptyList()), -1);
}

TEST(ShellIdList, OwnerFreesThroughShellAllocatorAndCopies) {
  ASSERT_NE(ShellMalloc(), nullptr);
  unique_idlist drives;
  ASSERT_EQ(SpecialFolderIdList(nullptr, CSIDL_DRIVES, drives), S_OK);
  EXPECT_EQ(ShellMalloc()->DidAlloc(drives.get()), 1);
  unique_idlist copy = CopyIdList(drives.get());
  EXPECT_EQ(IdListSize(copy.get()), IdListSize(drives.get()));
  EXPECT_EQ(CompareIdLists(copy.get(), drives.get()), 0);
  unique_idlist joined = ConcatIdLists(drives.get(), nullptr);
  EXPECT_EQ(CompareIdLists(joined.get(), drives.get()), 0);
  // put() frees the old list before the shell writes a new one.
  ASSERT_EQ(SpecialFolderIdList(nullptr, CSIDL_PERSONAL, copy), S_OK);
  EXPECT_NE(CompareIdLists(copy.get(), drives.get()), 0);
}

TEST(ShellIdList, ParentsOfDesktopOneItemAndDeepLists) {
  ComPtr<IShellFolder> parent;
  unique_idlist parent_list, last;

  // The desktop's parent is the folder that holds the desktop directory.
  ASSERT_EQ(GetParentFolder(EmptyList(), parent, parent_list, last), S_OK);
  ASSERT_TRUE(parent);
  ASSERT_TRUE(last);
  EXPECT_EQ(IdListItemCount(last.get()), 1);
  std::string desktop_dir = SpecialFolderPath(nullptr, CSIDL_DESKTOPDIRECTORY);
  std::string holder = desktop_dir.substr(0, desktop_dir.rfind('\\'));
  if (holder.size() == 2) holder += '\\';
  if (parent_list) {
    EXPECT_EQ(IdListToPath(parent_list.get()), holder);
  }
  std::string last_name = GetDisplayName(parent.Get(), last.get(), NameKind::ForParsing);
  EXPECT_NE(last_name, "");

  unique_idlist drives;
  ASSERT_EQ(SpecialFolderIdList(nullptr, CSIDL_DRIVES, drives), S_OK);
  ASSERT_EQ(GetParentFolder(drives.get(), parent, parent_list, last), S_OK);
  EXPECT_FALSE(parent_list);
  ASSERT_TRUE(last);
  EXPECT_EQ(CompareIdLists(last.get(), drives.get()), 0);
  EXPECT_EQ(GetDisplayName(parent.Get(), last.get(), NameKind::Normal),
            GetDisplayName(nullptr, drives.get(), NameKind::Normal));

  ScratchDirectory scratch("parent");
  std::string child = scratch.path() + "\\child";
  ASSERT_TRUE(CreateDirectoryA(child.c_str(), nullptr));
  unique_idlist deep;
  ASSERT_EQ(PathToIdList(child, deep), S_OK);
  ASSERT_EQ(GetParentFolder(deep.get(), parent, parent_list, last), S_OK);
  EXPECT_EQ(IdListToPath(parent_list.get()), scratch.path());
  EXPECT_EQ(IdListItemCount(last.get()), 1);
  EXPECT_EQ(GetDisplayName(parent.Get(), last.get(), NameKind::InFolder), "child");
}

TEST(ShellIdList, SpecialFolderOfLists) {
  EXPECT_EQ(SpecialFolderOfIdList(EmptyList()), 0);
  unique_idlist documents;
  ASSERT_EQ(SpecialFolderIdList(nullptr, CSIDL_PERSONAL, documents), S_OK);
  EXPECT_EQ(SpecialFolderOfIdList(documents.get()), CSIDL_PERSONAL);
  unique_idlist drives;
  ASSERT_EQ(SpecialFolderIdList(nullptr, CSIDL_DRIVES, drives), S_OK);
  EXPECT_EQ(SpecialFolderOfIdList(drives.get()), CSIDL_DRIVES);
  ScratchDirectory scratch("special");
  unique_idlist plain;
  ASSERT_EQ(PathToIdList(scratch.path(), plain), S_OK);
  EXPECT_EQ(SpecialFolderOfIdList(plain.get()), kNoSpecialFolder);
}

TEST(ShellIdList, DisplayNamesOfEachKind) {
  ScratchDirectory scratch("names");
  std::string folder = scratch.path() + "\\Named Folder";
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  unique_idlist list;
  ASSERT_EQ(PathToIdList(folder, list), S_OK);
  ComPtr<IShellFolder> parent;
  unique_idlist parent_list, last;
  ASSERT_EQ(GetParentFolder(list.get(), parent, parent_list, last), S_OK);

  EXPECT_EQ(GetDisplayName(parent.Get(), last.get(), NameKind::Normal), "Named Folder");
  EXPECT_EQ(GetDisplayName(parent.Get(), last.get(), NameKind::InFolder), "Named Folder");
  EXPECT_EQ(GetDisplayName(parent.Get(), last.get(), NameKind::ForEditing), "Named Folder");
  EXPECT_EQ(GetDisplayName(parent.Get(), last.get(), NameKind::ForParsing), folder);
  // Absolute names: the desktop asked for the whole list.
  EXPECT_EQ(GetDisplayName(nullptr, list.get(), NameKind::ForParsing), folder);
  EXPECT_EQ(GetAbsDisplayName(list.get()), "Named Folder");
  EXPECT_NE(GetAbsDisplayName(EmptyList()), "");
  EXPECT_NE(GetAbsDisplayName(nullptr), "");

  EXPECT_EQ(DisplayNameFlags(NameKind::Normal), 0x0000u);
  EXPECT_EQ(DisplayNameFlags(NameKind::InFolder), 0x0001u);
  EXPECT_EQ(DisplayNameFlags(NameKind::ForParsing), 0x8000u);
  EXPECT_EQ(DisplayNameFlags(NameKind::ForEditing), 0x1001u);
}

TEST(ShellIdList, StrRetOfEachType) {
  STRRET wide{};
  wide.uType = STRRET_WSTR;
  wide.pOleStr = static_cast<LPWSTR>(CoTaskMemAlloc(sizeof L"caf\u00e9"));
  wcscpy(wide.pOleStr, L"caf\u00e9");
  EXPECT_EQ(StrRetToString(nullptr, wide), "caf\xe9");
  EXPECT_EQ(wide.pOleStr, nullptr);

  unsigned char item[] = {8, 0, 'x', 'n', 'a', 'm', 'e', 0, 0, 0};
  STRRET offset{};
  offset.uType = STRRET_OFFSET;
  offset.uOffset = 3;
  EXPECT_EQ(StrRetToString(reinterpret_cast<LPCITEMIDLIST>(item), offset), "name");

  STRRET full{};
  full.uType = STRRET_CSTR;
  memset(full.cStr, 'z', sizeof full.cStr);  // no terminator: read up to the buffer's end
  EXPECT_EQ(StrRetToString(nullptr, full), std::string(sizeof full.cStr, 'z'));
}

TEST(ShellIdList, BindingAndItsFailureMessage) {
  ComPtr<IShellFolder> folder;
  EXPECT_EQ(BindToFolder(nullptr, folder), S_OK);
  ComPtr<IShellFolder> desktop;
  ASSERT_EQ(SHGetDesktopFolder(&desktop), S_OK);
  EXPECT_EQ(folder.Get(), desktop.Get());

  ScratchDirectory scratch("bind");
  unique_idlist list;
  ASSERT_EQ(PathToIdList(scratch.path(), list), S_OK);
  ASSERT_EQ(BindToFolder(list.get(), folder), S_OK);
  EXPECT_TRUE(folder);

  try {
    RaiseOleError(E_ACCESSDENIED);
    FAIL() << "no error raised";
  } catch (const ToolboxError& error) {
    EXPECT_EQ(std::string(error.what()), SystemMessage(static_cast<DWORD>(E_ACCESSDENIED)));
    EXPECT_NE(std::string(error.what()).find("ccess"), std::string::npos) << error.what();
  }
  EXPECT_EQ(SystemMessage(0xA0001234u), "OLE error A0001234");
}

}  // namespace
}  // namespace stampwell
