#pragma once
// Filters over the three colour planes of a colour image: the chromatism
// shift, the colour low pass and the colour overload smoothing.

#include <cstdint>

#include "app/host.h"
#include "app/program_state.h"
#include "colour/colour_state.h"

namespace qv {

inline constexpr int kChromatismLimit = 3;

// Shifts the red and blue planes against green: first along the rows, then
// along the columns, each pass reading the values from before it. A source
// outside the row (or outside the rows from the first processed row on)
// leaves the pixel as it is; the header band is not touched.
void ShiftChromatism(ProgramState& state, const ChromatismShifts& shifts);

// The chromatism command with the chosen shifts (each -3 to 3). Refused with
// "Image Not Colour Converted" (false).
[[nodiscard]] bool AdjustChromatism(ProgramState& state, Host& host, const ChromatismShifts& shifts);

// Convolves one plane with the 3 x 3 (radius 1, divisor 16) or 5 x 5
// (radius 2, divisor 80) colour kernel into `out`; the border keeps the
// plane's values.
void ConvolveColourPlane(RowLoops loops, const std::uint16_t* plane, std::uint16_t* out, int width, int height,
                         int radius);

[[nodiscard]] bool LowPassColourFilter(ProgramState& state, Host& host);
[[nodiscard]] bool ColourOverloadSmoothing(ProgramState& state, Host& host);

}  // namespace qv
