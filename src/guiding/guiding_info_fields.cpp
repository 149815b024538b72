#include "guiding/guiding_info_fields.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace qv {

namespace {

std::string OneDecimal(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%1.1f", value);
  return text;
}

std::string WithTenths(int whole, int tenths) { return OneDecimal(whole + tenths * 0.1); }

// The main dialog shows the errors on its own scale.
constexpr double kMainErrorScale = 0.05263157894736842;

}  // namespace

std::optional<PlotPoint> DriftMarker(int columnError, int rowError) {
  if (std::abs(columnError) >= kMarkerLimit || std::abs(rowError) >= kMarkerLimit) return std::nullopt;
  return PlotPoint{kPlotCentre.x + columnError / 100, kPlotCentre.y - rowError / 100};
}

std::vector<int> PlotTickOffsets() {
  std::vector<int> ticks;
  for (int d = kPlotTickStep; d < kPlotAxisReach; d += kPlotTickStep) {
    ticks.push_back(-d);
    ticks.push_back(d);
  }
  return ticks;
}

StarPosition ReferenceOf(const GuideFrameRecord& frame) {
  // drift = reference - star, in thousandths; places in tenths.
  const int x = frame.star.x * 10 + frame.star.tenthsX + frame.decision.error.column / 100;
  const int y = frame.star.y * 10 + frame.star.tenthsY + frame.decision.error.row / 100;
  const auto whole = [](int tenths) { return tenths >= 0 ? tenths / 10 : (tenths - 9) / 10; };
  return {whole(x), whole(y), x - whole(x) * 10, y - whole(y) * 10};
}

std::string GuiderGuidingStage(bool referenceTaken, std::size_t framesCorrected) {
  if (!referenceTaken) return "Guiding Info - Creating Guiding Frame";
  if (framesCorrected < 2) return "Guiding Info - stabilising";
  return "Guiding Info";
}

std::string RmsText(const std::vector<GuideFrameRecord>& frames) {
  if (frames.empty()) return "RMS -";
  char text[64];
  std::snprintf(text, sizeof text, "RMS %.2f px (last %zu frames)", RmsOfLastFrames(frames, kRmsFrames),
                std::min(frames.size(), kRmsFrames));
  return text;
}

std::vector<std::pair<int, std::string>> GuiderGuidingFields(const ProgramState& state,
                                                             const std::vector<GuideFrameRecord>& frames,
                                                             std::uint32_t nowMs) {
  const GuidingState& g = state.guiding;
  int xSlew = g.lastXPulseMs, ySlew = g.lastYPulseMs;
  if (!frames.empty() && frames.back().ao) {
    xSlew = frames.back().aoDecision.columnSteps;
    ySlew = frames.back().aoDecision.rowSteps;
  }
  const char bump = g.guiderDialog.lastBumpLetter;
  const bool bumpShown = bump != 0 && nowMs - g.lastBumpMs < kBumpShownMs;
  return {
      {918, WithTenths(g.guiderStar.x, g.guiderStar.tenthsX)},
      {919, WithTenths(g.guiderStar.y, g.guiderStar.tenthsY)},
      {920, OneDecimal(g.columnError * 0.001)},
      {921, OneDecimal(g.rowError * 0.001)},
      {922, std::to_string(xSlew)},
      {923, std::to_string(ySlew)},
      {925, std::to_string(g.aoEastWest)},
      {926, std::to_string(g.aoNorthSouth)},
      {927, bumpShown ? std::string(1, bump) : std::string()},
  };
}

std::vector<std::pair<int, std::string>> MainGuidingFields(const ProgramState& state) {
  const GuidingState& g = state.guiding;
  return {
      {101, WithTenths(g.guideStar.x, g.guideStar.tenthsX)},
      {102, WithTenths(g.guideStar.y, g.guideStar.tenthsY)},
      {103, OneDecimal(g.columnError * kMainErrorScale)},
      {104, OneDecimal(g.rowError * kMainErrorScale)},
  };
}

}  // namespace qv
