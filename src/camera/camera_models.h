#pragma once
// The sensor models of the camera family and what each one decides: sensor
// size, pixel size, file transfer blocks, temporary bitmap and hot pixel map
// names, the read-out time texts, and its capabilities.

#include <array>
#include <optional>
#include <string_view>

namespace qv {

struct CameraModel {
  int code = 0;
  std::string_view name;
  int sensorWidth = 0;
  int sensorHeight = 0;
  double pixelSizeXMm = 0.0;
  double pixelSizeYMm = 0.0;
  int fileBlockCount = 0;
  std::string_view bitmapName;       // main image
  std::string_view focusBitmapName;  // focus frame of the camera dialog
  std::string_view guideBitmapName;  // guider frame
  std::string_view hotPixelMapName;
  // Appended to the read-out caption: 2x2 binning and the user sub-frame,
  // 3x3 and 4x4 binning, full resolution.
  std::array<std::string_view, 3> readoutTexts;

  // What the model can do, asked by the command set instead of its code.
  bool hasCooler = true;              // cooler commands are sent (firmware permitting)
  bool hasGuiderChannel = true;       // a guider sensor on the second channel
  bool columnPairCorrection = false;  // full frames need the column-pair level correction
  int maxBinning = 4;                 // largest binning factor of a main-sensor read-out
};

// The values the program starts with (camera type 6, which has no row).
inline constexpr int kBuiltInCameraType = 6;
const CameraModel& BuiltInCameraModel();

// The model with this code, or nothing for a code outside the table.
std::optional<CameraModel> FindCameraModel(int code);
// The model with this name ("K1C" ... "K5C", "K7"), or nothing.
std::optional<CameraModel> FindCameraModelByName(std::string_view name);

// Every row of the table, in code order.
const std::array<CameraModel, 6>& CameraModelTable();

}  // namespace qv
