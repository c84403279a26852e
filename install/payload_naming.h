#pragma once
// How a payload entry's resource is named. Portable: used by the setup program to find the
// resource and by the build's payload compiler to store it, so the two can never disagree.

#include <string>

namespace stampwell {

// Entry numbers count from 1. The digits are the plain decimal ones, never with leading
// zeros. Throws std::out_of_range for an entry number below 1.
std::string PayloadResourceName(int entry);  // "A" + N, as stored: "A1", "A17"
std::string PayloadResourceType(int entry);  // N + "A", as stored: "1A", "17A"

// The setup program asks in lower case ("a1", "1a"); named resource lookup ignores case.
std::string PayloadLookupName(int entry);
std::string PayloadLookupType(int entry);

// The resource that carries the manifest itself (RCDATA, beside the payload resources).
inline constexpr char kPayloadManifestResource[] = "PAYLOADMANIFEST";

// The language that the payload resources are stored under (Chinese, Simplified, PRC).
inline constexpr unsigned short kPayloadLanguage = 2052;

}  // namespace stampwell
