#include "install/payload_naming.h"

#include <stdexcept>

namespace stampwell {
namespace {

std::string Digits(int entry) {
  if (entry < 1) throw std::out_of_range("payload entry numbers start at 1, got " + std::to_string(entry));
  return std::to_string(entry);
}

}  // namespace

std::string PayloadResourceName(int entry) { return "A" + Digits(entry); }
std::string PayloadResourceType(int entry) { return Digits(entry) + "A"; }
std::string PayloadLookupName(int entry) { return "a" + Digits(entry); }
std::string PayloadLookupType(int entry) { return Digits(entry) + "a"; }

}  // namespace stampwell
