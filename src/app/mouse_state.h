#pragma once
// Which interactive mode owns the mouse on the main window, and the positions
// the modes have picked (image coordinates).

namespace qv {

// The pointer the main window shows over the image.
enum class PointerShape { Standard, Arrow, Cross };

// What the next photometry click measures.
enum class PhotometryTarget { Object, Comparison, Sky };

struct MouseState {
  // Mode flags, 0 or 1.
  int photometryMode = 0;
  int rowPlotMode = 0;
  int starPickMode = 0;
  int focusPickMode = 0;
  int subFramePickMode = 0;
  int valuesMode = 0;
  int starBoxActive = 0;  // a click is first centred on the star under it

  int boxRadius = 4;                 // half size of the star box
  int centroidX = 0, centroidY = 0;  // the last star centre found

  // Star picking.
  int guideStarX = 0, guideStarY = 0;
  int starChosen = 0;

  // Focus frame origin (top left of the focus box on the sensor).
  int focusOriginX = 0, focusOriginY = 0;

  // Photometry clicks, kept for the measurement.
  PhotometryTarget photometryTarget = PhotometryTarget::Object;
  struct Pick {
    int picked = 0;
    int x = 0, y = 0;
  } photometryObject, photometryComparison, photometrySky;

  int plotRow = 0;  // the row of the row plot

  // The pointer position and the values under it (pixel values and
  // photometry dialogs).
  int pointerX = 0, pointerY = 0;
  int pointerValue = 0;
  int pointerPlanes[3] = {0, 0, 0};

  PointerShape pointer = PointerShape::Standard;
};

}  // namespace qv
