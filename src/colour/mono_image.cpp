#include "colour/mono_image.h"

#include <algorithm>
#include <cstring>

#include "app/messages.h"
#include "app/settings_file.h"
#include "colour/colour_checks.h"
#include "processing/auto_processing.h"
#include "processing/processing_pass.h"

namespace qv {

namespace {

struct Offset {
  int row, column;
};
struct Fill {
  Offset target, a, b;
};
// What one cell keeps and how it fills the rest, offsets from the anchor.
struct CellRule {
  int fills;
  Fill fill[3];
};

// The four patterns the (line offset, pixel offset, colour) choices come to.
// Kept at (1,1) with the three others from their diagonal, horizontal and
// vertical neighbours.
constexpr CellRule kKeepBottomRight = {
    3, {{{0, 0}, {-1, -1}, {1, 1}}, {{1, 0}, {1, -1}, {1, 1}}, {{0, 1}, {-1, 1}, {1, 1}}}};
constexpr CellRule kKeepTopLeft = {3, {{{0, 1}, {0, 0}, {0, 2}}, {{1, 1}, {2, 2}, {0, 0}}, {{1, 0}, {2, 0}, {0, 0}}}};
constexpr CellRule kKeepBottomLeft = {3,
                                      {{{0, 0}, {-1, 0}, {1, 0}}, {{0, 1}, {1, 0}, {-1, 2}}, {{1, 1}, {1, 0}, {1, 2}}}};
constexpr CellRule kKeepTopRight = {3,
                                    {{{0, 0}, {0, -1}, {0, 1}}, {{1, 0}, {2, -1}, {0, 1}}, {{1, 1}, {2, 1}, {0, 1}}}};
constexpr CellRule kKeepAntiDiagonal = {2, {{{0, 0}, {0, -1}, {0, 1}}, {{1, 1}, {1, 0}, {1, 2}}}};
constexpr CellRule kKeepDiagonal = {2, {{{0, 1}, {0, 0}, {0, 2}}, {{1, 0}, {1, -1}, {1, 1}}}};

const CellRule& RuleFor(bool line, bool pixel, MatrixColour colour) {
  if (colour == MatrixColour::Green) return line == pixel ? kKeepAntiDiagonal : kKeepDiagonal;
  // Red and blue trade places with both offsets; one offset moves the kept
  // pixel into the other row or column.
  const bool red = colour == MatrixColour::Red;
  if (line == pixel) return red == !line ? kKeepBottomRight : kKeepTopLeft;
  return red == !line ? kKeepBottomLeft : kKeepTopRight;
}

}  // namespace

void ExtractMonoCells(std::uint16_t* raw, int width, int height, int firstRow, bool lineOffset, bool pixelOffset,
                      MatrixColour colour) {
  const CellRule& rule = RuleFor(lineOffset, pixelOffset, colour);
  for (int i = firstRow; i < height - 2; i += 2) {
    for (int j = 1; j < width - 2; j += 2) {
      auto pixel = [&](Offset o) -> std::uint16_t& {
        return raw[static_cast<std::size_t>(i + o.row) * width + (j + o.column)];
      };
      for (int f = 0; f < rule.fills; ++f) {
        const Fill& fill = rule.fill[f];
        // Above the first row there is nothing of this image to read.
        if (i + fill.a.row < firstRow) {
          pixel(fill.target) = pixel(fill.b);
        } else if (i + fill.b.row < firstRow) {
          pixel(fill.target) = pixel(fill.a);
        } else {
          pixel(fill.target) = static_cast<std::uint16_t>((pixel(fill.a) + pixel(fill.b)) / 2);
        }
      }
    }
  }
}

bool ExtractMonoImage(ProgramState& state, Host& host, MatrixColour colour) {
  if (!RawColourAllowed(state, host)) return false;
  if (LoadSettings(state.settings, state.paths, host) != SettingsStatus::Ok) ShowMessage(host, 23);
  if (SaveSettings(state.settings, state.paths) != SettingsStatus::Ok) ShowMessage(host, 24);
  {
    WaitCursor wait(host);
    ImageStore& images = state.images;
    const FrameGeometry& g = state.geometry;
    ResetBufferPointers(images);
    host.openProgress("MONOCHROME COLOUR CALCULATION IN PROGRESS");
    ExtractMonoCells(images.workImage, g.width, g.height, FirstProcessedRow(images.workImage),
                     state.settings.lineOffset, state.settings.pixelOffset, colour);
    host.closeProgress();
    std::memcpy(images.scratchImage, images.workImage, static_cast<std::size_t>(std::max(g.pixelCount, 0)) * 2);
    state.colour.balance = {};
    state.colour.chromatism = {};
    RunAutoProcessing(state, host);
  }
  host.requestRepaint();
  host.requestRebuildDisplay();
  return true;
}

void BuildSingleFilterPixels(std::uint16_t* image, int width, int height, int choice) {
  const int firstRow = (choice == 1 || choice == 2) ? 1 : 0;
  const int firstColumn = (choice == 1 || choice == 3) ? 0 : 1;
  auto at = [&](int r, int c) -> std::uint16_t& { return image[static_cast<std::size_t>(r) * width + c]; };
  for (int r = firstRow; r < height; r += 2) {
    for (int c = firstColumn; c < width - 1; c += 2) {
      // Past the row's end lies the next row (or nothing): the kept pixel
      // stands in for the missing neighbour.
      at(r, c + 1) = c + 2 < width ? static_cast<std::uint16_t>(at(r, c) / 2 + at(r, c + 2) / 2) : at(r, c);
    }
  }
  for (int r = firstRow + 1; r < height - 1; r += 2) {
    for (int c = 0; c < width; ++c) at(r, c) = static_cast<std::uint16_t>(at(r - 1, c) / 2 + at(r + 1, c) / 2);
  }
}

bool IsRawFullFrame(const FrameGeometry& g) {
  if (g.binned) return false;
  return g.sensorWidth <= 0 || (g.width == g.sensorWidth && g.height == g.sensorHeight);
}

bool SingleFilterAllowed(const ProgramState& state, Host& host) {
  if (!state.images.colourConverted && IsRawFullFrame(state.geometry)) return true;
  ShowMessage(host, kCallerTextMessage, kRawFullFrameOnly);
  return false;
}

bool SingleFilterImage(ProgramState& state, Host& host, int choice) {
  if (!SingleFilterAllowed(state, host)) return false;
  choice = std::clamp(choice, 1, 4);
  state.colour.singleFilterChoice = choice;
  RunProcessingPass(state, host, {.progressCaption = "BUILDING SINGLE FILTER IMAGE"}, [&] {
    host.setProgress(20);
    BuildSingleFilterPixels(state.images.workImage, state.geometry.width, state.geometry.height, choice);
    host.setProgress(100);
  });
  AddHistoryLine(state.images.history, "Image Converted to Single Colour");
  return true;
}

}  // namespace qv
