#pragma once
// A Clock for tests: the virtual clock, with every reading moving it on a
// millisecond so that a loop that reads the clock always ends.

#include "app/virtual_clock.h"

namespace qv::test {

class TestClock final : public VirtualClock {
 public:
  TestClock() : VirtualClock(1'700'000'000) { stepPerReadMs = 1; }
};

}  // namespace qv::test
