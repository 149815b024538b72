#pragma once
// How the current frame is laid out in the image buffers, and the file
// lengths derived from the sensor.

#include <cstdint>
#include <string>

namespace qv {

struct CameraModel;

// Colour cell modes of the colour synthesis that change the colour plane size.
inline constexpr int kColourCellThird = 13;  // planes a third of the sensor
inline constexpr int kColourCellHalf = 14;   // planes half the binned frame

struct FrameGeometry {
  // Inputs that, with the camera model, decide the rest.
  int binned = 0;
  int colourCellMode = 0;
  int halfSizeDisplay = 0;

  int width = 0;
  int height = 0;
  int pixelCount = 0;
  int widthTimes10 = 0;
  int widthMinus1 = 0;
  int heightMinus1 = 0;
  int rowBytes = 0;
  int widthFifth = 0;
  float widthF = 0, heightF = 0, heightMinus1F = 0, pixelCountF = 0;
  int colourWidth = 0;
  int colourHeight = 0;
  int innerBlocks = 0;
  int focusFrameSizeX = 0;
  int focusFrameSizeY = 0;
  double pixelSizeX = 0;  // millimetres, doubled when binned
  double pixelSizeY = 0;
  double colourPixelSizeX = 0;
  double colourPixelSizeY = 0;
  int displayWidth = 0;
  int displayHeight = 0;

  // Full (unbinned) sensor size and the file lengths derived from it.
  int sensorWidth = 0;
  int sensorHeight = 0;
  int rawFileLength = 0;           // W * H * 2 + 10
  int colourRawFileLength = 0;     // W * H * 8 + 10
  int binnedRawFileLength = 0;     // W * H / 2 + 10
  int fitsFileLength = 0;          // W * H * 2 + 5760
  int colourFitsFileLength = 0;    // W * H * 8 + 5760
  int binnedFitsFileLength = 0;    // W * H / 2 + 5760
  int fitsPadding = 0;             // bytes that close the unbinned data's last 2880-byte block
  int binnedFitsPadding = 0;       // the same for the binned data

  // Copied from the camera model.
  int fileBlockCount = 0;
  int fileBlockLength = 0;  // pixelCount / fileBlockCount
  std::string bitmapName;
  std::string focusBitmapName;
  std::string guideBitmapName;
  std::string hotPixelMapName;
};

// Bytes that bring a data length to the next multiple of 2880 (a whole block
// when it already is one).
inline int FitsPadding(int dataLength) { return (dataLength / 2880) * 2880 - dataLength + 2880; }

// Sets the frame size and every value derived from it.
void SetFrameSize(FrameGeometry& geometry, int width, int height);

// Recomputes the geometry for the camera model and the current binning.
void RecomputeFrameGeometry(FrameGeometry& geometry, const CameraModel& model);

}  // namespace qv

#include <utility>
#include <vector>

namespace qv {

// Every field as (name, value), for listing.
std::vector<std::pair<std::string, std::string>> ListFrameGeometry(const FrameGeometry& geometry);

}  // namespace qv
