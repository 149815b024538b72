#pragma once
// What the guiding and telescope side keeps between commands: the star
// positions found, the guide sub-frame, the hand-control commands of the
// telescope link, the AO counters and the stacked-series tracking.

#include <cstdint>
#include <string>

#include "guiding/guider_dialog_state.h"
#include "guiding/guider_exposure_state.h"

namespace qv {

// A star's place in a frame: whole pixels plus tenths (0 to 9).
struct StarPosition {
  int x = 0, y = 0;
  int tenthsX = 0, tenthsY = 0;
  [[nodiscard]] bool operator==(const StarPosition&) const = default;
};

// Alignment of a stacked series: the reference the next frame is measured
// against and the accumulated shift of the profile method.
struct TrackingState {
  bool referenceSet = false;
  StarPosition reference;
  std::uint16_t referencePeak = 0;
  // Profile method.
  bool profileSet = false;
  int referenceLevel = 0;
  int windowBase = 0;
  int offsetX = 0, offsetY = 0;
  std::int64_t rowProfile[100] = {}, columnProfile[100] = {};
};

// What a guider-camera training measured: the drift per second of each mount
// axis across the guider frame, the backlash, and the frame's rotation.
struct GuiderTraining {
  int raX = 0, raY = 0, decX = 0, decY = 0;  // pixels per second
  int raMagnitude = 1, decMagnitude = 1;
  int raBacklashX = 0, raBacklashY = 0, raBacklash = 0;
  int decBacklashX = 0, decBacklashY = 0, decBacklash = 0;
  float theta = 0.0f;  // radians
  int quadrant = 1;    // 1 to 3
  bool trained = false;
  bool useTrained = false;
};

// Guiding asked for the next photo: on the guider camera while the main
// camera exposes, or on the main camera's own frames as they are read.
enum class PhotoGuiding { None, GuiderCamera, MainCamera };

struct GuidingState {
  StarPosition guideStar;  // main camera, set by the pick and by every find centre
  bool guideStarChosen = false;
  StarPosition guiderStar;  // guider camera
  bool guiderStarChosen = false;
  // Main-camera guiding is running: find centre works in the 128 x 128
  // guide frame and keeps its tenths unless small drifts are ignored.
  bool mainGuidingRunning = false;
  // Guiding on the guider camera runs on its own ("external" to the main
  // camera's exposures): a photo cannot ask for guiding of its own meanwhile.
  bool guiderGuidingRunning = false;
  // The camera dialog's requests: guiding for the photo it starts, and the
  // hand-over to the guider camera when it closes.
  PhotoGuiding photoGuiding = PhotoGuiding::None;
  bool goToAutoguider = false;

  // Guide sub-frame on the main camera.
  StarPosition savedGuideStar;
  int subFrameOriginX = 0, subFrameOriginY = 0;
  bool subFrameActive = false;

  // Telescope link.
  bool telescopeInitialised = false;
  std::string slewRateCommand = "#:RS#";
  std::string moveCommand = "#:Mw#";
  std::string focusSpeedCommand = "#:FS#";
  std::string focusDirectionCommand = "#:F+#";
  bool moving = false;
  bool focusing = false;

  // AO unit: the sums of the steps sent, and when the mount was last bumped.
  std::int16_t aoNorthSouth = 0, aoEastWest = 0;
  std::uint32_t lastBumpMs = 0;

  TrackingState tracking;

  // Guiding: the last direction letter sent on each axis (0 before the
  // first), so a reversal takes up the drive's backlash; the last frame's
  // errors in thousandths of a pixel and pulse lengths, for display.
  char lastXDirection = 0, lastYDirection = 0;
  std::int16_t columnError = 0, rowError = 0;
  int lastXPulseMs = 0, lastYPulseMs = 0;
  GuiderTraining guiderTraining;
  GuiderExposure guiderExposure;
  GuiderDark guiderDark;
  GuiderDialogState guiderDialog;
};

}  // namespace qv
