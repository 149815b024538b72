#pragma once
// The processing applied to every new frame after an exposure, as chosen in
// the auto-processing settings.

#include "app/host.h"
#include "app/program_state.h"

namespace qv {

// Sample of the frame whose display histogram gives the black level before
// the background is removed: pixels 139,000 to 416,999 (69,500 to 208,499
// for binned frames), cut to the frame.
void SampleBlackLevel(ProgramState& state);

// For each chosen stretch (weak 2, strong 18, user power, in that order):
// black level from the sample, background removal when chosen, non-linear
// stretch. Then the high-pass low-power filter and the unsharp mask (with
// the settings' radius and power) when chosen. No display rebuild.
// Every stored number is applied as stored when the settings file accepts
// it, else kept to the file's range.
void RunAutoProcessing(ProgramState& state, Host& host);

// The unsharp mask with the stored radius and power, no display rebuild: the
// automatic processing's step, also what the menu command runs while the
// automatic processing is running.
void AutoUnsharpMask(ProgramState& state, Host& host);

}  // namespace qv
