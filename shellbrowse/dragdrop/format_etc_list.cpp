#include "shellbrowse/dragdrop/format_etc_list.h"

#include <new>

namespace stampwell {

void TPTFormatEtcList::Add(std::span<const CLIPFORMAT> formats) {
  for (CLIPFORMAT format : formats) records_.push_back(FORMATETC{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL});
}

STDMETHODIMP TPTFormatEtcList_IEnumFormatEtc::Next(ULONG count, FORMATETC* records, ULONG* fetched) noexcept {
  if (count > 0 && !records) return E_POINTER;
  ULONG copied = 0;
  while (copied < count && position_ < list_.Count()) records[copied++] = list_[position_++];
  if (fetched) *fetched = copied;
  return copied == count ? S_OK : S_FALSE;
}

STDMETHODIMP TPTFormatEtcList_IEnumFormatEtc::Skip(ULONG count) noexcept {
  if (list_.Count() - position_ < count) {
    position_ = list_.Count();
    return S_FALSE;
  }
  position_ += count;
  return S_OK;
}

STDMETHODIMP TPTFormatEtcList_IEnumFormatEtc::Reset() noexcept {
  position_ = 0;
  return S_OK;
}

STDMETHODIMP TPTFormatEtcList_IEnumFormatEtc::Clone(IEnumFORMATETC** out) noexcept {
  if (!out) return E_POINTER;
  *out = nullptr;
  auto* clone = new (std::nothrow) TPTFormatEtcList_IEnumFormatEtc(list_, owner_.Get(), position_);
  if (!clone) return E_OUTOFMEMORY;
  clone->AddRef();
  *out = clone;
  return S_OK;
}

}  // namespace stampwell
