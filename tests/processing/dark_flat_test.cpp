// Dark subtraction and flat field division, by hand and automatically.

#include "processing/dark_flat.h"

#include <gtest/gtest.h>

#include <cmath>

#include "app/undo_commands.h"
#include "processing/calibration_fixture.h"

namespace qv::test {
namespace {

TEST(DarkFlatRows, DarkNeverWrapsAndFlatFollowsItsFormula) {
  std::vector<std::uint16_t> image{100, 50, 0, 65'535, 7};
  const std::vector<std::uint16_t> dark{30, 60, 0, 1, 7};
  SubtractDark(image.data(), dark.data(), 5);
  EXPECT_EQ(image, (std::vector<std::uint16_t>{70, 0, 0, 65'534, 0}));

  // Columns 0 to 2 stay; p / f * M truncated; f = 0 gives M for a black
  // pixel and keeps any other; 65535 and above give 65535.
  std::vector<std::uint16_t> row{9, 9, 9, 500, 60'000, 0, 7, 1'000};
  const std::vector<std::uint16_t> flat{0, 0, 0, 1'000, 500, 0, 0, 3};
  FlatFieldRow(row.data(), flat.data(), 1'000.7, 0, 8);
  EXPECT_EQ(row, (std::vector<std::uint16_t>{9, 9, 9, 500, 65'535, 1'000, 7, 65'535}));
  std::vector<std::uint16_t> exact{0, 0, 0, 3, 3, 3, 3, 3};
  const std::vector<std::uint16_t> by{1, 1, 1, 2, 2, 2, 2, 2};
  FlatFieldRow(exact.data(), by.data(), 3.0, 0, 8);
  EXPECT_EQ(exact[3], 4);  // 3 / 2 * 3 = 4.5
}

using ManualCorrection = CalibrationTest;

TEST_F(ManualCorrection, DarkSubtractedWithUndoAndHistory) {
  SetWork(Frame(1'000));
  std::vector<std::uint16_t> dark = Frame(400);
  dark[10] = 1'500;  // brighter than the image: 0
  ASSERT_TRUE(SubtractDarkFile(state, host, WriteRaw("dark", dark)));
  EXPECT_EQ(state.images.workImage[0], 600);
  EXPECT_EQ(state.images.workImage[10], 0);
  EXPECT_EQ(state.images.history.lines[0].str(), "Dark Frame Subtracted");
  EXPECT_GT(host.rebuilds, 0);
  UndoLastFilter(state, host);
  EXPECT_EQ(state.images.workImage[10], 1'000);
}

TEST_F(ManualCorrection, ImageEqualToItsFlatBecomesTheFlatMean) {
  const std::vector<std::uint16_t> flat = PatternFrame(7, 1'000);
  SetWork(flat);
  const int w = state.geometry.width;
  double sum = 0;
  for (int y = 10; y <= 19; ++y)
    for (int x = 5; x <= 504; ++x) sum += flat[static_cast<std::size_t>(y * w + x)];
  const auto mean = static_cast<std::uint16_t>(sum * 0.0002);
  ASSERT_TRUE(ApplyFlatFieldFile(state, host, WriteRaw("flat", flat, "FLATH  1")));
  EXPECT_EQ(At(3, 7), mean);
  EXPECT_EQ(At(w - 1, state.geometry.height - 1), mean);
  EXPECT_EQ(At(2, 7), flat[static_cast<std::size_t>(7 * w + 2)]);  // columns 0 to 2 stay
  EXPECT_EQ(At(3, 6), flat[static_cast<std::size_t>(6 * w + 3)]);  // rows above 7 stay
  EXPECT_EQ(host.progressCaptions, std::vector<std::string>{"FLAT FIELD PROGRESS"});
  EXPECT_EQ(state.images.history.lines[0].str(), "Flat Field Applied");
}

TEST_F(ManualCorrection, OverALabelBandTheFlatStartsAtRow11) {
  std::vector<std::uint16_t> flat = Frame(1'000);
  const int w = state.geometry.width;
  for (int y = 10; y <= 19; ++y)
    for (int x = 5; x <= 504; ++x) flat[static_cast<std::size_t>(y * w + x)] = 2'000;  // mean 2000
  std::vector<std::uint16_t> image = Frame(1'000);
  image[4] = 17;
  image[5] = 17;
  SetWork(image);
  ASSERT_TRUE(ApplyFlatFieldFile(state, host, WriteRaw("flat", flat, "FLAT B 2")));
  EXPECT_EQ(At(600, 10), 1'000);
  EXPECT_EQ(At(600, 11), 2'000);
}

TEST_F(ManualCorrection, RefusedFilesChangeNothing) {
  FillPattern();
  const std::vector<std::uint16_t> before = WorkCopy();
  EXPECT_FALSE(SubtractDarkFile(state, host, file("missing")));
  EXPECT_FALSE(ApplyFlatFieldFile(state, host, WriteRaw("fx", Frame(5), "FX        ")));
  EXPECT_FALSE(ApplyFlatFieldFile(state, host, WriteRaw("xl", Frame(5), "XL        ")));
  // A binned dark for a full frame.
  std::vector<std::uint16_t> small(static_cast<std::size_t>(state.geometry.pixelCount / 4), 3);
  EXPECT_FALSE(SubtractDarkFile(state, host, WriteRaw("small", small)));
  EXPECT_EQ(MessageNumbers(), (std::vector<int>{11, 70, 70, 50}));
  EXPECT_EQ(host.boxes.back().text, "Sorry, the dark frame is not the size of the current image");
  EXPECT_EQ(WorkCopy(), before);
  EXPECT_EQ(state.images.history.lines[0].str(), "");
}

TEST_F(ManualCorrection, AColourDarkLeavesTheImagesColourPlanes) {
  SetWork(Frame(1'000));
  FillPlanes();
  state.images.colourConverted = 1;
  const std::vector<std::uint16_t> red = PlaneCopy(0);
  std::vector<std::uint16_t> colourDark = Frame(100);
  colourDark.resize(colourDark.size() * 4, 7);  // the frame and three planes
  ASSERT_TRUE(SubtractDarkFile(state, host, WriteRaw("colourdark", colourDark)));
  EXPECT_EQ(At(9, 9), 900);
  EXPECT_EQ(PlaneCopy(0), red);
}

using AutoCorrection = CalibrationTest;

TEST_F(AutoCorrection, DarkReadOnceAndKeptPastAFilterUndoCopy) {
  state.files.darkFramePath = WriteRaw("dark", Frame(100));
  SetWork(Frame(1'000));
  EXPECT_EQ(ApplyAutoDark(state, host, state.images.workImage), kAutoApplied);
  EXPECT_EQ(state.images.darkLoaded, 1);
  EXPECT_EQ(At(0, 0), 900);
  // The undo copy of a filter does not replace the reference.
  SaveUndo(state.images, state.geometry);
  std::filesystem::remove(state.files.darkFramePath);
  SetWork(Frame(1'000));
  EXPECT_EQ(ApplyAutoDark(state, host, state.images.workImage), kAutoApplied);
  EXPECT_EQ(At(5, 5), 900);
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(AutoCorrection, FailuresShowTheirMessagesAndApplyNothing) {
  SetWork(Frame(1'000));
  state.files.darkFramePath = file("missing");
  EXPECT_EQ(ApplyAutoDark(state, host, state.images.workImage), kAutoCannotOpen);
  state.files.darkFramePath = WriteRaw("short", std::vector<std::uint16_t>(100, 1));
  EXPECT_EQ(ApplyAutoDark(state, host, state.images.workImage), kAutoWrongLength);
  state.files.flatFieldPath = file("missing");
  EXPECT_EQ(ApplyAutoFlat(state, host, state.images.workImage), kAutoCannotOpen);
  state.files.flatFieldPath = WriteRaw("short", std::vector<std::uint16_t>(100, 1));
  EXPECT_EQ(ApplyAutoFlat(state, host, state.images.workImage), kAutoWrongLength);
  // A raw file that is no flat is refused and never marked loaded.
  state.files.flatFieldPath = WriteRaw("raw", Frame(2'000), "FX        ");
  EXPECT_EQ(ApplyAutoFlat(state, host, state.images.workImage), kAutoNotFlat);
  EXPECT_EQ(ApplyAutoFlat(state, host, state.images.workImage), kAutoNotFlat);
  EXPECT_EQ(MessageNumbers(), (std::vector<int>{7, 22, 25, 26, 70, 70}));
  EXPECT_EQ(state.images.darkLoaded, 0);
  EXPECT_EQ(state.images.flatLoaded, 0);
  EXPECT_EQ(WorkCopy(), Frame(1'000));
}

TEST_F(AutoCorrection, FlatUsesItsOwnAreaAndIsReadAgainForANewPath) {
  std::vector<std::uint16_t> flat = Frame(2'000);
  const int w = state.geometry.width;
  flat[static_cast<std::size_t>(10 * w + 600)] = 2'000 + 6'000;  // inside 5..604: mean 2001
  flat[static_cast<std::size_t>(10 * w + 700)] = 9;              // outside
  state.files.flatFieldPath = WriteRaw("flat", flat, "FLATH  1");
  SetWork(Frame(1'000));
  EXPECT_EQ(ApplyAutoFlat(state, host, state.images.workImage), kAutoApplied);
  EXPECT_EQ(state.images.flatLoaded, 1);
  EXPECT_EQ(At(3, 2), 1'000);                          // 1000 / 2000 * 2001 = 1000.5
  EXPECT_EQ(At(700, 10), 65'535);                      // 1000 / 9 * 2001
  EXPECT_EQ(At(3, 1), 1'000);                          // row 1 stays
  EXPECT_EQ(At(3, state.geometry.height - 1), 1'000);  // so does the last row

  state.files.flatFieldPath = WriteRaw("flat2", Frame(500), "FLATH  1");
  SetWork(Frame(1'000));
  EXPECT_EQ(ApplyAutoFlat(state, host, state.images.workImage), kAutoApplied);
  EXPECT_EQ(At(700, 10), 1'000);  // 1000 / 500 * 500
  // A new frame size reads it again, and the full-frame file no longer fits.
  state.geometry.binned = 1;
  RecomputeFrameGeometry(state.geometry, state.camera.model);
  EXPECT_EQ(ApplyAutoFlat(state, host, state.images.workImage), kAutoWrongLength);
  EXPECT_EQ(state.images.flatLoaded, 0);
}

}  // namespace
}  // namespace qv::test
