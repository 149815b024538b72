// The automatic processing chain and the command-line processing commands.

#include "processing/auto_processing.h"

#include <gtest/gtest.h>

#include <sstream>

#include "cli/cli_app.h"
#include "processing/kernel_filters.h"
#include "processing/stretch_commands.h"
#include "processing/unsharp_mask.h"
#include "processing_fixture.h"

namespace qv {
namespace {

using test::ProcessingFixture;

// A frame big enough for the black level sample, mostly at display level 9.
ProcessingFixture SampleFrame() {
  ProcessingFixture f(701, 601);
  f.fillRandom(1, 9 * 256, 9 * 256 + 255);
  return f;
}

TEST(AutoProcessing, RunsTheChosenStepsInOrderWithoutRebuilds) {
  ProcessingFixture f = SampleFrame();
  ProcessingFixture g = SampleFrame();
  ProgramSettings& s = f.state->settings;
  s.autoStrongStretch = true;
  s.autoRemoveBackground = true;
  s.autoHighPassLowPower = true;
  s.autoUnsharpMask = true;
  s.unsharpRadius = 4;
  s.unsharpPower = 2;
  RunAutoProcessing(*f.state, f.host);
  EXPECT_EQ(f.state->display.blackLevel, 9);
  EXPECT_FALSE(f.state->processing.autoProcessingRunning);
  EXPECT_EQ(f.host.rebuilds, 0);
  EXPECT_EQ(f.historyLine(0), "Background Removed : min 14");
  EXPECT_EQ(f.historyLine(1), "Non-Linear Stretch : power 18");
  EXPECT_EQ(f.historyLine(2), "High Pass Low Power Filter");
  EXPECT_EQ(f.historyLine(3), "Unsharp Mask : rad 4 ,power 2");

  // The same steps by hand give the same image.
  g.state->display.blackLevel = 9;
  EXPECT_TRUE(FillBackgroundTable(*g.state, g.host, true));
  NonLinearStretch(*g.state, g.host, 18);
  ConvolveKernel(*g.state, g.host, 1, kHighPassLowPowerKernel, 1, true);
  UnsharpMask(*g.state, g.host, 4, 2, true);
  EXPECT_EQ(test::FirstDifference(f.pixels(), g.pixels()), -1);
}

TEST(AutoProcessing, BackgroundRemovalRunsOnlyWithAStretch) {
  ProcessingFixture f = SampleFrame();
  const auto before = f.pixels();
  f.state->settings.autoRemoveBackground = true;
  RunAutoProcessing(*f.state, f.host);
  EXPECT_EQ(f.pixels(), before);
  EXPECT_TRUE(f.state->images.history.lines[0].empty());

  f.state->settings.autoWeakStretch = true;
  f.state->settings.autoUserStretch = true;
  f.state->settings.autoUserStretchLevel = 7;
  f.state->settings.autoRemoveBackground = false;
  RunAutoProcessing(*f.state, f.host);
  EXPECT_EQ(f.historyLine(0), "Non-Linear Stretch : power 2");
  EXPECT_EQ(f.historyLine(1), "Non-Linear Stretch : power 7");
}

TEST(AutoProcessing, StoredNumbersTheSettingsFileAcceptsAreAppliedAsStored) {
  // A user power of 1 is valid in the file though the dialog starts at 2:
  // table entry i is 32768 d / 1 = i, so each pixel only loses its lowest bit.
  ProcessingFixture f = SampleFrame();
  f.state->settings.autoUserStretch = true;
  f.state->settings.autoUserStretchLevel = 1;
  auto expected = f.pixels();
  for (auto& v : expected) v = static_cast<std::uint16_t>(v & ~1u);
  RunAutoProcessing(*f.state, f.host);
  EXPECT_EQ(f.pixels(), expected);
  EXPECT_EQ(f.historyLine(0), "Non-Linear Stretch : power 1");

  ProcessingFixture g = SampleFrame();
  g.state->settings.autoUserStretch = true;
  g.state->settings.autoUserStretchLevel = 36;
  g.state->settings.autoUnsharpMask = true;
  g.state->settings.unsharpRadius = 1;
  g.state->settings.unsharpPower = 6;
  RunAutoProcessing(*g.state, g.host);
  EXPECT_EQ(g.historyLine(0), "Non-Linear Stretch : power 36");
  EXPECT_EQ(g.historyLine(1), "Unsharp Mask : rad 1 ,power 6");
}

TEST(AutoProcessing, OutOfRangeSettingsAreKeptToTheSettingsFilesRanges) {
  ProcessingFixture f = SampleFrame();
  f.state->settings.autoUserStretch = true;
  f.state->settings.autoUserStretchLevel = -5;
  f.state->settings.autoUnsharpMask = true;
  f.state->settings.unsharpRadius = 300;
  f.state->settings.unsharpPower = -32768;
  RunAutoProcessing(*f.state, f.host);
  EXPECT_EQ(f.historyLine(0), "Non-Linear Stretch : power 1");
  EXPECT_EQ(f.historyLine(1), "Unsharp Mask : rad 6 ,power 1");

  // Called directly with a radius the box sums cannot hold: nothing changes.
  const auto before = f.pixels();
  UnsharpMask(*f.state, f.host, 300, 1, true);
  UnsharpMask(*f.state, f.host, 3, 40000, true);
  EXPECT_EQ(f.pixels(), before);
  EXPECT_TRUE(f.state->images.history.lines[2].empty());
}

TEST(AutoProcessing, BlackLevelSampleIsCutToSmallFramesAndBinning) {
  ProcessingFixture f(101, 99);  // fewer pixels than the sample's start
  f.fill(50 * 256);
  f.state->display.blackLevel = 77;
  SampleBlackLevel(*f.state);
  EXPECT_EQ(f.state->display.blackLevel, 0);

  ProcessingFixture g(501, 301);
  g.state->geometry.binned = 1;
  g.fill(0);
  std::fill_n(g.work() + 69'500, 208'500 - 69'500, std::uint16_t{30 * 256});
  SampleBlackLevel(*g.state);
  EXPECT_EQ(g.state->display.blackLevel, 30);
}

TEST(ProcessingCli, RunsFiltersAndRefusesBadArguments) {
  std::ostringstream out, err;
  const int ok =
      RunCli({"--root", ::testing::TempDir() + "/qv_proc_cli", "stretch-normal black=10 white=200",
              "stretch-power p=0.5", "median radius=3 power=10", "gaussian", "bas-relief", "gradient", "history"},
             out, err);
  EXPECT_EQ(ok, 0) << err.str();
  EXPECT_EQ(out.str(),
            "Normal Stretch : max 400 , min : 20 \nPower Stretch :  0.5 \nMedian Filter : rad 3 ,power 1.0 \nGaussian "
            "Filter \n"
            "Bas Relief Filter \nGradient Filter \n");
  for (const char* bad : {"median radius=4 power=5", "median radius=1 power=0", "unsharp radius=3",
                          "stretch-power p=3.5", "stretch-nonlinear power=1", "stretch-normal black=1 white=301"}) {
    std::ostringstream o, e;
    EXPECT_EQ(RunCli({"--root", ::testing::TempDir() + "/qv_proc_cli", bad}, o, e), 2) << bad;
    EXPECT_FALSE(e.str().empty()) << bad;
  }
}

}  // namespace
}  // namespace qv
