#pragma once
// The data object of one dragged shell item: the item's "Shell IDList Array" block and its
// CF_HDROP block, each in movable global memory, handed out as fresh copies.

#include <windows.h>
#include <objidl.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "framework/unique_handle.h"
#include "shellbrowse/dragdrop/com_object.h"
#include "shellbrowse/dragdrop/format_etc_list.h"

namespace stampwell {

class TDataObject_shtv final : public ComObject<IDataObject> {
 public:
  // The item `item` (relative to `parent`, an absolute list; null is the desktop) with the name
  // its folder gives it for parsing. No item (null) offers nothing. A block that cannot be
  // built (no memory; for CF_HDROP also an empty name) is left out, and so is its format.
  TDataObject_shtv(LPCITEMIDLIST parent, LPCITEMIDLIST item, const std::string& parsing_name) noexcept;

  STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) noexcept override;
  STDMETHODIMP GetDataHere(FORMATETC* format, STGMEDIUM* medium) noexcept override;
  STDMETHODIMP QueryGetData(FORMATETC* format) noexcept override;
  STDMETHODIMP GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) noexcept override;
  STDMETHODIMP SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) noexcept override;
  STDMETHODIMP EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) noexcept override;
  STDMETHODIMP DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink, DWORD* connection) noexcept override;
  STDMETHODIMP DUnadvise(DWORD connection) noexcept override;
  STDMETHODIMP EnumDAdvise(IEnumSTATDATA** out) noexcept override;

 private:
  struct Block {
    CLIPFORMAT format;
    unique_hglobal memory;
  };
  void AddBlock(CLIPFORMAT format, const std::vector<std::uint8_t>& bytes) noexcept;

  // In the order of the format list: "Shell IDList Array" first, CF_HDROP second.
  std::vector<Block> blocks_;
  TPTFormatEtcList formats_;
};

}  // namespace stampwell
