#pragma once
// One place in the shell namespace, named by an absolute item identifier list that the locator
// owns, or by a special-folder number that becomes a list when it is first read. The value with
// which the tree and the browse dialog exchange folders; it tells its owner when it changes and
// stores itself in form resources as the binary property "Pidl".

#include <windows.h>
#include <shlobj.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "framework/component.h"
#include "framework/events.h"
#include "framework/exception.h"
#include "shellbrowse/locator/persistent_filer.h"
#include "shellbrowse/toolbox/shell_id_list.h"

namespace stampwell {

class TPTShellLocator : public TPersistent {
 public:
  static constexpr std::uint8_t kIdListKind = 0;
  static constexpr std::uint8_t kSpecialFolderKind = 1;

  // A new locator names the desktop: kind 0 and no list.
  TPTShellLocator() = default;
  ~TPTShellLocator() override = default;

  std::uint8_t Kind() const noexcept { return kind_; }
  std::uint8_t FolderId() const noexcept { return folder_id_; }

  // The location as an absolute list, still owned by the locator (null is the desktop). A
  // special folder is resolved on the first read; when the shell cannot give it, it reads as
  // null and is asked for again on the next read.
  LPCITEMIDLIST IdList();
  // Makes the location a copy of `list` (null and the empty list both mean the desktop).
  // Calls Changed when the location really changed.
  void SetIdList(LPCITEMIDLIST list);
  void Clear() { SetIdList(nullptr); }

  // The file-system path of the location; empty when it has none.
  std::string Path();
  // The same whole, in UTF-16.
  std::wstring WidePath();
  // The location of `path`; the desktop when the path names nothing that exists.
  void SetPath(const std::string& path);

  // Copies another locator's location, resolving a special folder again on first use; null
  // drops a stored list. Anything else raises "Cannot assign a %s to a %s".
  virtual void Assign(const TPersistent* source);
  bool IsSameLocation(const TPTShellLocator& other) const;

  // The notification of a change: calls OnChange with the locator as sender.
  virtual void Changed();
  TNotifyEvent OnChange;

  // Defines the stored property "Pidl".
  virtual void DefineProperties(TFiler& filer);
  bool HasStoredData() const noexcept { return list_ || kind_ == kSpecialFolderKind; }
  void WriteIdList(std::vector<std::uint8_t>& stream) const;
  // Replaces the location with the stored one without calling Changed. Bytes whose sizes do
  // not fit raise an Exception and leave the desktop.
  void ReadIdList(std::span<const std::uint8_t> stream);

 private:
  std::uint8_t kind_ = kIdListKind;
  unique_idlist list_;
  std::uint8_t folder_id_ = 0;
};

// The class name of a persistent object as the assignment error shows it ("TPTShellLocator").
std::string PersistentClassName(const TPersistent& object);

}  // namespace stampwell
