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
