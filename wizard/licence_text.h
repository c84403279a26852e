#pragma once
// The licence agreement as the program carries it (resource "LICENCE", CR LF lines).

#include <string>

namespace stampwell::wizard {

// Throws std::runtime_error when the resource is missing.
std::string LicenceText();

}  // namespace stampwell::wizard
