// The temporary display bitmaps read back by an independent reader (Pillow).

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "app/display_rebuild.h"
#include "app/frame_geometry.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

namespace qv {
namespace {

constexpr const char* kPython = "/usr/bin/python3";

bool PillowAvailable() { return std::system((std::string(kPython) + " -c 'import PIL' >/dev/null 2>&1").c_str()) == 0; }

// Runs a Python check; the script exits non-zero when the reader disagrees.
int RunPython(const test::TempDir& dir, const std::string& script) {
  const auto path = dir.path() / "check.py";
  std::ofstream(path) << script;
  return std::system((std::string(kPython) + " " + path.string()).c_str());
}

std::unique_ptr<ProgramState> Frame(const test::TempDir& root) {
  auto state = std::make_unique<ProgramState>();
  state->paths.root = root.str();
  state->geometry.fileBlockCount = 4;
  state->geometry.bitmapName = "c:\\Autosave\\Qel_K1C.bmp";
  SetFrameSize(state->geometry, 7, 5);  // rows of 7 pixels: padded in both layouts
  ResetBufferPointers(state->images);
  for (int i = 0; i < 35; ++i) {
    state->images.workImage[i] = static_cast<std::uint16_t>((i * 7) << 8);
    state->images.colourPlanes[ImageStore::kRed][i] = static_cast<std::uint16_t>(i << 8);
    state->images.colourPlanes[ImageStore::kGreen][i] = static_cast<std::uint16_t>((i + 1) << 8);
    state->images.colourPlanes[ImageStore::kBlue][i] = static_cast<std::uint16_t>((i + 2) << 8);
  }
  return state;
}

TEST(DisplayBitmapInterop, PillowReadsGreyAndColourBitmaps) {
  if (!PillowAvailable()) GTEST_SKIP() << "Pillow is not installed";
  test::TempDir root;
  auto state = Frame(root);
  test::RecordingHost host;
  state->images.falseColour = 1;
  ASSERT_EQ(RebuildDisplay(*state, host), BitmapWriteResult::Ok);
  const auto file = (root.path() / "autosave" / "Qel_K1C.bmp").string();
  // Pixel (3, 2) is index 17, level 119: false colour red 119, green 55, blue 0.
  EXPECT_EQ(RunPython(root,
                      "from PIL import Image\n"
                      "im = Image.open('" +
                          file +
                          "')\n"
                          "assert im.mode == 'P' and im.size == (7, 5), (im.mode, im.size)\n"
                          "assert im.getpixel((3, 2)) == 119\n"
                          "assert im.convert('RGB').getpixel((3, 2)) == (119, 55, 0)\n"
                          "assert im.getpixel((6, 4)) == 238\n"),
            0);

  state->images.colourConverted = 1;
  state->display.channelView = 'R';
  ASSERT_EQ(RebuildDisplay(*state, host), BitmapWriteResult::Ok);
  // The colour file is 8 pixels wide (padded); the red plane's high byte shows.
  EXPECT_EQ(RunPython(root,
                      "from PIL import Image\n"
                      "im = Image.open('" +
                          file +
                          "')\n"
                          "assert im.mode == 'RGB' and im.size == (8, 5), (im.mode, im.size)\n"
                          "assert im.getpixel((3, 2)) == (17, 0, 0), im.getpixel((3, 2))\n"
                          "assert im.getpixel((7, 0)) == (0, 0, 0)\n"),
            0);
}

}  // namespace
}  // namespace qv
