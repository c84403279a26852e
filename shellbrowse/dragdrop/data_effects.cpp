#include "shellbrowse/dragdrop/data_effects.h"

#include <shlobj.h>
#include <wrl/client.h>

#include <span>
#include <vector>

#include "shellbrowse/dragdrop/drag_blocks.h"
#include "shellbrowse/dragdrop/global_lock.h"
#include "shellbrowse/toolbox/drag_drop_values.h"
#include "shellbrowse/toolbox/shell_error.h"
#include "shellbrowse/toolbox/shell_id_list.h"

using Microsoft::WRL::ComPtr;

namespace stampwell {
namespace {

constexpr DWORD kAllEffects = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;

// A medium from GetData, released at the end of the scope.
class ScopedMedium {
 public:
  ScopedMedium() noexcept = default;
  ScopedMedium(const ScopedMedium&) = delete;
  ScopedMedium& operator=(const ScopedMedium&) = delete;
  ~ScopedMedium() {
    if (medium_.tymed != TYMED_NULL) ReleaseStgMedium(&medium_);
  }
  STGMEDIUM* put() noexcept { return &medium_; }
  const STGMEDIUM& get() const noexcept { return medium_; }

 private:
  STGMEDIUM medium_{TYMED_NULL, {nullptr}, nullptr};
};


}  // namespace

DWORD GetDataEffects(IDataObject* data) {
  if (!data) return kAllEffects;
  FORMATETC format{ShellIdListArrayFormat(), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  if (data->QueryGetData(&format) != S_OK) return kAllEffects;
  ScopedMedium medium;
  if (FAILED(data->GetData(&format, medium.put())) || medium.get().tymed != TYMED_HGLOBAL) return kAllEffects;

  GlobalLockScope lock(medium.get().hGlobal);
  if (!lock.get()) RaiseOleError(E_OUTOFMEMORY);
  // The block may come from another program: read it only through the checked view.
  auto view = ParseIdListArrayBlock(
      std::span(static_cast<const std::uint8_t*>(lock.get()), GlobalSize(medium.get().hGlobal)));
  if (!view) RaiseOleError(DV_E_FORMATETC);
  if (view->items.empty()) return kAllEffects;

  ComPtr<IShellFolder> parent;
  CheckOle(BindToFolder(reinterpret_cast<LPCITEMIDLIST>(view->parent), parent));
  std::vector<LPCITEMIDLIST> items;
  items.reserve(view->items.size());
  for (const std::uint8_t* item : view->items) items.push_back(reinterpret_cast<LPCITEMIDLIST>(item));
  // One call for all items: the folder answers with the attributes that all of them share.
  SFGAOF attributes = kAllEffects;
  CheckOle(parent->GetAttributesOf(static_cast<UINT>(items.size()), items.data(), &attributes));
  return kAllEffects & attributes;
}

}  // namespace stampwell
