#include "guiding/guider_picture.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "app/display_bitmap.h"
#include "app/display_palette.h"
#include "app/image_store.h"
#include "app/messages.h"
#include "app/paths.h"
#include "camera/camera_commands.h"

namespace qv {

namespace {
constexpr std::uint32_t kTopLevelPixels = 6;
constexpr int kGuiderBitmapBlocks = 4;
}  // namespace

GuiderLevels MeasureGuiderLevels(const std::uint16_t* pixels, std::size_t count) {
  std::array<std::uint32_t, 256> bins{};
  GuiderLevels levels;
  levels.peak = 0;
  for (std::size_t i = 0; i < count; ++i) {
    ++bins[pixels[i] >> 8];
    levels.peak = std::max<int>(levels.peak, pixels[i]);
  }
  levels.background = 1;
  for (int b = 2; b < 256; ++b) {
    if (bins[static_cast<std::size_t>(b)] > bins[static_cast<std::size_t>(levels.background)]) levels.background = b;
  }
  levels.top = 0;
  for (int b = 255; b >= 0; --b) {
    if (bins[static_cast<std::size_t>(b)] >= kTopLevelPixels) {
      levels.top = b;
      break;
    }
  }
  return levels;
}

void RenderGuiderBytes(const std::uint16_t* pixels, std::size_t count, const GuiderLevels& levels,
                       const GuiderImageOptions& options, std::uint8_t* out) {
  // Work in full 16-bit units so a frame whose levels share a bin still shows.
  const int low = levels.background * 256;
  if (options.stretch) {
    const int toTop = std::max(levels.top - levels.background + 1, 1) * 256;
    const int span = std::max(toTop / std::clamp(options.stretchValue, kGuiderStretchMin, kGuiderStretchMax), 1);
    for (std::size_t i = 0; i < count; ++i) {
      const int above = static_cast<int>(pixels[i]) - low;
      out[i] = above <= 0 ? 0 : static_cast<std::uint8_t>(std::min(above * 255 / span, 255));
    }
    return;
  }
  // Square root up to the brightest pixel: faint stars show beside a bright
  // one while the sky's noise stays dark.
  const double span = std::max(levels.peak - low, 1);
  for (std::size_t i = 0; i < count; ++i) {
    const int above = static_cast<int>(pixels[i]) - low;
    out[i] = above <= 0 ? 0 : static_cast<std::uint8_t>(std::min(255.0 * std::sqrt(above / span), 255.0));
  }
}

bool RenderGuiderFrame(ProgramState& state, Host& host) {
  GuiderDialogState& d = state.guiding.guiderDialog;
  const int width = GuiderColumns(state.settings);
  const std::size_t count = static_cast<std::size_t>(width) * ImageStore::kGuideRows;
  const std::uint16_t* frame = state.images.guideImage;
  d.picture.resize(count);
  d.pictureWidth = width;
  RenderGuiderBytes(frame, count, MeasureGuiderLevels(frame, count), d.image, d.picture.data());

  std::vector<std::uint8_t> image(static_cast<std::size_t>(kGreyPixelOffset) +
                                  static_cast<std::size_t>(PaddedRowBytes(width)) * ImageStore::kGuideRows);
  const std::size_t length = BuildGreyBitmapImage(image.data(), d.picture.data(), width, ImageStore::kGuideRows,
                                                  GreySource::Full, GreyPalette());
  const std::string name =
      state.geometry.guideBitmapName.empty() ? "c:\\Autosave\\QelK6g.bmp" : state.geometry.guideBitmapName;
  switch (WriteBitmapFile(NativePath(state.paths, name), image.data(), length, kGreyPixelOffset, kGuiderBitmapBlocks)) {
    case BitmapWriteResult::Ok:
      return true;
    case BitmapWriteResult::CannotCreate:
      ShowMessage(host, 8);
      return false;
    case BitmapWriteResult::HeaderShort:
      ShowMessage(host, 9);
      return false;
    case BitmapWriteResult::PixelsShort:
      ShowMessage(host, 10);
      return false;
  }
  return false;
}

}  // namespace qv
