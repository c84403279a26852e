#include "wizard/user_start.h"

#include <exdisp.h>
#include <oleauto.h>
#include <servprov.h>
#include <shlguid.h>
#include <shlobj.h>

#include <utility>

#include "framework/unique_handle.h"
#include "wizard/seams.h"

namespace stampwell::wizard {

using Microsoft::WRL::ComPtr;

namespace {

inline void free_bstr(BSTR text) noexcept { ::SysFreeString(text); }
using unique_bstr = unique_any<detail::simple_traits<BSTR, free_bstr>>;

// The setup's texts are in the ANSI code page; automation takes UTF-16.
unique_bstr ToBstr(const std::string& text) {
  int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  unique_bstr wide(::SysAllocStringLen(nullptr, static_cast<UINT>(length)));
  if (wide && length > 0)
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.get(), length);
  return wide;
}

// A VARIANT that lends a string it does not own; VT_EMPTY stands for "not given".
VARIANT Lent(BSTR text) {
  VARIANT value;
  ::VariantInit(&value);
  if (text) {
    value.vt = VT_BSTR;
    value.bstrVal = text;
  }
  return value;
}

}  // namespace

HRESULT FindDesktopShellDispatch(IShellDispatch2** shell) {
  *shell = nullptr;
  // The shell windows list lives in the shell's process; an in-process copy would be ours.
  ComPtr<IShellWindows> windows;
  HRESULT hr = ::CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_PPV_ARGS(&windows));
  if (FAILED(hr)) return hr;

  VARIANT desktop;
  ::VariantInit(&desktop);
  desktop.vt = VT_I4;
  desktop.lVal = CSIDL_DESKTOP;
  VARIANT no_root;
  ::VariantInit(&no_root);
  long window = 0;
  ComPtr<IDispatch> browser_object;
  hr = windows->FindWindowSW(&desktop, &no_root, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH, &browser_object);
  // S_FALSE: no desktop shell window is registered.
  if (hr != S_OK) return FAILED(hr) ? hr : S_FALSE;
  if (!browser_object) return E_NOINTERFACE;

  ComPtr<IServiceProvider> services;
  if (FAILED(hr = browser_object.As(&services))) return hr;
  ComPtr<IShellBrowser> browser;
  if (FAILED(hr = services->QueryService(SID_STopLevelBrowser, IID_PPV_ARGS(&browser)))) return hr;
  ComPtr<IShellView> view;
  if (FAILED(hr = browser->QueryActiveShellView(&view))) return hr;
  if (!view) return E_NOINTERFACE;
  ComPtr<IDispatch> background;
  if (FAILED(hr = view->GetItemObject(SVGIO_BACKGROUND, IID_PPV_ARGS(&background)))) return hr;
  if (!background) return E_NOINTERFACE;
  ComPtr<IShellFolderViewDual> folder_view;
  if (FAILED(hr = background.As(&folder_view))) return hr;
  ComPtr<IDispatch> application;
  if (FAILED(hr = folder_view->get_Application(&application))) return hr;
  if (!application) return E_NOINTERFACE;
  ComPtr<IShellDispatch2> dispatch;
  if (FAILED(hr = application.As(&dispatch))) return hr;
  *shell = dispatch.Detach();
  return S_OK;
}

UserStart UserStart::Find() {
  ComPtr<IShellDispatch2> shell;
  if (seams::FindDesktopShell(&shell) != S_OK) shell.Reset();
  return UserStart(std::move(shell));
}

HRESULT UserStart::OpenThroughShell(const char* verb, const std::string& file, int show) const {
  unique_bstr file_text = ToBstr(file);
  unique_bstr verb_text = verb ? ToBstr(verb) : unique_bstr();
  if (!file_text || (verb && !verb_text)) return E_OUTOFMEMORY;
  VARIANT no_parameters = Lent(nullptr);
  VARIANT no_folder = Lent(nullptr);
  VARIANT operation = Lent(verb_text.get());
  VARIANT show_command;
  ::VariantInit(&show_command);
  show_command.vt = VT_I4;
  show_command.lVal = show;
  return shell_->ShellExecute(file_text.get(), no_parameters, no_folder, operation, show_command);
}

void UserStart::Open(HWND owner, const char* verb, const std::string& file, int show) const {
  if (shell_ && SUCCEEDED(OpenThroughShell(verb, file, show))) return;
  seams::ShellExecute(owner, verb, file.c_str(), nullptr, nullptr, show);
}

}  // namespace stampwell::wizard
