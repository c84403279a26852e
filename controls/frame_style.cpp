#include "controls/frame_style.h"

namespace stampwell {

const std::vector<std::string>& FrameStyleNames() {
  static const std::vector<std::string> kNames = {"ptfsNone",   "ptfsGroup",  "ptfsLowered",  "ptfsRaised",
                                                  "ptfsDint",   "ptfsBump",   "ptfsSingle",   "ptfsHorzLine",
                                                  "ptfsHorzEdge", "ptfsVertLine", "ptfsVertEdge"};
  return kNames;
}

FrameInsets FrameInsetsOf(TPTFrameStyle style) {
  switch (style) {
    case ptfsLowered:
    case ptfsRaised: return {2, 2, 2, 2};
    case ptfsDint:
    case ptfsBump:
    case ptfsSingle: return {1, 1, 1, 1};
    case ptfsHorzLine: return {0, 2, 0, 0};
    case ptfsVertLine: return {2, 0, 0, 0};
    case ptfsHorzEdge: return {0, 2, 0, 2};
    case ptfsVertEdge: return {2, 0, 2, 0};
    default: return {};
  }
}

}  // namespace stampwell
