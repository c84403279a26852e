// The captured output of the user query comes from another program: no input may crash the
// decoding or the extraction of the user.
#include <cstddef>
#include <cstdint>
#include <string>

#include "install/command_output.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (stampwell::IsUtf16WithByteOrderMark(bytes)) {
    std::u16string units = stampwell::Utf16Units(bytes);
    std::string narrow;
    for (char16_t u : units) narrow += u < 0x80 ? static_cast<char>(u) : '?';
    (void)stampwell::LoggedOnUserFromOutput(stampwell::WithCrLfLines(narrow));
  } else {
    std::string text = stampwell::WithCrLfLines(stampwell::UpToFirstNul(bytes));
    (void)stampwell::LoggedOnUserFromOutput(text);
  }
  return 0;
}
