#pragma once
// Milliseconds from the performance counter, for timing a stretch of work.
#include <windows.h>

inline double VxNowMs() {
  LARGE_INTEGER count, freq;
  ::QueryPerformanceCounter(&count);
  ::QueryPerformanceFrequency(&freq);
  return 1000.0 * static_cast<double>(count.QuadPart) / static_cast<double>(freq.QuadPart);
}
