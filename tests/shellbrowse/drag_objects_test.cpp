// The COM objects of a shell drag on the real platform: the format enumerator, the data object
// of one item (read back by the platform's own readers), the drop source's decisions and the
// drop target's forwarding.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "shellbrowse/dragdrop/data_object.h"
#include "shellbrowse/dragdrop/drag_blocks.h"
#include "shellbrowse/dragdrop/drop_source.h"
#include "shellbrowse/dragdrop/drop_target.h"
#include "shellbrowse/dragdrop/format_etc_list.h"
#include "shellbrowse/dragdrop/global_lock.h"
#include "shellbrowse/toolbox/drag_drop_values.h"
#include "tests/shellbrowse/test_lists.h"

using Microsoft::WRL::ComPtr;

namespace stampwell {
namespace {

using testing::MakeList;

FORMATETC Record(CLIPFORMAT format, DWORD tymed = TYMED_HGLOBAL, DWORD aspect = DVASPECT_CONTENT) {
  return FORMATETC{format, nullptr, aspect, -1, tymed};
}

std::vector<std::uint8_t> GlobalBytes(HGLOBAL memory) {
  GlobalLockScope lock(memory);
  const auto* bytes = static_cast<const std::uint8_t*>(lock.get());
  return bytes ? std::vector<std::uint8_t>(bytes, bytes + GlobalSize(memory)) : std::vector<std::uint8_t>{};
}

TEST(FormatEnumerator, NextSkipResetClone) {
  TPTFormatEtcList list;
  const CLIPFORMAT formats[] = {CF_TEXT, CF_HDROP};
  list.Add(formats);
  ASSERT_EQ(list.Count(), 2u);
  // Each added format gets the defaults.
  EXPECT_EQ(list[1].cfFormat, CF_HDROP);
  EXPECT_EQ(list[1].ptd, nullptr);
  EXPECT_EQ(list[1].dwAspect, static_cast<DWORD>(DVASPECT_CONTENT));
  EXPECT_EQ(list[1].lindex, -1);
  EXPECT_EQ(list[1].tymed, static_cast<DWORD>(TYMED_HGLOBAL));

  ComPtr<IEnumFORMATETC> enumerator = new TPTFormatEtcList_IEnumFormatEtc(list, nullptr);
  FORMATETC out[5] = {};
  ULONG fetched = 99;
  EXPECT_EQ(enumerator->Next(5, out, &fetched), S_FALSE);  // asked for 5 of 2
  EXPECT_EQ(fetched, 2u);
  EXPECT_EQ(out[0].cfFormat, CF_TEXT);
  EXPECT_EQ(out[1].cfFormat, CF_HDROP);
  EXPECT_EQ(enumerator->Next(1, out, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 0u);

  EXPECT_EQ(enumerator->Reset(), S_OK);
  EXPECT_EQ(enumerator->Next(1, out, nullptr), S_OK);  // fetched is optional
  EXPECT_EQ(out[0].cfFormat, CF_TEXT);

  ComPtr<IEnumFORMATETC> clone;
  ASSERT_EQ(enumerator->Clone(&clone), S_OK);
  EXPECT_EQ(enumerator->Skip(1), S_OK);
  EXPECT_EQ(enumerator->Skip(1), S_FALSE);  // nothing left to skip
  EXPECT_EQ(enumerator->Next(1, out, &fetched), S_FALSE);
  // The clone starts where the original was and moves on its own.
  EXPECT_EQ(clone->Next(2, out, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 1u);
  EXPECT_EQ(out[0].cfFormat, CF_HDROP);
  EXPECT_EQ(clone->Reset(), S_OK);
  EXPECT_EQ(clone->Skip(3), S_FALSE);
  EXPECT_EQ(clone->Next(1, out, &fetched), S_FALSE);
  EXPECT_EQ(clone->Skip(0), S_OK);

  // The clone came with exactly one reference, and so does a new enumerator once held.
  EXPECT_EQ(clone.Detach()->Release(), 0u);
  EXPECT_EQ(enumerator.Detach()->Release(), 0u);
}

// The data object of a file in a folder of the test prefix.
class DataObjectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    parent = MakeList({"parent-of", "item"});
    item = MakeList({"file.txt"});
    object = new TDataObject_shtv(reinterpret_cast<LPCITEMIDLIST>(parent.data()),
                                  reinterpret_cast<LPCITEMIDLIST>(item.data()), name);
  }
  std::vector<std::uint8_t> parent, item;
  std::string name = "C:\\folder\\file.txt";
  ComPtr<IDataObject> object;
};

TEST_F(DataObjectTest, QueryGetDataAnswersByFormatThenMediumThenAspect) {
  FORMATETC hdrop = Record(CF_HDROP);
  EXPECT_EQ(object->QueryGetData(&hdrop), S_OK);
  FORMATETC cida = Record(ShellIdListArrayFormat(), TYMED_HGLOBAL | TYMED_ISTREAM);
  EXPECT_EQ(object->QueryGetData(&cida), S_OK);  // one shared medium bit is enough
  FORMATETC file = Record(CF_HDROP, TYMED_FILE);
  EXPECT_EQ(object->QueryGetData(&file), DV_E_TYMED);
  FORMATETC text = Record(CF_TEXT);
  EXPECT_EQ(object->QueryGetData(&text), DV_E_FORMATETC);
  FORMATETC icon = Record(CF_HDROP, TYMED_HGLOBAL, DVASPECT_ICON);
  EXPECT_EQ(object->QueryGetData(&icon), DV_E_FORMATETC);

  STGMEDIUM medium{};
  EXPECT_EQ(object->GetData(&file, &medium), DV_E_TYMED);
  EXPECT_EQ(object->GetData(&text, &medium), DV_E_FORMATETC);
}

TEST_F(DataObjectTest, GetDataHandsOutAFreshCopyEachTime) {
  FORMATETC cida = Record(ShellIdListArrayFormat());
  STGMEDIUM first{}, second{};
  ASSERT_EQ(object->GetData(&cida, &first), S_OK);
  ASSERT_EQ(object->GetData(&cida, &second), S_OK);
  EXPECT_EQ(first.tymed, static_cast<DWORD>(TYMED_HGLOBAL));
  EXPECT_EQ(first.pUnkForRelease, nullptr);
  EXPECT_NE(first.hGlobal, second.hGlobal);
  const void* items[] = {item.data()};
  auto expected = BuildIdListArrayBlock(parent.data(), items);
  EXPECT_EQ(GlobalSize(first.hGlobal), GlobalSize(second.hGlobal));
  auto bytes = GlobalBytes(first.hGlobal);
  ASSERT_GE(bytes.size(), expected.size());
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), bytes.begin()));
  // The receiver owns its copy: spoiling and freeing it leaves the object's block alone.
  {
    GlobalLockScope lock(first.hGlobal);
    std::memset(lock.get(), 0xEE, GlobalSize(first.hGlobal));
  }
  ReleaseStgMedium(&first);
  auto again = GlobalBytes(second.hGlobal);
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), again.begin()));
  ReleaseStgMedium(&second);

  // The platform's own reader finds the name in the CF_HDROP copy.
  FORMATETC hdrop = Record(CF_HDROP);
  STGMEDIUM files{};
  ASSERT_EQ(object->GetData(&hdrop, &files), S_OK);
  auto drop = static_cast<HDROP>(files.hGlobal);
  EXPECT_EQ(DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0), 1u);
  char path[MAX_PATH] = {};
  EXPECT_EQ(DragQueryFileA(drop, 0, path, MAX_PATH), name.size());
  EXPECT_EQ(path, name);
  EXPECT_EQ(GlobalSize(files.hGlobal) >= 20 + 260 + 1, true);
  ReleaseStgMedium(&files);
}

TEST_F(DataObjectTest, EnumeratesItsFormatsForReadingOnly) {
  ComPtr<IEnumFORMATETC> none;
  EXPECT_EQ(object->EnumFormatEtc(DATADIR_SET, &none), E_NOTIMPL);
  EXPECT_EQ(none, nullptr);

  ComPtr<IEnumFORMATETC> formats;
  ASSERT_EQ(object->EnumFormatEtc(DATADIR_GET, &formats), S_OK);
  // The enumerator keeps the object's list alive after the object's last outside reference.
  object.Reset();
  FORMATETC out[3] = {};
  ULONG fetched = 0;
  EXPECT_EQ(formats->Next(3, out, &fetched), S_FALSE);
  ASSERT_EQ(fetched, 2u);
  EXPECT_EQ(out[0].cfFormat, ShellIdListArrayFormat());
  EXPECT_EQ(out[1].cfFormat, CF_HDROP);
  EXPECT_EQ(out[1].tymed, static_cast<DWORD>(TYMED_HGLOBAL));
  EXPECT_EQ(formats.Detach()->Release(), 0u);  // one reference, and the object goes with it
}

TEST_F(DataObjectTest, TheRestIsNotOffered) {
  FORMATETC hdrop = Record(CF_HDROP);
  FORMATETC out = Record(CF_TEXT);
  out.ptd = reinterpret_cast<DVTARGETDEVICE*>(&out);
  EXPECT_EQ(object->GetCanonicalFormatEtc(&hdrop, &out), E_NOTIMPL);
  EXPECT_EQ(out.ptd, nullptr);
  STGMEDIUM medium{};
  EXPECT_EQ(object->GetDataHere(&hdrop, &medium), E_NOTIMPL);
  EXPECT_EQ(object->SetData(&hdrop, &medium, FALSE), E_NOTIMPL);
  DWORD connection = 0;
  EXPECT_EQ(object->DAdvise(&hdrop, 0, nullptr, &connection), OLE_E_ADVISENOTSUPPORTED);
  EXPECT_EQ(object->DUnadvise(0), OLE_E_ADVISENOTSUPPORTED);
  IEnumSTATDATA* advises = nullptr;
  EXPECT_EQ(object->EnumDAdvise(&advises), OLE_E_ADVISENOTSUPPORTED);

  ComPtr<IDropTarget> wrong;
  EXPECT_EQ(object.As(&wrong), E_NOINTERFACE);
  ComPtr<IUnknown> unknown;
  EXPECT_EQ(object.As(&unknown), S_OK);
}

TEST(DataObject, LeavesOutWhatItCannotBuild) {
  // The reference count starts at 0: the first holder's AddRef makes it 1.
  auto* bare = new TDataObject_shtv(nullptr, nullptr, "C:\\x");
  EXPECT_EQ(bare->AddRef(), 1u);
  ComPtr<IDataObject> nothing;
  nothing.Attach(bare);
  ComPtr<IEnumFORMATETC> formats;
  ASSERT_EQ(nothing->EnumFormatEtc(DATADIR_GET, &formats), S_OK);
  FORMATETC out{};
  ULONG fetched = 9;
  EXPECT_EQ(formats->Next(1, &out, &fetched), S_FALSE);  // no item, no formats
  EXPECT_EQ(fetched, 0u);

  // No parsing name: the id list array alone, and no parent is the desktop.
  auto item = MakeList({"x"});
  ComPtr<IDataObject> unnamed = new TDataObject_shtv(nullptr, reinterpret_cast<LPCITEMIDLIST>(item.data()), "");
  FORMATETC hdrop = Record(CF_HDROP);
  EXPECT_EQ(unnamed->QueryGetData(&hdrop), DV_E_FORMATETC);
  FORMATETC cida = Record(ShellIdListArrayFormat());
  STGMEDIUM medium{};
  ASSERT_EQ(unnamed->GetData(&cida, &medium), S_OK);
  auto bytes = GlobalBytes(medium.hGlobal);
  ReleaseStgMedium(&medium);
  auto view = ParseIdListArrayBlock(bytes);
  ASSERT_TRUE(view);
  EXPECT_EQ(IdListSize(view->parent), 2u);
}

TEST(DropSource, QueryContinueDragTable) {
  struct Case {
    TMouseButton button;
    BOOL escape;
    DWORD keys;
    HRESULT expected;
  } cases[] = {
      {TMouseButton::mbLeft, FALSE, MK_LBUTTON, S_OK},
      {TMouseButton::mbLeft, FALSE, MK_LBUTTON | MK_CONTROL | MK_SHIFT, S_OK},
      {TMouseButton::mbLeft, FALSE, 0, DRAGDROP_S_DROP},
      {TMouseButton::mbLeft, FALSE, MK_CONTROL, DRAGDROP_S_DROP},
      {TMouseButton::mbLeft, TRUE, MK_LBUTTON, DRAGDROP_S_CANCEL},
      {TMouseButton::mbLeft, TRUE, 0, DRAGDROP_S_CANCEL},
      {TMouseButton::mbLeft, FALSE, MK_LBUTTON | MK_RBUTTON, DRAGDROP_S_CANCEL},
      {TMouseButton::mbLeft, FALSE, MK_MBUTTON, DRAGDROP_S_CANCEL},
      // A right-button drag ends when the right button comes up; the others cancel it.
      {TMouseButton::mbRight, FALSE, MK_RBUTTON, S_OK},
      {TMouseButton::mbRight, FALSE, 0, DRAGDROP_S_DROP},
      {TMouseButton::mbRight, FALSE, MK_RBUTTON | MK_LBUTTON, DRAGDROP_S_CANCEL},
      {TMouseButton::mbRight, FALSE, MK_RBUTTON | MK_MBUTTON, DRAGDROP_S_CANCEL},
      {TMouseButton::mbRight, FALSE, MK_LBUTTON, DRAGDROP_S_CANCEL},
      {TMouseButton::mbRight, TRUE, MK_RBUTTON, DRAGDROP_S_CANCEL},
      {TMouseButton::mbMiddle, FALSE, MK_MBUTTON, S_OK},
      {TMouseButton::mbMiddle, FALSE, 0, DRAGDROP_S_DROP},
      {TMouseButton::mbMiddle, FALSE, MK_MBUTTON | MK_LBUTTON, DRAGDROP_S_CANCEL},
  };
  for (const Case& c : cases) {
    ComPtr<IDropSource> source = new TDropSource_shlvtv(c.button);
    EXPECT_EQ(source->QueryContinueDrag(c.escape, c.keys), c.expected)
        << static_cast<int>(c.button) << " escape " << c.escape << " keys " << c.keys;
    EXPECT_EQ(source->GiveFeedback(DROPEFFECT_COPY), DRAGDROP_S_USEDEFAULTCURSORS);
  }
}

// Records the calls that reach it.
class RecordingOwner final : public DropTargetOwner {
 public:
  HRESULT DragEnter(IDataObject* data, DWORD key_state, POINTL point, DWORD* effect) override {
    calls.push_back("enter " + std::to_string(key_state) + " " + std::to_string(point.x) + "," + std::to_string(point.y));
    last_data = data;
    *effect = DROPEFFECT_LINK;
    return S_OK;
  }
  HRESULT DragOver(DWORD key_state, POINTL point, DWORD* effect) override {
    if (throw_next) throw std::runtime_error("lost");
    calls.push_back("over " + std::to_string(key_state));
    *effect = DROPEFFECT_MOVE;
    return S_FALSE;
  }
  HRESULT DragLeave() override {
    calls.push_back("leave");
    return S_OK;
  }
  HRESULT Drop(IDataObject* data, DWORD key_state, POINTL point, DWORD* effect) override {
    calls.push_back("drop " + std::to_string(*effect));
    *effect = DROPEFFECT_COPY;
    return E_ABORT;
  }
  std::vector<std::string> calls;
  IDataObject* last_data = nullptr;
  bool throw_next = false;
};

TEST(DropTarget, HandsEveryCallToItsOwnerUnchanged) {
  RecordingOwner owner;
  auto* raw = new TDropTarget_shtv(owner);
  ComPtr<IDropTarget> target = raw;
  auto item = MakeList({"x"});
  ComPtr<IDataObject> data = new TDataObject_shtv(nullptr, reinterpret_cast<LPCITEMIDLIST>(item.data()), "C:\\x");
  DWORD effect = DROPEFFECT_COPY;
  EXPECT_EQ(target->DragEnter(data.Get(), MK_LBUTTON, POINTL{10, 20}, &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_LINK));
  EXPECT_EQ(owner.last_data, data.Get());
  EXPECT_EQ(target->DragOver(MK_RBUTTON, POINTL{1, 2}, &effect), S_FALSE);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_MOVE));
  EXPECT_EQ(target->DragLeave(), S_OK);
  effect = DROPEFFECT_LINK;
  EXPECT_EQ(target->Drop(data.Get(), 0, POINTL{3, 4}, &effect), E_ABORT);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
  EXPECT_THAT(owner.calls, ::testing::ElementsAre("enter 1 10,20", "over 2", "leave", "drop 4"));

  // An exception stops at the target.
  owner.throw_next = true;
  effect = DROPEFFECT_COPY;
  EXPECT_EQ(target->DragOver(0, POINTL{}, &effect), E_UNEXPECTED);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));

  // Once the owner has gone, nothing reaches it and nothing can be dropped.
  raw->Detach();
  owner.calls.clear();
  effect = DROPEFFECT_COPY;
  EXPECT_EQ(target->DragEnter(data.Get(), MK_LBUTTON, POINTL{}, &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
  effect = DROPEFFECT_COPY;
  EXPECT_EQ(target->Drop(data.Get(), 0, POINTL{}, &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_EQ(target->DragLeave(), S_OK);
  EXPECT_TRUE(owner.calls.empty());
}

}  // namespace
}  // namespace stampwell
