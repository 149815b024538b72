#include <algorithm>
#include <cstring>

#include "app/image_store.h"
#include "files/file_io.h"
#include "files/tiff_file.h"

namespace qv {

namespace {

enum : std::uint16_t { kShort = 3, kLong = 4, kRational = 5 };

void Put16(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
  out[at] = static_cast<std::uint8_t>(v & 0xFF);
  out[at + 1] = static_cast<std::uint8_t>(v >> 8 & 0xFF);
}
void Put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
  Put16(out, at, v & 0xFFFF);
  Put16(out, at + 2, v >> 16);
}

int BytesPerPixel(bool colour, bool sixteenBit) { return (colour ? 3 : 1) * (sixteenBit ? 2 : 1); }

}  // namespace

std::vector<std::uint8_t> TiffHeaderBytes(int width, int height, bool colour, bool sixteenBit) {
  const std::uint32_t strips = static_cast<std::uint32_t>(height / 2);
  const std::uint32_t dataStart = kTiffTablesOffset + 8 * strips;
  const std::uint32_t stripBytes = strips ? static_cast<std::uint32_t>(static_cast<long long>(width) * height *
                                                                       BytesPerPixel(colour, sixteenBit) / strips)
                                          : 0;
  const std::uint32_t dataLength = stripBytes * strips;
  std::vector<std::uint8_t> out(dataStart, 0);
  out[0] = 'I';
  out[1] = 'I';
  Put16(out, 2, 42);
  Put32(out, 4, 8);
  Put16(out, 8, kTiffEntries);
  std::size_t at = 10;
  auto entry = [&](std::uint16_t tag, std::uint16_t type, std::uint32_t count, std::uint32_t value) {
    Put16(out, at, tag);
    Put16(out, at + 2, type);
    Put32(out, at + 4, count);
    if (type == kShort && count == 1) {
      Put16(out, at + 8, value);
    } else {
      Put32(out, at + 8, value);
    }
    at += 12;
  };
  const std::uint16_t bits = sixteenBit ? 16 : 8;
  entry(254, kLong, 1, 0);
  entry(256, kShort, 1, static_cast<std::uint32_t>(width));
  entry(257, kShort, 1, static_cast<std::uint32_t>(10 * (height / 10)));
  if (colour) {
    entry(258, kShort, 3, dataStart + dataLength);
  } else {
    entry(258, kShort, 1, bits);
  }
  entry(259, kShort, 1, 1);
  entry(262, kShort, 1, colour ? 2 : 1);
  entry(273, kLong, strips, kTiffTablesOffset);
  entry(277, kShort, 1, colour ? 3 : 1);
  entry(278, kLong, 1, strips ? static_cast<std::uint32_t>(height) / strips : 0);
  entry(279, kLong, strips, kTiffTablesOffset + 4 * strips);
  entry(282, kRational, 1, 170);
  entry(283, kRational, 1, 178);
  entry(296, kShort, 1, 3);
  Put32(out, at, 0);  // no further directory
  Put32(out, 170, 510);
  Put32(out, 174, 6);
  Put32(out, 178, 256);
  Put32(out, 182, 4);
  for (std::uint32_t k = 0; k < strips; ++k) {
    Put32(out, kTiffTablesOffset + 4 * k, dataStart + k * stripBytes);
    Put32(out, kTiffTablesOffset + 4 * strips + 4 * k, stripBytes);
  }
  return out;
}

TiffResult WriteTiffFile(ProgramState& state, const std::string& path, const std::uint16_t* image, bool sixteenBit,
                         const std::uint8_t* exportBytes) {
  const FrameGeometry& g = state.geometry;
  const bool colour = state.images.colourConverted != 0;
  StagedFile staged(path);
  if (!staged.valid()) return TiffResult::Failed;
  const FileHandle& file = staged.handle();
  const std::vector<std::uint8_t> header = TiffHeaderBytes(g.width, g.height, colour, sixteenBit);

  const int strips = g.height / 2;
  const auto width = static_cast<std::size_t>(g.width);
  const std::size_t rowBytes = width * static_cast<std::size_t>(BytesPerPixel(colour, sixteenBit));
  const std::size_t stripBytes = strips ? static_cast<std::size_t>(g.pixelCount) *
                                              static_cast<std::size_t>(BytesPerPixel(colour, sixteenBit)) /
                                              static_cast<std::size_t>(strips)
                                        : 0;
  const std::size_t dataLength = stripBytes * static_cast<std::size_t>(strips);
  std::uint8_t* data = state.images.buffers.fileBuffers[1].data();
  const auto rows = static_cast<std::size_t>(g.height);

  // File row u of the data, into `out`.
  auto fillRow = [&](std::size_t u, std::uint8_t* out) {
    if (!colour && !sixteenBit) {
      const std::uint16_t* in = image + u * width;
      for (std::size_t x = 0; x < width; ++x) out[x] = static_cast<std::uint8_t>(in[x] >> 8);
    } else if (!colour) {
      std::memcpy(out, image + u * width, rowBytes);  // little-endian like the file
    } else if (!sixteenBit) {
      // Export rows are bottom row first; each pixel's blue, green, red become red, green, blue.
      const std::uint8_t* in = exportBytes + (rows - 1 - u) * width * 3;
      for (std::size_t x = 0; x < width; ++x) {
        out[3 * x] = in[3 * x + 2];
        out[3 * x + 1] = in[3 * x + 1];
        out[3 * x + 2] = in[3 * x];
      }
    } else {
      const std::size_t src = (rows - 1 - u) * width;
      const std::uint16_t* red = state.images.planeWorkSet[ImageStore::kRed] + src;
      const std::uint16_t* green = state.images.planeWorkSet[ImageStore::kGreen] + src;
      const std::uint16_t* blue = state.images.planeWorkSet[ImageStore::kBlue] + src;
      for (std::size_t x = 0; x < width; ++x) {
        for (const std::uint16_t v : {red[x], green[x], blue[x]}) {
          *out++ = static_cast<std::uint8_t>(v & 0xFF);
          *out++ = static_cast<std::uint8_t>(v >> 8);
        }
      }
    }
  };

  using Piece = std::span<const std::uint8_t>;
  const Piece headerBytes(header.data(), header.size());
  const std::size_t rowsPerStrip = strips ? rows / static_cast<std::size_t>(strips) : 0;
  const bool wholeRowStrips = stripBytes == rowsPerStrip * rowBytes;
  bool written = true;
  if (!colour && sixteenBit && wholeRowStrips) {
    // The frame lies in memory as the file holds it.
    const Piece pieces[] = {headerBytes, Piece(reinterpret_cast<const std::uint8_t*>(image), dataLength)};
    written = WriteAllPieces(file, pieces);
  } else if (!colour && !sixteenBit) {
    // The whole frame of high bytes, then one write of header and data.
    for (std::size_t u = 0; u < rows; ++u) fillRow(u, data + u * rowBytes);
    const Piece pieces[] = {headerBytes, Piece(data, dataLength)};
    written = WriteAllPieces(file, pieces);
  } else if (wholeRowStrips) {
    // As many whole strips as the file buffer holds per write: a 16-bit
    // colour frame is larger than the buffer.
    written = WriteAll(file, header.data(), header.size());
    const std::size_t stripsPerWrite =
        std::max<std::size_t>(1, ImageStore::kByteBufferCapacity / std::max<std::size_t>(stripBytes, 1));
    for (std::size_t k = 0; written && k < static_cast<std::size_t>(strips); k += stripsPerWrite) {
      const std::size_t count = std::min(stripsPerWrite, static_cast<std::size_t>(strips) - k);
      for (std::size_t r = 0; r < count * rowsPerStrip; ++r) fillRow(k * rowsPerStrip + r, data + r * rowBytes);
      written = WriteAll(file, data, count * stripBytes);
    }
  } else {
    // Strips that end part way through a row: one strip at a time, each
    // written at its full length from the buffer.
    written = WriteAll(file, header.data(), header.size());
    for (int k = 0; written && k < strips; ++k) {
      for (std::size_t r = 0; r < rowsPerStrip; ++r)
        fillRow(static_cast<std::size_t>(k) * rowsPerStrip + r, data + r * rowBytes);
      written = WriteAll(file, data, stripBytes);
    }
  }
  if (!written) return TiffResult::Failed;
  if (colour) {
    std::uint8_t bits[6];
    for (int i = 0; i < 3; ++i) {
      bits[2 * i] = sixteenBit ? 16 : 8;
      bits[2 * i + 1] = 0;
    }
    if (!WriteAll(file, bits, sizeof bits)) return TiffResult::Failed;
  }
  return staged.commit() ? TiffResult::Ok : TiffResult::Failed;
}

}  // namespace qv
