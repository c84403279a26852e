#include "wizard/licence_text.h"

#include <windows.h>

#include <stdexcept>

namespace stampwell::wizard {

std::string LicenceText() {
  HMODULE module = ::GetModuleHandleA(nullptr);
  HRSRC found = ::FindResourceA(module, "LICENCE", MAKEINTRESOURCEA(10));  // RT_RCDATA
  HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
  const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
  if (!bytes) throw std::runtime_error("The licence agreement is missing from the program");
  return std::string(static_cast<const char*>(bytes), ::SizeofResource(module, found));
}

}  // namespace stampwell::wizard
