#include "app/display_commands.h"

#include <algorithm>
#include <cstring>

namespace qv {

Size2 FitPictureSize(int imageWidth, int imageHeight, int clientHeight) {
  if (imageHeight <= 0) return {};
  return {static_cast<int>(static_cast<long long>(clientHeight) * imageWidth / imageHeight), clientHeight};
}

Size2 CentreMargins(int imageWidth, int imageHeight, int clientWidth, int clientHeight) {
  return {imageWidth < clientWidth ? (clientWidth - imageWidth) / 2 : 0,
          imageHeight < clientHeight ? (clientHeight - imageHeight) / 2 : 0};
}

Size2 ScrollRange(const DisplayState& d, int clientWidth, int clientHeight) {
  const bool fits = d.displayWidth <= clientWidth && d.displayHeight <= clientHeight;
  const int w = d.fitToScreen || fits ? d.fitWidth : d.displayWidth;
  const int h = d.fitToScreen || fits ? d.fitHeight : d.displayHeight;
  return {std::max(w - clientWidth, 0), std::max(h - clientHeight, 0)};
}

bool ToggleFitToScreen(DisplayState& d) {
  if (d.mouseModeActive) return false;
  d.fitToScreen = !d.fitToScreen;
  if (d.fitToScreen) d.centreImage = false;
  return true;
}

bool ToggleCentreImage(DisplayState& d) {
  if (d.mouseModeActive) return false;
  d.centreImage = !d.centreImage;
  if (d.centreImage) d.fitToScreen = false;
  return true;
}

void ToggleDisplayFlag(ProgramState& state, Host& host, DisplayFlag flag) {
  auto& images = state.images;
  int& value = flag == DisplayFlag::ShowCentre    ? images.showCentre
               : flag == DisplayFlag::FalseColour ? images.falseColour
                                                  : images.autoContrast;
  value = value ? 0 : 1;
  RebuildDisplay(state, host);
}

bool SetStretchDisplay(ProgramState& state, Host& host, CommandId command) {
  bool& flag = state.display.stretchDisplay;
  const bool wanted = command == CommandId::StretchDisplayToggle ? !flag : command == CommandId::StretchDisplayOn;
  if (wanted == flag) return false;
  flag = wanted;
  RebuildDisplay(state, host);
  return true;
}

double StretchPowerAfterScroll(double power, StretchScroll action, int thumbPosition) {
  switch (action) {
    case StretchScroll::LineUp:
      power -= 1;
      break;
    case StretchScroll::LineDown:
      power += 1;
      break;
    case StretchScroll::PageUp:
      return DisplayState::kMinStretchPower;
    case StretchScroll::PageDown:
      return DisplayState::kMaxStretchPower;
    case StretchScroll::Thumb:
      power = thumbPosition;
      break;
  }
  return std::clamp(power, DisplayState::kMinStretchPower, DisplayState::kMaxStretchPower);
}

bool SetStretchPower(DisplayState& display, double power) {
  if (!(power >= DisplayState::kMinStretchPower && power <= DisplayState::kMaxStretchPower)) return false;
  display.stretchPower = power;
  return true;
}

void MirrorRows(std::uint16_t* image, std::uint16_t* scratch, int width, int height, int firstRow) {
  for (int y = firstRow; y < height; ++y) {
    const std::uint16_t* from = image + static_cast<std::size_t>(y) * width;
    std::uint16_t* to = scratch + static_cast<std::size_t>(y) * width;
    for (int x = 0; x < width; ++x) to[x] = from[width - 1 - x];
  }
  const std::size_t start = static_cast<std::size_t>(firstRow) * width;
  const std::size_t count = static_cast<std::size_t>(std::max(height - firstRow, 0)) * width;
  std::memcpy(image + start, scratch + start, count * sizeof(std::uint16_t));
}

void FlipRows(std::uint16_t* image, std::uint16_t* scratch, int width, int height, int firstRow) {
  const std::size_t rowBytes = static_cast<std::size_t>(width) * sizeof(std::uint16_t);
  // Rows firstRow..height-1 swap ends: row y takes row (height - 1 - y + firstRow).
  for (int y = firstRow; y < height; ++y) {
    std::memcpy(scratch + static_cast<std::size_t>(y) * width,
                image + static_cast<std::size_t>(height - 1 - (y - firstRow)) * width, rowBytes);
  }
  const std::size_t start = static_cast<std::size_t>(firstRow) * width;
  const std::size_t count = static_cast<std::size_t>(std::max(height - firstRow, 0)) * width;
  std::memcpy(image + start, scratch + start, count * sizeof(std::uint16_t));
}

namespace {

using RowOperation = void (*)(std::uint16_t*, std::uint16_t*, int, int, int);

void ApplyToImage(ProgramState& state, Host& host, RowOperation operation) {
  WaitCursor wait(host);
  auto& images = state.images;
  const auto& g = state.geometry;
  ResetBufferPointers(images);
  const int firstRow = FirstProcessedRow(images.workImage);
  operation(images.workImage, images.scratchImage, g.width, g.height, firstRow);
  if (images.colourConverted) {
    for (int p = 0; p < ImageStore::kPlanes; ++p) {
      operation(images.colourPlanes[p], images.planeWorkSet[p], g.colourWidth, g.colourHeight, firstRow);
    }
  }
  RebuildDisplay(state, host);
}

}  // namespace

void MirrorImage(ProgramState& state, Host& host) { ApplyToImage(state, host, MirrorRows); }

void FlipImage(ProgramState& state, Host& host) { ApplyToImage(state, host, FlipRows); }

bool SetChannelView(DisplayState& display, char letter) {
  if (letter != 'N' && letter != 'L' && letter != 'R' && letter != 'G' && letter != 'B') return false;
  display.channelView = letter;
  return true;
}

}  // namespace qv
