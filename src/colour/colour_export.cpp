#include "colour/colour_export.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "app/display_palette.h"
#include "app/display_rebuild.h"

namespace qv {

namespace {

struct Ratios {
  float r = 1, g = 1, b = 1;
};

Ratios ChromaRatios(std::uint16_t red, std::uint16_t green, std::uint16_t blue, bool neutral) {
  Ratios ratios;
  if (neutral) return ratios;
  const float R = red, G = green, B = blue;
  const float M = std::max({R, G, B});
  if (M != 0.0f) {
    ratios.r = R / M;
    ratios.g = G / M;
    ratios.b = B / M;
  }
  return ratios;
}

// ((c - 1) * S * 0.5 + 1.2) * L in extended precision, truncated toward zero.
long long ChannelValue(float ratio, float strength, std::uint16_t luminance) {
  const long double value =
      ((static_cast<long double>(ratio) - 1.0L) * strength * 0.5L + 1.2L) * static_cast<long double>(luminance);
  return static_cast<long long>(value);
}

std::uint16_t Clamp16(long long value) {
  if (value >= 65535) return 65535;
  if (value < 0) return 0;
  return static_cast<std::uint16_t>(value);
}

// Division by 256 as an arithmetic shift that rounds toward zero.
long long DivideBy256(long long value) { return (value < 0 ? value + 255 : value) >> 8; }

std::uint8_t ByteFromDivided(long long divided) {
  if (divided >= 255) return 255;
  return divided >= 0 ? static_cast<std::uint8_t>(divided) : 0;
}

}  // namespace

ExportRows ExportBandRows(int height, int band) {
  const int n = height / 10;
  ExportRows rows{(band - 1) * n, band * n};
  if (band == kExportBands) rows.end = height;
  return rows;
}

float ExportStrength(int colourBalanceLevel) { return static_cast<float>(colourBalanceLevel + 1) / 2.0f; }

namespace {

// What both export variants read: the luminance image, the three colour
// planes, the saturation strength and the band's rows.
struct ExportSource {
  const std::uint16_t* luminance;
  const std::uint16_t* red;
  const std::uint16_t* green;
  const std::uint16_t* blue;
  float strength;
  ExportRows rows;
};

ExportSource SourceOf(ProgramState& state, int band) {
  const ImageStore& images = state.images;
  return {images.workImage,
          images.colourPlanes[ImageStore::kRed],
          images.colourPlanes[ImageStore::kGreen],
          images.colourPlanes[ImageStore::kBlue],
          ExportStrength(state.settings.colourBalanceLevel),
          ExportBandRows(state.geometry.height, band)};
}

}  // namespace

void ExportColourPlanes(ProgramState& state, int band) {
  const FrameGeometry& g = state.geometry;
  ImageStore& images = state.images;
  const ExportSource source = SourceOf(state, band);
  const float strength = source.strength;
  const ExportRows rows = source.rows;
  const std::uint16_t *L = source.luminance, *R = source.red, *G = source.green, *B = source.blue;
  std::uint16_t* outR = images.planeWorkSet[ImageStore::kRed];
  std::uint16_t* outB = images.planeWorkSet[ImageStore::kBlue];
  std::uint16_t* outG = images.planeWorkSet[ImageStore::kGreen];
  for (int k = rows.first; k < rows.end; ++k) {
    const std::size_t src = static_cast<std::size_t>(g.height - 1 - k) * static_cast<std::size_t>(g.width);
    const std::size_t dst = static_cast<std::size_t>(k) * static_cast<std::size_t>(g.width);
    for (int x = 0; x < g.width; ++x) {
      const std::size_t s = src + static_cast<std::size_t>(x);
      const std::size_t d = dst + static_cast<std::size_t>(x);
      const std::uint16_t lum = L[s];
      const Ratios c = ChromaRatios(R[s], G[s], B[s], lum == 65535);
      outR[d] = Clamp16(ChannelValue(c.r, strength, lum));
      outB[d] = Clamp16(ChannelValue(c.b, strength, lum));
      outG[d] = Clamp16(ChannelValue(c.g, strength, lum));
    }
  }
}

void ExportColourBytes(ProgramState& state, int band, std::uint8_t* bytes, int blackLevel) {
  const FrameGeometry& g = state.geometry;
  ImageStore& images = state.images;
  const ExportSource source = SourceOf(state, band);
  const float strength = source.strength;
  const ExportRows rows = source.rows;
  const std::uint16_t *L = source.luminance, *R = source.red, *G = source.green, *B = source.blue;
  const bool autoContrast = images.autoContrast != 0;
  const bool colour = images.colourConverted != 0;

  // The display's own curve, so the export shows what the window shows.
  const ByteLookup curve = autoContrast ? AutoContrastCurve(blackLevel) : ByteLookup{};

  for (int k = rows.first; k < rows.end; ++k) {
    const std::size_t src = static_cast<std::size_t>(g.height - 1 - k) * static_cast<std::size_t>(g.width);
    std::uint8_t* out = bytes + static_cast<std::size_t>(k) * static_cast<std::size_t>(g.width) * 3;
    for (int x = 0; x < g.width; ++x, out += 3) {
      const std::size_t s = src + static_cast<std::size_t>(x);
      const std::uint16_t lum = L[s];
      if (!autoContrast) {
        const Ratios c = ChromaRatios(R[s], G[s], B[s], lum >= 65534);
        const long long vb = ChannelValue(c.b, strength, lum);
        out[0] = vb >= 65280 ? 255 : (vb >= 0 ? static_cast<std::uint8_t>(vb >> 8) : 0);
        out[1] = ByteFromDivided(DivideBy256(ChannelValue(c.g, strength, lum)));
        out[2] = ByteFromDivided(DivideBy256(ChannelValue(c.r, strength, lum)));
        continue;
      }
      const std::uint8_t curved = curve[lum >> 8];
      if (!colour) {
        out[0] = out[1] = out[2] = curved;
        continue;
      }
      // Drawn as the window draws it, from the display level: neutral at
      // level 255 (which holds 65534 and 65535) and the window's arithmetic,
      // so the file keeps the bytes the window shows. No channel passes the
      // curved level, so one over 254 only comes at a neutral level 255.
      const ChannelRatios c = RatiosToLargest(R[s], G[s], B[s], (lum >> 8) == 255);
      const double vr = NaturalChannelValue(c.red, strength, 1.0, curved);
      const double vg = NaturalChannelValue(c.green, strength, 1.0, curved);
      const double vb = NaturalChannelValue(c.blue, strength, 1.0, curved);
      if (vr > 254.0 || vg > 254.0 || vb > 254.0) {
        out[0] = out[1] = out[2] = 255;
        continue;
      }
      out[0] = ChannelByte(vb);
      out[1] = ChannelByte(vg);
      out[2] = ChannelByte(vr);
    }
  }
}

void ExportAllColourPlanes(ProgramState& state) {
  for (int band = kExportBands; band >= 1; --band) ExportColourPlanes(state, band);
}

void ExportAllColourBytes(ProgramState& state, std::uint8_t* bytes, int blackLevel) {
  for (int band = kExportBands; band >= 1; --band) ExportColourBytes(state, band, bytes, blackLevel);
}

void ExportAllColourBytes(ProgramState& state, std::uint8_t* bytes) {
  int blackLevel = 0;
  if (state.images.autoContrast) {
    // Counted apart: the display histogram belongs to the window's views.
    std::array<std::uint32_t, ImageStore::kHistogramBins> bins{};
    blackLevel = AutomaticBlackLevel(state.images.workImage, state.geometry, bins);
  }
  ExportAllColourBytes(state, bytes, blackLevel);
}

}  // namespace qv
