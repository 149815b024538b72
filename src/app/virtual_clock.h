#pragma once
// A clock on which time passes only when the program waits: every wait ends at
// once and moves the clock and the calendar on by the time waited, so runs of
// exposures, cooler monitoring and autosaves repeat exactly. The tests' clock
// and the programs' --virtual-clock option.

#include <optional>
#include <string_view>

#include "app/clock.h"

namespace qv {

// 2000-01-01T00:00:00 UT, where a virtual clock starts unless told otherwise.
inline constexpr std::time_t kVirtualClockDefaultStart = 946'684'800;

class VirtualClock : public Clock {
 public:
  explicit VirtualClock(std::time_t start = kVirtualClockDefaultStart) : calendar(start) {}

  std::uint32_t milliseconds() override { return nowMs += stepPerReadMs; }
  void sleepMs(std::uint32_t ms) override { nowMs += ms; }
  std::time_t now() override { return calendar + static_cast<std::time_t>(nowMs / 1000); }
  void spinUntil(std::uint32_t startMs, std::uint32_t ms) override {
    if (nowMs - startMs < ms) nowMs = startMs + ms;
  }

  std::uint32_t nowMs = 0;          // the millisecond counter
  std::uint32_t stepPerReadMs = 0;  // how far each reading moves the counter
  std::time_t calendar;             // the calendar time when the counter read 0
};

// "YYYY-MM-DDTHH:MM:SS" read as Universal Time; nothing when the text is not a
// valid date and time in exactly that form.
std::optional<std::time_t> ParseUtDateTime(std::string_view text);

}  // namespace qv
