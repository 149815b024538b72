// The temporary display bitmaps byte for byte, and the rebuild around them.

#include "app/display_bitmap.h"

#include <gtest/gtest.h>

#include <array>

#include "app/display_rebuild.h"
#include "display_test_support.h"
#include "support/recording_host.h"

namespace qv {
namespace {

using test::Le16;
using test::Le32;

std::vector<unsigned char> ExpectedHeader(std::uint32_t fileSize, std::uint32_t offset, int w, int h, int bits,
                                          std::uint32_t imageSize) {
  std::vector<unsigned char> b(54, 0);
  b[0] = 'B';
  b[1] = 'M';
  auto put32 = [&](int at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<unsigned char>(v >> (8 * i));
  };
  put32(2, fileSize);
  put32(10, offset);
  put32(14, 40);
  put32(18, static_cast<std::uint32_t>(w));
  put32(22, static_cast<std::uint32_t>(h));
  b[26] = 1;
  b[28] = static_cast<unsigned char>(bits);
  put32(34, imageSize);
  return b;
}

TEST(GreyBitmap, FileIsHeaderGreyPaletteAndPaddedBottomUpRows) {
  test::TempDir root;
  auto state = test::SmallFrameState(root, 6, 3);
  for (int i = 0; i < 18; ++i) state->images.workImage[i] = static_cast<std::uint16_t>(i * 256 + 7);
  test::RecordingHost host;
  ASSERT_EQ(RebuildDisplay(*state, host), BitmapWriteResult::Ok);

  const auto bytes = test::ReadBytes(root.path() / "autosave" / "Qel_K1C.bmp");
  // Rows of 6 bytes padded to 8.
  auto expected = ExpectedHeader(8 * 3 + 1078, 1078, 6, 3, 8, 24);
  for (int i = 0; i < 256; ++i) {
    const auto v = static_cast<unsigned char>(i);
    expected.insert(expected.end(), {v, v, v, 0});
  }
  for (int y = 2; y >= 0; --y) {
    for (int x = 0; x < 6; ++x) expected.push_back(static_cast<unsigned char>(y * 6 + x));
    expected.insert(expected.end(), {0, 0});
  }
  EXPECT_EQ(bytes, expected);
  // The window shows the same bytes.
  EXPECT_EQ(state->display.bitmap, expected);
  EXPECT_EQ(state->display.displayWidth, 6);
  EXPECT_EQ(state->display.displayHeight, 3);
  EXPECT_EQ(state->display.caption, "Qel_Vesk_USB - (Untitled)");
  EXPECT_TRUE(host.boxes.empty());
}

TEST(GreyBitmap, SmallFrameGoesToTheFocusFileAs128Rows) {
  test::TempDir root;
  auto state = test::SmallFrameState(root, 1392, 1040);
  for (int i = 0; i < kSmallFrameBytes; ++i) state->images.workImage[i] = static_cast<std::uint16_t>((i / 128) << 8);
  state->images.focusPreview = 1;
  state->display.focusStretchPower = 1;  // k = 1 leaves the bytes as they are
  int focusFrames = 0;
  state->display.focusFrameWritten = [&] { ++focusFrames; };
  test::RecordingHost host;
  ASSERT_EQ(RebuildDisplay(*state, host), BitmapWriteResult::Ok);
  const auto bytes = test::ReadBytes(root.path() / "autosave" / "Qel_K1Cf.bmp");
  ASSERT_EQ(bytes.size(), 1078u + 16384u);
  EXPECT_EQ(Le32(bytes, 2), 1078u + 16384u);
  EXPECT_EQ(Le32(bytes, 18), 128u);
  EXPECT_EQ(Le32(bytes, 22), 128u);
  EXPECT_EQ(Le32(bytes, 34), 16384u);
  // Bottom row first: the first stored row is frame row 127; the stretch
  // measured its lowest byte (1) and moved every row down by it.
  EXPECT_EQ(bytes[1078], 126);
  EXPECT_EQ(bytes[1078 + 127 * 128], 0);
  EXPECT_EQ(state->display.bitmapPath, (root.path() / "autosave" / "Qel_K1Cf.bmp").string());
  EXPECT_EQ(focusFrames, 1);
}

TEST(GreyBitmap, StretchGoesIntoTheBitmapSoARebuildFromDisplayBytesRepeatsIt) {
  test::TempDir root;
  auto state = test::SmallFrameState(root, 5, 2);
  for (int i = 0; i < 10; ++i) state->images.workImage[i] = static_cast<std::uint16_t>((i * 20 + 10) << 8);
  state->display.stretchDisplay = true;
  int focusFrames = 0;
  state->display.focusFrameWritten = [&] { ++focusFrames; };
  test::RecordingHost host;
  ASSERT_EQ(RebuildDisplay(*state, host), BitmapWriteResult::Ok);
  // The paint's measurement inside a frame this small finds only empty
  // levels: 0, 1 and 2 give black level 1, which the palette of the next
  // rebuild uses. Rebuilt once more, both bitmaps below start from it.
  EXPECT_EQ(state->display.blackLevel, 1);
  ASSERT_EQ(RebuildDisplay(*state, host), BitmapWriteResult::Ok);
  const auto first = state->display.bitmap;
  // Lowest byte 10: byte 30 shows as T(20) of power 25.
  EXPECT_EQ(first[1078 + 8 + 1], BuildDisplayStretchTable(25)[20]);
  EXPECT_EQ(state->images.buffers.displayBytes.data()[1], 30);
  ASSERT_EQ(RebuildDisplayFromDisplayBytes(*state, host), BitmapWriteResult::Ok);
  EXPECT_EQ(state->display.bitmap, first);
  EXPECT_EQ(focusFrames, 0);  // only the focus preview reports its frames
}

TEST(GreyBitmap, HalfSizeTakesEverySecondPixelOfEverySecondRow) {
  std::vector<std::uint8_t> bytes(10 * 4);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i);
  std::vector<std::uint8_t> image(2000);
  const auto length = BuildGreyBitmapImage(image.data(), bytes.data(), 10, 4, GreySource::HalfSize, GreyPalette());
  EXPECT_EQ(length, 1078u + 8u * 2u);  // 5 pixels padded to 8, 2 rows
  const std::vector<std::uint8_t> bottomRow(image.begin() + 1078, image.begin() + 1078 + 8);
  EXPECT_EQ(bottomRow, (std::vector<std::uint8_t>{20, 22, 24, 26, 28, 0, 0, 0}));
  EXPECT_EQ(image[1078 + 8], 0);
  EXPECT_EQ(image[1078 + 9], 2);
}

TEST(ColourBitmap, FileIsPaddedBgrRowsBottomUpWithAllRowsBuilt) {
  test::TempDir root;
  // 5 wide (padded to 8 pixels), 11 high: 11 / 10 leaves a row over.
  auto state = test::SmallFrameState(root, 5, 11);
  auto& images = state->images;
  images.colourConverted = 1;
  state->display.channelView = 'L';
  for (int i = 0; i < 55; ++i) images.workImage[i] = static_cast<std::uint16_t>((i + 1) << 8);
  test::RecordingHost host;
  ASSERT_EQ(RebuildDisplay(*state, host), BitmapWriteResult::Ok);

  const auto bytes = test::ReadBytes(root.path() / "autosave" / "Qel_K1C.bmp");
  // The size field counts 1078 header bytes although the rows start at 54.
  auto expected = ExpectedHeader(8 * 3 * 11 + 1078, 54, 8, 11, 24, 8 * 11);
  for (int y = 10; y >= 0; --y) {
    for (int x = 0; x < 8; ++x) {
      const auto v = static_cast<unsigned char>(x < 5 ? y * 5 + x + 1 : 0);
      expected.insert(expected.end(), {v, v, v});
    }
  }
  EXPECT_EQ(bytes, expected);
  EXPECT_EQ(state->display.bitmap, expected);
  EXPECT_TRUE(state->display.bitmapIsColour);
  EXPECT_EQ(state->display.displayWidth, 8);
  EXPECT_EQ(host.progressCaptions, std::vector<std::string>{"BUILDING COLOUR IMAGE"});
  EXPECT_EQ(host.progressPositions, (std::vector<int>{0, 25, 50, 75, 100, 125, 150, 175, 200, 225}));
  EXPECT_EQ(host.progressClosed, 1);
}

TEST(ColourBitmap, SaturationStepsInHalvesAsTheColourExportDoes) {
  test::TempDir root;
  auto state = test::SmallFrameState(root, 4, 1);
  auto& images = state->images;
  images.colourConverted = 1;
  images.workImage[0] = 100 << 8;
  images.colourPlanes[ImageStore::kRed][0] = 200;
  images.colourPlanes[ImageStore::kGreen][0] = 100;
  images.colourPlanes[ImageStore::kBlue][0] = 0;
  state->settings.colourBalanceLevel = 2;  // S = 1.5, half of it per channel step
  test::RecordingHost host;
  ASSERT_EQ(RebuildDisplay(*state, host), BitmapWriteResult::Ok);
  const auto& bitmap = state->display.bitmap;
  // Blue (0 - 1) * 0.75 + 1.2, green (0.5 - 1) * 0.75 + 1.2, red 1.2, times 100.
  EXPECT_EQ((std::array<int, 3>{bitmap[54], bitmap[55], bitmap[56]}), (std::array<int, 3>{45, 82, 120}));
}

struct ColourCase {
  const char* name;
  char view;
  bool autoContrast;
  std::uint16_t level, red, green, blue;
  std::array<int, 3> bgr;
};

class ColourPixel : public testing::TestWithParam<ColourCase> {};

TEST_P(ColourPixel, FollowsViewSaturationAndCurve) {
  const ColourCase& c = GetParam();
  const std::uint8_t display = static_cast<std::uint8_t>(c.level);
  const std::uint16_t red = c.red, blue = c.blue, green = c.green;
  const std::uint16_t* const planes[3] = {&red, &blue, &green};
  std::vector<std::uint8_t> image(54 + 12);
  ColourViewOptions options;
  options.channelView = c.view;
  options.autoContrast = c.autoContrast;
  options.saturation = 2.0;
  BuildColourBitmapRows(image.data(), &display, planes, 1, 1, 0, 1, options);
  EXPECT_EQ((std::array<int, 3>{image[54], image[55], image[56]}), c.bgr);
}

INSTANTIATE_TEST_SUITE_P(Views, ColourPixel,
                         testing::Values(ColourCase{"plain", 'N', false, 100, 200, 100, 0, {20, 70, 120}},
                                         ColourCase{"curve", 'N', true, 100, 200, 100, 0, {0, 0, 192}},
                                         ColourCase{"white", 'N', false, 255, 200, 100, 0, {255, 255, 255}},
                                         ColourCase{"blackPlanes", 'N', false, 100, 0, 0, 0, {120, 120, 120}},
                                         ColourCase{"redOnly", 'R', false, 100, 0x1234, 0x5600, 0x7800, {0, 0, 0x12}},
                                         ColourCase{"greenOnly", 'G', false, 100, 0x1234, 0x5600, 0x7800, {0, 0x56, 0}},
                                         ColourCase{"blueOnly", 'B', false, 100, 0x1234, 0x5600, 0x7800, {0x78, 0, 0}},
                                         ColourCase{
                                             "luminance", 'L', false, 100, 0x1234, 0x5600, 0x7800, {100, 100, 100}}),
                         [](const auto& param) { return std::string(param.param.name); });

std::size_t ShortWrite(const void*, std::size_t, std::size_t count, std::FILE*) { return count - 1; }

std::size_t ShortAfterHeader(const void*, std::size_t, std::size_t count, std::FILE*) {
  return count == kGreyPixelOffset ? count : count - 1;
}

TEST(BitmapWrite, FailuresAreReportedByKind) {
  test::TempDir root;
  const std::vector<std::uint8_t> image(1078 + 100, 1);
  const std::string path = (root.path() / "t.bmp").string();
  EXPECT_EQ(WriteBitmapFile(path, image.data(), image.size(), 1078, 4, ShortWrite), BitmapWriteResult::HeaderShort);
  EXPECT_EQ(WriteBitmapFile(path, image.data(), image.size(), 1078, 4, ShortAfterHeader),
            BitmapWriteResult::PixelsShort);
  EXPECT_EQ(WriteBitmapFile(path, image.data(), image.size(), 1078, 3), BitmapWriteResult::Ok);
  EXPECT_EQ(test::ReadBytes(path), std::vector<unsigned char>(image.begin(), image.end()));
  std::filesystem::create_directories(root.path() / "dir.bmp");
  EXPECT_EQ(WriteBitmapFile((root.path() / "dir.bmp").string(), image.data(), image.size(), 1078, 4),
            BitmapWriteResult::CannotCreate);
}

TEST(Rebuild, CaptionNamesTheImageTheFileCommandsLoaded) {
  test::TempDir root;
  auto state = test::SmallFrameState(root, 6, 3);
  test::RecordingHost host;
  state->files.imageTitle = "M42.FIT";
  ASSERT_EQ(RebuildDisplay(*state, host), BitmapWriteResult::Ok);
  EXPECT_EQ(state->display.caption, "Qel_Vesk_USB - M42.FIT");
  // Every later rebuild (a display option, a filter) keeps the name.
  state->images.autoContrast = 1;
  ASSERT_EQ(RebuildDisplay(*state, host), BitmapWriteResult::Ok);
  EXPECT_EQ(state->display.caption, "Qel_Vesk_USB - M42.FIT");
  state->files.imageTitle.clear();
  ASSERT_EQ(RebuildDisplayFromDisplayBytes(*state, host), BitmapWriteResult::Ok);
  EXPECT_EQ(state->display.caption, "Qel_Vesk_USB - (Untitled)");
}

TEST(Rebuild, FailedWriteShowsMessage8AndKeepsThePreviousPicture) {
  test::TempDir root;
  auto state = test::SmallFrameState(root, 6, 3);
  test::RecordingHost host;
  ASSERT_EQ(RebuildDisplay(*state, host), BitmapWriteResult::Ok);
  const auto shown = state->display.bitmap;
  const auto file = root.path() / "autosave" / "Qel_K1C.bmp";
  std::filesystem::remove(file);
  std::filesystem::create_directories(file / "blocked");
  state->images.workImage[0] = 0xFF00;
  EXPECT_EQ(RebuildDisplay(*state, host), BitmapWriteResult::CannotCreate);
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].number, 8);
  EXPECT_EQ(host.boxes[0].text, "Failed to create temp bitmap");
  EXPECT_EQ(state->display.bitmap, shown);
}

TEST(Rebuild, AutoContrastTakesTheMostFrequentLevelOfTheSample) {
  test::TempDir root;
  auto state = test::SmallFrameState(root, 1000, 400);
  auto& images = state->images;
  std::fill_n(images.workImage, 400000, std::uint16_t{90 << 8});
  // Outside the sample (below pixel 69,500) a larger crowd does not count.
  std::fill_n(images.workImage, 69500, std::uint16_t{10 << 8});
  std::fill_n(images.workImage + 69500, 150000, std::uint16_t{40 << 8});
  EXPECT_EQ(AutomaticBlackLevel(images, state->geometry), 40);
  state->geometry.binned = 1;  // sample 34,750 to 173,749: level 10 and 40 split it
  EXPECT_EQ(AutomaticBlackLevel(images, state->geometry), 40);
  std::fill_n(images.workImage + 34750, 34750, std::uint16_t{30 << 8});
  std::fill_n(images.workImage + 69500, 34750, std::uint16_t{30 << 8});
  EXPECT_EQ(AutomaticBlackLevel(images, state->geometry), 30);
}

TEST(Rebuild, PaintBlackLevelIsTheMeanOfTheThreeCommonestLevelsInsideTheBorder) {
  test::TempDir root;
  auto state = test::SmallFrameState(root, 40, 40);
  auto* work = state->images.workImage;
  std::fill_n(work, 1600, std::uint16_t{200 << 8});  // border rows and columns only after the fills below
  for (int y = 11; y <= 34; ++y) {
    for (int x = 5; x <= 34; ++x) work[y * 40 + x] = static_cast<std::uint16_t>((x < 15 ? 10 : x < 25 ? 20 : 33) << 8);
  }
  // Inside: levels 10, 20, 33 each on 10 columns; the border's 200 is not counted.
  EXPECT_EQ(PaintBlackLevel(state->images, state->geometry), (10 + 20 + 33) / 3);
}

// The histogram is counted in interleaved tables, four pixels at a time: for
// every width, including those too narrow for one group of four and those
// that leave one to three pixels over, each bin holds the plain count of the
// pixels inside the border.
TEST(Rebuild, PaintBlackLevelHistogramIsThePlainCountAtEveryWidth) {
  test::TempDir root;
  for (int width = 9; width <= 21; ++width) {
    constexpr int height = 19;
    auto state = test::SmallFrameState(root, width, height);
    auto* work = state->images.workImage;
    std::uint32_t seed = static_cast<std::uint32_t>(width);
    for (int i = 0; i < width * height; ++i) {
      seed = seed * 1664525u + 1013904223u;
      work[i] = static_cast<std::uint16_t>(i % 5 == 0 ? 65535 : (i % 7 == 0 ? 0 : seed >> 16));
    }
    std::array<std::uint32_t, ImageStore::kHistogramBins> expected{};
    for (int y = 11; y <= height - 6; ++y)
      for (int x = 5; x <= width - 6; ++x) ++expected[work[y * width + x] >> 8];
    PaintBlackLevel(state->images, state->geometry);
    EXPECT_EQ(state->images.displayHistogram, expected) << "width " << width;
  }
}

// The natural colour view's row loop gives the same bytes in both builds,
// over random planes with black pixels, white display levels and both
// curves.
TEST(ColourBitmap, BothRowLoopBuildsGiveTheSameBytes) {
  constexpr int w = 53, h = 7;
  std::vector<std::uint8_t> display(w * h);
  std::vector<std::uint16_t> red(w * h), blue(w * h), green(w * h);
  std::uint32_t seed = 12345;
  auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
  for (int i = 0; i < w * h; ++i) {
    display[i] = static_cast<std::uint8_t>(i % 9 == 0 ? 255 : next() >> 24);
    red[i] = static_cast<std::uint16_t>(i % 11 == 0 ? 0 : next() >> 16);
    blue[i] = static_cast<std::uint16_t>(i % 11 == 0 ? 0 : next() >> 16);
    green[i] = static_cast<std::uint16_t>(next() >> 20);
  }
  const std::uint16_t* const planes[3] = {red.data(), blue.data(), green.data()};
  for (bool autoContrast : {false, true}) {
    for (double saturation : {1.0, 2.5, 5.0}) {
      std::vector<std::uint8_t> plain(54 + 3 * 56 * h), fastest(plain.size());
      ColourViewOptions options;
      options.autoContrast = autoContrast;
      options.blackLevel = 30;
      options.saturation = saturation;
      options.rowLoops = RowLoops::Plain;
      BuildColourBitmapRows(plain.data(), display.data(), planes, w, h, 0, h, options);
      options.rowLoops = RowLoops::Fastest;
      BuildColourBitmapRows(fastest.data(), display.data(), planes, w, h, 0, h, options);
      EXPECT_EQ(plain, fastest) << autoContrast << " " << saturation;
    }
  }
}

}  // namespace
}  // namespace qv
