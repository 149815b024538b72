#pragma once
// Exposures asked for by another program (the INDI driver): which read-out
// a requested frame and binning map to, the one-frame run set up for it, and
// the finished frame as the program's FITS image in memory.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/clock.h"
#include "app/program_state.h"
#include "camera/camera_models.h"

namespace qv {

// A frame in unbinned sensor pixels, with its binning factor.
struct FrameRequest {
  int x = 0, y = 0, width = 0, height = 0;
  int binning = 1;
};

// The read-out that yields a request: a mode of the exposure buttons and,
// for the user sub-frame, where its window is centred.
struct ReadoutPlan {
  int mode = 1;
  int centreX = 0, centreY = 0;
};

// The windows the camera reads are the whole sensor (binned 1 to the model's
// largest factor) and the half-size window, unbinned, anywhere on the sensor
// from an even column and row.
// Anything else is refused with the reason in `why`.
std::optional<ReadoutPlan> PlanReadout(const CameraModel& model, const FrameRequest& request, std::string& why);

// The binning factors the read-out modes give for this model, smallest first.
std::vector<int> BinningFactors(const CameraModel& model);

// Sets up the camera for one plain frame of `exposureMs` (in the finest
// exposure range that reaches it, to that range's nearest unit) read as `plan` says: no countdown, series,
// continuous run, automatic dark, flat, processing or autosave. Returns the
// exposure the camera will take, in milliseconds.
std::uint32_t PrepareSingleFrame(ProgramState& state, const ReadoutPlan& plan, std::uint32_t exposureMs);

// The finished frame as a FITS image in `out`: the header records the
// exposure, the observation time (start of the exposure, UT), how the frame
// was read and the kind of frame; the pixels are converted once into `out`.
void FinishedFrameAsFits(ProgramState& state, std::uint32_t exposureMs, FrameKind kind, std::vector<std::uint8_t>& out);

}  // namespace qv
