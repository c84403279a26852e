#pragma once
// Item identifier lists on the real shell: the owner, the allocator, binding, paths, special
// folders and display names.
//
// Every list made here has exactly one owner, unique_idlist, which frees it through the shell's
// task allocator (ShellMalloc). HRESULTs stay HRESULTs; the queries turn failure into a neutral
// answer (an empty string, a null list, 0x7FFFFFFF for lists that cannot be compared) and never
// raise; the few steps that must raise say so.

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <wrl/client.h>

#include <string>

#include "framework/unique_handle.h"
#include "shellbrowse/toolbox/id_list.h"

namespace stampwell {

// The shell's task allocator, obtained on first use (or at subsystem start) and kept until the
// subsystem ends. Null only when the shell gives none.
IMalloc* ShellMalloc() noexcept;
// Drops the kept allocator at the subsystem's end (a later ShellMalloc obtains it again).
void ReleaseShellMalloc() noexcept;

// ShellMalloc as an IdListAllocator, for the portable list arithmetic.
IdListAllocator& ShellAllocator() noexcept;

// An IMalloc as an IdListAllocator; null means ShellMalloc. Does not hold a reference.
class MallocAllocator final : public IdListAllocator {
 public:
  explicit MallocAllocator(IMalloc* malloc) noexcept : malloc_(malloc) {}
  void* Allocate(std::size_t bytes) noexcept override;
  void Free(void* block) noexcept override;

 private:
  IMalloc* malloc_;
};

struct idlist_traits {
  using type = ITEMIDLIST*;
  static constexpr ITEMIDLIST* invalid() noexcept { return nullptr; }
  static bool is_valid(ITEMIDLIST* list) noexcept { return list != nullptr; }
  static void close(ITEMIDLIST* list) noexcept;
};
// The one owner of an item identifier list; frees it through ShellMalloc.
using unique_idlist = unique_any<idlist_traits>;

// The value that callers read as "not comparable", and so unequal.
constexpr int kIdListsNotComparable = 0x7FFFFFFF;

// The special-folder number that means no special folder.
constexpr int kNoSpecialFolder = 50;

// A copy of `list` (a new empty list for null). Throws std::bad_alloc without memory.
unique_idlist CopyIdList(LPCITEMIDLIST list);
// The same with a chosen allocator (null: ShellMalloc); the caller frees with that allocator.
ITEMIDLIST* CopyIdList(IMalloc* allocator, LPCITEMIDLIST list);

// `first`'s items followed by `second`'s; either may be null.
unique_idlist ConcatIdLists(LPCITEMIDLIST first, LPCITEMIDLIST second);
ITEMIDLIST* ConcatIdLists(IMalloc* allocator, LPCITEMIDLIST first, LPCITEMIDLIST second);

// Order of two absolute lists: 0 for both null or both empty, -1 when exactly one is null or
// exactly one is empty, else the desktop's CompareIDs (low 16 bits, signed), or
// kIdListsNotComparable when the shell cannot compare them.
int CompareIdLists(LPCITEMIDLIST a, LPCITEMIDLIST b) noexcept;

// The folder of an absolute list: the desktop for null or empty.
HRESULT BindToFolder(LPCITEMIDLIST list, Microsoft::WRL::ComPtr<IShellFolder>& folder) noexcept;

// The desktop's parse of `path` (at most 260 characters); `list` is null on failure.
HRESULT PathToIdList(const std::string& path, unique_idlist& list) noexcept;

// The file-system path of a list (null is the desktop); empty when it has none.
std::string IdListToPath(LPCITEMIDLIST list);
// The same whole, in UTF-16: a name beyond the code page keeps its letters.
std::wstring IdListToWidePath(LPCITEMIDLIST list);

// The list of special folder `folder` (CSIDL, low 7 bits); `list` is null on failure.
HRESULT SpecialFolderIdList(HWND owner, int folder, unique_idlist& list) noexcept;

// The file-system path of special folder `folder`; empty on failure.
std::string SpecialFolderPath(HWND owner, int folder);

// The first special folder 0..50 whose list equals `list`, or kNoSpecialFolder.
int SpecialFolderOfIdList(LPCITEMIDLIST list) noexcept;

// The parent folder, a copy of the parent list (null when the parent is the desktop) and a copy
// of the last item. The desktop's own parent is the folder that holds the desktop directory.
HRESULT GetParentFolder(LPCITEMIDLIST list, Microsoft::WRL::ComPtr<IShellFolder>& parent,
                        unique_idlist& parent_list, unique_idlist& last_item) noexcept;

enum class NameKind { Normal = 0, InFolder = 1, ForParsing = 2, ForEditing = 3 };

// The SHGDN flags that each kind asks GetDisplayNameOf for.
DWORD DisplayNameFlags(NameKind kind) noexcept;

// `folder`'s name for the relative `item` (the desktop's when `folder` is null); empty on
// failure.
std::string GetDisplayName(IShellFolder* folder, LPCITEMIDLIST item, NameKind kind);

// The in-folder name of an absolute list. Raises (ToolboxError) when its parent cannot be bound.
std::string GetAbsDisplayName(LPCITEMIDLIST list);

// The text of a STRRET that `item`'s folder returned; a wide string is freed here.
std::string StrRetToString(LPCITEMIDLIST item, STRRET& value);

}  // namespace stampwell
