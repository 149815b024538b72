#include "camera/client_exposure.h"

#include <algorithm>

#include "camera/camera_commands.h"
#include "camera/exposure_settings.h"
#include "camera/set_camera_type.h"
#include "files/fits_file.h"

namespace qv {

std::vector<int> BinningFactors(const CameraModel& model) {
  std::vector<int> factors{1};
  for (int b = kBinned2x2; b <= kBinned4x4 && b <= model.maxBinning; ++b) factors.push_back(b);
  return factors;
}

std::optional<ReadoutPlan> PlanReadout(const CameraModel& model, const FrameRequest& r, std::string& why) {
  const int w = model.sensorWidth, h = model.sensorHeight;
  const std::string sensor = std::to_string(w) + " x " + std::to_string(h);
  const std::string frame = std::to_string(r.width) + " x " + std::to_string(r.height) + " at " + std::to_string(r.x) +
                            "," + std::to_string(r.y);
  if (r.x < 0 || r.y < 0 || r.width < 1 || r.height < 1 || r.x > w - r.width || r.y > h - r.height) {
    why = "the frame " + frame + " is not on the " + sensor + " sensor";
    return std::nullopt;
  }
  bool binningKnown = false;
  for (int b : BinningFactors(model)) binningKnown = binningKnown || b == r.binning;
  if (!binningKnown) {
    why = "the camera bins 1x1 to " + std::to_string(BinningFactors(model).back()) + "x" +
          std::to_string(BinningFactors(model).back()) + ", not " + std::to_string(r.binning);
    return std::nullopt;
  }
  if (r.x == 0 && r.y == 0 && r.width == w && r.height == h) {
    return ReadoutPlan{r.binning == 1 ? kFullResolution : r.binning, 0, 0};
  }
  // The user sub-frame: the half-size window, centred where the request lies.
  const int halfW = w / 2, halfH = h / 2;
  if (r.width == halfW && r.height == halfH) {
    if (r.binning != 1) {
      why = "a sub-frame is read unbinned";
      return std::nullopt;
    }
    // The frame's colour cells, and so the pattern its FITS image names, are
    // the sensor's only where the window starts on an even column and row.
    if (r.x % 2 != 0 || r.y % 2 != 0) {
      why = "a sub-frame starts on an even column and row, where the colour cells start, not at " +
            std::to_string(r.x) + "," + std::to_string(r.y);
      return std::nullopt;
    }
    return ReadoutPlan{kUserSubFrame, r.x + halfW / 2, r.y + halfH / 2};
  }
  why = "the camera reads the whole " + sensor + " sensor or a " + std::to_string(halfW) + " x " +
        std::to_string(halfH) + " window, not " + frame;
  return std::nullopt;
}

std::uint32_t PrepareSingleFrame(ProgramState& state, const ReadoutPlan& plan, std::uint32_t exposureMs) {
  CameraState& camera = state.camera;
  ExposureSettings& s = camera.exposure;
  // The finest range that reaches the exposure, to its nearest unit, so a
  // client's time is kept as closely as the ranges allow.
  s.range = 'm';
  for (char range : {'q', 'h', 't', 's', 'm'}) {
    if (exposureMs <= RangeUnitMs(range) * static_cast<std::uint32_t>(RangeMaximum(range))) {
      s.range = range;
      break;
    }
  }
  const std::uint32_t unit = RangeUnitMs(s.range);
  s.maximum = RangeMaximum(s.range);
  s.value = static_cast<int>(std::clamp<std::uint32_t>((exposureMs + unit / 2) / unit, 1, s.maximum));
  s.count = 1;
  s.average = s.continuous = s.countdown = false;
  s.autosave = s.autoDark = s.autoFlat = s.autoProcess = false;
  s.pause = 0;
  s.readoutMode = plan.mode;
  if (plan.mode == kUserSubFrame) {
    camera.focusWindowMode = kWindowedFocusMode;
    camera.subFrameCentreX = plan.centreX;
    camera.subFrameCentreY = plan.centreY;
  }
  return ExposureMs(s);
}

void FinishedFrameAsFits(ProgramState& state, std::uint32_t exposureMs, FrameKind kind,
                         std::vector<std::uint8_t>& out) {
  // The read-out recorded how the frame was read and when it began.
  FitsHeaderInfo& info = state.settings.fits;
  info.exposureSeconds = exposureMs * 0.001;
  info.eightBit = 0;
  state.files.frameKind = kind;
  ComposeFitsImage(state, state.images.workImage, out);
}

}  // namespace qv
