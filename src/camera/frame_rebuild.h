#pragma once
// Turning read-out bytes into image pixels: the little-endian copy, the 3x3
// resample, the 4x4 enlargement, the centred sub-frame window, the K7
// column-pair level correction and the guider frame rebuilds.

#include <cstddef>
#include <cstdint>

namespace qv {

// count little-endian 16-bit values into pixels.
void DecodeLe16(const std::uint8_t* bytes, std::uint16_t* pixels, std::size_t count);

// Bilinear resample of a srcW x srcH frame to dstW x dstH; position (c, r)
// samples the source at (c / fx, r / fy), fx = dstW / srcW in 32-bit floats.
void Resample3x3(const std::uint16_t* src, int srcW, int srcH, std::uint16_t* dst, int dstW, int dstH);

// A quarter-size frame (qw x qh little-endian pixels) enlarged to dstW x dstH:
// pixels to the even columns of the even rows, odd columns and odd rows the
// halved sums of their neighbours, the last row a copy of the one above.
void Enlarge4x4(const std::uint8_t* reply, int qw, int qh, std::uint16_t* dst, int dstW, int dstH);

// A cw x ch window placed centred in a width x height frame with zeros round it.
void PlaceWindowCentred(const std::uint8_t* reply, int cw, int ch, std::uint16_t* dst, int width, int height);

// Evens out the levels of the even and odd columns from their means over
// columns 0 to 15 of each row.
void ColumnPairCorrection(std::uint16_t* image, int width, int height);

// Each guider byte b becomes the pixel b x 256.
void GuiderUnbinned(const std::uint8_t* reply, std::size_t count, std::uint16_t* dst);
// A 2x2-binned guider frame rebuilt at full size (columns x rows).
void GuiderBinned(const std::uint8_t* reply, int columns, int rows, std::uint16_t* dst);

}  // namespace qv
