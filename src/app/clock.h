#pragma once
// The millisecond clock, sleeping and the calendar. Every wait in the program
// goes through a Clock so that tests can run long exposures instantly.

#include <cstdint>
#include <ctime>

namespace qv {

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds since an arbitrary start; wraps like a 32-bit counter.
  virtual std::uint32_t milliseconds() = 0;
  virtual void sleepMs(std::uint32_t ms) = 0;
  // Seconds since the epoch (calendar time, Universal Time).
  virtual std::time_t now() = 0;
};

// Waits until `ms` milliseconds have passed on the clock, reading it in a
// loop as a busy wait does.
inline void BusyWaitMs(Clock& clock, std::uint32_t ms) {
  const std::uint32_t start = clock.milliseconds();
  while (clock.milliseconds() - start < ms) {
  }
}

}  // namespace qv
