#include "app/run_operation.h"

#include <algorithm>

namespace qv {

std::optional<std::uint32_t> DeliverInput(Operation& operation, const InputEvents& events, std::uint32_t nowMs) {
  if (!events.any()) return std::nullopt;
  if (events.keyPressed) operation.input(OperationInput::KeyPress);
  if (events.leftButtonPressed) operation.input(OperationInput::LeftButtonPress);
  if (events.rightButtonPressed) operation.input(OperationInput::RightButtonPress);
  return operation.wakeForInput(nowMs);
}

void RunOperation(Operation& operation, Clock& clock, Host& host, const NextPressMs& nextPress) {
  WakeTime wake = operation.start(clock.milliseconds());
  while (wake) {
    std::uint32_t wait = MsUntil(*wake, clock.milliseconds());
    const auto press = nextPress ? nextPress() : std::nullopt;
    if (press) wait = std::min(wait, MsUntil(*press, clock.milliseconds()));
    if (wait > 0) clock.sleepMs(wait);
    const std::uint32_t now = clock.milliseconds();
    if (const auto sooner = DeliverInput(operation, host.pumpEvents(), now)) {
      if (MsUntil(*sooner, now) < MsUntil(*wake, now)) wake = *sooner;
    }
    // Woken by a press the operation lets wait: back to sleep.
    if (MsUntil(*wake, clock.milliseconds()) > 0) continue;
    wake = operation.step(clock.milliseconds());
  }
}

}  // namespace qv
