#pragma once
// One family of move-only owners for Win32 handles and memory.
//
// unique_any<Traits> owns one value of Traits::type and frees it with Traits::close when it
// is reset, reassigned or destroyed. put() frees the current value first and hands out the
// address for an API to write a new one into, so an out-parameter never leaks the old value.
// Nothing converts implicitly to the raw value: get() says where ownership is not passed.

#include <windows.h>
#include <objbase.h>

#include <utility>

namespace stampwell {

template <typename Traits>
class unique_any {
 public:
  using pointer = typename Traits::type;

  unique_any() noexcept = default;
  explicit unique_any(pointer value) noexcept : value_(value) {}
  unique_any(const unique_any&) = delete;
  unique_any& operator=(const unique_any&) = delete;
  unique_any(unique_any&& other) noexcept : value_(other.release()) {}
  unique_any& operator=(unique_any&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ~unique_any() { reset(); }

  pointer get() const noexcept { return value_; }
  explicit operator bool() const noexcept { return Traits::is_valid(value_); }

  pointer release() noexcept { return std::exchange(value_, Traits::invalid()); }
  void reset(pointer value = Traits::invalid()) noexcept {
    pointer old = std::exchange(value_, value);
    if (Traits::is_valid(old)) Traits::close(old);
  }
  // Frees the current value, then gives the slot to an API that writes a new one.
  pointer* put() noexcept {
    reset();
    return &value_;
  }

 private:
  pointer value_ = Traits::invalid();
};

namespace detail {
template <typename T, auto Close, auto Invalid = T{}>
struct simple_traits {
  using type = T;
  static constexpr T invalid() noexcept { return Invalid; }
  static bool is_valid(T value) noexcept { return value != Invalid; }
  static void close(T value) noexcept { Close(value); }
};

inline void close_handle(HANDLE h) noexcept { ::CloseHandle(h); }
inline void close_key(HKEY k) noexcept { ::RegCloseKey(k); }
inline void free_library(HMODULE m) noexcept { ::FreeLibrary(m); }
inline void co_task_mem_free(void* p) noexcept { ::CoTaskMemFree(p); }
inline void local_free(HLOCAL p) noexcept { ::LocalFree(p); }
inline void global_free(HGLOBAL p) noexcept { ::GlobalFree(p); }
inline void destroy_menu(HMENU m) noexcept { ::DestroyMenu(m); }
inline void delete_object(HGDIOBJ o) noexcept { ::DeleteObject(o); }
inline void delete_dc(HDC dc) noexcept { ::DeleteDC(dc); }
inline void free_sid(PSID sid) noexcept { ::FreeSid(sid); }
inline void destroy_window(HWND w) noexcept { ::DestroyWindow(w); }
}  // namespace detail

// Kernel handles whose invalid value is null (events, processes, threads, tokens, mappings).
using unique_handle = unique_any<detail::simple_traits<HANDLE, detail::close_handle>>;
// File handles, whose invalid value is INVALID_HANDLE_VALUE.
struct file_handle_traits {
  using type = HANDLE;
  static HANDLE invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static bool is_valid(HANDLE h) noexcept { return h != INVALID_HANDLE_VALUE && h != nullptr; }
  static void close(HANDLE h) noexcept { ::CloseHandle(h); }
};
using unique_file = unique_any<file_handle_traits>;
// Searches of FindFirstFile, which end with FindClose.
struct find_traits : file_handle_traits {
  static void close(HANDLE h) noexcept { ::FindClose(h); }
};
using unique_find = unique_any<find_traits>;

using unique_hkey = unique_any<detail::simple_traits<HKEY, detail::close_key>>;
using unique_hmodule = unique_any<detail::simple_traits<HMODULE, detail::free_library>>;
using unique_cotaskmem = unique_any<detail::simple_traits<void*, detail::co_task_mem_free>>;
using unique_hlocal = unique_any<detail::simple_traits<HLOCAL, detail::local_free>>;
using unique_hglobal = unique_any<detail::simple_traits<HGLOBAL, detail::global_free>>;
using unique_hmenu = unique_any<detail::simple_traits<HMENU, detail::destroy_menu>>;
using unique_hdc = unique_any<detail::simple_traits<HDC, detail::delete_dc>>;
using unique_sid = unique_any<detail::simple_traits<PSID, detail::free_sid>>;
using unique_hwnd = unique_any<detail::simple_traits<HWND, detail::destroy_window>>;

// GDI objects keep their own type so that SelectObject and friends need no casts.
template <typename T>
using unique_gdi = unique_any<detail::simple_traits<T, detail::delete_object>>;
using unique_hbitmap = unique_gdi<HBITMAP>;
using unique_hbrush = unique_gdi<HBRUSH>;
using unique_hfont = unique_gdi<HFONT>;
using unique_hpen = unique_gdi<HPEN>;

// Selects an object into a DC for the lifetime of the scope, then restores the previous one.
class scoped_select_object {
 public:
  scoped_select_object(HDC dc, HGDIOBJ object) noexcept : dc_(dc), old_(::SelectObject(dc, object)) {}
  scoped_select_object(const scoped_select_object&) = delete;
  scoped_select_object& operator=(const scoped_select_object&) = delete;
  ~scoped_select_object() {
    if (old_ && old_ != HGDI_ERROR) ::SelectObject(dc_, old_);
  }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// A window DC from GetDC, released to its window at the end of the scope.
class scoped_window_dc {
 public:
  explicit scoped_window_dc(HWND window) noexcept : window_(window), dc_(::GetDC(window)) {}
  scoped_window_dc(const scoped_window_dc&) = delete;
  scoped_window_dc& operator=(const scoped_window_dc&) = delete;
  ~scoped_window_dc() {
    if (dc_) ::ReleaseDC(window_, dc_);
  }
  HDC get() const noexcept { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

}  // namespace stampwell
