#include "controls/fade_state.h"

namespace stampwell {

FadeState::Tick FadeState::Step() {
  Tick tick;
  if (fading_in_) {
    tick.blend = true;
    tick.level = level_;
    level_ += 10;
  } else if (fading_out_) {
    tick.blend = true;
    tick.level = level_;
    level_ -= 10;
  }
  if (level_ >= 0 && level_ <= 255) return tick;
  tick.finished = true;
  if (fading_in_) {
    level_ = 255;
    tick.frame = 1;
  } else {
    level_ = 0;
    tick.frame = 0;
  }
  Stop();
  return tick;
}

}  // namespace stampwell
