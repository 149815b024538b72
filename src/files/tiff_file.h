#pragma once
// TIFF export: little-endian, one directory of 13 entries, strips of two
// rows, 8 or 16 bits, mono from the image or colour from the export buffers.

#include <cstdint>
#include <string>
#include <vector>

#include "app/program_state.h"

namespace qv {

enum class [[nodiscard]] TiffResult : int{Ok = 0, Failed = 1};

inline constexpr int kTiffEntries = 13;
inline constexpr int kTiffTablesOffset = 186;  // strip offsets table, after header, directory and rationals

// Header, directory, rationals and the two strip tables of a TIFF file of
// this shape (everything before the image data).
std::vector<std::uint8_t> TiffHeaderBytes(int width, int height, bool colour, bool sixteenBit);

// Writes the image: mono from `image`, colour (when the image is colour
// converted) from the export byte buffer (8 bits) or the plane work set
// (16 bits), both bottom row first.
TiffResult WriteTiffFile(ProgramState& state, const std::string& path, const std::uint16_t* image, bool sixteenBit,
                         const std::uint8_t* exportBytes);

}  // namespace qv
