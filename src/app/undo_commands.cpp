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
  if (state.images.colourUndoHeld == kColourUndoNone) {
    ShowMessage(host, kCallerTextMessage, kNothingToUndoColour);
    return false;
  }
  // Once taken, the store holds what the planes already are, or older planes
  // than a mirror or flip since has left them: restoring again would only
  // undo that.
  if (state.images.colourUndoHeld == kColourUndoTaken) return true;
  RestoreColourUndo(state.images, state.geometry);
  state.images.colourUndoHeld = kColourUndoTaken;
  host.requestRebuildDisplay();
  return true;
}

}  // namespace qv
