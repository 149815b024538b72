// Spatial filters: kernel filters, unsharp mask, median and gradient filter
// against direct evaluations of their definitions, and their edge cases.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "camera/camera_models.h"
#include "processing/gradient_filter.h"
#include "processing/kernel_filters.h"
#include "processing/median_filter.h"
#include "processing/stretch_commands.h"
#include "processing/unsharp_mask.h"
#include "processing_fixture.h"

namespace qv {
namespace {

using test::ProcessingFixture;
using Image = std::vector<std::uint16_t>;

std::uint16_t Clamp(long v) { return v >= 65281 ? 65535 : (v < 0 ? 0 : static_cast<std::uint16_t>(v)); }

int Start(bool band, int radius) { return radius + (band ? 10 : 0); }

// The six kernels written out as square grids.
const std::vector<std::vector<int>> kWeighted = {{1, 2, 1}, {2, 4, 2}, {1, 2, 1}};
const std::vector<std::vector<int>> kGauss = {
    {0, 1, 2, 1, 0}, {1, 4, 8, 4, 1}, {2, 8, 16, 8, 2}, {1, 4, 8, 4, 1}, {0, 1, 2, 1, 0}};
const std::vector<std::vector<int>> kHighLow = {{0, -1, 0}, {-1, 5, -1}, {0, -1, 0}};
const std::vector<std::vector<int>> kHighHigh = {
    {-1, -1, -1, -1, -1}, {-1, -1, -1, -1, -1}, {-1, -1, 25, -1, -1}, {-1, -1, -1, -1, -1}, {-1, -1, -1, -1, -1}};
const std::vector<std::vector<int>> kSmoothSharp = {
    {0, -1, -1, -1, 0}, {-1, 1, 1, 1, -1}, {-1, 1, 5, 1, -1}, {-1, 1, 1, 1, -1}, {0, -1, -1, -1, 0}};
const std::vector<std::vector<int>> kRelief = {
    {0, 0, -1, 0, 0}, {0, -1, -1, -1, 0}, {-1, -1, 1, 1, 1}, {0, 1, 1, 1, 0}, {0, 0, 1, 0, 0}};

Image ReferenceKernel(const Image& in, int w, int h, bool band, const std::vector<std::vector<int>>& k, int div) {
  const int d = static_cast<int>(k.size()) / 2;
  Image out = in;
  for (int y = Start(band, d); y <= h - d - 1; ++y) {
    for (int x = d; x <= w - d - 1; ++x) {
      long s = 0;
      for (int j = -d; j <= d; ++j)
        for (int i = -d; i <= d; ++i) s += k[j + d][i + d] * in[(y + j) * w + x + i];
      out[y * w + x] = Clamp(s / div);
    }
  }
  return out;
}

Image ReferenceUnsharp(const Image& in, int w, int h, bool band, int r, int power) {
  Image out = in;
  const int n = (2 * r + 1) * (2 * r + 1);
  for (int y = Start(band, r); y <= h - r - 1; ++y) {
    for (int x = r; x <= w - r - 2; ++x) {
      long s = 0;
      for (int j = -r; j <= r; ++j)
        for (int i = -r; i <= r; ++i) s += in[(y + j) * w + x + i];
      const long m = static_cast<long>(std::trunc(static_cast<double>(s) / n));
      const long p = in[y * w + x];
      out[y * w + x] = Clamp(p + (p - m) * power);
    }
  }
  return out;
}

// Extracts the upper half one maximum at a time, as the filter is defined.
Image ReferenceMedian(const Image& in, int w, int h, bool band, int r, int power) {
  Image out = in;
  const double f = power * 0.1;
  const int n = (2 * r + 1) * (2 * r + 1);
  for (int y = Start(band, r); y <= h - r - 1; ++y) {
    for (int x = r; x <= w - r - 1; ++x) {
      std::vector<int> v;
      int minimum = 65000;
      for (int i = -r; i <= r; ++i)
        for (int j = -r; j <= r; ++j) {
          v.push_back(in[(y + j) * w + x + i]);
          minimum = std::min(minimum, v.back());
        }
      int maximum = 0, median = 0;
      for (int k = 0; k < n / 2 + 1; ++k) {
        int at = 0;
        for (int e = 0; e < n; ++e)
          if (v[e] >= v[at]) at = e;
        if (k == 0) maximum = v[at];
        median = v[at];
        v[at] = 0;
      }
      const int t = static_cast<int>((maximum - minimum) * f);
      const int p = in[y * w + x];
      if (std::abs(median - p) > t) out[y * w + x] = static_cast<std::uint16_t>(median);
    }
  }
  return out;
}

struct KernelCase {
  void (*run)(ProgramState&, Host&);
  const std::vector<std::vector<int>>* kernel;
  int divisor;
  const char* history;
};

void HighPassLowPowerMenu(ProgramState& s, Host& h) { HighPassLowPower(s, h); }

const KernelCase kKernelCases[] = {
    {WeightedMeanSmoother, &kWeighted, 16, "Lowpass Smoother Filter"},
    {GaussianSmoother, &kGauss, 80, "Gaussian Filter"},
    {HighPassLowPowerMenu, &kHighLow, 1, "High Pass Low Power Filter"},
    {HighPassHighPower, &kHighHigh, 1, "High Pass High Power Filter"},
    {SmootherSharper, &kSmoothSharp, 1, "Smoother/Sharper Filter"},
    {BasRelief, &kRelief, 1, "Bas Relief Filter"},
};

TEST(KernelFilters, MatchTheirDefinitionOnRandomImages) {
  for (RowLoops loops : test::kRowLoopBuilds) {
    SCOPED_TRACE(test::RowLoopsName(loops));
    for (bool band : {false, true}) {
      for (int spread : {65535, 3000}) {
        for (const KernelCase& c : kKernelCases) {
          ProcessingFixture f(39, 27, loops);
          f.fillRandom(5, 32000 - spread / 2, 32000 + spread / 2 + (spread == 65535 ? 3535 : 0));
          if (band) f.markHeaderBand();
          const Image before = f.pixels();
          c.run(*f.state, f.host);
          const Image expected = ReferenceKernel(before, f.width(), f.height(), band, *c.kernel, c.divisor);
          EXPECT_EQ(test::FirstDifference(f.pixels(), expected), -1) << c.history << " band " << band;
          EXPECT_EQ(f.historyLine(0), c.history);
          EXPECT_EQ(f.pixels(f.state->images.undoImage), before);
          EXPECT_EQ(f.host.progressCaptions, std::vector<std::string>{"FILTER PROGRESS"});
          EXPECT_EQ(f.host.rebuilds, 1);
        }
      }
    }
  }
}

// The vertical sums of a row cover the full width; the windows start two
// columns in. Frames from a single pixel up, and with all-white pixels so that
// the sums are at their largest.
TEST(KernelFilters, MatchTheirDefinitionAtEverySize) {
  struct Size {
    int width, height;
  };
  const Size sizes[] = {{1, 1}, {40, 1}, {1, 40}, {4, 9}, {5, 5}, {6, 7}, {33, 6}};
  for (RowLoops loops : test::kRowLoopBuilds) {
    SCOPED_TRACE(test::RowLoopsName(loops));
    for (const Size& size : sizes) {
      ProcessingFixture f(size.width, size.height, loops);
      for (bool white : {false, true}) {
        for (const KernelCase& c : kKernelCases) {
          f.fillRandom(size.width + size.height, white ? 65'535 : 0, 65'535);
          const Image before = f.pixels();
          c.run(*f.state, f.host);
          const Image expected = ReferenceKernel(before, f.width(), f.height(), false, *c.kernel, c.divisor);
          EXPECT_EQ(test::FirstDifference(f.pixels(), expected), -1)
              << c.history << " " << size.width << " x " << size.height;
        }
      }
    }
  }
}

TEST(KernelFilters, UniformImagesStayOrTurnWhiteInsideTheBorder) {
  for (const KernelCase& c : kKernelCases) {
    ProcessingFixture f(15, 11);
    f.fill(40000);
    c.run(*f.state, f.host);
    for (std::uint16_t v : f.pixels()) ASSERT_EQ(v, 40000) << c.history;
    const int d = static_cast<int>(c.kernel->size()) / 2;
    f.fill(65281);
    c.run(*f.state, f.host);
    for (int y = 0; y < f.height(); ++y) {
      for (int x = 0; x < f.width(); ++x) {
        const bool inside = x >= d && x < f.width() - d && y >= d && y < f.height() - d;
        ASSERT_EQ(f.at(x, y), inside ? 65535 : 65281) << c.history << " at " << x << "," << y;
      }
    }
  }
}

TEST(KernelFilters, ClampNegativeAndNearWhiteResults) {
  for (int centre : {13056, 13057}) {  // 5 x centre = 65,280 stays, 65,285 turns white
    ProcessingFixture f(7, 5);
    f.fill(0);
    f.at(2, 2) = static_cast<std::uint16_t>(centre);
    f.at(4, 2) = 100;
    HighPassLowPower(*f.state, f.host);
    EXPECT_EQ(f.at(2, 2), centre == 13056 ? 65280 : 65535);
    EXPECT_EQ(f.at(3, 2), 0);  // 0 - centre - 100 is negative
    EXPECT_EQ(f.at(4, 2), 500);
    EXPECT_EQ(f.at(2, 1), 0);
    EXPECT_EQ(f.at(6, 2), 0);  // border kept
  }
}

TEST(UnsharpMask, MatchesTheBoxMeanDefinition) {
  for (RowLoops loops : test::kRowLoopBuilds) {
    SCOPED_TRACE(test::RowLoopsName(loops));
    for (bool band : {false, true}) {
      for (int r : {1, 3, 7}) {
        for (int power : {1, 4, 7}) {
          ProcessingFixture f(43, 35, loops);
          f.fillRandom(r * 10 + power, 20000, 24000);
          if (band) f.markHeaderBand();
          const Image before = f.pixels();
          UnsharpMask(*f.state, f.host, r, power, true);
          const Image expected = ReferenceUnsharp(before, f.width(), f.height(), band, r, power);
          EXPECT_EQ(test::FirstDifference(f.pixels(), expected), -1) << "r " << r << " power " << power;
          EXPECT_EQ(f.historyLine(0), "Unsharp Mask : rad " + std::to_string(r) + " ,power " + std::to_string(power));
          EXPECT_EQ(f.host.progressCaptions, std::vector<std::string>{"UNSHARP MASK PROGRESS"});
        }
      }
    }
    ProcessingFixture f(43, 35, loops);
    f.fillRandom(99);
    const Image before = f.pixels();
    UnsharpMask(*f.state, f.host, 2, 3, false);
    EXPECT_EQ(test::FirstDifference(f.pixels(), ReferenceUnsharp(before, 43, 35, false, 2, 3)), -1);
    EXPECT_EQ(f.host.rebuilds, 0);
  }
}

// Every radius, over the full range of values (so results clamp at both
// ends), on frames from the narrowest a box fits in up to several vectors.
TEST(UnsharpMask, MatchesTheDefinitionForEveryRadiusAndWidth) {
  for (RowLoops loops : test::kRowLoopBuilds) {
    SCOPED_TRACE(test::RowLoopsName(loops));
    for (int width : {4, 9, 17, 40}) {
      ProcessingFixture f(width, 19, loops);
      for (int r = kUnsharpMinimum; r <= kUnsharpMaximum; ++r) {
        f.fillRandom(width * 8 + r);
        const Image before = f.pixels();
        UnsharpMask(*f.state, f.host, r, 7, false);
        EXPECT_EQ(test::FirstDifference(f.pixels(), ReferenceUnsharp(before, width, 19, false, r, 7)), -1)
            << "width " << width << " r " << r;
      }
    }
  }
}

// The filter divides by multiplying; for every sum a box can have at every
// radius it gives the quotient.
TEST(UnsharpMask, BoxMeanIsTheQuotientForEverySum) {
  long wrong = 0;
  for (int r = kUnsharpMinimum; r <= kUnsharpMaximum; ++r) {
    const int count = (2 * r + 1) * (2 * r + 1);
    const std::uint64_t magic = UnsharpMeanMagic(r);
    for (std::int32_t sum = 0; sum <= count * 65'535; ++sum) wrong += UnsharpBoxMean(sum, magic) != sum / count;
  }
  EXPECT_EQ(wrong, 0);
}

TEST(UnsharpMask, KeepsRColumnsLeftAndRPlusOneRight) {
  ProcessingFixture f(12, 9);
  f.fillRandom(4);
  const Image before = f.pixels();
  UnsharpMask(*f.state, f.host, 2, 7, true);
  for (int y = 0; y < f.height(); ++y) {
    for (int x : {0, 1, 9, 10, 11}) EXPECT_EQ(f.at(x, y), before[y * 12 + x]);
  }
  // Too narrow for any window: nothing changes, the command still completes.
  ProcessingFixture g(4, 20);
  g.fillRandom(5);
  const Image small = g.pixels();
  UnsharpMask(*g.state, g.host, 2, 3, true);
  EXPECT_EQ(g.pixels(), small);
}

TEST(MedianFilter, MatchesTheExtractionDefinition) {
  for (RowLoops loops : test::kRowLoopBuilds) {
    SCOPED_TRACE(test::RowLoopsName(loops));
    for (bool band : {false, true}) {
      for (int r : {1, 2, 3}) {
        for (int power : {1, 3, 6, 10}) {
          ProcessingFixture f(37, 31, loops);
          f.fillRandom(r + power * 7, 0, power == 3 ? 66 : 65535);  // small range: many ties
          if (band) f.markHeaderBand();
          const Image before = f.pixels();
          MedianFilter(*f.state, f.host, r, power);
          const Image expected = ReferenceMedian(before, f.width(), f.height(), band, r, power);
          EXPECT_EQ(test::FirstDifference(f.pixels(), expected), -1) << "r " << r << " power " << power;
        }
      }
    }
  }
}

// Frame sizes around the filter's own divisions: sixteen windows at a time,
// rows filtered in strips of 512 pixels, and frames too small for any window.
TEST(MedianFilter, MatchesTheDefinitionAtEverySizeAndNearWhite) {
  struct Size {
    int width, height;
  };
  const Size sizes[] = {{1, 1}, {40, 1}, {1, 40}, {7, 7}, {20, 9}, {21, 12}, {22, 13}, {23, 11}, {531, 8}, {1037, 7}};
  for (RowLoops loops : test::kRowLoopBuilds) {
    SCOPED_TRACE(test::RowLoopsName(loops));
    for (const Size& size : sizes) {
      ProcessingFixture f(size.width, size.height, loops);
      for (int r : {1, 2, 3}) {
        for (bool nearWhite : {false, true}) {
          // Near white the window minimum is held at 65,000.
          f.fillRandom(size.width * 7 + r, nearWhite ? 64'900 : 0, 65'535);
          const Image before = f.pixels();
          MedianFilter(*f.state, f.host, r, 4);
          const Image expected = ReferenceMedian(before, f.width(), f.height(), false, r, 4);
          EXPECT_EQ(test::FirstDifference(f.pixels(), expected), -1)
              << size.width << " x " << size.height << " r " << r << (nearWhite ? " near white" : "");
        }
      }
    }
  }
}

// The filter works out the threshold in 16-bit steps; the definition
// multiplies by the power's share in floating point and rounds down. Both
// agree for every range and power.
TEST(MedianFilter, SixteenBitThresholdAgreesWithTheShareOfTheRange) {
  long disagreements = 0;
  for (int power = 1; power <= kMedianMaxPowerTenths; ++power) {
    const double share = power * 0.1;
    for (int range = 0; range <= 65'535; ++range) {
      disagreements += MedianThreshold(range, power) != static_cast<int>(range * share) ? 1 : 0;
    }
  }
  EXPECT_EQ(disagreements, 0);
}

TEST(MedianFilter, PowerOneKeepsTheImageAndPowerPointOneRemovesAHotPixel) {
  ProcessingFixture f(31, 21);
  f.fillRandom(8);
  const Image before = f.pixels();
  MedianFilter(*f.state, f.host, 2, 10);
  EXPECT_EQ(f.pixels(), before);
  EXPECT_EQ(f.historyLine(0), "Median Filter : rad 2 ,power 1.0");

  ProcessingFixture g(3, 3);
  g.fill(1000);
  g.at(1, 1) = 60000;
  MedianFilter(*g.state, g.host, 1, 1);
  EXPECT_EQ(g.at(1, 1), 1000);
  EXPECT_EQ(g.historyLine(0), "Median Filter : rad 1 ,power 0.1");
  EXPECT_EQ(g.host.progressCaptions, std::vector<std::string>{"MEDIAN FILTER PROGRESS"});
}

// Bilinear background from four corner levels, written out per pixel.
Image ReferenceGradient(const Image& in, const FrameGeometry& g, bool band, std::array<int, 4> levels) {
  Image out = in;
  const double W = g.width, H = g.height, N = g.pixelCount;
  for (int y = band ? 10 : 0; y < g.height; ++y) {
    for (int x = 0; x < g.width; ++x) {
      const double bg = (W - x) * (H - y) / N * levels[0] + x * (H - y) / N * levels[1] + y * (W - x) / N * levels[2] +
                        x * y / N * levels[3];
      const int p = in[y * g.width + x];
      out[y * g.width + x] = p > bg ? static_cast<std::uint16_t>(p - static_cast<int>(bg)) : 0;
    }
  }
  return out;
}

TEST(GradientFilter, SubtractsTheBilinearBackgroundOfTheCornerPatches) {
  for (RowLoops loops : test::kRowLoopBuilds) {
    SCOPED_TRACE(test::RowLoopsName(loops));
    for (bool band : {false, true}) {
      ProcessingFixture f(641, 491, loops);
      f.fillRandom(12, 1000, 1400);
      // Corner patches at distinct levels: most values of each in one bin.
      const int top[2] = {10, 450}, left[2] = {20, 600};
      const int value[4] = {3000, 5008, 2000, 2416};  // bins 187, 313, 125, 151
      for (int k = 0; k < 4; ++k)
        for (int y = 0; y < 40; ++y)
          for (int x = 0; x < 40; ++x)
            if ((x + y) % 3 != 0) f.at(left[k % 2] + x, top[k / 2] + y) = static_cast<std::uint16_t>(value[k]);
      if (band) f.markHeaderBand();
      const Image before = f.pixels();
      EXPECT_EQ(GradientCornerLevels(f.work(), f.width(), f.height()),
                (std::array<int, 4>{62 * 16, 188 * 16, 0, 26 * 16}));
      GradientFilter(*f.state, f.host);
      const Image expected = ReferenceGradient(before, f.state->geometry, band, {992, 3008, 0, 416});
      EXPECT_EQ(test::FirstDifference(f.pixels(), expected), -1);
      EXPECT_EQ(f.historyLine(0), "Gradient Filter");
      EXPECT_EQ(f.host.rebuilds, 1);
    }
  }
}

// On a 128 x 128 frame with these levels the background is a whole number at
// every pixel: no pixel's result can be read off the straight line of the
// row, so every pixel takes the background as defined.
TEST(GradientFilter, WholeNumberBackgroundsRoundAsDefined) {
  for (RowLoops loops : test::kRowLoopBuilds) {
    SCOPED_TRACE(test::RowLoopsName(loops));
    ProcessingFixture f(128, 128, loops);
    f.fillRandom(40);
    const int top[2] = {10, 88}, left[2] = {20, 88};
    const int value[4] = {1000, 17384, 17384, 33768};  // bins 62, 1086, 1086, 2110
    for (int k = 0; k < 4; ++k)
      for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
          if ((x + y) % 3 != 0) f.at(left[k % 2] + x, top[k / 2] + y) = static_cast<std::uint16_t>(value[k]);
    const Image before = f.pixels();
    ASSERT_EQ(GradientCornerLevels(f.work(), 128, 128), (std::array<int, 4>{0, 16384, 16384, 32768}));
    GradientFilter(*f.state, f.host);
    EXPECT_EQ(test::FirstDifference(f.pixels(),
                                    ReferenceGradient(before, f.state->geometry, false, {0, 16384, 16384, 32768})),
              -1);
  }
}

TEST(GradientFilter, EqualCornersSubtractNothingAndSmallFramesUseInnerPatches) {
  ProcessingFixture f(101, 77);
  f.fill(5000);
  f.at(50, 40) = 0;
  f.at(51, 40) = 7;
  GradientFilter(*f.state, f.host);
  EXPECT_EQ(f.at(50, 40), 0);
  EXPECT_EQ(f.at(51, 40), 7);
  EXPECT_EQ(f.at(0, 0), 5000);
  const auto patches = GradientPatches(101, 77);
  EXPECT_EQ(patches[0].top, 10);
  EXPECT_EQ(patches[0].left, 20);
  EXPECT_EQ(patches[3].top, 37);
  EXPECT_EQ(patches[3].left, 61);
  EXPECT_EQ(GradientPatches(30, 20)[3].left, 0);
  // A frame smaller than a patch reads only its own pixels.
  ProcessingFixture g(7, 5);
  g.fill(900);
  GradientFilter(*g.state, g.host);
  EXPECT_EQ(g.pixels(), Image(35, 900));
}

// Frames taller than the bands the filters work in, and long enough for the
// stretch to be shared between threads: the same results as the definitions.
TEST(FiltersOnLargeFrames, MatchTheirDefinitionsAcrossBands) {
  for (RowLoops loops : test::kRowLoopBuilds) {
    SCOPED_TRACE(test::RowLoopsName(loops));
    for (bool band : {false, true}) {
      ProcessingFixture f(301, 557, loops);
      f.fillRandom(31, 20000, 26000);
      if (band) f.markHeaderBand();
      Image before = f.pixels();
      GaussianSmoother(*f.state, f.host);
      EXPECT_EQ(test::FirstDifference(f.pixels(), ReferenceKernel(before, 301, 557, band, kGauss, 80)), -1);
      before = f.pixels();
      UnsharpMask(*f.state, f.host, 7, 3, true);
      EXPECT_EQ(test::FirstDifference(f.pixels(), ReferenceUnsharp(before, 301, 557, band, 7, 3)), -1);
      before = f.pixels();
      MedianFilter(*f.state, f.host, 3, 2);
      EXPECT_EQ(test::FirstDifference(f.pixels(), ReferenceMedian(before, 301, 557, band, 3, 2)), -1);
      before = f.pixels();
      MedianFilter(*f.state, f.host, 1, 2);
      EXPECT_EQ(test::FirstDifference(f.pixels(), ReferenceMedian(before, 301, 557, band, 1, 2)), -1);
      EXPECT_EQ(f.pixels(f.state->images.undoImage), before);
      // Progress stays within its range and closes once per filter.
      for (int position : f.host.progressPositions) EXPECT_LE(position, 256);
      EXPECT_EQ(f.host.progressClosed, 4);
    }
  }
}

// Pixels drawn mostly from the values where clamps and sums are at their
// limits: black, white and the values either side of where results turn
// white.
void FillExtremes(ProcessingFixture& f, unsigned seed) {
  static constexpr std::uint16_t kEdges[] = {0, 1, 2, 13056, 13057, 65279, 65280, 65281, 65534, 65535};
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> pick(0, 12), any(0, 65535);
  for (int i = 0; i < f.width() * f.height(); ++i) {
    const int k = pick(random);
    f.work()[i] = k < 10 ? kEdges[k] : static_cast<std::uint16_t>(any(random));
  }
}

// Fills the frame with one of the patterns the edge-size tests use: all
// black, all white, one grey, or extremes.
void FillPattern(ProcessingFixture& f, int pattern, unsigned seed) {
  if (pattern == 0) f.fill(0);
  if (pattern == 1) f.fill(65535);
  if (pattern == 2) f.fill(40000);
  if (pattern == 3) FillExtremes(f, seed);
}

// Widths either side of a vector of sixteen pixels, of two, and of the
// median's strips of 512 outputs (for every radius, whose windows take 2r
// columns off the width), by every height that leaves a few rows or none,
// and a header band on a taller frame: the same pixels as the definitions.
const int kEdgeWidths[] = {15, 16, 17, 18, 19, 20, 21, 22, 23, 31, 32, 33, 511, 512, 513, 514, 515, 516, 517, 518, 519};

TEST(FiltersAtEdgeSizes, KernelsAndUnsharpMaskMatchTheirDefinitionsOnExtremeValues) {
  for (int width : kEdgeWidths) {
    for (int height : {1, 3, 4, 5, 7, 23}) {
      const bool band = height == 23;
      ProcessingFixture f(width, height);
      for (int pattern = 0; pattern < 4; ++pattern) {
        for (RowLoops loops : test::kRowLoopBuilds) {
          f.state->processing.rowLoops = loops;
          const auto fill = [&] {
            FillPattern(f, pattern, static_cast<unsigned>(width * 31 + height));
            if (band) f.markHeaderBand();
            return f.pixels();
          };
          for (const KernelCase& c : kKernelCases) {
            const Image before = fill();
            c.run(*f.state, f.host);
            ASSERT_EQ(
                test::FirstDifference(f.pixels(), ReferenceKernel(before, width, height, band, *c.kernel, c.divisor)),
                -1)
                << c.history << " " << width << " x " << height << " pattern " << pattern << " "
                << test::RowLoopsName(loops);
          }
          for (int r : {1, 2, 3, 7}) {
            const Image before = fill();
            UnsharpMask(*f.state, f.host, r, 7, true);
            ASSERT_EQ(test::FirstDifference(f.pixels(), ReferenceUnsharp(before, width, height, band, r, 7)), -1)
                << "unsharp r " << r << " " << width << " x " << height << " pattern " << pattern << " "
                << test::RowLoopsName(loops);
          }
        }
      }
    }
  }
}

TEST(FiltersAtEdgeSizes, MedianMatchesItsDefinitionOnExtremeValues) {
  for (int r = 1; r <= 3; ++r) {
    for (int width : kEdgeWidths) {
      for (int height : {2 * r + 1, 2 * r + 2, 24}) {
        const bool band = height == 24;
        if (band && width > 33) continue;  // the band on the narrow frames; the wide ones are for the strips
        ProcessingFixture f(width, height);
        for (int pattern = 0; pattern < 4; ++pattern) {
          FillPattern(f, pattern, static_cast<unsigned>(width * 7 + height + r));
          if (pattern == 2) f.at(width / 2, height / 2) = 65535;  // one hot pixel on an even sky
          if (band) f.markHeaderBand();
          const Image before = f.pixels();
          for (int power : {1, 10}) {
            const Image expected = ReferenceMedian(before, width, height, band, r, power);
            for (RowLoops loops : test::kRowLoopBuilds) {
              std::copy(before.begin(), before.end(), f.work());
              f.state->processing.rowLoops = loops;
              MedianFilter(*f.state, f.host, r, power);
              ASSERT_EQ(test::FirstDifference(f.pixels(), expected), -1)
                  << "r " << r << " power " << power << " " << width << " x " << height << " pattern " << pattern << " "
                  << test::RowLoopsName(loops);
            }
          }
        }
      }
    }
  }
}

// The gradient filter reads each pixel's background off its row's straight
// line wherever that line is clearly away from a whole number. The line's
// error grows with the levels and the frame: on the largest sensor, binned
// and in its half-size window, with the corner levels at their extremes,
// the results are still the defined ones.
TEST(FiltersAtEdgeSizes, GradientOnTheLargestFramesWithExtremeLevels) {
  const CameraModel* largest = &CameraModelTable()[0];
  for (const CameraModel& m : CameraModelTable()) {
    if (m.sensorWidth * m.sensorHeight > largest->sensorWidth * largest->sensorHeight) largest = &m;
  }
  const int w = largest->sensorWidth, h = largest->sensorHeight;
  struct Size {
    int width, height;
  };
  const Size sizes[] = {{w, h}, {w / 2, h / 2}, {w / 3, h / 3}, {w / 4, h / 4}, {w - 1, h - 1}};
  // Patch values: top left, top right, bottom left, bottom right (the bottom
  // patches' fullest bin is looked for from bin 1).
  const std::array<int, 4> patchValues[] = {
      {0, 65535, 65535, 16}, {65535, 0, 16, 65535}, {16 * 777 + 5, 16 * 3, 16 * 4000, 16 * 2345 + 9}};
  for (const Size& size : sizes) {
    ProcessingFixture f(size.width, size.height);
    for (const auto& values : patchValues) {
      FillExtremes(f, static_cast<unsigned>(size.width));
      const auto patches = GradientPatches(size.width, size.height);
      for (int k = 0; k < 4; ++k) {
        for (int y = 0; y < kGradientPatchSize; ++y)
          for (int x = 0; x < kGradientPatchSize; ++x)
            f.at(patches[k].left + x, patches[k].top + y) = static_cast<std::uint16_t>(values[k]);
      }
      const Image before = f.pixels();
      const std::array<int, 4> levels = GradientCornerLevels(f.work(), size.width, size.height);
      if (values[0] == 65535 || values[1] == 65535) {
        EXPECT_EQ(*std::max_element(levels.begin(), levels.end()), 65520);  // the highest level there is
      }
      const Image expected = ReferenceGradient(before, f.state->geometry, false, levels);
      for (RowLoops loops : test::kRowLoopBuilds) {
        std::copy(before.begin(), before.end(), f.work());
        f.state->processing.rowLoops = loops;
        GradientFilter(*f.state, f.host);
        ASSERT_EQ(test::FirstDifference(f.pixels(), expected), -1)
            << size.width << " x " << size.height << " " << test::RowLoopsName(loops);
      }
    }
  }
}

TEST(ProcessingPasses, EveryPassRunsInTheSameFrame) {
  struct Pass {
    const char* name;
    void (*run)(ProgramState&, Host&);
    std::vector<std::string> captions;
  };
  const Pass passes[] = {
      {"gaussian", GaussianSmoother, {"FILTER PROGRESS"}},
      {"unsharp", [](ProgramState& s, Host& h) { UnsharpMask(s, h, 2, 3, true); }, {"UNSHARP MASK PROGRESS"}},
      {"median", [](ProgramState& s, Host& h) { MedianFilter(s, h, 2, 5); }, {"MEDIAN FILTER PROGRESS"}},
      {"gradient", GradientFilter, {}},
      {"sine stretch", SineLawStretch, {"CONTRAST STRETCH"}},
  };
  for (const Pass& pass : passes) {
    ProcessingFixture f(45, 37);
    f.fillRandom(8);
    const auto before = f.pixels();
    pass.run(*f.state, f.host);
    // The undo copy holds the image as it was; the wait cursor is off again,
    // each progress dialog closed, the window repainted and rebuilt once.
    EXPECT_EQ(f.pixels(f.state->images.undoImage), before) << pass.name;
    EXPECT_EQ(f.host.waitCursorDepth, 0) << pass.name;
    EXPECT_EQ(f.host.progressCaptions, pass.captions) << pass.name;
    EXPECT_EQ(f.host.progressClosed, static_cast<int>(pass.captions.size())) << pass.name;
    EXPECT_EQ(f.host.repaints, 1) << pass.name;
    EXPECT_EQ(f.host.rebuilds, 1) << pass.name;
  }
}

TEST(RowLoopBuilds, TheProcessingStateChoosesThePlainBuild) {
#if QV_AVX2_ROW_LOOPS
  const bool processorHasAvx2 = __builtin_cpu_supports("avx2") != 0;
#else
  const bool processorHasAvx2 = false;  // only the plain build exists
#endif
  EXPECT_EQ(ProcessingState{}.rowLoops, RowLoops::Fastest);
  EXPECT_EQ(UseAvx2RowLoops(RowLoops::Fastest), processorHasAvx2);
  EXPECT_FALSE(UseAvx2RowLoops(RowLoops::Plain));
}

}  // namespace
}  // namespace qv
