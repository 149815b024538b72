#pragma once
// A frame whose paint black level is known: inside the painted border the
// high bytes 40, 41 and 45 are the three commonest (mean 42); every fourth
// column spreads over brighter levels, with a dark pixel and a white one in
// every fifty rows.

#include <cstdint>

namespace qv::test {

inline std::uint16_t BlackLevelFramePixel(int x, int y) {
  switch (x % 4) {
    case 0:
      return 40 * 256 + 17;
    case 1:
      return 41 * 256 + 3;
    case 2:
      return 45 * 256 + 200;
    default:
      if (y % 50 == 0) return 5000;
      if (y % 50 == 49) return 65535;
      return static_cast<std::uint16_t>((100 + y % 50) * 256 + x % 256);
  }
}

inline void FillBlackLevelFrame(std::uint16_t* image, int width, int height) {
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) image[static_cast<std::size_t>(y) * width + x] = BlackLevelFramePixel(x, y);
  }
}

// Remove Background at black level 42 worked by hand: s = 255 / (257 - 42)
// = 255 / 215, c = 128 * 42 - 256 = 5120; a pixel v is looked up at
// i = v / 2 and becomes twice the entry: 0 below c, else (i - c) * 255 / 215
// cut to a whole number and to 32,767.
inline std::uint16_t BackgroundRemovedAt42(std::uint16_t v) {
  const int i = v / 2;
  if (i < 5120) return 0;
  const int entry = (i - 5120) * 255 / 215;
  return static_cast<std::uint16_t>(2 * (entry < 32767 ? entry : 32767));
}

}  // namespace qv::test
