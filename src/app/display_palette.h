#pragma once
// The display curves: the palette curve of the automatic contrast, the false
// colour palette and the display stretch table.

#include <array>
#include <cstdint>

namespace qv {

inline constexpr int kPaletteEntries = 256;
inline constexpr int kPaletteBytes = kPaletteEntries * 4;  // blue, green, red, 0
inline constexpr int kFalseColourGreyFrom = 241;

using PaletteBytes = std::array<std::uint8_t, kPaletteBytes>;

// Curve(i): 0 up to the black level, then (i - black)^0.3 * 255^0.7 cut to
// an integer and to 255. A negative black level counts as 0.
int PaletteCurve(int level, int blackLevel);

// The automatic contrast curve over the 256 display levels, Curve(i) for
// each: the one curve the display (palette and colour bitmap) and the
// colour export both draw with.
using ByteLookup = std::array<std::uint8_t, 256>;
ByteLookup AutoContrastCurve(int blackLevel);

// A colour pixel drawn at a display level, as the window's natural colour
// view and the 8-bit colour export both draw it, so one pixel gives one
// byte in either. The ratios are each channel over the largest (all 1 for a
// black or `neutral` pixel); a channel's value is ((ratio - 1) * scale +
// offset) * level.
struct ChannelRatios {
  double red = 1, green = 1, blue = 1;
};
[[gnu::always_inline]] inline ChannelRatios RatiosToLargest(double red, double green, double blue, bool neutral) {
  // Plain selects, no branches: the display's row loop vectorises over them.
  const double gb = green < blue ? blue : green;
  const double m = red < gb ? gb : red;
  const bool ratios = (m != 0) & !neutral;
  const double inverse = 1.0 / (ratios ? m : 1.0);
  const double r = red * inverse, g = green * inverse, b = blue * inverse;
  return {ratios ? r : 1.0, ratios ? g : 1.0, ratios ? b : 1.0};
}
[[gnu::always_inline]] inline double NaturalChannelValue(double ratio, double scale, double offset, double level) {
  return ((ratio - 1) * scale + offset) * level;
}
// The byte of a channel value: 255 above 254, else its whole part, 0 below
// 0. A hair is added before truncation so that exact results such as
// 0.2 * 100 = 20 do not fall to 19 through binary rounding.
[[gnu::always_inline]] inline std::uint8_t ChannelByte(double value) {
  const double raised = value + 1e-9;
  const double positive = raised < 0.0 ? 0.0 : raised;
  const double guarded = positive > 255.0 ? 255.0 : positive;
  const int truncated = static_cast<int>(guarded);
  return static_cast<std::uint8_t>(value > 254.0 ? 255 : truncated);
}

struct PaletteOptions {
  bool falseColour = false;
  bool autoContrast = false;
  bool stretchDisplay = false;
  int blackLevel = 0;  // negative values count as 0
};

// The 256 palette entries of a grey display bitmap, as written to the file.
PaletteBytes BuildDisplayPalette(const PaletteOptions& options);

// The plain grey palette (entry i is grey i).
PaletteBytes GreyPalette();

// Display stretch table T(i) = floor(255 k x / ((k - 1) x + 1)), x = i / 255,
// for i from 0 to 254.
using StretchTable = std::array<std::uint8_t, 255>;
StretchTable BuildDisplayStretchTable(double power);

// The display stretch of a set of display bytes as a lookup by byte value:
// bytes below 253 become T(max(v - m, 0)), m being the lowest byte of at
// least 1 among them (255 when there is none); 253 to 255 stay.
ByteLookup DisplayStretchLookup(const std::uint8_t* bytes, std::size_t count, double power);

// Applies that stretch to the bytes in place.
void StretchDisplayBytes(std::uint8_t* bytes, std::size_t count, double power);

}  // namespace qv
