#pragma once
// The guider frame's noise filter: a pixel that stands further from the
// median of its 3 x 3 neighbourhood than 0.6 of the neighbourhood's range is
// replaced by that median. Hot pixels and cosmic-ray hits go; a star, whose
// neighbourhood spans a wide range, stays.

#include <cstdint>

namespace qv {

// Filters rows 1 to rows - 2 and columns 1 to width - 2 of `frame` (rows of
// `width` pixels) through `aux`, which must hold width x rows pixels, and
// copies the result back; the outer rows and columns are kept.
void GuiderMedianFilter(std::uint16_t* frame, std::uint16_t* aux, int width, int rows);

}  // namespace qv
