#pragma once
// Which picking mode owns the mouse on the main window, and the positions the
// modes have picked (image coordinates). The photometry, row plot and pixel
// values modes are the analysis views' own (processing/analysis_state.h).

namespace qv {

// The pointer the main window shows over the image.
enum class PointerShape { Standard, Arrow, Cross };

struct MouseState {
  // Mode flags, 0 or 1.
  int starPickMode = 0;
  int focusPickMode = 0;
  int subFramePickMode = 0;
  int starBoxActive = 0;  // a click is first centred on the star under it

  int boxRadius = 4;                 // half size of the star box
  int centroidX = 0, centroidY = 0;  // the last star centre found

  // Focus frame origin (top left of the focus box on the sensor).
  int focusOriginX = 0, focusOriginY = 0;

  PointerShape pointer = PointerShape::Standard;
};

}  // namespace qv
