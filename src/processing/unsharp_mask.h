#pragma once
// The unsharp mask: each pixel moves away from the mean of its box.

#include "app/host.h"
#include "app/program_state.h"

namespace qv {

inline constexpr int kUnsharpMinimum = 1;
inline constexpr int kUnsharpMaximum = 7;  // radius and power alike

// With m the mean (truncated) of the (2r + 1)^2 box around a pixel p, the
// pixel becomes p + (p - m) * power, clamped like the kernel filters. Rows
// r from the top and bottom (and the header band), r columns on the left
// and r + 1 on the right keep their values. Records the history line.
// A radius or power outside 1 to 7 changes nothing.
void UnsharpMask(ProgramState& state, Host& host, int radius, int power, bool rebuild);

}  // namespace qv
