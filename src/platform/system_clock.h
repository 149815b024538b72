#pragma once
// The real clock: a steady millisecond counter and the system calendar.

#include "app/clock.h"

namespace qv {

class SystemClock final : public Clock {
 public:
  std::uint32_t milliseconds() override;
  void sleepMs(std::uint32_t ms) override;
  std::time_t now() override;
};

}  // namespace qv
