#pragma once
// The contrast stretch tables. A table has kStretchEntries entries; entry i
// is the output level for the input levels 2i and 2i + 1, so a pixel v
// becomes 2 * table[v / 2]. Every entry is at most kStretchTop.

#include <cstdint>

namespace qv {

inline constexpr int kStretchEntries = 32'768;
inline constexpr int kStretchTop = 32'767;

// Black and white levels 0..300 of the display scale. False (table untouched)
// when white is not above black.
[[nodiscard]] bool FillNormalStretchTable(std::uint16_t* table, int black, int white);
// False (table untouched) when the exponent is 1.
[[nodiscard]] bool FillPowerStretchTable(std::uint16_t* table, double exponent);
void FillSineStretchTable(std::uint16_t* table);
void FillLogStretchTable(std::uint16_t* table);
void FillAntilogStretchTable(std::uint16_t* table);
void FillInvertTable(std::uint16_t* table);
void FillNonLinearStretchTable(std::uint16_t* table, int power);
// Removes the background below display level `blackLevel`. Returns the cut
// level c (in table entries), or -1 with the table untouched when the level
// is below 3.
int FillBackgroundStretchTable(std::uint16_t* table, int blackLevel);

}  // namespace qv
