#pragma once
// The histogram picture of the display levels: one bar per level, bars over
// the top drawn at the top in the highlight colour and listed with their
// counts beside the plot.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace qv {

// Plot coordinates in the dialog.
inline constexpr int kHistogramAxisX = 5;
inline constexpr int kHistogramAxisTop = 5;
inline constexpr int kHistogramAxisY = 213;
inline constexpr int kHistogramAxisRight = 263;
inline constexpr int kHistogramBarBase = 210;
inline constexpr int kHistogramBarOffset = 8;  // level i is drawn at x = i + 8
inline constexpr int kHistogramMaxBar = 210;
inline constexpr int kHistogramCountsPerPixel = 5;
inline constexpr int kHistogramListedLevels = 15;
inline constexpr int kHistogramTextLeft = 270, kHistogramTextTop = 2;
inline constexpr int kHistogramTextRight = 390, kHistogramTextBottom = 270;
inline constexpr char kHistogramListingHead[] = "val         count \n";

struct HistogramTick {
  int x = 0;
  int bottom = 0;  // the tick runs from the axis down to here
};

struct HistogramPicture {
  std::array<int, 256> heights{};       // bar heights in pixels, at most 210
  std::array<bool, 256> highlighted{};  // the count was over the top of the plot
  std::string listing;                  // the text beside the plot
};

// The ticks below the axis, every 32 pixels from x = 40.
std::vector<HistogramTick> HistogramTicks();

// The bars and the listing of the display histogram's first 256 levels.
HistogramPicture BuildHistogramPicture(const std::array<std::uint32_t, 257>& counts);

}  // namespace qv
