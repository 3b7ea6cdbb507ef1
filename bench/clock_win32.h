// The Windows benchmarks' clock: the performance counter in milliseconds.
#pragma once

#include <windows.h>

namespace sorvanta::bench {

inline double nowMs() {
  LARGE_INTEGER frequency;
  LARGE_INTEGER counter;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace sorvanta::bench
