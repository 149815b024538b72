#include "app/ui/display_image.h"

#include <cstring>

#include "app/display_bitmap.h"

namespace qv {

namespace {
int Read32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return static_cast<int>(b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24);
}
}  // namespace

QImage DisplayImage(const DisplayState& display) {
  const auto& b = display.bitmap;
  if (b.size() < static_cast<std::size_t>(kColourPixelOffset)) return {};
  const int width = Read32(b, 18);
  const int height = Read32(b, 22);
  const int offset = Read32(b, 10);
  const bool colour = display.bitmapIsColour;
  const int rowBytes = colour ? width * 3 : PaddedRowBytes(width);
  if (width <= 0 || height <= 0 ||
      b.size() < static_cast<std::size_t>(offset) + static_cast<std::size_t>(rowBytes) * height) {
    return {};
  }
  QImage image(width, height, colour ? QImage::Format_BGR888 : QImage::Format_Indexed8);
  if (!colour) {
    QList<QRgb> table(kPaletteEntries);
    for (int i = 0; i < kPaletteEntries; ++i) {
      const std::uint8_t* entry = b.data() + kColourPixelOffset + 4 * i;
      table[i] = qRgb(entry[2], entry[1], entry[0]);
    }
    image.setColorTable(table);
  }
  // The file stores the bottom row first.
  const std::size_t copyBytes = colour ? static_cast<std::size_t>(width) * 3 : static_cast<std::size_t>(width);
  for (int y = 0; y < height; ++y) {
    std::memcpy(image.scanLine(y), b.data() + offset + static_cast<std::size_t>(height - 1 - y) * rowBytes, copyBytes);
  }
  return image;
}

}  // namespace qv
