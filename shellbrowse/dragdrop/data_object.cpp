#include "shellbrowse/dragdrop/data_object.h"

#include <cstring>
#include <new>
#include <span>

#include "shellbrowse/dragdrop/drag_blocks.h"
#include "shellbrowse/dragdrop/global_lock.h"
#include "shellbrowse/toolbox/drag_drop_values.h"

using Microsoft::WRL::ComPtr;

namespace stampwell {
namespace {


// New movable memory holding `size` bytes from `source`; null without memory.
HGLOBAL CopyToGlobal(const void* source, SIZE_T size) noexcept {
  unique_hglobal memory(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size));
  if (!memory) return nullptr;
  GlobalLockScope lock(memory.get());
  if (!lock.get()) return nullptr;
  std::memcpy(lock.get(), source, size);
  return memory.release();
}

}  // namespace

TDataObject_shtv::TDataObject_shtv(LPCITEMIDLIST parent, LPCITEMIDLIST item, const std::string& parsing_name) noexcept {
  if (!item) return;
  try {
    const void* items[] = {item};
    AddBlock(ShellIdListArrayFormat(), BuildIdListArrayBlock(parent, items));
  } catch (const std::bad_alloc&) {
  }
  try {
    const std::string names[] = {parsing_name};
    if (auto block = BuildDropFilesBlock(names)) AddBlock(CF_HDROP, *block);
  } catch (const std::bad_alloc&) {
  }
}

void TDataObject_shtv::AddBlock(CLIPFORMAT format, const std::vector<std::uint8_t>& bytes) noexcept {
  unique_hglobal memory(CopyToGlobal(bytes.data(), bytes.size()));
  if (!memory) return;
  try {
    blocks_.reserve(blocks_.size() + 1);
    const CLIPFORMAT formats[] = {format};
    formats_.Add(formats);
    blocks_.push_back(Block{format, std::move(memory)});
  } catch (const std::bad_alloc&) {
  }
}

STDMETHODIMP TDataObject_shtv::GetData(FORMATETC* format, STGMEDIUM* medium) noexcept {
  if (!format || !medium) return E_INVALIDARG;
  HRESULT hr = QueryGetData(format);
  if (hr != S_OK) return hr;
  for (const Block& block : blocks_) {
    if (block.format != format->cfFormat) continue;
    // The receiver owns what it gets, so it gets its own copy.
    GlobalLockScope lock(block.memory.get());
    HGLOBAL copy = lock.get() ? CopyToGlobal(lock.get(), GlobalSize(block.memory.get())) : nullptr;
    if (!copy) return E_OUTOFMEMORY;
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = copy;
    medium->pUnkForRelease = nullptr;
    return S_OK;
  }
  return DV_E_FORMATETC;
}

STDMETHODIMP TDataObject_shtv::GetDataHere(FORMATETC*, STGMEDIUM*) noexcept { return E_NOTIMPL; }

STDMETHODIMP TDataObject_shtv::QueryGetData(FORMATETC* format) noexcept {
  if (!format) return E_INVALIDARG;
  if (format->dwAspect != DVASPECT_CONTENT) return DV_E_FORMATETC;
  bool format_listed = false;
  for (std::size_t i = 0; i < formats_.Count(); ++i) {
    if (formats_[i].cfFormat != format->cfFormat) continue;
    if (formats_[i].tymed & format->tymed) return S_OK;
    format_listed = true;
  }
  return format_listed ? DV_E_TYMED : DV_E_FORMATETC;
}

STDMETHODIMP TDataObject_shtv::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) noexcept {
  if (out) out->ptd = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP TDataObject_shtv::SetData(FORMATETC*, STGMEDIUM*, BOOL) noexcept { return E_NOTIMPL; }

STDMETHODIMP TDataObject_shtv::EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) noexcept {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (direction != DATADIR_GET) return E_NOTIMPL;
  auto* enumerator = new (std::nothrow) TPTFormatEtcList_IEnumFormatEtc(formats_, static_cast<IDataObject*>(this));
  if (!enumerator) return E_OUTOFMEMORY;
  enumerator->AddRef();
  *out = enumerator;
  return S_OK;
}

STDMETHODIMP TDataObject_shtv::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) noexcept {
  return OLE_E_ADVISENOTSUPPORTED;
}
STDMETHODIMP TDataObject_shtv::DUnadvise(DWORD) noexcept { return OLE_E_ADVISENOTSUPPORTED; }
STDMETHODIMP TDataObject_shtv::EnumDAdvise(IEnumSTATDATA**) noexcept { return OLE_E_ADVISENOTSUPPORTED; }

}  // namespace stampwell
