#pragma once
// The label font: 8 pixels wide and 10 rows high, one byte per row with the
// leftmost pixel in the most significant bit.

#include <array>
#include <cstdint>

namespace qv {

inline constexpr int kGlyphWidth = 8;
inline constexpr int kGlyphRows = 10;

using Glyph = std::array<std::uint8_t, kGlyphRows>;

// The glyph of a character, or nothing for a character the font lacks
// (everything but A-Z, a-z, 0-9, "/", "-", ":" and space).
const Glyph* FindGlyph(char c);

}  // namespace qv
