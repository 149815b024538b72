#pragma once
// Values the processing commands share for the whole run: the parameters the
// stretch and filter dialogs work on, the display black level the background
// removal reads, and the flag that tells the unsharp mask it runs unattended.

#include <cstdint>

namespace qv {

struct ProcessingState {
  // Shared dialog parameters. Normal stretch: black and white level.
  // Non-linear stretches: power in highParam. Unsharp mask: radius and power.
  // Median filter: radius and ten times the power.
  std::uint16_t lowParam = 0;
  std::uint16_t highParam = 255;
  double powerLawExponent = 1.0;

  // Set while the automatic processing runs the unsharp mask: its radius and
  // power then come from the settings and no dialog is shown.
  bool autoProcessingRunning = false;
};

}  // namespace qv
