#include "shellbrowse/locator/shell_locator.h"

#include <cstring>
#include <typeinfo>

#if defined(__GNUG__)
#include <cxxabi.h>
#include <cstdlib>
#endif

#include "shellbrowse/locator/locator_application_window.h"
#include "shellbrowse/locator/locator_stored_form.h"

namespace stampwell {
namespace {

bool HasItems(LPCITEMIDLIST list) { return list && list->mkid.cb != 0; }

// The locator's own copy of `list`, or null for no list and for the empty list.
unique_idlist OwnCopy(LPCITEMIDLIST list) {
  if (!list || IdListSize(list) <= 2) return unique_idlist();
  return CopyIdList(list);
}

}  // namespace

LPCITEMIDLIST TPTShellLocator::IdList() {
  if (kind_ == kIdListKind) return list_.get();
  if (kind_ != kSpecialFolderKind) return nullptr;
  if (!list_) SpecialFolderIdList(LocatorApplicationWindow(), folder_id_, list_);
  return list_.get();
}

void TPTShellLocator::SetIdList(LPCITEMIDLIST list) {
  const bool was_special = kind_ == kSpecialFolderKind;
  kind_ = kIdListKind;
  bool changed;
  if (list_) {
    int order = CompareIdLists(list_.get(), list);
    changed = was_special || (order != kIdListsNotComparable && order != 0);
  } else {
    changed = was_special || HasItems(list);
  }
  // Copied before the old list goes: `list` may be the one this locator holds (IdList()).
  unique_idlist copy = OwnCopy(list);
  list_ = std::move(copy);
  folder_id_ = kNoSpecialFolder;
  if (changed) Changed();
}

std::string TPTShellLocator::Path() { return IdListToPath(IdList()); }
std::wstring TPTShellLocator::WidePath() { return IdListToWidePath(IdList()); }

void TPTShellLocator::SetPath(const std::string& path) {
  unique_idlist parsed;
  if (SUCCEEDED(PathToIdList(path, parsed)) && parsed) {
    SetIdList(parsed.get());
  } else {
    SetIdList(nullptr);
  }
}

void TPTShellLocator::Assign(const TPersistent* source) {
  if (!source) {
    if (!list_) return;
    list_.reset();
    kind_ = kIdListKind;
    Changed();
    return;
  }
  const auto* other = dynamic_cast<const TPTShellLocator*>(source);
  if (!other) {
    throw Exception("Cannot assign a " + PersistentClassName(*source) + " to a " + PersistentClassName(*this));
  }
  if (IsSameLocation(*other)) return;
  unique_idlist copy = other->kind_ == kIdListKind && other->list_ ? CopyIdList(other->list_.get()) : unique_idlist();
  list_ = std::move(copy);
  kind_ = other->kind_;
  if (kind_ != kIdListKind) folder_id_ = other->folder_id_;
  Changed();
}

bool TPTShellLocator::IsSameLocation(const TPTShellLocator& other) const {
  if (kind_ != other.kind_) return false;
  if (this == &other) return true;
  if (kind_ == kIdListKind) return CompareIdLists(list_.get(), other.list_.get()) == 0;
  if (kind_ == kSpecialFolderKind) return folder_id_ == other.folder_id_;
  return false;
}

void TPTShellLocator::Changed() {
  if (OnChange) OnChange(this);
}

void TPTShellLocator::DefineProperties(TFiler& filer) {
  filer.DefineBinaryProperty(
      "Pidl", [this](std::span<const std::uint8_t> stream) { ReadIdList(stream); },
      [this](std::vector<std::uint8_t>& stream) { WriteIdList(stream); }, HasStoredData());
}

void TPTShellLocator::WriteIdList(std::vector<std::uint8_t>& stream) const {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(list_.get());
  std::vector<std::uint8_t> stored =
      EncodeStoredLocation(kind_, folder_id_, std::span<const std::uint8_t>(bytes, IdListSize(list_.get())));
  stream.insert(stream.end(), stored.begin(), stored.end());
}

void TPTShellLocator::ReadIdList(std::span<const std::uint8_t> stream) {
  list_.reset();
  kind_ = kIdListKind;
  std::string problem;
  std::optional<StoredLocation> stored = DecodeStoredLocation(stream, &problem);
  if (!stored) throw Exception(problem);
  if (stored->kind != kIdListKind) {
    kind_ = kSpecialFolderKind;
    folder_id_ = stored->folder_id;
    return;
  }
  void* block = ShellAllocator().Allocate(stored->id_list.size());
  if (!block) throw std::bad_alloc();
  std::memcpy(block, stored->id_list.data(), stored->id_list.size());
  list_.reset(static_cast<ITEMIDLIST*>(block));
}

std::string PersistentClassName(const TPersistent& object) {
  std::string name = typeid(object).name();
#if defined(__GNUG__)
  int status = 0;
  char* readable = abi::__cxa_demangle(name.c_str(), nullptr, nullptr, &status);
  if (status == 0 && readable) name = readable;
  std::free(readable);
#endif
  // "class stampwell::TPTShellLocator" or "stampwell::TPTShellLocator": the last part only.
  std::size_t cut = name.find_last_of(": ");
  return cut == std::string::npos ? name : name.substr(cut + 1);
}

}  // namespace stampwell
