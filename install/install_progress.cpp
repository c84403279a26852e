#include "install/install_progress.h"

#include <cmath>

namespace stampwell {

double RoundHalfToEven(double value) {
  double floor = std::floor(value);
  double fraction = value - floor;
  if (fraction > 0.5) return floor + 1;
  if (fraction < 0.5) return floor;
  return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

int ProgressFillWidth(int count, int n) {
  if (count <= 0) return kProgressFillWidth;
  double width = static_cast<double>(kProgressFillWidth) / count * n;
  return static_cast<int>(RoundHalfToEven(width));
}

void RemainingTimeEstimate::Update(std::uint32_t t0, std::uint32_t t1, int count, int n) {
  std::uint64_t elapsed = static_cast<std::uint32_t>(t1 - t0);
  std::uint64_t remaining = n < count ? static_cast<std::uint64_t>(count - n) : 0;
  // Whole milliseconds times whole entries: exact in 64 bits, so the rounding is done on
  // integers (a double would lose the last digits of the largest products).
  std::uint64_t product = elapsed * remaining;
  std::uint64_t seconds = product / 1000;
  std::uint64_t rest = product % 1000;
  if (rest > 500 || (rest == 500 && seconds % 2 == 1)) ++seconds;
  if (seconds == 0) seconds = 1;
  if (seconds < static_cast<std::uint64_t>(shown_)) shown_ = static_cast<int>(seconds);
}

std::string RemainingTimeEstimate::Text() const {
  return "The installation process may take about " + std::to_string(shown_) + " seconds";
}

}  // namespace stampwell
