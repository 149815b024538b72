#pragma once
// Where a star lies, to a tenth of a pixel: a box round an approximate
// position, its background from the fullest histogram bin, and the centroid
// of what stands above the box's mean.

#include <cstdint>
#include <optional>

#include "app/host.h"
#include "app/program_state.h"
#include "guiding/guiding_state.h"

namespace qv {

inline constexpr int kGuideFrameSize = 128;  // the main camera's guide frame while guiding
inline constexpr int kFaintPeak = 17000;     // peaks below this are amplified four times

// A frame to measure in: `stride` pixels from one row to the next.
struct FrameView {
  const std::uint16_t* pixels = nullptr;
  int width = 0, height = 0, stride = 0;
};

// The centroid within the box, before it is placed in the frame.
struct BoxCentroid {
  double cx = 0, cy = 0;  // from the box's top-left pixel
  int left = 0, top = 0;  // the box's top-left pixel in the frame
  int background = 0;
};

// Measures the box of radius `radius` round (x, y); nothing when the box
// leaves the frame. Reads only the box.
std::optional<BoxCentroid> MeasureCentroid(const FrameView& frame, int x, int y, int radius);

// Background level of a histogram bin: bin x 16.64 in single precision, truncated.
int HistogramBackground(int bin);

// The centroid as a whole pixel and tenths, or rounded to the nearest pixel
// with tenths 0.
StarPosition WithTenths(const BoxCentroid& c);
StarPosition Rounded(const BoxCentroid& c);

enum class CentreSource { MainCamera, GuiderCamera };

// Finds the star near (x, y) in the main image (the 128 x 128 guide frame
// while main-camera guiding runs or the guide sub-frame is read, else the
// current frame) or in the guider frame (as wide as its sensor reads), with
// the star radius of the settings. On success the guide star (main camera)
// or the guider star position is updated and returned; on failure the
// message box is shown and nothing changes. Callers repeat it from the last result to converge.
std::optional<StarPosition> FindCentre(ProgramState& state, Host& host, int x, int y, CentreSource source);
// The same with a box radius of the caller's (the mouse modes' star box).
std::optional<StarPosition> FindCentreWithRadius(ProgramState& state, Host& host, int x, int y, CentreSource source,
                                                 int radius);

}  // namespace qv
