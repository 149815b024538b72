// TIFF export: the directory, the strip tables and the data of the four
// kinds.

#include "files/tiff_file.h"

#include "app/display_rebuild.h"
#include "colour/colour_export.h"
#include "files/save_commands.h"
#include "files_fixture.h"
#include "support/black_level_frame.h"

namespace qv::test {
namespace {

using TiffTest = FilesTest;

std::uint32_t U16(const std::vector<unsigned char>& b, std::size_t at) { return b[at] | b[at + 1] << 8; }
std::uint32_t U32(const std::vector<unsigned char>& b, std::size_t at) { return U16(b, at) | U16(b, at + 2) << 16; }

struct Entry {
  std::uint32_t tag, type, count, value;
};
Entry EntryAt(const std::vector<unsigned char>& b, int index) {
  const std::size_t at = 10 + 12 * static_cast<std::size_t>(index);
  const std::uint32_t type = U16(b, at + 2);
  const std::uint32_t count = U32(b, at + 4);
  return {U16(b, at), type, count, type == 3 && count == 1 ? U16(b, at + 8) : U32(b, at + 8)};
}

TEST_F(TiffTest, DirectoryHasThirteenEntriesInOrder) {
  const auto b = TiffHeaderBytes(1392, 1040, false, false);
  const std::uint32_t strips = 520;
  ASSERT_EQ(b.size(), 186 + 8 * strips);
  EXPECT_EQ(std::string(b.begin(), b.begin() + 2), "II");
  EXPECT_EQ(U16(b, 2), 42u);
  EXPECT_EQ(U32(b, 4), 8u);
  EXPECT_EQ(U16(b, 8), 13u);
  const std::vector<std::uint32_t> tags{254, 256, 257, 258, 259, 262, 273, 277, 278, 279, 282, 283, 296};
  for (int i = 0; i < 13; ++i) EXPECT_EQ(EntryAt(b, i).tag, tags[static_cast<std::size_t>(i)]);
  EXPECT_EQ(EntryAt(b, 1).value, 1392u);
  EXPECT_EQ(EntryAt(b, 2).value, 1040u);
  EXPECT_EQ(EntryAt(b, 3).value, 8u);
  EXPECT_EQ(EntryAt(b, 5).value, 1u);
  EXPECT_EQ(EntryAt(b, 6).count, strips);
  EXPECT_EQ(EntryAt(b, 6).value, 186u);
  EXPECT_EQ(EntryAt(b, 8).value, 2u);
  EXPECT_EQ(EntryAt(b, 9).value, 186 + 4 * strips);
  EXPECT_EQ(EntryAt(b, 10).value, 170u);
  EXPECT_EQ(EntryAt(b, 11).value, 178u);
  EXPECT_EQ(EntryAt(b, 12).value, 3u);
  EXPECT_EQ(U32(b, 166), 0u);
  EXPECT_EQ(U32(b, 170), 510u);
  EXPECT_EQ(U32(b, 174), 6u);
  EXPECT_EQ(U32(b, 178), 256u);
  EXPECT_EQ(U32(b, 182), 4u);
  EXPECT_EQ(U32(b, 186), 186 + 8 * strips);
  EXPECT_EQ(U32(b, 186 + 4), 186 + 8 * strips + 1392 * 2);
  EXPECT_EQ(U32(b, 186 + 4 * strips), 1392u * 2);

  // Rows covered by the ten export bands; colour bits after the data.
  const auto c = TiffHeaderBytes(100, 57, true, true);
  EXPECT_EQ(EntryAt(c, 2).value, 50u);
  EXPECT_EQ(EntryAt(c, 3).count, 3u);
  const std::uint32_t s = 28;
  EXPECT_EQ(EntryAt(c, 3).value, 186 + 8 * s + 100u * 57 * 6 / s * s);
  EXPECT_EQ(EntryAt(c, 5).value, 2u);
  EXPECT_EQ(EntryAt(c, 7).value, 3u);
}

TEST_F(TiffTest, MonoDataAreHighBytesOrLittleEndianWords) {
  FillPattern();
  ASSERT_EQ(WriteTiffFile(state, file("m8.tif"), state.images.workImage, false, nullptr), TiffResult::Ok);
  auto b = ReadBytes(file("m8.tif"));
  const std::size_t start = 186 + 8 * 520, n = 1392 * 1040;
  ASSERT_EQ(b.size(), start + n);
  EXPECT_EQ(b[start + 5000], state.images.workImage[5000] >> 8);

  ASSERT_EQ(WriteTiffFile(state, file("m16.tif"), state.images.workImage, true, nullptr), TiffResult::Ok);
  b = ReadBytes(file("m16.tif"));
  ASSERT_EQ(b.size(), start + 2 * n);
  EXPECT_EQ(U16(b, start + 2 * 5000), state.images.workImage[5000]);
}

TEST_F(TiffTest, ColourDataComeUprightFromTheExportBuffers) {
  FillPattern();
  FillPlanes();
  state.images.colourConverted = 1;
  const std::size_t start = 186 + 8 * 520, n = 1392 * 1040, w = 1392;
  // 8 bits: export bytes are blue, green, red, bottom row first.
  std::uint8_t* exportBytes = state.images.buffers.saveImage.data();
  ExportAllColourBytes(state, exportBytes, 0);
  ASSERT_EQ(WriteTiffFile(state, file("c8.tif"), state.images.workImage, false, exportBytes), TiffResult::Ok);
  auto b = ReadBytes(file("c8.tif"));
  ASSERT_EQ(b.size(), start + 3 * n + 6);
  const std::size_t exportRow = 1039 - 3;  // file row 3
  EXPECT_EQ(b[start + (3 * w + 10) * 3 + 0], exportBytes[(exportRow * w + 10) * 3 + 2]);
  EXPECT_EQ(b[start + (3 * w + 10) * 3 + 2], exportBytes[(exportRow * w + 10) * 3 + 0]);
  EXPECT_EQ(U16(b, start + 3 * n), 8u);
  EXPECT_EQ(U16(b, start + 3 * n + 4), 8u);

  ExportAllColourPlanes(state);
  ASSERT_EQ(WriteTiffFile(state, file("c16.tif"), state.images.workImage, true, exportBytes), TiffResult::Ok);
  b = ReadBytes(file("c16.tif"));
  ASSERT_EQ(b.size(), start + 6 * n + 6);
  const std::size_t pixel = exportRow * w + 10;
  EXPECT_EQ(U16(b, start + (3 * w + 10) * 6 + 0), state.images.planeWorkSet[ImageStore::kRed][pixel]);
  EXPECT_EQ(U16(b, start + (3 * w + 10) * 6 + 2), state.images.planeWorkSet[ImageStore::kGreen][pixel]);
  EXPECT_EQ(U16(b, start + (3 * w + 10) * 6 + 4), state.images.planeWorkSet[ImageStore::kBlue][pixel]);
  EXPECT_EQ(U16(b, start + 6 * n), 16u);
}

TEST_F(TiffTest, SaveCommandExportsAndReportsFailures) {
  state.images.colourConverted = 1;
  state.settings.tiff16Bit = true;
  FillPattern();
  FillPlanes();
  ASSERT_TRUE(SaveImageAs(state, host, file("s.tif"), SaveMode::Tiff));
  EXPECT_EQ(ReadBytes(file("s.tif")).size(), 186 + 8 * 520 + 6u * 1392 * 1040 + 6);
  EXPECT_FALSE(SaveImageAs(state, host, file("nowhere/s.tif"), SaveMode::Tiff));
  EXPECT_EQ(MessageNumbers(), std::vector<int>{29});
  EXPECT_EQ(state.files.rgbFitsSave, 0);
}

// With auto contrast the 8-bit colour TIFF is drawn as the window draws the
// image, byte for byte: at the automatic black level (40 here), not at the
// level the last paint measured (42), through the same curve and arithmetic.
TEST_F(TiffTest, AutoContrastColourExportDrawsAsTheDisplayDoes) {
  state.images.colourConverted = 1;
  state.images.autoContrast = 1;
  state.settings.tiff16Bit = false;
  state.settings.colourBalanceLevel = 4;
  const int w = state.geometry.width, h = state.geometry.height;
  FillBlackLevelFrame(state.images.workImage, w, h);
  FillPlanes();
  ASSERT_EQ(RebuildDisplay(state, host), BitmapWriteResult::Ok);
  ASSERT_EQ(state.display.blackLevel, 42);
  ASSERT_TRUE(SaveImageAs(state, host, file("a.tif"), SaveMode::Tiff));
  const auto saved = ReadBytes(file("a.tif"));
  const std::size_t start = 186 + 8 * static_cast<std::size_t>(h / 2);
  ASSERT_EQ(saved.size(), start + 3u * w * h + 6);
  const std::vector<std::uint8_t>& bitmap = state.display.bitmap;
  std::size_t differing = 0;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const std::size_t shown = kColourPixelOffset + (static_cast<std::size_t>(h - 1 - y) * w + x) * 3;
      const std::size_t filed = start + (static_cast<std::size_t>(y) * w + x) * 3;
      if (saved[filed] != bitmap[shown + 2] || saved[filed + 1] != bitmap[shown + 1] ||
          saved[filed + 2] != bitmap[shown]) {
        ++differing;
      }
    }
  }
  EXPECT_EQ(differing, 0u);
}

}  // namespace
}  // namespace qv::test
