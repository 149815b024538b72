#pragma once
// Colour processing values kept for the program's run: the synthesis options
// that are not stored in the settings file, the single filter choice, the
// colour balance and chromatism values and the colour histograms.

#include <array>
#include <cstdint>

namespace qv {

// Colour histograms: 128 bins of 512 values each, with a margin.
inline constexpr int kColourHistogramBins = 128;
inline constexpr int kColourHistogramSize = 130;
inline constexpr int kColourHistogramBinShift = 9;

// One colour's balance values, in steps of 256.
struct ColourBalance {
  int minimum = 0;    // -10 to 255
  int maximum = 255;  // up to 255, above the minimum
  int start = 0;      // -10 to 100
  [[nodiscard]] bool operator==(const ColourBalance&) const = default;
};

// Plane shifts of the chromatism adjustment, in pixels (-3 to 3).
struct ChromatismShifts {
  int redX = 0, redY = 0, blueX = 0, blueY = 0;
  [[nodiscard]] bool operator==(const ChromatismShifts&) const = default;
};

struct ColourState {
  bool daylightImage = false;
  bool lightPollutionCorrection = false;
  int singleFilterChoice = 1;  // 1 top left, 2 top right, 3 bottom left, 4 bottom right

  // Indexed by plane: red, blue, green.
  std::array<ColourBalance, 3> balance{};
  ChromatismShifts chromatism{};

  // Counted in 32 bits: one bin of a real frame holds far more than 65535.
  std::array<std::array<std::uint32_t, kColourHistogramSize>, 3> histograms{};
  std::array<int, 3> peaks{1, 1, 1};
};

}  // namespace qv
