#pragma once
// A Clock for tests: time moves only when read or slept, so long waits take
// no real time.

#include "app/clock.h"

namespace qv::test {

class TestClock final : public Clock {
 public:
  std::uint32_t milliseconds() override { return nowMs += stepPerReadMs; }
  void sleepMs(std::uint32_t ms) override { nowMs += ms; }
  std::time_t now() override { return calendar + static_cast<std::time_t>(nowMs / 1000); }

  std::uint32_t nowMs = 0;
  std::uint32_t stepPerReadMs = 1;
  std::time_t calendar = 1'700'000'000;
};

}  // namespace qv::test
