#include "app/run_operation.h"

namespace qv {

void DeliverInput(Operation& operation, const InputEvents& events) {
  if (events.keyPressed) operation.input(OperationInput::KeyPress);
  if (events.leftButtonPressed) operation.input(OperationInput::LeftButtonPress);
  if (events.rightButtonPressed) operation.input(OperationInput::RightButtonPress);
}

void RunOperation(Operation& operation, Clock& clock, Host& host) {
  WakeTime wake = operation.start(clock.milliseconds());
  while (wake) {
    const std::uint32_t wait = MsUntil(*wake, clock.milliseconds());
    if (wait > 0) clock.sleepMs(wait);
    DeliverInput(operation, host.pumpEvents());
    wake = operation.step(clock.milliseconds());
  }
}

}  // namespace qv
