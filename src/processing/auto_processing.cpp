#include "processing/auto_processing.h"

#include <algorithm>

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
  if (state.settings.autoRemoveBackground) FillBackgroundTable(state, host, true, false);
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
  // The settings file may hold any number: the user power is kept to the
  // stretch's range, the unsharp radius and power to theirs.
  if (settings.autoUserStretch) AutoStretch(state, host, std::clamp<int>(settings.autoUserStretchLevel, 2, 50));
  if (settings.autoHighPassLowPower) HighPassLowPower(state, host, false);
  if (settings.autoUnsharpMask) {
    // The flag keeps the unsharp command from asking for its parameters; it
    // is cleared again so that the menu command shows its dialog afterwards.
    state.processing.autoProcessingRunning = true;
    UnsharpMask(state, host, std::clamp<int>(settings.unsharpRadius, kUnsharpMinimum, kUnsharpMaximum),
                std::clamp<int>(settings.unsharpPower, kUnsharpMinimum, kUnsharpMaximum), false);
    state.processing.autoProcessingRunning = false;
  }
}

}  // namespace qv
