#include "app/display_rebuild.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "app/messages.h"

namespace qv {

namespace {

constexpr int kAutoLevelFirstPixel = 69'500;
constexpr int kAutoLevelLastPixel = 347'499;
constexpr int kGreyBlocksForSmallFrame = 1;

int MostFrequentLevel(const std::array<std::uint32_t, ImageStore::kHistogramBins>& bins, int skipA, int skipB) {
  int best = -1;
  for (int level = 0; level < 256; ++level) {
    if (level == skipA || level == skipB) continue;
    if (best < 0 || bins[level] > bins[best]) best = level;
  }
  return best;
}

int MessageFor(BitmapWriteResult result) {
  switch (result) {
    case BitmapWriteResult::CannotCreate:
      return 8;
    case BitmapWriteResult::HeaderShort:
      return 9;
    case BitmapWriteResult::PixelsShort:
      return 10;
    case BitmapWriteResult::Ok:
      break;
  }
  return 0;
}

BitmapWriteResult WriteColourBitmap(ProgramState& state, Host& host, const std::string& path) {
  auto& images = state.images;
  const auto& g = state.geometry;
  std::uint8_t* image = images.buffers.bitmapImage.data();
  const std::size_t bytes = PutColourBitmapHeader(image, g.width, g.height);
  const std::uint16_t* const planes[3] = {images.colourPlanes[ImageStore::kRed], images.colourPlanes[ImageStore::kBlue],
                                          images.colourPlanes[ImageStore::kGreen]};
  ColourViewOptions options;
  options.channelView = state.display.channelView;
  options.autoContrast = images.autoContrast != 0;
  options.blackLevel = state.display.blackLevel;
  options.rowLoops = state.processing.rowLoops;
  // Each saturation step counts (1 to 5 in halves), as in the colour export,
  // so the picture on screen and the exported colours agree.
  options.saturation = (state.settings.colourBalanceLevel + 1) / 2.0;

  host.openProgress(kColourBuildCaption);
  const int stepRows = g.height / kColourBuildSteps;
  int row = 0;
  for (int step = kColourBuildSteps; step >= 1; --step) {
    host.setProgress(250 - 25 * step);
    // The last step also builds the rows the even split leaves over.
    const int rows = step == 1 ? g.height - row : stepRows;
    BuildColourBitmapRows(image, images.buffers.displayBytes.data(), planes, g.width, g.height, row, rows, options);
    row += rows;
  }
  const auto result = WriteBitmapFile(path, image, bytes, kColourPixelOffset, 3 * g.fileBlockCount);
  host.closeProgress();
  return result;
}

BitmapWriteResult WriteGreyBitmap(ProgramState& state, const std::string& path) {
  auto& images = state.images;
  auto& display = state.display;
  const auto& g = state.geometry;
  const bool smallFrame = SmallFrameViewInForce(state);
  std::uint8_t* bytes = images.buffers.displayBytes.data();

  // The stretch goes into the bitmap only: the display bytes keep the
  // converted image, so a rebuild from them (command 899) does not stretch
  // an already stretched picture again.
  ByteLookup stretch{};
  bool stretched = false;
  if (images.autoContrast || display.stretchDisplay || images.focusPreview) {
    display.blackLevel = std::max(display.blackLevel, 0);
    if (display.stretchDisplay || images.focusPreview) {
      const double power = images.focusPreview ? display.focusStretchPower : display.stretchPower;
      const std::size_t count =
          smallFrame ? static_cast<std::size_t>(kSmallFrameBytes) : static_cast<std::size_t>(std::max(g.pixelCount, 0));
      stretch = DisplayStretchLookup(bytes, count, power);
      stretched = true;
    }
  }
  PaletteOptions palette;
  palette.falseColour = images.falseColour != 0;
  palette.autoContrast = images.autoContrast != 0;
  palette.stretchDisplay = display.stretchDisplay;
  palette.blackLevel = display.blackLevel;

  const GreySource source =
      smallFrame ? GreySource::SmallFrame : (g.halfSizeDisplay ? GreySource::HalfSize : GreySource::Full);
  std::uint8_t* image = images.buffers.bitmapImage.data();
  const std::size_t length = BuildGreyBitmapImage(image, bytes, g.width, g.height, source, BuildDisplayPalette(palette),
                                                  stretched ? &stretch : nullptr);
  const auto result =
      WriteBitmapFile(path, image, length, kGreyPixelOffset, smallFrame ? kGreyBlocksForSmallFrame : g.fileBlockCount);
  if (result == BitmapWriteResult::Ok && images.focusPreview && display.focusFrameWritten) display.focusFrameWritten();
  return result;
}

std::uint32_t Read32(const std::uint8_t* at) {
  return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
         static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

BitmapWriteResult RebuildAfterConversion(ProgramState& state, Host& host) {
  auto& display = state.display;
  display.caption = DisplayCaption(state.files.imageTitle);
  ResetBufferPointers(state.images);
  if (state.images.autoContrast) display.blackLevel = AutomaticBlackLevel(state.images, state.geometry);

  const bool colour = state.images.colourConverted != 0;
  const std::string path = DisplayBitmapPath(state);
  const BitmapWriteResult result = colour ? WriteColourBitmap(state, host, path) : WriteGreyBitmap(state, path);
  if (result != BitmapWriteResult::Ok) {
    ShowMessage(host, MessageFor(result));
    // The window goes on showing the previous picture, and measures as it paints.
    MeasurePaintBlackLevel(state);
    return result;
  }
  // The shown bitmap is the file image just written, byte for byte.
  const std::uint8_t* image = state.images.buffers.bitmapImage.data();
  const std::size_t length = colour ? kColourPixelOffset + static_cast<std::size_t>(Read32(image + 34)) * 3
                                    : kGreyPixelOffset + static_cast<std::size_t>(Read32(image + 34));
  display.bitmap.assign(image, image + length);
  display.displayWidth = static_cast<int>(Read32(image + 18));
  display.displayHeight = static_cast<int>(Read32(image + 22));
  display.bitmapIsColour = colour;
  display.bitmapPath = path;
  // The window paints the new picture next; its black level is measured now,
  // so that every front end has it, window or not.
  MeasurePaintBlackLevel(state);
  return result;
}

}  // namespace

std::string DisplayCaption(const std::string& imageName) {
  return std::string(kApplicationTitle) + " - " + (imageName.empty() ? std::string("(Untitled)") : imageName);
}

bool SmallFrameViewInForce(const ProgramState& state) {
  return state.images.focusPreview || state.images.guideView || state.display.guideBoxReadout;
}

std::string DisplayBitmapPath(const ProgramState& state) {
  const bool smallFrame = SmallFrameViewInForce(state) && !state.images.colourConverted;
  return NativePath(state.paths, smallFrame ? state.geometry.focusBitmapName : state.geometry.bitmapName);
}

BitmapWriteResult RebuildDisplay(ProgramState& state, Host& host) {
  ToDisplayBytes(state.images, state.geometry);
  return RebuildAfterConversion(state, host);
}

BitmapWriteResult RebuildDisplayFromDisplayBytes(ProgramState& state, Host& host) {
  return RebuildAfterConversion(state, host);
}

int AutomaticBlackLevel(ImageStore& images, const FrameGeometry& geometry) {
  return AutomaticBlackLevel(images.workImage, geometry, images.displayHistogram);
}

int AutomaticBlackLevel(const std::uint16_t* work, const FrameGeometry& geometry,
                        std::array<std::uint32_t, ImageStore::kHistogramBins>& bins) {
  bins.fill(0);
  const int first = geometry.binned ? kAutoLevelFirstPixel / 2 : kAutoLevelFirstPixel;
  // Frames smaller than the sample are sampled to their end.
  const int last =
      std::min(geometry.binned ? (kAutoLevelLastPixel + 1) / 2 - 1 : kAutoLevelLastPixel, geometry.pixelCount - 1);
  for (int i = first; i <= last; ++i) ++bins[work[i] >> 8];
  return MostFrequentLevel(bins, -1, -1);
}

int PaintBlackLevel(ImageStore& images, const FrameGeometry& geometry) {
  auto& bins = images.displayHistogram;
  // Four tables counted in turn: neighbouring pixels of a sky background fall
  // in the same bin, and one table would make each count wait for the last.
  std::array<std::array<std::uint32_t, ImageStore::kHistogramBins>, 4> counts{};
  const std::uint16_t* work = images.workImage;
  for (int y = 11; y <= geometry.height - 6; ++y) {
    const std::uint16_t* row = work + static_cast<std::size_t>(y) * geometry.width;
    const int end = geometry.width - 5;
    int x = 5;
    for (; x + 4 <= end; x += 4) {
      ++counts[0][row[x] >> 8];
      ++counts[1][row[x + 1] >> 8];
      ++counts[2][row[x + 2] >> 8];
      ++counts[3][row[x + 3] >> 8];
    }
    for (; x < end; ++x) ++counts[0][row[x] >> 8];
  }
  for (std::size_t b = 0; b < bins.size(); ++b) bins[b] = counts[0][b] + counts[1][b] + counts[2][b] + counts[3][b];
  const int first = MostFrequentLevel(bins, -1, -1);
  const int second = MostFrequentLevel(bins, first, -1);
  const int third = MostFrequentLevel(bins, first, second);
  return (first + second + third) / 3;
}

void MeasurePaintBlackLevel(ProgramState& state) {
  // Nothing is painted but the background before the first picture exists.
  if (!state.display.hasBitmap()) return;
  state.display.blackLevel = PaintBlackLevel(state.images, state.geometry);
}

void ShowCommandResult(ProgramState& state, Host& host, bool rebuildRequested, bool repaintRequested) {
  if (rebuildRequested || state.display.rebuildPending) {
    state.display.rebuildPending = false;
    RebuildDisplay(state, host);
  } else if (repaintRequested) {
    MeasurePaintBlackLevel(state);
  }
}

}  // namespace qv
