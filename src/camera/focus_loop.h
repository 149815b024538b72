#pragma once
// The focus loop: repeated short exposures of the 128 x 128 guide box, each
// reporting the brightest pixel and the width of the star at half its height
// above the sky, until the user presses the left button.

#include <cstdint>
#include <functional>

#include "app/clock.h"
#include "app/host.h"
#include "app/operation.h"
#include "app/program_state.h"

namespace qv {

// The box is analysed over rows 12..125 and columns 5..125; the width is
// measured on the peak's row over columns 3..125.
struct FocusAnalysis {
  int background = 0;  // fullest bin of value / 256 (lowest bin on a tie)
  std::uint16_t peak = 0;
  int peakX = 0, peakY = 0;
  std::uint16_t level = 0;  // half way from the sky to the peak
  int left = 0, right = 0;  // outermost columns above the level
  int fwhm = 0;
};

// `previousLeft`/`previousRight` stay when no column of the row is above the
// level.
FocusAnalysis AnalyseFocusBox(const std::uint16_t* box, int previousLeft = 0, int previousRight = 0);

// Autochange: below 32000 the exposure doubles, from 64001 it halves; kept
// within 1 ms .. 90 minutes.
std::uint32_t AutochangeExposureMs(std::uint32_t exposureMs, std::uint16_t peak);

// The loop runs only for exposures below 100 units and not in minutes.
[[nodiscard]] bool FocusLoopAllowed(const ExposureSettings& s);

class FocusOperation final : public Operation {
 public:
  // Called after each focus frame with its analysis.
  using FrameDone = std::function<void(const FocusAnalysis&)>;
  FocusOperation(ProgramState& state, Host& host, FrameDone frameDone = {});

  WakeTime start(std::uint32_t nowMs) override;
  WakeTime step(std::uint32_t nowMs) override;
  void cancel() override;
  void input(OperationInput event) override;

 private:
  WakeTime expose(std::uint32_t nowMs);
  WakeTime holdClear(std::uint32_t nowMs);
  WakeTime readBox(std::uint32_t nowMs);
  WakeTime finish();
  WakeTime cancelExposure();

  ProgramState& state_;
  Host& host_;
  FrameDone frameDone_;
  enum class Phase { Exposing, Between, Done } phase_ = Phase::Done;
  std::uint32_t exposureMs_ = 0;
  std::uint32_t exposureEndMs_ = 0;
  bool stopPressed_ = false;
  int left_ = 0, right_ = 0;
};

}  // namespace qv
