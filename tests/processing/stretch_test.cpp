// Contrast stretches: table edge values, whole-image results against the
// formulas, the apply step's progress, undo and header band.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "processing/stretch_apply.h"
#include "processing/stretch_commands.h"
#include "processing/stretch_tables.h"
#include "processing_fixture.h"

namespace qv {
namespace {

using test::ProcessingFixture;

// Output for a pixel value v given the formula for table entry i.
std::vector<std::uint16_t> Expected(const std::vector<std::uint16_t>& before, int width, bool headerBand,
                                    const std::function<double(int)>& entry) {
  std::vector<std::uint16_t> after = before;
  for (std::size_t k = 0; k < before.size(); ++k) {
    if (headerBand && k < static_cast<std::size_t>(10 * width)) continue;
    double e = std::trunc(entry(before[k] / 2));
    if (e > 32767) e = 32767;
    if (e < 0) e = 0;
    after[k] = static_cast<std::uint16_t>(2 * static_cast<int>(e));
  }
  return after;
}

struct StretchCase {
  const char* history;
  std::function<void(ProgramState&, Host&)> run;
  std::function<double(int)> entry;
};

std::vector<StretchCase> Cases() {
  return {
      {"Normal Stretch : max 402 , min : 60",
       [](ProgramState& s, Host& h) { EXPECT_TRUE(NormalStretch(s, h, 30, 201)); },
       [](int i) { return i < 3840 ? 0.0 : (i < 25728 ? (i - 3840) * (255.0 / 171) : 32767.0); }},
      {"Normal Stretch : max 600 , min : 0", [](ProgramState& s, Host& h) { EXPECT_TRUE(NormalStretch(s, h, 0, 300)); },
       [](int i) { return i * (255.0 / 300); }},
      {"Power Stretch :  0.7", [](ProgramState& s, Host& h) { EXPECT_TRUE(PowerLawStretch(s, h, 0.7)); },
       [](int i) { return std::pow(i, 0.7) / std::pow(32768.0, -0.3); }},
      {"Power Stretch :  2.5", [](ProgramState& s, Host& h) { EXPECT_TRUE(PowerLawStretch(s, h, 2.5)); },
       [](int i) { return std::pow(i, 2.5) * (1 / std::pow(32768.0, 1.5)); }},
      {"Sine Stretch", SineLawStretch, [](int i) { return (std::sin((i - 16384.0) / 10432.0) + 1) * 16383; }},
      {"Log Stretch", LogarithmicStretch, [](int i) { return std::log(i + 1.0) * 3151; }},
      {"Antilog Stretch", AntilogarithmicStretch, [](int i) { return std::pow(2.71828, i / 3151.0) - 1; }},
      {"Invert Image to Negative", InvertToNegative, [](int i) { return 32767.0 - i; }},
      {"Non-Linear Stretch : power 18", [](ProgramState& s, Host& h) { NonLinearStretch(s, h, 18); },
       [](int i) {
         const double d = i / 32768.0;
         return 18 * 32768 * d / (d * 17 + 1);
       }},
  };
}

TEST(Stretches, WholeImageMatchesTheFormulasWithAndWithoutHeaderBand) {
  for (RowLoops loops : test::kRowLoopBuilds) {
    SCOPED_TRACE(test::RowLoopsName(loops));
    for (bool band : {false, true}) {
      for (const StretchCase& c : Cases()) {
        ProcessingFixture f(41, 33, loops);
        f.fillRandom(7);
        if (band) f.markHeaderBand();
        const auto before = f.pixels();
        c.run(*f.state, f.host);
        const auto expected = Expected(before, f.width(), band, c.entry);
        EXPECT_EQ(test::FirstDifference(f.pixels(), expected), -1) << c.history << " band " << band;
        EXPECT_EQ(f.historyLine(0), c.history);
        EXPECT_EQ(f.pixels(f.state->images.undoImage), before) << c.history;
        EXPECT_EQ(f.host.rebuilds, 1);
      }
    }
  }
}

TEST(Stretches, LongFramesGiveTheSameResult) {
  for (RowLoops loops : test::kRowLoopBuilds) {
    SCOPED_TRACE(test::RowLoopsName(loops));
    // Over 65,536 pixels a step is shared between two threads.
    ProcessingFixture f(401, 333, loops);
    f.fillRandom(17);
    f.markHeaderBand();
    const auto before = f.pixels();
    LogarithmicStretch(*f.state, f.host);
    const auto expected = Expected(before, f.width(), true, [](int i) { return std::log(i + 1.0) * 3151; });
    EXPECT_EQ(test::FirstDifference(f.pixels(), expected), -1);
    EXPECT_EQ(f.pixels(f.state->images.undoImage), before);
  }
}

TEST(Stretches, EdgeValuesOfTheTables) {
  ProcessingFixture f(9, 1);
  std::uint16_t* w = f.work();
  auto run = [&](std::vector<std::uint16_t> in, const std::function<void()>& stretch) {
    std::copy(in.begin(), in.end(), w);
    stretch();
    return std::vector<std::uint16_t>(w, w + in.size());
  };
  // Black 0, white 255 keeps values below 65,280 and makes the rest 65,534.
  EXPECT_EQ(run({0, 256, 65278, 65280, 65281, 65400, 65534, 65535, 1},
                [&] { EXPECT_TRUE(NormalStretch(*f.state, f.host, 0, 255)); }),
            (std::vector<std::uint16_t>{0, 256, 65278, 65534, 65534, 65534, 65534, 65534, 0}));
  EXPECT_EQ(run({0, 65535, 1, 2, 3, 4, 5, 6, 7}, [&] { InvertToNegative(*f.state, f.host); })[0], 65534);
  EXPECT_EQ(run({0, 65535, 1, 2, 3, 4, 5, 6, 7}, [&] { InvertToNegative(*f.state, f.host); })[1], 0);
  EXPECT_EQ(run({32768, 65535, 1, 2, 3, 4, 5, 6, 7}, [&] { EXPECT_TRUE(PowerLawStretch(*f.state, f.host, 2.0)); })[0],
            16384);
  EXPECT_EQ(run({65535, 65534, 1, 2, 3, 4, 5, 6, 7}, [&] { AntilogarithmicStretch(*f.state, f.host); })[0], 65534);
  EXPECT_EQ(run({65535, 0, 1, 2, 3, 4, 5, 6, 7}, [&] { LogarithmicStretch(*f.state, f.host); })[1], 0);
}

TEST(Stretches, EmptyRangesChangeNothingAndRecordNothing) {
  ProcessingFixture f(41, 33);
  f.fillRandom(3);
  const auto before = f.pixels();
  EXPECT_FALSE(NormalStretch(*f.state, f.host, 100, 100));
  EXPECT_FALSE(NormalStretch(*f.state, f.host, 120, 100));
  EXPECT_FALSE(PowerLawStretch(*f.state, f.host, 1.0));
  f.state->display.blackLevel = 2;
  EXPECT_FALSE(FillBackgroundTable(*f.state, f.host, true));
  EXPECT_EQ(f.pixels(), before);
  EXPECT_TRUE(f.state->images.history.lines[0].empty());
  EXPECT_EQ(f.host.progressCaptions.size(), 0u);
}

TEST(Stretches, RemoveBackgroundUsesTheBlackLevel) {
  ProcessingFixture f(41, 33);
  f.fillRandom(11);
  f.markHeaderBand();
  f.state->display.blackLevel = 40;
  const auto before = f.pixels();
  ASSERT_TRUE(FillBackgroundTable(*f.state, f.host, true));
  const int c = 128 * 40 - 256;
  const auto expected = Expected(before, f.width(), true, [&](int i) { return i < c ? 0.0 : (i - c) * (255.0 / 217); });
  EXPECT_EQ(test::FirstDifference(f.pixels(), expected), -1);
  EXPECT_EQ(f.historyLine(0), "Background Removed : min 76");
}

TEST(Stretches, ApplyStepShowsTwentyProgressStepsAndMapsEveryPixelOnce) {
  // 23 x 13: 299 pixels, 69 after the head block; 20 steps of 3, the last 12.
  ProcessingFixture f(23, 13);
  f.fill(1000);
  FillInvertTable(f.state->images.buffers.stretchTable.data());
  ApplyStretchTable(*f.state, f.host, false);
  EXPECT_EQ(f.host.progressCaptions, std::vector<std::string>{"CONTRAST STRETCH"});
  std::vector<int> positions;
  for (int s = 0; s < 20; ++s) positions.push_back(12 * s);
  EXPECT_EQ(f.host.progressPositions, positions);
  EXPECT_EQ(f.host.progressClosed, 1);
  EXPECT_EQ(f.host.rebuilds, 0);
  EXPECT_EQ(f.host.waitCursorDepth, 0);
  for (std::uint16_t v : f.pixels()) ASSERT_EQ(v, 2 * (32767 - 500));
}

TEST(Stretches, ColourStretchNeedsAColourImageAndMapsEachPlane) {
  for (RowLoops loops : test::kRowLoopBuilds) {
    SCOPED_TRACE(test::RowLoopsName(loops));
    ProcessingFixture f(41, 33, loops);
    EXPECT_FALSE(NonLinearColourStretch(*f.state, f.host, 10));
    ASSERT_EQ(f.host.boxes.size(), 1u);
    EXPECT_EQ(f.host.boxes[0].text, "Image Not Colour Converted");
    EXPECT_TRUE(f.state->images.history.lines[0].empty());

    f.state->images.colourConverted = 1;
    std::vector<std::vector<std::uint16_t>> before;
    for (int p = 0; p < 3; ++p) {
      f.fillRandom(20 + p, 0, 65535, f.state->images.colourPlanes[p]);
      before.push_back(f.pixels(f.state->images.colourPlanes[p]));
    }
    // The label band is the frame's: every plane keeps its first ten rows.
    f.markHeaderBand();
    EXPECT_TRUE(NonLinearColourStretch(*f.state, f.host, 10));
    EXPECT_EQ(f.host.progressCaptions,
              (std::vector<std::string>{"CONTRAST STRETCH RED", "CONTRAST STRETCH BLUE", "CONTRAST STRETCH GREEN"}));
    for (int p = 0; p < 3; ++p) {
      const auto expected = Expected(before[p], f.width(), true, [](int i) {
        const double d = i / 32768.0;
        return 10 * 32768 * d / (d * 9 + 1);
      });
      EXPECT_EQ(test::FirstDifference(f.pixels(f.state->images.colourPlanes[p]), expected), -1) << "plane " << p;
      EXPECT_EQ(f.pixels(f.state->images.buffers.colourUndo[p].data()), before[p]);
    }
    EXPECT_EQ(f.historyLine(0), "Non-Linear Colour : power 10");
  }
}

}  // namespace
}  // namespace qv
