#pragma once
// Colour export for files: luminance and colour planes recombined with the
// colour saturation into the export buffers, bottom row first, in ten bands
// of height / 10 rows. Band 10 also fills the rows the bands leave over, so
// every row of the export is defined.

#include <cstdint>

#include "app/program_state.h"

namespace qv {

inline constexpr int kExportBands = 10;

// Export rows [first, end) of band `band` (1 to 10).
struct ExportRows {
  int first = 0;
  int end = 0;
};
ExportRows ExportBandRows(int height, int band);

// The colour saturation strength (level + 1) / 2.
float ExportStrength(int colourBalanceLevel);

// 16-bit export into the three planes of the plane work set (red, blue, green).
void ExportColourPlanes(ProgramState& state, int band);

// 8-bit export into `bytes` (width * 3 per row; blue, green, red per pixel).
// With auto contrast the display curve runs on the pixel's display level
// (its high byte) less `blackLevel`, so the curve's 8-bit constants give
// bytes over the whole 0 to 255 range, and a colour pixel is drawn as the
// window's natural colour view draws it.
void ExportColourBytes(ProgramState& state, int band, std::uint8_t* bytes, int blackLevel);

// Every band, in the order the save commands call them (10 down to 1).
void ExportAllColourPlanes(ProgramState& state);
void ExportAllColourBytes(ProgramState& state, std::uint8_t* bytes, int blackLevel);
// The same at the black level the display draws the image with under auto
// contrast (its automatic black level), so the file shows what the window
// shows. The black level the last paint measured is not it.
void ExportAllColourBytes(ProgramState& state, std::uint8_t* bytes);

}  // namespace qv
