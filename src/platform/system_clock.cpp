#include "platform/system_clock.h"

#include <chrono>
#include <thread>

namespace qv {

std::uint32_t SystemClock::milliseconds() {
  const auto elapsed = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

void SystemClock::sleepMs(std::uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

std::time_t SystemClock::now() { return std::time(nullptr); }

}  // namespace qv
