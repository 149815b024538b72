#pragma once
// The temporary display bitmap files: grey (8 bits, 256-entry palette) and
// colour (24 bits) file images built in memory, and the writer that stores
// them in blocks.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "app/display_palette.h"
#include "processing/processing_state.h"

namespace qv {

inline constexpr int kBitmapFileHeaderBytes = 14;
inline constexpr int kBitmapInfoHeaderBytes = 40;
inline constexpr int kColourPixelOffset = kBitmapFileHeaderBytes + kBitmapInfoHeaderBytes;  // 54
inline constexpr int kGreyPixelOffset = kColourPixelOffset + kPaletteBytes;                 // 1078
inline constexpr int kSmallFrameSide = 128;
inline constexpr int kSmallFrameBytes = kSmallFrameSide * kSmallFrameSide;

// Bytes of one row of `pixels` 8-bit pixels, padded to a multiple of 4.
inline int PaddedRowBytes(int pixels) { return (pixels + 3) / 4 * 4; }
// Pixels that make a colour row a multiple of 4 pixels wide.
inline int PaddedColourWidth(int width) { return (width + 3) / 4 * 4; }

enum class GreySource {
  Full,       // every pixel of the frame
  HalfSize,   // every second pixel of every second row
  SmallFrame  // the 128 x 128 focus or guide frame
};

// Builds the grey file image into `out` (header, palette, rows bottom row
// first); returns its length. `width` and `height` are the frame's. With a
// `stretch` lookup each byte goes through it on the way into the rows.
std::size_t BuildGreyBitmapImage(std::uint8_t* out, const std::uint8_t* displayBytes, int width, int height,
                                 GreySource source, const PaletteBytes& palette, const ByteLookup* stretch = nullptr);

// Writes the 54-byte header of a colour file image for a frame of `width`
// by `height`; returns the file image's length.
std::size_t PutColourBitmapHeader(std::uint8_t* out, int width, int height);

// How a colour pixel is made from its display byte and colour planes.
struct ColourViewOptions {
  char channelView = 'N';
  bool autoContrast = false;
  int blackLevel = 0;
  double saturation = 2.0;                // (colourBalanceLevel + 1) / 2
  RowLoops rowLoops = RowLoops::Fastest;  // which build of the row loop runs
};

// Builds the colour rows of source rows [firstRow, firstRow + rowCount) into
// the file image `out` (header at its start). `planes` are red, blue, green.
void BuildColourBitmapRows(std::uint8_t* out, const std::uint8_t* displayBytes, const std::uint16_t* const planes[3],
                           int width, int height, int firstRow, int rowCount, const ColourViewOptions& options);

// The result of a bitmap write.
enum class BitmapWriteResult {
  Ok = 0,
  CannotCreate = 1,  // message 8
  HeaderShort = 2,   // message 9
  PixelsShort = 3    // message 10
};

using FileWriteFunction = std::size_t (*)(const void*, std::size_t, std::size_t, std::FILE*);

// Deletes the old file, creates the new one and writes the header in one
// write, then the pixel bytes in `blockCount` equal blocks and a remainder.
[[nodiscard]] BitmapWriteResult WriteBitmapFile(const std::string& path, const std::uint8_t* image,
                                                std::size_t imageBytes, std::size_t headerBytes, int blockCount,
                                                FileWriteFunction write = &std::fwrite);

}  // namespace qv
