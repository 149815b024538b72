// The image label: centring, the font cells and the label band marker.

#include "app/image_label.h"

#include <gtest/gtest.h>

#include "app/label_font.h"
#include "camera/camera_models.h"
#include "support/recording_host.h"

namespace qv::test {
namespace {

struct ImageLabel : ::testing::Test {
  ProgramState s;
  RecordingHost host;
  std::tm utc{};

  void SetUp() override {
    s.camera.model = *FindCameraModel(1);  // 1392 wide
    RecomputeFrameGeometry(s.geometry, s.camera.model);
    ResetBufferPointers(s.images);
    std::fill_n(s.images.workImage, s.geometry.pixelCount, 1'000);
    utc.tm_hour = 22;
    utc.tm_min = 5;
    utc.tm_sec = 9;
    utc.tm_mday = 1;
    utc.tm_mon = 2;
    utc.tm_year = 124;
  }
  std::uint16_t At(int x, int y) const { return s.images.workImage[y * s.geometry.width + x]; }
  // The cell at `column` holds the glyph of `c`.
  void ExpectGlyph(int column, char c) const {
    const Glyph* glyph = FindGlyph(c);
    ASSERT_NE(glyph, nullptr) << c;
    for (int row = 0; row < kGlyphRows; ++row)
      for (int bit = 0; bit < kGlyphWidth; ++bit) {
        if (row == 0 && column + bit < 6) continue;  // the marker pixels
        const std::uint16_t expected = ((*glyph)[row] >> (7 - bit)) & 1 ? 65'535 : 0;
        ASSERT_EQ(At(column + bit, row), expected) << c << " row " << row << " bit " << bit;
      }
  }
};

TEST_F(ImageLabel, ThreeLettersWithoutADateStartAtColumn240) {
  const std::string line = LabelLine("abc", false, utc);
  EXPECT_EQ(line, std::string(30, ' ') + "abc");
  LabelImage(s, host, "abc", false, 0);
  ExpectGlyph(240, 'a');
  ExpectGlyph(248, 'b');
  ExpectGlyph(256, 'c');
  for (int x = 6; x < 240; ++x) ASSERT_EQ(At(x, 5), 0) << x;
  for (int x = 0; x < 6; ++x) EXPECT_EQ(At(x, 0), 17);
  EXPECT_TRUE(HasHeaderBand(s.images.workImage));
  EXPECT_EQ(host.rebuilds, 1);
  // 6600 pixels cleared: row 4 up to column 1031, the rest as it was.
  EXPECT_EQ(At(1031, 4), 0);
  EXPECT_EQ(At(1032, 4), 1'000);
  EXPECT_EQ(At(1032, 9), 1'000);
}

TEST_F(ImageLabel, TheDateStampTakesItsCellsFromTheCentring) {
  EXPECT_EQ(LabelLine("abc", true, utc), std::string(18, ' ') + "abc  22:05:09 UT 01-03-2024 ");
  // Thirty characters at most.
  const std::string long_text(35, 'x');
  EXPECT_EQ(LabelLine(long_text, false, utc), std::string(17, ' ') + std::string(30, 'x'));
}

TEST_F(ImageLabel, EveryCharacterOfTheFontRendersAndOthersLeaveTheirCell) {
  const std::string all = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789/-: ";
  for (std::size_t start = 0; start < all.size(); start += 40) {
    const std::string part = all.substr(start, 40);
    DrawLabel(s, part);
    for (std::size_t i = 0; i < part.size(); ++i) {
      ExpectGlyph(static_cast<int>(i) * 8, part[i]);
      const Glyph& g = *FindGlyph(part[i]);
      const bool blank = std::all_of(g.begin(), g.end(), [](std::uint8_t b) { return b == 0; });
      EXPECT_EQ(blank, part[i] == ' ') << part[i];
    }
  }
  // A character without a glyph leaves its cell as it was (below the
  // cleared pixels, which end in row 4).
  std::fill_n(s.images.workImage, s.geometry.pixelCount, 1'000);
  DrawLabel(s, "A#");
  EXPECT_EQ(FindGlyph('#'), nullptr);
  for (int row = 5; row < kGlyphRows; ++row)
    for (int x = 8; x < 16; ++x) ASSERT_EQ(At(x, row), 1'000);
}

}  // namespace
}  // namespace qv::test
