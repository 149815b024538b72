#pragma once
// Long device work (cooler monitoring; later exposures, the focus loop,
// training and guiding) as an object stepped by the clock instead of a loop
// that waits: start it, step it whenever the time it asked for comes, and
// hand it the user's key and mouse presses as they happen. Whoever drives it
// (the window's timer, the command-line tool's sleeping loop, a test on the
// test clock) owns the waiting, so the work itself never holds the processor.

#include <cstdint>
#include <optional>

namespace qv {

// When an operation wants its next step, in milliseconds on the Clock; no
// value when it has finished.
using WakeTime = std::optional<std::uint32_t>;
inline constexpr std::nullopt_t kOperationFinished = std::nullopt;

// The presses that can end or cut short a piece of device work.
enum class OperationInput { KeyPress, LeftButtonPress, RightButtonPress };

class Operation {
 public:
  virtual ~Operation() = default;
  // Begins the work at `nowMs`.
  virtual WakeTime start(std::uint32_t nowMs) = 0;
  // Does the next piece of work, due now.
  virtual WakeTime step(std::uint32_t nowMs) = 0;
  // Ends the work at once, leaving the state as a normal end does.
  virtual void cancel() = 0;
  // A press by the user while the work runs; acted on when the work would
  // have noticed it.
  virtual void input(OperationInput event) = 0;
  // Asked right after input(): when the press ends the wait under way, the
  // time to step again (now); no value keeps the step already asked for.
  virtual std::optional<std::uint32_t> wakeForInput(std::uint32_t nowMs) {
    (void)nowMs;
    return std::nullopt;
  }
};

// Milliseconds from `nowMs` to `wakeMs`, 0 when that time has come (the clock
// wraps like a 32-bit counter).
inline std::uint32_t MsUntil(std::uint32_t wakeMs, std::uint32_t nowMs) {
  const auto remaining = static_cast<std::int32_t>(wakeMs - nowMs);
  return remaining > 0 ? static_cast<std::uint32_t>(remaining) : 0;
}

}  // namespace qv
