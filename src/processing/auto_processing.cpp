#include "processing/auto_processing.h"

#include <algorithm>

#include "app/auto_processing_limits.h"
#include "processing/kernel_filters.h"
#include "processing/stretch_commands.h"
#include "processing/unsharp_mask.h"

namespace qv {

namespace {

constexpr int kWeakPower = 2;
constexpr int kStrongPower = 18;

void AutoStretch(ProgramState& state, Host& host, int power) {
  ResetBufferPointers(state.images);
  SampleBlackLevel(state);
  // A black level below 3 leaves the background as it is; the stretch still runs.
  if (state.settings.autoRemoveBackground) static_cast<void>(FillBackgroundTable(state, host, true, false));
  NonLinearStretch(state, host, power, false);
}

}  // namespace

void SampleBlackLevel(ProgramState& state) {
  ImageStore& images = state.images;
  auto& histogram = images.displayHistogram;
  std::fill(histogram.begin(), histogram.end(), 0u);
  const bool binned = state.geometry.binned != 0;
  const int first = binned ? 69'500 : 139'000;
  const int end = std::min(binned ? 208'500 : 417'000, std::max(state.geometry.pixelCount, 0));
  for (int i = first; i < end; ++i) ++histogram[images.workImage[i] >> 8];
  int level = 0;
  for (int bin = 1; bin < 256; ++bin) {
    if (histogram[bin] > histogram[level]) level = bin;
  }
  state.display.blackLevel = level;
}

void RunAutoProcessing(ProgramState& state, Host& host) {
  const ProgramSettings& settings = state.settings;
  if (settings.autoWeakStretch) AutoStretch(state, host, kWeakPower);
  if (settings.autoStrongStretch) AutoStretch(state, host, kStrongPower);
  if (settings.autoUserStretch) {
    AutoStretch(state, host, AppliedAutoNumber(settings.autoUserStretchLevel, kAutoUserPowerLimits));
  }
  if (settings.autoHighPassLowPower) HighPassLowPower(state, host, false);
  if (settings.autoUnsharpMask) {
    // The flag keeps the unsharp command from asking for its parameters; it
    // is cleared again so that the menu command shows its dialog afterwards.
    state.processing.autoProcessingRunning = true;
    AutoUnsharpMask(state, host);
    state.processing.autoProcessingRunning = false;
  }
}

void AutoUnsharpMask(ProgramState& state, Host& host) {
  UnsharpMask(state, host, AppliedAutoNumber(state.settings.unsharpRadius, kAutoUnsharpRadiusLimits),
              AppliedAutoNumber(state.settings.unsharpPower, kAutoUnsharpPowerLimits), false);
}

}  // namespace qv
