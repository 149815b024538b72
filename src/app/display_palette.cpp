#include "app/display_palette.h"

#include <algorithm>
#include <cmath>

namespace qv {

namespace {
// 255^0.7; a hair is added before truncation so that exact products such as
// 255^0.3 * 255^0.7 = 255 are not lost to rounding.
const double kCurveScale = std::pow(255.0, 0.7);
constexpr double kTruncationGuard = 1e-9;
}  // namespace

int PaletteCurve(int level, int blackLevel) {
  if (blackLevel < 0) blackLevel = 0;
  if (level <= blackLevel) return 0;
  const double value = std::pow(static_cast<double>(level - blackLevel), 0.3) * kCurveScale + kTruncationGuard;
  return std::min(255, static_cast<int>(value));
}

ByteLookup AutoContrastCurve(int blackLevel) {
  ByteLookup curve{};
  for (int i = 0; i < 256; ++i) curve[i] = static_cast<std::uint8_t>(PaletteCurve(i, blackLevel));
  return curve;
}

PaletteBytes BuildDisplayPalette(const PaletteOptions& o) {
  PaletteBytes palette{};
  const ByteLookup curve = AutoContrastCurve(o.blackLevel);
  for (int i = 0; i < kPaletteEntries; ++i) {
    std::uint8_t* entry = palette.data() + i * 4;
    int blue, green, red;
    if (o.falseColour) {
      const int v = o.autoContrast ? curve[i] : i;
      if (v < kFalseColourGreyFrom) {
        blue = 0;
        green = (v * v) >> 8;
        red = v;
      } else {
        blue = green = red = v;
      }
    } else if (o.autoContrast || o.stretchDisplay) {
      blue = green = red = curve[i];
    } else {
      blue = green = red = i;
    }
    entry[0] = static_cast<std::uint8_t>(blue);
    entry[1] = static_cast<std::uint8_t>(green);
    entry[2] = static_cast<std::uint8_t>(red);
    entry[3] = 0;
  }
  return palette;
}

PaletteBytes GreyPalette() { return BuildDisplayPalette(PaletteOptions{}); }

StretchTable BuildDisplayStretchTable(double k) {
  StretchTable table{};
  for (int i = 0; i < 255; ++i) {
    const double x = i / 255.0;
    const double value = 255.0 * k * x / ((k - 1.0) * x + 1.0);
    table[i] = static_cast<std::uint8_t>(std::clamp(std::floor(value + kTruncationGuard), 0.0, 255.0));
  }
  return table;
}

ByteLookup DisplayStretchLookup(const std::uint8_t* bytes, std::size_t count, double power) {
  int lowest = 255;
  for (std::size_t i = 0; i < count; ++i) {
    const int v = bytes[i];
    if (v >= 1 && v < lowest) lowest = v;
  }
  const StretchTable table = BuildDisplayStretchTable(power);
  // One table indexed by the byte itself, so the loop is a plain lookup.
  ByteLookup lookup{};
  for (int v = 0; v < 256; ++v) {
    lookup[v] = v >= 253 ? static_cast<std::uint8_t>(v) : table[std::max(v - lowest, 0)];
  }
  return lookup;
}

void StretchDisplayBytes(std::uint8_t* bytes, std::size_t count, double power) {
  const ByteLookup lookup = DisplayStretchLookup(bytes, count, power);
  for (std::size_t i = 0; i < count; ++i) bytes[i] = lookup[bytes[i]];
}

}  // namespace qv
