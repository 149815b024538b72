#pragma once
// What the main window shows and how: the display options, the black level,
// the shown bitmap's bytes and the overlays other parts of the program set.
// Plain data; the operations are in display_rebuild.h and display_commands.h.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qv {

struct DisplayOverlays {
  // Star picking: a star has been chosen (drawn as a 40-pixel cross).
  bool starChosen = false;
  int starX = 0, starY = 0;
  // Guide star position while the guide view is shown (30-pixel cross).
  int guideStarX = 0, guideStarY = 0;
  // Sub-frame rectangle while it is shown, in image coordinates.
  bool subFrameShown = false;
  int subFrameLeft = 0, subFrameTop = 0, subFrameRight = 0, subFrameBottom = 0;
};

struct DisplayState {
  static constexpr double kDefaultStretchPower = 25.0;
  static constexpr double kMinStretchPower = 2.0;
  static constexpr double kMaxStretchPower = 50.0;

  int blackLevel = 0;
  bool stretchDisplay = false;
  double stretchPower = kDefaultStretchPower;
  int focusStretchPower = 10;
  char channelView = 'N';  // N full colour, L luminance, R, G, B one channel
  bool rebuildPending = false;
  bool fitToScreen = false;
  bool centreImage = false;  // never set together with fitToScreen
  int fitWidth = 0, fitHeight = 0;
  int scrollX = 0, scrollY = 0;

  // Set while a mouse mode (photometry, merge marking, row plot) or star
  // picking owns the mouse; fit and centre are refused then.
  bool mouseModeActive = false;
  bool starPickingActive = false;
  // The guide-box read-out shows the 128 x 128 small frame like the focus
  // preview and the guide view do.
  bool guideBoxReadout = false;

  std::string caption = "Qel_Vesk_USB - (Untitled)";

  // The shown bitmap: the complete file image (header, palette, rows) of the
  // last temporary bitmap written successfully. Empty before the first rebuild.
  std::vector<std::uint8_t> bitmap;
  int displayWidth = 0, displayHeight = 0;
  bool bitmapIsColour = false;
  std::string bitmapPath;  // the file it was written to

  DisplayOverlays overlays;

  // Called after a focus frame has been written while the focus preview is
  // on; the camera dialog adjusts its focus exposure here.
  std::function<void()> focusFrameWritten;

  [[nodiscard]] bool hasBitmap() const { return !bitmap.empty(); }
};

}  // namespace qv
