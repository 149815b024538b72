#pragma once
// The gradient filter: subtracts a background that varies bilinearly between
// the levels measured in four corner patches.

#include <array>

#include "app/host.h"
#include "app/program_state.h"

namespace qv {

// A 40 by 40 patch: first row and column.
struct GradientPatch {
  int top;
  int left;
};
inline constexpr int kGradientPatchSize = 40;

// Top left, top right, bottom left, bottom right. On frames of at least
// 640 by 490 pixels they sit at rows 10 and 450, columns 20 and 600; on
// smaller frames a patch is moved in until it lies inside the frame (and cut
// to the frame when the frame is smaller than a patch).
std::array<GradientPatch, 4> GradientPatches(int width, int height);

// Background level of each patch (the fullest bin of value / 16), after the
// lowest of the four has been taken off and the result scaled back by 16.
std::array<int, 4> GradientCornerLevels(const std::uint16_t* image, int width, int height);

void GradientFilter(ProgramState& state, Host& host);

}  // namespace qv
