#include "app/display_bitmap.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>

#include "files/file_io.h"
#include "processing/row_loop_builds.h"

namespace qv {

namespace {

void Put16(std::uint8_t* at, std::uint32_t value) {
  at[0] = static_cast<std::uint8_t>(value);
  at[1] = static_cast<std::uint8_t>(value >> 8);
}

void Put32(std::uint8_t* at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void PutHeader(std::uint8_t* out, std::uint32_t fileSize, std::uint32_t pixelOffset, int width, int height,
               int bitsPerPixel, std::uint32_t imageSize) {
  std::memset(out, 0, kColourPixelOffset);
  out[0] = 'B';
  out[1] = 'M';
  Put32(out + 2, fileSize);
  Put32(out + 10, pixelOffset);
  Put32(out + 14, kBitmapInfoHeaderBytes);
  Put32(out + 18, static_cast<std::uint32_t>(width));
  Put32(out + 22, static_cast<std::uint32_t>(height));
  Put16(out + 26, 1);
  Put16(out + 28, static_cast<std::uint32_t>(bitsPerPixel));
  Put32(out + 34, imageSize);
}

// One row of the natural colour view. The channel scale and offset are per
// image, the luminance per display level; a pixel costs one division and
// three multiply-adds, written without branches so the column loop
// vectorises.
// Floating-point exception flags are not looked at, so the selects may be
// computed on every lane.
#define QV_NATURAL_ROW_MATH gnu::optimize("no-trapping-math")
[[gnu::always_inline, QV_NATURAL_ROW_MATH]] inline void NaturalRowBody(
    const std::uint8_t* __restrict level, const std::uint16_t* __restrict red, const std::uint16_t* __restrict green,
    const std::uint16_t* __restrict blue, std::uint8_t* __restrict to, int width, const double* __restrict lumOfLevel,
    double scale, double offset) {
  for (int x = 0; x < width; ++x) {
    const double lum = lumOfLevel[level[x]];
    // A white display level keeps neutral ratios.
    const ChannelRatios c = RatiosToLargest(red[x], green[x], blue[x], level[x] == 255);
    to[3 * x + 0] = ChannelByte(NaturalChannelValue(c.blue, scale, offset, lum));
    to[3 * x + 1] = ChannelByte(NaturalChannelValue(c.green, scale, offset, lum));
    to[3 * x + 2] = ChannelByte(NaturalChannelValue(c.red, scale, offset, lum));
  }
}

using NaturalRow = void (*)(const std::uint8_t*, const std::uint16_t*, const std::uint16_t*, const std::uint16_t*,
                            std::uint8_t*, int, const double*, double, double);

[[QV_NATURAL_ROW_MATH]] void NaturalRowPlain(const std::uint8_t* level, const std::uint16_t* red,
                                             const std::uint16_t* green, const std::uint16_t* blue, std::uint8_t* to,
                                             int width, const double* lumOfLevel, double scale, double offset) {
  NaturalRowBody(level, red, green, blue, to, width, lumOfLevel, scale, offset);
}
#if QV_AVX2_ROW_LOOPS
[[gnu::target("avx2"), QV_NATURAL_ROW_MATH]] void NaturalRowAvx2(const std::uint8_t* level, const std::uint16_t* red,
                                                                 const std::uint16_t* green, const std::uint16_t* blue,
                                                                 std::uint8_t* to, int width, const double* lumOfLevel,
                                                                 double scale, double offset) {
  NaturalRowBody(level, red, green, blue, to, width, lumOfLevel, scale, offset);
}
#else
constexpr NaturalRow NaturalRowAvx2 = NaturalRowPlain;
#endif

}  // namespace

std::size_t BuildGreyBitmapImage(std::uint8_t* out, const std::uint8_t* displayBytes, int width, int height,
                                 GreySource source, const PaletteBytes& palette, const ByteLookup* stretch) {
  int outWidth = width, outHeight = height;
  if (source == GreySource::SmallFrame) outWidth = outHeight = kSmallFrameSide;
  if (source == GreySource::HalfSize) {
    outWidth = width / 2;
    outHeight = height / 2;
  }
  const int rowBytes = PaddedRowBytes(outWidth);
  const std::size_t imageSize = static_cast<std::size_t>(rowBytes) * outHeight;
  PutHeader(out, static_cast<std::uint32_t>(imageSize + kGreyPixelOffset), kGreyPixelOffset, outWidth, outHeight, 8,
            static_cast<std::uint32_t>(imageSize));
  std::memcpy(out + kColourPixelOffset, palette.data(), kPaletteBytes);

  std::uint8_t* rows = out + kGreyPixelOffset;
  const int padding = rowBytes - outWidth;
  for (int y = 0; y < outHeight; ++y) {
    std::uint8_t* to = rows + static_cast<std::size_t>(outHeight - 1 - y) * rowBytes;
    if (source == GreySource::HalfSize) {
      const std::uint8_t* from = displayBytes + static_cast<std::size_t>(2 * y) * width;
      for (int x = 0; x < outWidth; ++x) to[x] = from[2 * x];
    } else {
      std::memcpy(to, displayBytes + static_cast<std::size_t>(y) * outWidth, outWidth);
    }
    if (stretch) {
      for (int x = 0; x < outWidth; ++x) to[x] = (*stretch)[to[x]];
    }
    if (padding) std::memset(to + outWidth, 0, padding);
  }
  return kGreyPixelOffset + imageSize;
}

std::size_t PutColourBitmapHeader(std::uint8_t* out, int width, int height) {
  const int paddedWidth = PaddedColourWidth(width);
  const std::size_t imageSize = static_cast<std::size_t>(paddedWidth) * height * 3;
  // The size field counts a palette the colour file does not have, as the
  // program's colour bitmaps always have; readers go by the offset field.
  PutHeader(out, static_cast<std::uint32_t>(imageSize + kGreyPixelOffset), kColourPixelOffset, paddedWidth, height, 24,
            static_cast<std::uint32_t>(static_cast<std::size_t>(paddedWidth) * height));
  return kColourPixelOffset + imageSize;
}

void BuildColourBitmapRows(std::uint8_t* out, const std::uint8_t* displayBytes, const std::uint16_t* const planes[3],
                           int width, int height, int firstRow, int rowCount, const ColourViewOptions& o) {
  const int paddedWidth = PaddedColourWidth(width);
  const std::size_t rowBytes = static_cast<std::size_t>(paddedWidth) * 3;
  const std::uint16_t* red = planes[0];
  const std::uint16_t* blue = planes[1];
  const std::uint16_t* green = planes[2];

  ByteLookup curve{};
  if (o.autoContrast) {
    curve = AutoContrastCurve(o.blackLevel);
  } else {
    for (int i = 0; i < 256; ++i) curve[i] = static_cast<std::uint8_t>(i);
  }
  const double s = o.saturation;
  std::array<double, 256> lumOfLevel;
  for (int i = 0; i < 256; ++i) lumOfLevel[i] = curve[i];

  const int lastRow = std::min(height, firstRow + rowCount);
  for (int y = firstRow; y < lastRow; ++y) {
    std::uint8_t* to = out + kColourPixelOffset + static_cast<std::size_t>(height - 1 - y) * rowBytes;
    const std::size_t row = static_cast<std::size_t>(y) * width;
    switch (o.channelView) {
      case 'N': {
        const NaturalRow natural = UseAvx2RowLoops(o.rowLoops) ? NaturalRowAvx2 : NaturalRowPlain;
        natural(displayBytes + row, red + row, green + row, blue + row, to, width, lumOfLevel.data(),
                o.autoContrast ? s : s / 2, o.autoContrast ? 1.0 : 1.2);
        break;
      }
      case 'R':
      case 'G':
      case 'B': {
        const int channel = o.channelView == 'B' ? 0 : (o.channelView == 'G' ? 1 : 2);
        const std::uint16_t* plane = o.channelView == 'B' ? blue : (o.channelView == 'G' ? green : red);
        for (int x = 0; x < width; ++x) {
          to[3 * x + 0] = to[3 * x + 1] = to[3 * x + 2] = 0;
          to[3 * x + channel] = static_cast<std::uint8_t>(plane[row + x] >> 8);
        }
        break;
      }
      default:
        for (int x = 0; x < width; ++x) to[3 * x] = to[3 * x + 1] = to[3 * x + 2] = displayBytes[row + x];
        break;
    }
    std::memset(to + static_cast<std::size_t>(width) * 3, 0, rowBytes - static_cast<std::size_t>(width) * 3);
  }
}

BitmapWriteResult WriteBitmapFile(const std::string& path, const std::uint8_t* image, std::size_t imageBytes,
                                  std::size_t headerBytes, int blockCount, FileWriteFunction write) {
  std::error_code ec;
  const auto folder = std::filesystem::path(path).parent_path();
  if (!folder.empty()) std::filesystem::create_directories(folder, ec);
  // Written under a temporary name and renamed over the old picture only when
  // whole, so a failed write leaves the previous file and no partial one.
  if (std::filesystem::is_directory(path, ec)) return BitmapWriteResult::CannotCreate;
  StagedFile staged(path);
  const int fd = staged.valid() ? ::dup(staged.handle().fd()) : -1;
  std::FILE* file = fd >= 0 ? ::fdopen(fd, "wb") : nullptr;
  if (!file) {
    if (fd >= 0) ::close(fd);
    return BitmapWriteResult::CannotCreate;
  }
  BitmapWriteResult result = BitmapWriteResult::Ok;
  if (write(image, 1, headerBytes, file) != headerBytes) {
    result = BitmapWriteResult::HeaderShort;
  } else {
    const std::uint8_t* pixels = image + headerBytes;
    const std::size_t pixelBytes = imageBytes - headerBytes;
    const std::size_t blocks = static_cast<std::size_t>(std::max(blockCount, 1));
    const std::size_t blockBytes = pixelBytes / blocks;
    std::size_t done = 0;
    for (std::size_t b = 0; b < blocks && result == BitmapWriteResult::Ok; ++b) {
      if (write(pixels + done, 1, blockBytes, file) != blockBytes) result = BitmapWriteResult::PixelsShort;
      done += blockBytes;
    }
    const std::size_t rest = pixelBytes - done;
    if (result == BitmapWriteResult::Ok && rest && write(pixels + done, 1, rest, file) != rest) {
      result = BitmapWriteResult::PixelsShort;
    }
  }
  if (std::fclose(file) != 0 && result == BitmapWriteResult::Ok) result = BitmapWriteResult::PixelsShort;
  if (result == BitmapWriteResult::Ok && !staged.commit()) result = BitmapWriteResult::PixelsShort;
  return result;
}

}  // namespace qv
