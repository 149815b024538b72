#include "colour/colour_balance.h"

#include <algorithm>

#include "app/messages.h"
#include "app/settings_file.h"
#include "colour/colour_checks.h"
#include "processing/processing_pass.h"

namespace qv {

namespace {

constexpr int kPeakFirstBin = 1;
constexpr int kPeakLastBin = 126;
constexpr int kBalanceStep = 256;
constexpr std::uint16_t kRaiseBelow = 62'720;

bool Refused(const ProgramState& state, Host& host) { return !ColourFilterAllowed(state, host); }

std::size_t Pixels(const ProgramState& state) {
  return static_cast<std::size_t>(std::max(state.geometry.pixelCount, 0));
}

}  // namespace

void ComputeColourHistograms(ProgramState& state) {
  ImageStore& images = state.images;
  ColourState& colour = state.colour;
  const std::size_t first =
      static_cast<std::size_t>(FirstProcessedRow(images.workImage)) * std::max(state.geometry.width, 0);
  const std::size_t end = Pixels(state);
  for (int p = 0; p < ImageStore::kPlanes; ++p) {
    auto& bins = colour.histograms[p];
    bins.fill(0);
    const std::uint16_t* plane = images.colourPlanes[p];
    for (std::size_t i = first; i < end; ++i) ++bins[plane[i] >> kColourHistogramBinShift];
    colour.peaks[p] = 1;
    for (int j = kPeakFirstBin; j <= kPeakLastBin; ++j) {
      if (bins[j] > kColourPeakCount) {
        colour.peaks[p] = j;
        break;
      }
    }
  }
}

void FillBalanceTable(std::uint16_t* table, int minimum, int maximum) {
  const std::int64_t low = static_cast<std::int64_t>(kBalanceStep) * minimum;
  const std::int64_t high = std::min<std::int64_t>(static_cast<std::int64_t>(kBalanceStep) * maximum, 65'535);
  for (std::int64_t v = 0; v < 65'536; ++v) {
    std::int64_t out;
    if (v < low) {
      out = 0;
    } else if (v < high) {
      out = std::min<std::int64_t>((v - low) * 65'535 / (high - low), 65'535);
    } else {
      out = 65'535;
    }
    table[v] = static_cast<std::uint16_t>(out);
  }
}

void BalancePlane(std::uint16_t* plane, std::size_t count, ColourBalance values, std::uint16_t* table) {
  if (values.start != 0) {
    const int lower = kBalanceStep * values.start;
    for (std::size_t i = 0; i < count; ++i) {
      if (plane[i] == 65'535) continue;
      plane[i] = static_cast<std::uint16_t>(std::clamp(plane[i] - lower, 0, 65'535));
    }
    return;
  }
  if (values.minimum < 0) {
    const int raise = kBalanceStep * -values.minimum;
    for (std::size_t i = 0; i < count; ++i) {
      if (plane[i] < kRaiseBelow) plane[i] = static_cast<std::uint16_t>(plane[i] + raise);
    }
    values.minimum = 0;
  }
  FillBalanceTable(table, values.minimum, values.maximum);
  for (std::size_t i = 0; i < count; ++i) plane[i] = table[plane[i]];
}

bool BalanceIsDefault(const std::array<ColourBalance, 3>& values) {
  return std::all_of(values.begin(), values.end(), [](const ColourBalance& v) { return v == ColourBalance{}; });
}

bool BalanceValid(const ColourBalance& v) {
  return v.minimum >= -10 && v.maximum <= 255 && v.minimum < v.maximum && v.start >= -10 && v.start <= 100;
}

bool ApplyColourBalance(ProgramState& state, Host& host, const std::array<ColourBalance, 3>& values, int saturation) {
  if (Refused(state, host)) return false;
  const bool saturationChanged = saturation != state.settings.colourBalanceLevel;
  state.colour.balance = values;
  if (BalanceIsDefault(values) && !saturationChanged) return true;
  if (saturationChanged) {
    state.settings.colourBalanceLevel = static_cast<std::int16_t>(saturation);
    if (SaveSettings(state.settings, state.paths) != SettingsStatus::Ok) ShowMessage(host, 24);
  }
  RunProcessingPass(state, host, {.progressCaption = "COLOUR BALANCE IN PROGRESS", .undo = PassUndo::ColourPlanes},
                    [&] {
                      static constexpr int kOrder[] = {ImageStore::kBlue, ImageStore::kRed, ImageStore::kGreen};
                      static constexpr int kProgress[] = {0, 80, 160};
                      for (int k = 0; k < 3; ++k) {
                        host.setProgress(kProgress[k]);
                        BalancePlane(state.images.colourPlanes[kOrder[k]], Pixels(state), values[kOrder[k]],
                                     state.images.buffers.stretchTable.data());
                      }
                    });
  return true;
}

HistogramShifts HistogramBalanceShifts(const std::array<int, 3>& peaks) {
  const int largest = *std::max_element(peaks.begin(), peaks.end());
  HistogramShifts s;
  for (int p = 0; p < 3; ++p) {
    // Truncated to 16 bits, as the stored shift is.
    s.shift[p] = static_cast<std::uint16_t>(static_cast<int>((largest - peaks[p]) * 307.2));
  }
  const int r = s.shift[ImageStore::kRed], g = s.shift[ImageStore::kGreen], b = s.shift[ImageStore::kBlue];
  if (r > g && r > b) {
    s.changedPlane = ImageStore::kRed;
  } else if (g > r && g > b) {
    s.changedPlane = ImageStore::kGreen;
  } else {
    s.changedPlane = ImageStore::kBlue;
  }
  return s;
}

bool BalanceColourHistogram(ProgramState& state, Host& host) {
  if (Refused(state, host)) return false;
  RunProcessingPass(state, host, {.undo = PassUndo::ColourPlanes}, [&] {
    ComputeColourHistograms(state);
    const HistogramShifts s = HistogramBalanceShifts(state.colour.peaks);
    const int shift = s.shift[s.changedPlane];
    if (shift == 0) return;
    std::uint16_t* plane = state.images.colourPlanes[s.changedPlane];
    const std::size_t count = Pixels(state);
    for (std::size_t i = 0; i < count; ++i) {
      if (plane[i] < 65'535 - shift) plane[i] = static_cast<std::uint16_t>(plane[i] + shift);
    }
  });
  return true;
}

}  // namespace qv
