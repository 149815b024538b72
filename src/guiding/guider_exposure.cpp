#include "guiding/guider_exposure.h"

#include <algorithm>
#include <cstdio>

#include "app/image_store.h"
#include "camera/camera_commands.h"
#include "guiding/guider_median.h"

namespace qv {

namespace {
constexpr std::size_t kGuiderPixels = static_cast<std::size_t>(ImageStore::kGuideColumns) * ImageStore::kGuideRows;
}

std::optional<int> GuiderExposureMaximum(char unit) {
  switch (unit) {
    case 'h':
      return 500;
    case 't':
      return 100;
    case 's':
      return 10;
    default:
      return std::nullopt;
  }
}

std::uint32_t GuiderExposureMs(const GuiderExposure& e) {
  const std::uint32_t scale = e.unit == 'h' ? 10 : e.unit == 't' ? 100 : 1000;
  return static_cast<std::uint32_t>(std::max(e.value, 0)) * scale;
}

std::string GuiderDarkText(const GuiderDark& dark) {
  if (!dark.taken) return "No darkframe has been taken";
  const char* unit = dark.exposure.unit == 'h' ? " hundredth " : dark.exposure.unit == 't' ? " tenth " : " second ";
  char text[80];
  std::snprintf(text, sizeof text, "%2d%s%s", dark.exposure.value, unit,
                dark.apply ? "darkframe being used" : "darkframe available");
  return text;
}

bool TakeGuiderFrame(ProgramState& state, Host& host, Clock& clock, const GuiderExposure& exposure,
                     const GuiderDark& dark) {
  const std::uint32_t ms = GuiderExposureMs(exposure);
  bool ok = FlushGuider(state, host);
  clock.sleepMs(ms);
  ok = ReadGuiderFrame(state, host, ms) && ok;
  if (ok) FinishGuiderFrame(state, dark);
  return ok;
}

void ApplyGuiderDark(ProgramState& state, const GuiderDark& dark) {
  if (!dark.taken || !dark.apply || dark.pixels.size() != kGuiderPixels) return;
  std::uint16_t* p = state.images.guideImage;
  for (std::size_t i = 0; i < kGuiderPixels; ++i) p[i] = p[i] > dark.pixels[i] ? p[i] - dark.pixels[i] : 0;
}

void FinishGuiderFrame(ProgramState& state, const GuiderDark& dark) {
  ApplyGuiderDark(state, dark);
  if (state.guiding.guiderDialog.image.medianFilter) {
    GuiderMedianFilter(state.images.guideImage, state.images.guideImageAux, GuiderColumns(state.settings),
                       ImageStore::kGuideRows);
  }
}

bool TakeGuiderDark(ProgramState& state, Host& host, Clock& clock, const GuiderExposure& exposure, GuiderDark& dark) {
  if (!TakeGuiderFrame(state, host, clock, exposure, GuiderDark{})) return false;
  dark.pixels.assign(state.images.guideImage, state.images.guideImage + kGuiderPixels);
  dark.taken = true;
  dark.exposure = exposure;
  return true;
}

}  // namespace qv
