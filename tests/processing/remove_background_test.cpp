// Remove Background reads the black level the display measured when it last
// painted: the core measures it after every rebuild and every repaint a
// command asks for, so each front end removes the same background.

#include <gtest/gtest.h>

#include "app/display_rebuild.h"
#include "processing/stretch_commands.h"
#include "support/black_level_frame.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

namespace qv {
namespace {

constexpr int kWidth = 1392, kHeight = 1040;

struct ShownFrame {
  test::TempDir root;
  std::unique_ptr<ProgramState> state = std::make_unique<ProgramState>();
  test::RecordingHost host;

  ShownFrame() {
    state->paths.root = root.str();
    state->geometry.fileBlockCount = 4;
    state->geometry.bitmapName = "c:\\Autosave\\Qel_K1C.bmp";
    SetFrameSize(state->geometry, kWidth, kHeight);
    ResetBufferPointers(state->images);
    test::FillBlackLevelFrame(state->images.workImage, kWidth, kHeight);
  }
  std::uint16_t at(int x, int y) const { return state->images.workImage[static_cast<std::size_t>(y) * kWidth + x]; }
};

TEST(PaintBlackLevel, IsMeasuredAfterARebuildAndAfterARepaint) {
  ShownFrame f;
  // Before any picture exists nothing is painted and nothing measured.
  ShowCommandResult(*f.state, f.host, false, true);
  EXPECT_EQ(f.state->display.blackLevel, 0);

  // A command that asked for a rebuild (as opening a file does).
  ShowCommandResult(*f.state, f.host, true, true);
  ASSERT_TRUE(f.state->display.hasBitmap());
  EXPECT_EQ(f.state->display.blackLevel, (40 + 41 + 45) / 3);

  // Auto contrast draws with the commonest level of its own sample (40),
  // then the paint measures as always.
  f.state->images.autoContrast = 1;
  ASSERT_EQ(RebuildDisplay(*f.state, f.host), BitmapWriteResult::Ok);
  EXPECT_EQ(f.state->display.blackLevel, 42);

  // A repaint measures the image as it now is; a command that asked for
  // neither leaves the level alone.
  std::fill_n(f.state->images.workImage, kWidth * kHeight, std::uint16_t{7 * 256});
  ShowCommandResult(*f.state, f.host, false, false);
  EXPECT_EQ(f.state->display.blackLevel, 42);
  ShowCommandResult(*f.state, f.host, false, true);
  // One level fills the frame; the next two searches find empty levels 0 and 1.
  EXPECT_EQ(f.state->display.blackLevel, (7 + 0 + 1) / 3);
  EXPECT_TRUE(f.host.boxes.empty());
}

TEST(PaintBlackLevel, RemoveBackgroundAfterARebuildFollowsTheFormula) {
  ShownFrame f;
  ShowCommandResult(*f.state, f.host, true, true);
  ASSERT_EQ(f.state->display.blackLevel, 42);
  ASSERT_TRUE(FillBackgroundTable(*f.state, f.host, true));

  // s = 255 / 215, c = 5120: 10,257 -> i 5,128 -> 8 * 255 / 215 = 9 -> 18;
  // 10,499 -> i 5,249 -> 129 * 255 / 215 = 153 exactly -> 306;
  // 11,720 -> i 5,860 -> 877 -> 1,754; white 65,535 -> the 32,767 cap -> 65,534;
  // 5,000 lies below c -> 0.
  EXPECT_EQ(f.at(0, 20), 18);
  EXPECT_EQ(f.at(1, 20), 306);
  EXPECT_EQ(f.at(2, 20), 1754);
  EXPECT_EQ(f.at(3, 49), 65534);
  EXPECT_EQ(f.at(3, 50), 0);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      ASSERT_EQ(f.at(x, y), test::BackgroundRemovedAt42(test::BlackLevelFramePixel(x, y))) << x << "," << y;
    }
  }
  EXPECT_EQ(f.state->images.history.lines[0].str(), "Background Removed : min 80");
}

}  // namespace
}  // namespace qv
