#pragma once
// Monochrome images from a raw colour-matrix frame: the pixels of one filter
// colour with the others filled in from their neighbours of that colour.

#include <cstdint>

#include "app/host.h"
#include "app/program_state.h"

namespace qv {

enum class MatrixColour { Red, Green, Blue };

// Fills the cells of the raw frame in place so that every pixel carries the
// chosen colour. Cells are anchored at odd columns from 1 and every other row
// from `firstRow`; a neighbour above the first row is not read (the kept
// pixel is used on its own).
void ExtractMonoCells(std::uint16_t* raw, int width, int height, int firstRow, bool lineOffset, bool pixelOffset,
                      MatrixColour colour);

// The "Use Red/Green/Blue Pixels" commands: refused with "Already Colour
// Converted" on a converted image; then the extraction, the luminance copy
// into the scratch image and the automatic processing the settings choose.
[[nodiscard]] bool ExtractMonoImage(ProgramState& state, Host& host, MatrixColour colour);

// Keeps the pixels of one cell position of each 2 x 2 cell (choice 1 top
// left, 2 top right, 3 bottom left, 4 bottom right) and fills the others
// with means of their neighbours of that position. At a row's end the
// neighbour past the last column does not exist and the kept pixel is used.
void BuildSingleFilterPixels(std::uint16_t* image, int width, int height, int choice);

// Whether the frame is a full unbinned frame, the only kind whose matrix is
// known.
[[nodiscard]] bool IsRawFullFrame(const FrameGeometry& geometry);

inline constexpr const char* kRawFullFrameOnly = "Sorry, Can only be applied to raw full frame images";

// Whether "Create Mono Image from Raw Data" may run; shows "Sorry, Can only
// be applied to raw full frame images" when not (a converted, binned or
// sub-frame image).
[[nodiscard]] bool SingleFilterAllowed(const ProgramState& state, Host& host);

// "Create Mono Image from Raw Data" with the chosen cell (1 to 4), which is
// kept for the next time. Refused as above, changing nothing.
[[nodiscard]] bool SingleFilterImage(ProgramState& state, Host& host, int choice);

}  // namespace qv
