#pragma once
// The anti-alias filter of a colour image: each plane is replaced by its 5 x 5
// median plus the low bits of the mean fine detail of the three planes, which
// takes out the colour fringes the colour matrix leaves at sharp edges.

#include <cstdint>

#include "app/host.h"
#include "app/program_state.h"

namespace qv {

inline constexpr int kAntiAliasBorder = 3;
inline constexpr int kAntiAliasWeightSum = 156;

// The median of 25 values (the 13th largest).
std::uint16_t MedianOf25(const std::uint16_t* values);

// Refused with "Image Not Colour Converted" (false) on an image that is not
// colour converted. Keeps the planes in the colour undo store first. The
// three-pixel border (below a header band, the band too) keeps its values.
// Redisplays when `redisplay` (the menu command); the synthesis leaves that to
// its own end.
[[nodiscard]] bool AntiAliasFilter(ProgramState& state, Host& host, bool redisplay);

}  // namespace qv
