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
  // Reads the clock in a loop until `ms` have passed since `startMs`. Only
  // for the last millisecond of a wait that must end on the millisecond; a
  // clock that does not run by itself jumps to the end instead.
  virtual void spinUntil(std::uint32_t startMs, std::uint32_t ms) {
    while (milliseconds() - startMs < ms) {
    }
  }
};

// Waits `ms` milliseconds to the millisecond without holding the processor:
// sleeps to within a millisecond of the end, then reads the clock for the rest.
inline void SleepPreciseMs(Clock& clock, std::uint32_t ms) {
  const std::uint32_t start = clock.milliseconds();
  if (ms > 1) clock.sleepMs(ms - 1);
  clock.spinUntil(start, ms);
}

}  // namespace qv
