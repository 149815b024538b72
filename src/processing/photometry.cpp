#include "processing/photometry.h"

#include <cmath>
#include <cstdio>

#include "app/messages.h"
#include "processing/pixel_values.h"

namespace qv {

namespace {

constexpr int kOutsideImageMessage = 2;

std::string Format(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

}  // namespace

int PhotometryRadiusButton(int radius) {
  for (std::size_t i = 0; i < kPhotometryRadii.size(); ++i) {
    if (kPhotometryRadii[i] == radius) return static_cast<int>(i);
  }
  return kPhotometryOtherRadiusButton;
}

void OpenPhotometry(PhotometryPicks& picks) {
  picks.radius = kPhotometryOpeningRadius;
  picks.object.sum = picks.comparison.sum = picks.background.sum = 0;
  // A new dialog starts measuring the object.
  picks.choice = 'o';
  picks.backgroundChosen = false;
  picks.open = true;
}

void ChoosePhotometryRadius(PhotometryPicks& picks, int radius) {
  picks.radius = radius;
  picks.object = picks.comparison = picks.background = PhotometryPoint{};
}

void ChoosePhotometryMeasure(PhotometryPicks& picks, char choice) {
  picks.choice = choice;
  if (choice == 'b') picks.backgroundChosen = true;
}

bool PhotometryBoxInside(const FrameGeometry& geometry, int x, int y, int r) {
  return r >= 0 && x - r >= 0 && y - r >= 0 && x + r <= geometry.widthMinus1 && y + r <= geometry.heightMinus1;
}

std::int32_t PhotometryBoxSum(const std::uint16_t* image, const FrameGeometry& geometry, int x, int y, int r) {
  std::int32_t sum = 0;
  for (int row = y - r; row <= y + r; ++row) {
    const std::uint16_t* line = image + static_cast<std::size_t>(row) * static_cast<std::size_t>(geometry.width);
    for (int column = x - r; column <= x + r; ++column) sum += line[column];
  }
  return sum;
}

bool RecordPhotometryClick(PhotometryPicks& picks, const ImageStore& images, const FrameGeometry& geometry, Host& host,
                           int x, int y) {
  if (!PhotometryBoxInside(geometry, x, y, picks.radius)) {
    ShowMessage(host, kOutsideImageMessage);
    return false;
  }
  PhotometryPoint point{x, y, PhotometryBoxSum(images.workImage, geometry, x, y, picks.radius)};
  switch (picks.choice) {
    case 'c':
      picks.comparison = point;
      break;
    case 'b':
      picks.background = point;
      break;
    default:
      picks.object = point;
      break;
  }
  if (picks.changed) picks.changed();
  return true;
}

bool RecordPhotometryPointer(PhotometryPicks& picks, const ImageStore& images, const FrameGeometry& geometry, int x,
                             int y) {
  if (!PointerInsideFrame(geometry, x, y)) return false;
  picks.pointerX = x;
  picks.pointerY = y;
  picks.pointerValue = images.workImage[static_cast<std::size_t>(y) * static_cast<std::size_t>(geometry.width) +
                                        static_cast<std::size_t>(x)];
  if (picks.changed) picks.changed();
  return true;
}

double PhotometryMean(std::int32_t sum, int radius) {
  const double side = 2.0 * radius + 1.0;
  return static_cast<double>(sum) / (side * side);
}

std::optional<double> MagnitudeDifference(std::int32_t object, std::int32_t comparison, std::int32_t background) {
  if (object == 0 || comparison == 0 || background >= object || background >= comparison) return std::nullopt;
  const double ratio = (static_cast<double>(object) - background) / (static_cast<double>(comparison) - background);
  return -2.5 * std::log10(ratio);
}

PhotometryFields PhotometryDisplay(const PhotometryPicks& picks, int blackLevel) {
  PhotometryFields f;
  f.objectX = std::to_string(picks.object.x);
  f.objectY = std::to_string(picks.object.y);
  f.comparisonX = std::to_string(picks.comparison.x);
  f.comparisonY = std::to_string(picks.comparison.y);
  f.backgroundX = std::to_string(picks.background.x);
  f.backgroundY = std::to_string(picks.background.y);
  f.objectMean = Format("%7.0f", PhotometryMean(picks.object.sum, picks.radius));
  f.comparisonMean = Format("%7.0f", PhotometryMean(picks.comparison.sum, picks.radius));
  const double background =
      picks.backgroundChosen ? PhotometryMean(picks.background.sum, picks.radius) : blackLevel * 256.0;
  f.background = Format("%7.0f", background);
  if (auto magnitude = MagnitudeDifference(picks.object.sum, picks.comparison.sum, picks.background.sum)) {
    f.magnitude = Format("%2.2f", *magnitude);
  }
  f.pointerX = std::to_string(picks.pointerX);
  f.pointerY = std::to_string(picks.pointerY);
  f.pointerValue = Format("%6.0f", picks.pointerValue);
  return f;
}

}  // namespace qv
