#include "shellbrowse/toolbox/shell_strings.h"

#include <windows.h>

#include "shellbrowse_strings.h"

namespace stampwell {
namespace {

TranslateStringHook g_translate = nullptr;

const char* BuiltInText(unsigned id) {
  switch (id) {
    case IDS_SB_NEW_FOLDER: return TXT_SB_NEW_FOLDER;
    case IDS_SB_CREATE_FOLDER_FAILED: return TXT_SB_CREATE_FOLDER_FAILED;
    case IDS_SB_KEY_SELECT_ALL: return TXT_SB_KEY_SELECT_ALL;
    case IDS_SB_KEY_DELETE: return TXT_SB_KEY_DELETE;
    case IDS_SB_KEY_COPY: return TXT_SB_KEY_COPY;
    case IDS_SB_KEY_CUT: return TXT_SB_KEY_CUT;
    case IDS_SB_KEY_PASTE: return TXT_SB_KEY_PASTE;
    case IDS_SB_KEY_REFRESH: return TXT_SB_KEY_REFRESH;
    case IDS_SB_KEY_RENAME: return TXT_SB_KEY_RENAME;
    case IDS_SB_BROWSE_CAPTION: return TXT_SB_BROWSE_CAPTION;
    case IDS_SB_FONT_NAME: return TXT_SB_FONT_NAME;
    case IDS_SB_OK: return TXT_SB_OK;
    case IDS_SB_CANCEL: return TXT_SB_CANCEL;
    case IDS_SB_CREATE_FOLDER_HINT: return TXT_SB_CREATE_FOLDER_HINT;
    case IDS_SB_CREATE_FOLDER_HELP: return TXT_SB_CREATE_FOLDER_HELP;
    case IDS_SB_DELETE_HINT: return TXT_SB_DELETE_HINT;
    case IDS_SB_DELETE_HELP: return TXT_SB_DELETE_HELP;
    default: return "";
  }
}

}  // namespace

void SetTranslateStringHook(TranslateStringHook hook) noexcept { g_translate = hook; }

std::string TranslateString(const std::string& text) { return g_translate ? g_translate(text) : text; }

std::string LoadToolboxString(unsigned id) {
  // With a buffer size of 0, LoadStringW hands out the table's own read-only text, whatever its
  // length; the table holds UTF-16, which becomes the ANSI code page here.
  const wchar_t* text = nullptr;
  int length = LoadStringW(GetModuleHandleA(nullptr), id, reinterpret_cast<wchar_t*>(&text), 0);
  if (length <= 0 || !text) return BuiltInText(id);
  int bytes = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
  if (bytes > 0) WideCharToMultiByte(CP_ACP, 0, text, length, out.data(), bytes, nullptr, nullptr);
  return out;
}

std::string ToolboxText(unsigned id) { return TranslateString(LoadToolboxString(id)); }

}  // namespace stampwell
