#include "camera/camera_models.h"

namespace qv {

namespace {

constexpr std::string_view kFast[3] = {" - takes 2-3 seconds", " - takes 1-2 seconds", " - takes 4-5 seconds"};
constexpr std::string_view kSlow[3] = {" - takes 3-4 seconds", " - takes 2-3 seconds", " - takes 6-7 seconds"};

constexpr CameraModel Row(int code, std::string_view name, int w, int h, double pixelMm, int blocks,
                          std::string_view bmp, std::string_view fBmp, std::string_view gBmp, std::string_view hpm,
                          const std::string_view (&texts)[3]) {
  return CameraModel{code, name, w, h, pixelMm, pixelMm, blocks, bmp, fBmp, gBmp, hpm, {texts[0], texts[1], texts[2]}};
}

// The K7: no cooler control, and full frames corrected column pair by pair.
constexpr CameraModel K7Row(CameraModel row) {
  row.hasCooler = false;
  row.columnPairCorrection = true;
  return row;
}

constexpr std::string_view kK7Texts[3] = {" - takes 1 second", " - takes < 1 second", " - takes 1-2 seconds"};

const std::array<CameraModel, 6> kTable = {
    Row(1, "K1C", 1392, 1040, 0.00645, 8, "c:\\Autosave\\Qel_K1C.bmp", "c:\\Autosave\\Qel_K1Cf.bmp",
        "c:\\Autosave\\Qel_K1Cg.bmp", "Qel_K1C_HPM", kFast),
    Row(2, "K2C", 1940, 1460, 0.00345, 4, "c:\\Autosave\\Qel_K2C.bmp", "c:\\Autosave\\Qel_K2Cf.bmp",
        "c:\\Autosave\\Qel_K2Cg.bmp", "Qel_K2C_HPM", kSlow),
    Row(3, "K3C", 2750, 2200, 0.00345, 4, "c:\\Autosave\\Qel_K3C.bmp", "c:\\Autosave\\Qel_K3Cf.bmp",
        "c:\\Autosave\\Qel_K3Cg.bmp", "Qel_K3C_HPM", kSlow),
    Row(4, "K4C", 3388, 2712, 0.00369, 4, "c:\\Autosave\\Qel_K4C.bmp", "c:\\Autosave\\Qel_K4Cf.bmp",
        "c:\\Autosave\\Qel_K4Cg.bmp", "Qel_K4C_HPM", kSlow),
    Row(5, "K5C", 1392, 1040, 0.00645, 8, "c:\\Autosave\\Qel_K5C.bmp", "c:\\Autosave\\Qel_K5Cf.bmp",
        "c:\\Autosave\\Qel_K5Cg.bmp", "Qel_K5C_HPM", kFast),
    K7Row(Row(7, "K7", 1304, 1024, 0.00645, 8, "c:\\Autosave\\Qel_K7.bmp", "c:\\Autosave\\Qel_K7f.bmp",
              "c:\\Autosave\\Qel_K7g.bmp", "Qel_K7C_HPM", kK7Texts)),
};

const CameraModel kBuiltIn = Row(kBuiltInCameraType, "K6", 2048, 2048, 0.0104, 16, "c:\\Autosave\\Qel_K6.bmp",
                                 "c:\\Autosave\\Qel_K6f.bmp", "c:\\Autosave\\Qel_K6g.bmp", "Vesk_HPM", kFast);

}  // namespace

const CameraModel& BuiltInCameraModel() { return kBuiltIn; }

const std::array<CameraModel, 6>& CameraModelTable() { return kTable; }

std::optional<CameraModel> FindCameraModel(int code) {
  for (const auto& row : kTable) {
    if (row.code == code) return row;
  }
  return std::nullopt;
}

std::optional<CameraModel> FindCameraModelByName(std::string_view name) {
  for (const auto& row : kTable) {
    if (row.name == name) return row;
  }
  return std::nullopt;
}

}  // namespace qv
