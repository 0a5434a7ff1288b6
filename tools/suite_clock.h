// The mate suite's times: whole milliseconds on a steady clock, so that a
// change of the wall clock during a run moves no budget.
#pragma once

#include <chrono>

using SuiteClock = std::chrono::steady_clock;

inline long ms_since(SuiteClock::time_point start) {
  return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(SuiteClock::now() - start).count());
}

inline int ms_until(SuiteClock::time_point deadline) {
  const long left =
      static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SuiteClock::now()).count());
  return left > 0 ? static_cast<int>(left) : 0;
}

inline double seconds_since(SuiteClock::time_point start) { return static_cast<double>(ms_since(start)) / 1000.0; }
