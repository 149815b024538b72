#pragma once
// Runs the whole current image through the stretch table.

#include <cstddef>
#include <cstdint>

#include "app/host.h"
#include "app/program_state.h"

namespace qv {

inline constexpr int kStretchProgressSteps = 20;
inline constexpr int kStretchProgressStride = 12;

// Maps `count` pixels through the table: v becomes 2 * table[v / 2].
void MapThroughStretchTable(RowLoops loops, std::uint16_t* pixels, std::size_t count, const std::uint16_t* table);

// Maps one image: the ten-row head block unless the frame carries a header
// band, then the rest in 20 progress steps (the last takes the remainder).
void MapImageThroughStretchTable(RowLoops loops, std::uint16_t* image, const FrameGeometry& geometry,
                                 const std::uint16_t* table, Host& host, bool headerBand);

// The apply step of every stretch on the work image: undo copy, progress
// "CONTRAST STRETCH", mapping, display rebuild when asked.
void ApplyStretchTable(ProgramState& state, Host& host, bool rebuild);

// The same for the three colour planes (red, blue, green), leaving the header
// band of the frame alone. Refused with "Image Not Colour Converted" (false) when the
// image is not colour converted.
[[nodiscard]] bool ApplyStretchTableColour(ProgramState& state, Host& host, bool rebuild);

}  // namespace qv
