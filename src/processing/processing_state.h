#pragma once
// Values the processing commands share for the whole run: the parameters the
// stretch and filter dialogs work on, the flag that tells the unsharp mask it
// runs unattended, and which build of the row loops runs.

#include <cstdint>

namespace qv {

// Which build of the whole-image row loops runs: the fastest the processor
// can run, or the plain one (so tests check it on any machine).
enum class RowLoops { Fastest, Plain };

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

  RowLoops rowLoops = RowLoops::Fastest;
};

}  // namespace qv
