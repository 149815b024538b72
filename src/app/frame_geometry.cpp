#include "app/frame_geometry.h"

#include "camera/camera_models.h"

namespace qv {

void SetFrameSize(FrameGeometry& g, int width, int height) {
  g.width = width;
  g.height = height;
  g.pixelCount = width * height;
  g.widthTimes10 = width * 10;
  g.widthMinus1 = width - 1;
  g.heightMinus1 = height - 1;
  g.rowBytes = width * 2;
  g.widthFifth = width * 2 / 10;
  g.widthF = static_cast<float>(width);
  g.heightF = static_cast<float>(height);
  g.heightMinus1F = static_cast<float>(height - 1);
  g.pixelCountF = static_cast<float>(g.pixelCount);
  g.innerBlocks = (g.pixelCount - g.widthTimes10) / 16;
  g.focusFrameSizeX = g.focusFrameSizeY = g.binned ? 32 : 64;
  if (g.colourCellMode == kColourCellThird) {
    g.colourWidth = g.sensorWidth / 3;
    g.colourHeight = g.sensorHeight / 3;
  } else if (g.colourCellMode == kColourCellHalf) {
    g.colourWidth = width / 2;
    g.colourHeight = height / 2;
  } else {
    g.colourWidth = width;
    g.colourHeight = height;
  }
  const double colourScale =
      g.colourCellMode == kColourCellThird ? 1.5 : (g.colourCellMode == kColourCellHalf ? 2.0 : 1.0);
  g.colourPixelSizeX = g.pixelSizeX * colourScale;
  g.colourPixelSizeY = g.pixelSizeY * colourScale;
  g.displayWidth = g.halfSizeDisplay ? width / 2 : width;
  g.displayHeight = g.halfSizeDisplay ? height / 2 : height;
  g.fileBlockLength = g.fileBlockCount > 0 ? g.pixelCount / g.fileBlockCount : 0;
}

void RecomputeFrameGeometry(FrameGeometry& g, const CameraModel& model) {
  const int w = model.sensorWidth;
  const int h = model.sensorHeight;
  g.sensorWidth = w;
  g.sensorHeight = h;
  const int factor = g.binned ? 2 : 1;
  g.pixelSizeX = model.pixelSizeXMm * factor;
  g.pixelSizeY = model.pixelSizeYMm * factor;

  g.rawFileLength = w * h * 2 + 10;
  g.colourRawFileLength = w * h * 8 + 10;
  g.binnedRawFileLength = w * h / 2 + 10;
  g.fitsFileLength = w * h * 2 + 5760;
  g.colourFitsFileLength = w * h * 8 + 5760;
  g.binnedFitsFileLength = w * h / 2 + 5760;
  g.fitsPadding = FitsPadding(w * h * 2);
  g.binnedFitsPadding = FitsPadding(w * h / 2);

  g.fileBlockCount = model.fileBlockCount;
  g.bitmapName = model.bitmapName;
  g.focusBitmapName = model.focusBitmapName;
  g.guideBitmapName = model.guideBitmapName;
  g.hotPixelMapName = model.hotPixelMapName;

  SetFrameSize(g, w / factor, h / factor);
}

}  // namespace qv

#include <cstdio>

namespace qv {

std::vector<std::pair<std::string, std::string>> ListFrameGeometry(const FrameGeometry& g) {
  std::vector<std::pair<std::string, std::string>> list;
  auto i = [&](const char* name, long long value) { list.emplace_back(name, std::to_string(value)); };
  auto f = [&](const char* name, double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.10g", value);
    list.emplace_back(name, text);
  };
  auto s = [&](const char* name, const std::string& value) { list.emplace_back(name, value); };
  i("width", g.width);
  i("height", g.height);
  i("pixelCount", g.pixelCount);
  i("widthTimes10", g.widthTimes10);
  i("widthMinus1", g.widthMinus1);
  i("heightMinus1", g.heightMinus1);
  i("rowBytes", g.rowBytes);
  i("widthFifth", g.widthFifth);
  f("widthF", g.widthF);
  f("heightF", g.heightF);
  f("heightMinus1F", g.heightMinus1F);
  f("pixelCountF", g.pixelCountF);
  i("colourWidth", g.colourWidth);
  i("colourHeight", g.colourHeight);
  i("innerBlocks", g.innerBlocks);
  i("binned", g.binned);
  i("colourCellMode", g.colourCellMode);
  i("focusFrameSizeX", g.focusFrameSizeX);
  i("focusFrameSizeY", g.focusFrameSizeY);
  f("pixelSizeX", g.pixelSizeX);
  f("pixelSizeY", g.pixelSizeY);
  f("colourPixelSizeX", g.colourPixelSizeX);
  f("colourPixelSizeY", g.colourPixelSizeY);
  i("halfSizeDisplay", g.halfSizeDisplay);
  i("displayWidth", g.displayWidth);
  i("displayHeight", g.displayHeight);
  i("sensorWidth", g.sensorWidth);
  i("sensorHeight", g.sensorHeight);
  i("rawFileLength", g.rawFileLength);
  i("colourRawFileLength", g.colourRawFileLength);
  i("binnedRawFileLength", g.binnedRawFileLength);
  i("fitsFileLength", g.fitsFileLength);
  i("colourFitsFileLength", g.colourFitsFileLength);
  i("binnedFitsFileLength", g.binnedFitsFileLength);
  i("fitsPadding", g.fitsPadding);
  i("binnedFitsPadding", g.binnedFitsPadding);
  i("fileBlockCount", g.fileBlockCount);
  i("fileBlockLength", g.fileBlockLength);
  s("bitmapName", g.bitmapName);
  s("focusBitmapName", g.focusBitmapName);
  s("guideBitmapName", g.guideBitmapName);
  s("hotPixelMapName", g.hotPixelMapName);
  return list;
}

}  // namespace qv
