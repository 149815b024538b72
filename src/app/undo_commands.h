#pragma once
// "&Undo Last Filter" and "Undo &Last Colour Filter".

#include "app/host.h"
#include "app/program_state.h"

namespace qv {

// Restores the image kept before the last filter and drops that filter's
// history line; the display is rebuilt.
void UndoLastFilter(ProgramState& state, Host& host);

inline constexpr const char* kNothingToUndoColour = "No colour filter to undo";

// Restores the colour planes kept before the last colour filter; refused
// with message 69 when the image is not colour converted, and with "No
// colour filter to undo" when no colour filter has run on this image since
// it was made or loaded. A second undo of the same filter does nothing.
[[nodiscard]] bool UndoLastColourFilter(ProgramState& state, Host& host);

}  // namespace qv
