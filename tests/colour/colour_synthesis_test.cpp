// Colour synthesis against a direct reading of the colour table for every
// matrix phase and red divisor, in both builds of the row loops, and the
// synthesis command's refusals and after-effects.

#include "colour/colour_synthesis.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "app/settings_file.h"
#include "colour_fixture.h"

namespace qv {
namespace {

using test::kRowLoopBuilds;
using ProcessingFixture = test::ColourFixture;
using Image = std::vector<std::uint16_t>;

struct Planes {
  Image red, blue, green, luminance;
};

std::uint16_t Gain(long luminance) {
  const long double v = static_cast<long double>(luminance) * static_cast<long double>(1.2f);
  return v > 65535 ? 65535 : static_cast<std::uint16_t>(static_cast<long>(v));
}

std::uint16_t Scale(long value, long divisor) {
  const long v = value * 60 / divisor;
  return v > 65535 ? 65535 : static_cast<std::uint16_t>(v);
}

// The conversion as the colour table states it, with its phases toggled
// pixel by pixel and row by row. Planes start from `before`; the luminance
// from the raw image (what the rows not converted keep).
Planes Reference(const Image& raw, int w, int h, bool line, bool pixel, int redDivisor, std::uint16_t before) {
  Planes out{Image(raw.size(), before), Image(raw.size(), before), Image(raw.size(), before), raw};
  const int first = raw[4] + raw[5] == 34 ? 10 : 0;
  int rowPhase = line, columnPhase = pixel;
  for (int r = first; r < h - 1; ++r) {
    for (int c = 0; c < w; ++c) {
      const std::size_t at = static_cast<std::size_t>(r) * w + c;
      if (c > w - 2) {
        out.red[at] = out.blue[at] = out.green[at] = 0;
        out.luminance[at] = raw[at];
      } else {
        const long p00 = raw[at], p01 = raw[at + 1], p10 = raw[at + w], p11 = raw[at + w + 1];
        long red, blue, green, lum;
        if (rowPhase == 0 && columnPhase == 0) {
          red = p00, blue = p11, green = (p01 + p10) / 2, lum = ((p01 + p10) / 3 + p00 + p11) / 3;
        } else if (rowPhase == 0) {
          red = p01, blue = p10, green = (p00 + p11) / 2, lum = ((p00 + p11) / 3 + p01 + p10) / 3;
        } else if (columnPhase == 0) {
          red = p10, blue = p01, green = (p00 + p11) / 2, lum = ((p00 + p11) / 3 + p01 + p10) / 3;
        } else {
          red = p11, blue = p00, green = (p01 + p10) / 2, lum = ((p01 + p10) / 3 + p00 + p11) / 3;
        }
        out.red[at] = Scale(red, redDivisor);
        out.blue[at] = Scale(blue, 30);
        out.green[at] = Scale(green, 39);
        out.luminance[at] = Gain(lum);
      }
      columnPhase ^= 1;
    }
    rowPhase ^= 1;
  }
  return out;
}

Planes Synthesize(ProcessingFixture& f, const Image& raw, bool line, bool pixel, int redDivisor, std::uint16_t before) {
  std::copy(raw.begin(), raw.end(), f.work());
  ImageStore& images = f.state->images;
  for (int p = 0; p < 3; ++p) std::fill_n(images.colourPlanes[p], raw.size(), before);
  const SynthesisFrame frame{images.workImage, images.colourPlanes, images.scratchImage, f.width(), f.height()};
  SynthesizeFrame(f.state->processing.rowLoops, frame, {line, pixel}, redDivisor);
  return {f.pixels(images.colourPlanes[0]), f.pixels(images.colourPlanes[1]), f.pixels(images.colourPlanes[2]),
          f.pixels(images.scratchImage)};
}

void ExpectSame(const Planes& got, const Planes& want, const std::string& what) {
  EXPECT_EQ(got.red, want.red) << what;
  EXPECT_EQ(got.blue, want.blue) << what;
  EXPECT_EQ(got.green, want.green) << what;
  EXPECT_EQ(got.luminance, want.luminance) << what;
}

TEST(ColourSynthesis, RedDivisorFollowsTheIrFilterAndDaylightChoices) {
  EXPECT_EQ(RedDivisor(false, false), 45);
  EXPECT_EQ(RedDivisor(false, true), 37);
  EXPECT_EQ(RedDivisor(true, false), 40);
  EXPECT_EQ(RedDivisor(true, true), 39);
}

// Odd and even widths (the column phase then carries from row to row or
// not), with and without the header band, random values up to white.
TEST(ColourSynthesis, MatchesTheColourTableForEveryPhaseAndDivisor) {
  for (RowLoops loops : kRowLoopBuilds) {
    for (auto [w, h] : {std::pair{37, 23}, std::pair{40, 24}}) {
      for (bool band : {false, true}) {
        ProcessingFixture f(w, h, loops);
        f.fillRandom(static_cast<unsigned>(w * 7 + band));
        if (band) f.markHeaderBand();
        const Image raw = f.pixels();
        for (int line = 0; line < 2; ++line) {
          for (int pixel = 0; pixel < 2; ++pixel) {
            for (int divisor : {45, 37, 40, 39}) {
              const std::string what = std::string(test::RowLoopsName(loops)) + " w " + std::to_string(w) + " band " +
                                       std::to_string(band) + " line " + std::to_string(line) + " pixel " +
                                       std::to_string(pixel) + " divisor " + std::to_string(divisor);
              ExpectSame(Synthesize(f, raw, line, pixel, divisor, 777), Reference(raw, w, h, line, pixel, divisor, 777),
                         what);
            }
          }
        }
      }
    }
  }
}

TEST(ColourSynthesis, UniformFrameGivesTheScaledColoursAndGainedLuminance) {
  ProcessingFixture f(6, 4);
  for (long v : {0L, 1L, 1000L, 40000L, 65535L}) {
    f.fill(static_cast<std::uint16_t>(v));
    const Planes got = Synthesize(f, f.pixels(), false, false, 45, 5);
    const std::size_t at = 6 + 2;  // row 1, column 2
    EXPECT_EQ(got.red[at], std::min(v * 60 / 45, 65535L)) << v;
    EXPECT_EQ(got.blue[at], std::min(2 * v, 65535L)) << v;
    EXPECT_EQ(got.green[at], std::min(v * 60 / 39, 65535L)) << v;
    EXPECT_EQ(got.luminance[at], Gain((2 * v / 3 + 2 * v) / 3)) << v;
    // The last column is black with the raw value as luminance; the last
    // row is not converted.
    EXPECT_EQ(got.red[6 + 5] + got.blue[6 + 5] + got.green[6 + 5], 0);
    EXPECT_EQ(got.luminance[6 + 5], v);
    EXPECT_EQ(got.red[18 + 2], 5);
    EXPECT_EQ(got.luminance[18 + 2], v);
  }
  // A bright value that clamps only in blue is not turned white.
  f.fill(40000);
  const Planes got = Synthesize(f, f.pixels(), false, false, 45, 0);
  EXPECT_EQ(got.red[2], 53333);
  EXPECT_EQ(got.blue[2], 65535);
  EXPECT_EQ(got.green[2], 61538);
}

// Every raw value 0 to 65535 in a frame two pixels wide: row r holds r, so
// each cell mixes r and r + 1.
TEST(ColourSynthesis, LuminanceFollowsTheFormulaForEveryRawValue) {
  for (RowLoops loops : kRowLoopBuilds) {
    ProcessingFixture f(2, 65537, loops);
    for (int r = 0; r < 65537; ++r) f.at(0, r) = f.at(1, r) = static_cast<std::uint16_t>(r == 65536 ? 0 : r);
    f.at(0, 0) = 1;  // keep rows 0 and 1 from looking like a header band (20 + 14)
    const Planes got = Synthesize(f, f.pixels(), false, false, 45, 0);
    for (int r = 0; r < 65536; ++r) {
      const long top = f.at(0, r), bottom = f.at(0, r + 1);
      // Rows alternate between the phases with green on the anti-diagonal
      // (p01 + p10) and on the diagonal (p00 + p11); here both sums are
      // top + bottom.
      const long lum = ((top + bottom) / 3 + top + bottom) / 3;
      ASSERT_EQ(got.luminance[2 * r], Gain(lum)) << r << " " << test::RowLoopsName(loops);
    }
  }
  for (std::uint32_t lum = 0; lum <= 65535; ++lum) ASSERT_EQ(LuminanceWithGain(lum), Gain(lum)) << lum;
}

TEST(ColourSynthesis, CommandSetsTheFlagKeepsTheBandAndRefusesASecondRun) {
  ProcessingFixture f(40, 30);
  f.fillRandom(3, 0, 20000);
  f.markHeaderBand();
  for (int p = 0; p < 3; ++p) std::fill_n(f.state->images.colourPlanes[p], 1200, std::uint16_t{9});
  const Image raw = f.pixels();
  f.state->colour.balance[0].start = 5;
  f.state->colour.chromatism.redX = 2;
  ASSERT_TRUE(SynthesizeColour(*f.state, f.host, nullptr, false));
  EXPECT_EQ(f.state->images.colourConverted, 1);
  EXPECT_EQ(f.state->colour.balance[0].start, 0);
  EXPECT_EQ(f.state->colour.chromatism.redX, 0);
  const Planes want = Reference(raw, 40, 30, false, false, 45, 9);
  EXPECT_EQ(f.pixels(), want.luminance);  // band and last row keep the label and the raw values
  EXPECT_EQ(f.pixels(f.state->images.scratchImage), want.luminance);
  EXPECT_EQ(f.pixels(f.state->images.colourPlanes[0]), want.red);
  EXPECT_EQ(f.host.progressCaptions.front(), "COLOUR CALCULATION IN PROGRESS");

  const Image luminance = f.pixels();
  EXPECT_FALSE(SynthesizeColour(*f.state, f.host, nullptr, false));
  EXPECT_EQ(f.host.boxes.back().text, "Already Colour Converted");
  EXPECT_EQ(f.pixels(), luminance);
}

TEST(ColourSynthesis, CancelledOptionsChangeNothing) {
  ProcessingFixture f(20, 10);
  f.fillRandom(4);
  const Image raw = f.pixels();
  EXPECT_FALSE(SynthesizeColour(*f.state, f.host, [] { return false; }));
  EXPECT_EQ(f.state->images.colourConverted, 0);
  EXPECT_EQ(f.pixels(), raw);
}

TEST(ColourSynthesis, DaylightAndIrChoicesReachTheRedPlane) {
  ProcessingFixture f(8, 4);
  f.fill(3000);
  f.state->colour.daylightImage = true;
  f.state->settings.irFilterUsed = true;
  ASSERT_TRUE(SynthesizeColour(*f.state, f.host, nullptr, false));
  EXPECT_EQ(f.state->images.colourPlanes[0][0], 3000 * 60 / 39);
}

TEST(ColourSynthesis, AfterAnExposureTheSettingsFileIsReadAndSaved) {
  test::ColourFixture f(8, 4);
  f.fill(3000);
  f.state->settings.irFilterUsed = true;
  ASSERT_EQ(SaveSettings(f.state->settings, f.state->paths), SettingsStatus::Ok);
  f.state->settings.irFilterUsed = false;
  ASSERT_TRUE(SynthesizeAfterExposure(*f.state, f.host));
  EXPECT_EQ(f.state->images.colourPlanes[0][0], 3000 * 60 / 40);  // the file's IR filter choice
  // A file that cannot be read is reported and written again whole.
  const std::string path = SettingsFilePath(f.state->paths);
  std::ofstream(path, std::ios::binary | std::ios::trunc) << "short";
  f.fill(3000);
  f.state->images.colourConverted = 0;
  ASSERT_TRUE(SynthesizeAfterExposure(*f.state, f.host));
  ASSERT_EQ(f.host.boxes.size(), 1u);
  EXPECT_EQ(f.host.boxes[0].number, 23);
  EXPECT_EQ(std::filesystem::file_size(path), 1'447u);
}

}  // namespace
}  // namespace qv
