#pragma once
// The colour histograms, the colour starting balance and the automatic
// histogram balance of a colour image.

#include <array>
#include <cstdint>

#include "app/host.h"
#include "app/program_state.h"
#include "colour/colour_state.h"

namespace qv {

// Counts each plane's pixels after the header band into bins of 512 values
// and finds each peak: the first bin from 1 to 126 holding more than 4000
// pixels, else bin 1.
void ComputeColourHistograms(ProgramState& state);
inline constexpr std::uint32_t kColourPeakCount = 4000;

// The balance table of one colour: 0 below 256 x minimum, a straight ramp to
// 65535 up to 256 x maximum (64-bit arithmetic), 65535 from there. The
// minimum must be at least 0 and below the maximum.
void FillBalanceTable(std::uint16_t* table, int minimum, int maximum);

// Applies one colour's balance values to a plane of `count` pixels.
void BalancePlane(std::uint16_t* plane, std::size_t count, ColourBalance values, std::uint16_t* table);

// Whether the balance values are the defaults (nothing to apply).
[[nodiscard]] bool BalanceIsDefault(const std::array<ColourBalance, 3>& values);
// Whether the values are in their ranges: minimum -10 to 254, maximum above
// it and at most 255, start -10 to 100.
[[nodiscard]] bool BalanceValid(const ColourBalance& values);

// The colour starting balance with values chosen for each plane (red, blue,
// green) and the saturation factor (1 to 9). Refused with "Image Not Colour
// Converted" on an image that is not colour converted; does nothing when no
// value and not the saturation changed. A changed saturation is saved in the
// settings file. Returns false when refused.
[[nodiscard]] bool ApplyColourBalance(ProgramState& state, Host& host, const std::array<ColourBalance, 3>& values,
                                      int saturation);

// The shift each colour's peak bin is from the largest, times 307.2.
struct HistogramShifts {
  std::array<int, 3> shift{};  // red, blue, green
  int changedPlane = ImageStore::kBlue;
};
HistogramShifts HistogramBalanceShifts(const std::array<int, 3>& peaks);

// Raises the colour whose peak lies furthest below the others by that shift.
[[nodiscard]] bool BalanceColourHistogram(ProgramState& state, Host& host);

}  // namespace qv
