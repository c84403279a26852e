#include "shellbrowse/toolbox/shell_text.h"

#include "framework/unique_handle.h"
#include "shellbrowse/toolbox/toolbox_error.h"
#include "shellbrowse/toolbox/trailing_char.h"

namespace stampwell {
namespace {

constexpr std::size_t kMaxArguments = 50;
// FormatMessage knows the inserts %1 to %99.
constexpr std::size_t kInsertSlots = 99;

bool AnsiLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }

thread_local UINT t_code_page = CP_ACP;
bool CodePageLeadByte(unsigned char byte) { return IsDBCSLeadByteEx(t_code_page, byte) != FALSE; }

}  // namespace

std::string IncludeTrailingChar(const std::string& text, char c) {
  return IncludeTrailingChar(text, c, AnsiLeadByte);
}

std::string IncludeTrailingCharInCodePage(const std::string& text, char c, UINT code_page) {
  t_code_page = code_page;
  return IncludeTrailingChar(text, c, CodePageLeadByte);
}

std::string FormatStrPos(const std::string& format, const std::vector<std::string>& arguments) {
  if (format.empty()) return {};
  if (arguments.size() > kMaxArguments) throw ToolboxError("FormatStrPos: Too many substitution strings");
  DWORD_PTR slots[kInsertSlots];
  for (std::size_t i = 0; i < kInsertSlots; ++i)
    slots[i] = reinterpret_cast<DWORD_PTR>(i < arguments.size() ? arguments[i].c_str() : "");
  char* buffer = nullptr;
  DWORD length = FormatMessageA(
      FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ARGUMENT_ARRAY | FORMAT_MESSAGE_ALLOCATE_BUFFER,
      format.c_str(), 0, 0, reinterpret_cast<char*>(&buffer), 256,
      reinterpret_cast<va_list*>(slots));
  unique_hlocal owner(buffer);
  if (!buffer || length == 0) return {};
  return std::string(buffer, length);
}

}  // namespace stampwell
