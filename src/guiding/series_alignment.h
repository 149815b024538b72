#pragma once
// Aligning the frames of a stacked series: each new frame in the work image
// is shifted onto the sum so far (the scratch image) and added to it, either
// by following the guide star or by matching brightness profiles of a fixed
// window.

#include "app/host.h"
#include "app/program_state.h"

namespace qv {

enum class [[nodiscard]] SeriesAlignResult{Added = 0, StarLost = 1, NoSuitableStar = 2};

// Forgets the reference, so the next frame starts a new series.
void ResetSeriesAlignment(ProgramState& state);

// `divisor` is the series length when the series is averaged, else 1.
SeriesAlignResult AlignByStar(ProgramState& state, Host& host, int divisor);
SeriesAlignResult AlignByProfile(ProgramState& state, int divisor);

}  // namespace qv
