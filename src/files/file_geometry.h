#pragma once
// Setting the frame geometry and read-out mode from a loaded file.

#include "app/program_state.h"

namespace qv {

// Sets `binned` and recomputes the frame geometry for the current camera.
void SetFileBinning(ProgramState& state, int binned);

// Records how the frame was read (1 full frame, 2 binned, 5 sub-frame).
void SetGeometryMode(ProgramState& state, int mode);

}  // namespace qv
