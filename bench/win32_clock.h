#pragma once
// The Windows benchmarks' clock: the performance counter, in seconds.

#include <windows.h>

namespace stampwell::bench {

inline double Seconds() {
  LARGE_INTEGER frequency, counter;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&counter);
  return double(counter.QuadPart) / double(frequency.QuadPart);
}

}  // namespace stampwell::bench
