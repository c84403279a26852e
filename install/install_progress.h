#pragma once
// The progress page's arithmetic: the width of the progress fill and the remaining-time
// estimate. Portable: the caller reads the clock.

#include <cstdint>
#include <string>

namespace stampwell {

inline constexpr int kProgressFillWidth = 392;
inline constexpr int kFirstEstimateSeconds = 60;
inline constexpr char kEstimateBeforeFirstEntry[] = "The installation process may take about 2 seconds";

// Rounds to the nearest integer, a half going to the even neighbour, whatever rounding mode
// the floating-point unit is in.
double RoundHalfToEven(double value);

// The fill's width after entry n of count: 392 / count * n in double precision, in that
// order, rounded half to even. Full width for n == count.
int ProgressFillWidth(int count, int n);

// The shown estimate: starts at 60 seconds and only ever falls.
class RemainingTimeEstimate {
 public:
  int Seconds() const { return shown_; }

  // After entry n of count, which started at tick t0 and ended at t1 (milliseconds since
  // system start, unsigned 32-bit: the difference is taken modulo 2^32, so a wrap during an
  // entry costs nothing). The entry's time times the entries still to come, in seconds
  // rounded half to even, at least 1; the shown figure takes it only when it is smaller.
  void Update(std::uint32_t t0, std::uint32_t t1, int count, int n);

  // "The installation process may take about <seconds> seconds".
  std::string Text() const;

 private:
  int shown_ = kFirstEstimateSeconds;
};

}  // namespace stampwell
