#pragma once
// The setup program's own version, as its version record states it.

#include <string>

namespace stampwell {

// "3.3.0.0" for the record that resources/app.rc gives; empty when the program carries none.
std::string ProgramVersion();

}  // namespace stampwell
