// The shell locator on the real shell of the test prefix: its change rules, conversions,
// assignment and its stored form.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

#include "shellbrowse/locator/shell_locator.h"
#include "tests/shellbrowse/shell_test_support.h"

namespace stampwell {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testing::ScratchDirectory;

// A locator that counts its notifications, each of which must name it as the sender.
struct CountedLocator {
  TPTShellLocator locator;
  int changes = 0;
  CountedLocator() {
    locator.OnChange = [this](TObject* sender) {
      EXPECT_EQ(sender, &locator);
      ++changes;
    };
  }
};

unique_idlist ListOf(const std::string& path) {
  unique_idlist list;
  EXPECT_EQ(PathToIdList(path, list), S_OK) << path;
  return list;
}

Bytes BytesOf(LPCITEMIDLIST list) {
  const auto* p = reinterpret_cast<const std::uint8_t*>(list);
  return Bytes(p, p + IdListSize(list));
}

const USHORT kEmpty = 0;
LPCITEMIDLIST EmptyList() { return reinterpret_cast<LPCITEMIDLIST>(&kEmpty); }

class TOtherPersistent : public TPersistent {};

TEST(ShellLocator, SetIdListFiresOnlyOnRealChanges) {
  ScratchDirectory scratch("locator_set");
  unique_idlist folder = ListOf(scratch.path());
  CountedLocator c;
  EXPECT_EQ(c.locator.Kind(), TPTShellLocator::kIdListKind);
  EXPECT_EQ(c.locator.IdList(), nullptr);

  // The empty list on a new locator is the desktop it already names.
  c.locator.SetIdList(EmptyList());
  c.locator.SetIdList(nullptr);
  EXPECT_EQ(c.changes, 0);

  c.locator.SetIdList(folder.get());
  c.locator.SetIdList(folder.get());
  EXPECT_EQ(c.changes, 1);
  // The locator keeps its own copy, never the caller's list.
  ASSERT_NE(c.locator.IdList(), nullptr);
  EXPECT_NE(c.locator.IdList(), folder.get());
  EXPECT_EQ(BytesOf(c.locator.IdList()), BytesOf(folder.get()));
  EXPECT_EQ(c.locator.FolderId(), kNoSpecialFolder);

  // Its own list handed back is no change and must not be read after it is freed.
  c.locator.SetIdList(c.locator.IdList());
  EXPECT_EQ(c.changes, 1);
  EXPECT_EQ(BytesOf(c.locator.IdList()), BytesOf(folder.get()));

  // Back to the desktop by the empty list: one change, and no list is kept.
  c.locator.SetIdList(EmptyList());
  EXPECT_EQ(c.changes, 2);
  EXPECT_EQ(c.locator.IdList(), nullptr);
  c.locator.SetIdList(folder.get());
  c.locator.Clear();
  EXPECT_EQ(c.changes, 4);
  EXPECT_EQ(c.locator.IdList(), nullptr);
}

TEST(ShellLocator, PathsConvertBothWays) {
  ScratchDirectory scratch("locator_path");
  CountedLocator c;
  c.locator.SetPath(scratch.path());
  EXPECT_EQ(c.changes, 1);
  EXPECT_EQ(c.locator.Path(), scratch.path());

  // A path that names nothing leaves the desktop, and says so when it was elsewhere before.
  c.locator.SetPath(scratch.path() + "\\absent");
  EXPECT_EQ(c.changes, 2);
  EXPECT_EQ(c.locator.IdList(), nullptr);
  EXPECT_EQ(c.locator.Path(), SpecialFolderPath(nullptr, CSIDL_DESKTOPDIRECTORY));
  c.locator.SetPath(scratch.path() + "\\absent too");
  EXPECT_EQ(c.changes, 2);

  // A place with no file-system path reads as the empty string.
  TPTShellLocator drives;
  drives.ReadIdList(Bytes{1, CSIDL_DRIVES});
  EXPECT_EQ(drives.Path(), "");
}

TEST(ShellLocator, SpecialFolderResolvesOnFirstRead) {
  TPTShellLocator locator;
  locator.ReadIdList(Bytes{1, CSIDL_PERSONAL});
  EXPECT_EQ(locator.Kind(), TPTShellLocator::kSpecialFolderKind);
  EXPECT_EQ(locator.FolderId(), CSIDL_PERSONAL);
  LPCITEMIDLIST first = locator.IdList();
  ASSERT_NE(first, nullptr);
  unique_idlist expected;
  ASSERT_EQ(SpecialFolderIdList(nullptr, CSIDL_PERSONAL, expected), S_OK);
  EXPECT_EQ(CompareIdLists(first, expected.get()), 0);
  EXPECT_EQ(locator.IdList(), first);  // resolved once, then kept
  EXPECT_EQ(locator.Path(), SpecialFolderPath(nullptr, CSIDL_PERSONAL));

  // A folder that the shell cannot give reads as no list, and is no error.
  TPTShellLocator unknown;
  unknown.ReadIdList(Bytes{1, 0x7F});
  EXPECT_EQ(unknown.IdList(), nullptr);
}

TEST(ShellLocator, AssignCopiesOnlyOtherLocations) {
  ScratchDirectory scratch("locator_assign");
  CountedLocator target;
  TPTShellLocator same_folder, other_folder;
  same_folder.SetPath(scratch.path());
  target.locator.SetPath(scratch.path());
  target.changes = 0;

  target.locator.Assign(&target.locator);
  target.locator.Assign(&same_folder);
  EXPECT_EQ(target.changes, 0);

  // Special folder 5 over 17: the number is copied, the list resolved again on first use.
  TPTShellLocator five, seventeen_source;
  five.ReadIdList(Bytes{1, 5});
  seventeen_source.ReadIdList(Bytes{1, 17});
  target.locator.Assign(&seventeen_source);
  EXPECT_EQ(target.changes, 1);
  EXPECT_EQ(target.locator.Kind(), TPTShellLocator::kSpecialFolderKind);
  EXPECT_EQ(target.locator.FolderId(), 17);
  target.locator.IdList();
  target.locator.Assign(&five);
  EXPECT_EQ(target.changes, 2);
  EXPECT_EQ(target.locator.FolderId(), 5);
  unique_idlist personal;
  ASSERT_EQ(SpecialFolderIdList(nullptr, 5, personal), S_OK);
  EXPECT_EQ(CompareIdLists(target.locator.IdList(), personal.get()), 0);
  target.locator.Assign(&five);
  EXPECT_EQ(target.changes, 2);

  // A list locator: a copy of the list, not the source's own.
  other_folder.SetPath(scratch.path());
  target.locator.Assign(&other_folder);
  EXPECT_EQ(target.changes, 3);
  EXPECT_EQ(target.locator.Kind(), TPTShellLocator::kIdListKind);
  EXPECT_NE(target.locator.IdList(), other_folder.IdList());
  EXPECT_TRUE(target.locator.IsSameLocation(other_folder));

  // No source drops a stored list; on the desktop it does nothing.
  target.locator.Assign(nullptr);
  EXPECT_EQ(target.changes, 4);
  EXPECT_EQ(target.locator.IdList(), nullptr);
  target.locator.Assign(nullptr);
  EXPECT_EQ(target.changes, 4);

  TOtherPersistent stranger;
  try {
    target.locator.Assign(&stranger);
    ADD_FAILURE() << "assigned another class";
  } catch (const Exception& error) {
    EXPECT_EQ(error.Message(), "Cannot assign a TOtherPersistent to a TPTShellLocator");
  }
  EXPECT_EQ(target.changes, 4);
}

TEST(ShellLocator, SameLocationNeedsTheSameKind) {
  ScratchDirectory scratch("locator_same");
  TPTShellLocator desktop, empty_desktop, special_desktop, folder;
  empty_desktop.SetIdList(EmptyList());
  EXPECT_TRUE(desktop.IsSameLocation(empty_desktop));
  // Special folder 0 is the desktop too, but named another way.
  special_desktop.ReadIdList(Bytes{1, 0});
  EXPECT_FALSE(desktop.IsSameLocation(special_desktop));
  folder.SetPath(scratch.path());
  EXPECT_FALSE(desktop.IsSameLocation(folder));
  EXPECT_FALSE(folder.IsSameLocation(desktop));
}

TEST(ShellLocator, StoredFormRoundTripsByteForByte) {
  ScratchDirectory scratch("locator_store");
  TPTShellLocator written;
  EXPECT_FALSE(written.HasStoredData());
  written.SetPath(scratch.path());
  ASSERT_TRUE(written.HasStoredData());
  Bytes stream;
  written.WriteIdList(stream);
  ASSERT_EQ(stream.size(), 1 + 4 + IdListSize(written.IdList()));

  CountedLocator read;
  read.locator.ReadIdList(stream);
  EXPECT_EQ(read.changes, 0);
  EXPECT_EQ(read.locator.Kind(), TPTShellLocator::kIdListKind);
  EXPECT_TRUE(read.locator.IsSameLocation(written));
  EXPECT_EQ(BytesOf(read.locator.IdList()), BytesOf(written.IdList()));
  EXPECT_EQ(read.locator.Path(), scratch.path());

  // A special folder stores its number, not the list it resolved.
  TPTShellLocator special;
  special.ReadIdList(Bytes{7, CSIDL_PERSONAL});
  special.IdList();
  ASSERT_TRUE(special.HasStoredData());
  stream.clear();
  special.WriteIdList(stream);
  EXPECT_EQ(stream, (Bytes{1, CSIDL_PERSONAL}));

  // A stored size of 0 is special folder 0, the desktop.
  read.locator.ReadIdList(Bytes{0, 0, 0, 0, 0});
  EXPECT_EQ(read.locator.Kind(), TPTShellLocator::kSpecialFolderKind);
  EXPECT_EQ(read.locator.FolderId(), 0);
  EXPECT_EQ(read.locator.Path(), SpecialFolderPath(nullptr, CSIDL_DESKTOPDIRECTORY));
  EXPECT_EQ(read.changes, 0);
}

TEST(ShellLocator, MalformedStoredDataIsRefusedAndLeavesTheDesktop) {
  ScratchDirectory scratch("locator_malformed");
  TPTShellLocator locator;
  locator.SetPath(scratch.path());
  // The size says 40 bytes, 7 are there.
  Bytes truncated = {0, 40, 0, 0, 0, 5, 0, 'a', 'b', 'c', 0, 0};
  EXPECT_THROW(locator.ReadIdList(truncated), Exception);
  EXPECT_EQ(locator.Kind(), TPTShellLocator::kIdListKind);
  EXPECT_EQ(locator.IdList(), nullptr);
  // An item that runs past the size.
  EXPECT_THROW(locator.ReadIdList(Bytes{0, 4, 0, 0, 0, 9, 0, 'a', 'b', 0, 0}), Exception);
  EXPECT_EQ(locator.IdList(), nullptr);
}

// A filer that keeps the one property it is given, as a form reader and writer would.
class KeepingFiler final : public TFiler {
 public:
  void DefineBinaryProperty(const std::string& name, const BinaryReader& reader, const BinaryWriter& writer,
                            bool has_data) override {
    defined = name;
    if (reading) {
      if (!stored.empty()) reader(stored);
    } else if (has_data) {
      writer(stored);
    }
  }
  bool reading = false;
  std::string defined;
  Bytes stored;
};

TEST(ShellLocator, DefinesPidlWithItsReaderWriterAndTest) {
  ScratchDirectory scratch("locator_define");
  TPTShellLocator written;
  KeepingFiler filer;
  // The desktop by an empty list stores nothing, and an absent property leaves the default.
  written.DefineProperties(filer);
  EXPECT_EQ(filer.defined, "Pidl");
  EXPECT_TRUE(filer.stored.empty());

  written.SetPath(scratch.path());
  written.DefineProperties(filer);
  ASSERT_FALSE(filer.stored.empty());
  filer.reading = true;
  TPTShellLocator read;
  read.DefineProperties(filer);
  EXPECT_TRUE(read.IsSameLocation(written));
}

}  // namespace
}  // namespace stampwell
