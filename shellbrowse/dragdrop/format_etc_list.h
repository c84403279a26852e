#pragma once
// The formats that a data object offers, and the enumerator that hands them out.

#include <windows.h>
#include <objidl.h>
#include <wrl/client.h>

#include <cstddef>
#include <span>
#include <vector>

#include "shellbrowse/dragdrop/com_object.h"

namespace stampwell {

// An ordered list of FORMATETC records; each added format gets no target device, the content
// aspect, index -1 and global memory as its medium.
class TPTFormatEtcList {
 public:
  void Add(std::span<const CLIPFORMAT> formats);
  std::size_t Count() const noexcept { return records_.size(); }
  const FORMATETC& operator[](std::size_t index) const noexcept { return records_[index]; }

 private:
  std::vector<FORMATETC> records_;
};

// Reads a TPTFormatEtcList that it does not own. A consumer may release the data object and go
// on enumerating, so the enumerator (and each clone) holds `owner`, the object that keeps the
// list alive.
class TPTFormatEtcList_IEnumFormatEtc final : public ComObject<IEnumFORMATETC> {
 public:
  TPTFormatEtcList_IEnumFormatEtc(const TPTFormatEtcList& list, IUnknown* owner, std::size_t position = 0) noexcept
      : list_(list), owner_(owner), position_(position) {}

  STDMETHODIMP Next(ULONG count, FORMATETC* records, ULONG* fetched) noexcept override;
  STDMETHODIMP Skip(ULONG count) noexcept override;
  STDMETHODIMP Reset() noexcept override;
  STDMETHODIMP Clone(IEnumFORMATETC** out) noexcept override;

 private:
  const TPTFormatEtcList& list_;
  Microsoft::WRL::ComPtr<IUnknown> owner_;
  std::size_t position_;
};

}  // namespace stampwell
