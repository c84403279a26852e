// Form text from anywhere must be refused cleanly or read, never crash; what is read writes
// back to text that reads to the same tree.
#include <cstddef>
#include <cstdint>
#include <string>

#include "framework/bitmap_file.h"
#include "framework/form_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  try {
    stampwell::FormObject form = stampwell::ParseFormText(text, "FUZZ");
    std::string again = stampwell::WriteFormText(form);
    stampwell::FormObject back = stampwell::ParseFormText(again, "FUZZ");
    if (stampwell::WriteFormText(back) != again) __builtin_trap();
  } catch (const stampwell::FormError&) {
  }
  stampwell::BitmapFileLayout layout;
  stampwell::CheckBitmapFile(data, size, layout);
  return 0;
}
