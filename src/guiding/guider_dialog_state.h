#pragma once
// What the guider camera dialog keeps for the run beside the settings: the
// way guider frames are treated and shown, star selection, the request the
// dialog closes with, and whether guider guiding runs.

#include <cstdint>
#include <vector>

namespace qv {

inline constexpr int kGuiderStretchMin = 1;
inline constexpr int kGuiderStretchMax = 20;

struct GuiderImageOptions {
  bool medianFilter = false;        // "Apply Median Filter to all Images"
  bool stretch = false;             // "Apply Stretch to Guider Images"
  int stretchValue = 1;             // 1 to 20
  bool pauseBetweenFrames = false;  // "1 Sec Pause"
};

// What closing the guider dialog hands over to.
enum class GuiderDialogExit { None, MainCamera, StartGuiding };

struct GuiderDialogState {
  GuiderImageOptions image;
  bool selectingStar = false;  // the next click on the frame picks the star
  // The last guider frame as grey display bytes, top row first.
  std::vector<std::uint8_t> picture;
  int pictureWidth = 0;
  GuiderDialogExit exit = GuiderDialogExit::None;
  // AO training: whether one succeeded in this run, and which label shows.
  bool aoTrained = false;
  bool aoUseTrained = false;
  // The last mount bump of the AO unit, for the guiding dialog.
  char lastBumpLetter = 0;
};

}  // namespace qv
