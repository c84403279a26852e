#include "shellbrowse/toolbox/read_shortcut.h"

#include <wrl/client.h>

using Microsoft::WRL::ComPtr;

namespace stampwell {

HRESULT ReadShortcut(const std::string& path, TLinkData& data, bool want_id_list, HWND owner) {
  data.options = 0;
  data.id_list.reset();
  ComPtr<IShellLinkA> link;
  HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(link.GetAddressOf()));
  if (FAILED(hr)) return hr;
  ComPtr<IPersistFile> file;
  if (FAILED(hr = link.As(&file))) return hr;
  wchar_t wide[MAX_PATH + 1] = {};
  int length = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
  if (length <= 0 || length > MAX_PATH + 1) return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
  MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH + 1);
  if (FAILED(hr = file->Load(wide, STGM_READ))) return hr;
  // Without UI the resolve must neither ask, nor search the disks, nor rewrite the file; the
  // high word is then the time it may take, in milliseconds.
  DWORD flags = data.no_ui ? (SLR_NO_UI | SLR_NOUPDATE | SLR_NOSEARCH | SLR_NOTRACK | (1000u << 16))
                           : static_cast<DWORD>(SLR_ANY_MATCH);
  if (FAILED(hr = link->Resolve(data.no_ui ? nullptr : owner, flags))) return hr;

  char text[MAX_PATH + 1] = {};
  data.find_data = {};
  if (FAILED(hr = link->GetPath(text, MAX_PATH, &data.find_data, 0))) return hr;
  data.path = text;
  char arguments[INFOTIPSIZE + 1] = {};
  if (FAILED(hr = link->GetArguments(arguments, INFOTIPSIZE))) return hr;
  data.arguments = arguments;
  char description[INFOTIPSIZE + 1] = {};
  if (FAILED(hr = link->GetDescription(description, INFOTIPSIZE))) return hr;
  data.description = description;
  text[0] = '\0';
  if (FAILED(hr = link->GetIconLocation(text, MAX_PATH, &data.icon_index))) return hr;
  data.icon_path = text;
  text[0] = '\0';
  if (FAILED(hr = link->GetWorkingDirectory(text, MAX_PATH))) return hr;
  data.working_directory = text;
  if (FAILED(hr = link->GetShowCmd(&data.show_command))) return hr;
  if (FAILED(hr = link->GetHotkey(&data.hotkey))) return hr;
  data.options = 63;
  if (want_id_list) {
    if (FAILED(hr = link->GetIDList(data.id_list.put()))) {
      data.id_list.reset();
      return hr;
    }
  }
  return S_OK;
}

}  // namespace stampwell
