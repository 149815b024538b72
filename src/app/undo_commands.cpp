#include "app/undo_commands.h"

#include "app/messages.h"

namespace qv {

void UndoLastFilter(ProgramState& state, Host& host) {
  RestoreUndo(state.images, state.geometry);
  host.requestRebuildDisplay();
  UndoHistoryLine(state.images.history);
}

bool UndoLastColourFilter(ProgramState& state, Host& host) {
  if (!state.images.colourConverted) {
    ShowMessage(host, 69);
    return false;
  }
  // Restoring a store that holds nothing of this image would replace its
  // colours with stale or black planes.
  if (!state.images.colourUndoHeld) {
    ShowMessage(host, kCallerTextMessage, kNothingToUndoColour);
    return false;
  }
  RestoreColourUndo(state.images, state.geometry);
  state.images.colourUndoHeld = 0;
  host.requestRebuildDisplay();
  return true;
}

}  // namespace qv
