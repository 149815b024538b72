#include "app/mouse_modes.h"

#include <algorithm>
#include <cstdio>

#include "app/messages.h"
#include "guiding/find_centre.h"
#include "processing/analysis_views.h"
#include "processing/merge_images.h"
#include "processing/photometry.h"
#include "processing/pixel_values.h"

namespace qv {

namespace {

constexpr int kOutsideImage = 2;
constexpr int kCannotPickStar = 33;

bool AnyClickMode(const ProgramState& state) {
  const MouseState& m = state.mouse;
  return AnalysisMouseModeActive(state) || m.starPickMode || m.focusPickMode || m.subFramePickMode;
}

void UpdateMouseOwnership(ProgramState& state) {
  state.display.mouseModeActive = AnalysisMouseModeActive(state);
  state.display.starPickingActive = state.mouse.starPickMode != 0;
}

void ShowPosition(Host& host, int x, int y) {
  char text[64];
  std::snprintf(text, sizeof text, "x position = %5d\ny position = %5d", x, y);
  ShowMessage(host, kCallerTextMessage, text);
}

}  // namespace

ImagePoint ClientToImage(const DisplayState& display, int clientX, int clientY) {
  return {clientX + display.scrollX, clientY + display.scrollY};
}

// Checked in image coordinates, so a scrolled view can never let the box
// round the click reach past the image. The star-pick margin keeps picks off
// the left and top edges only: on the right and at the bottom the pick goes
// on as long as the star box fits.
bool ClickInsideImage(const ProgramState& state, ImagePoint at) {
  const FrameGeometry& g = state.geometry;
  const int margin = state.mouse.starPickMode ? kStarPickMargin : 0;
  const int radius = state.analysis.photometry.open ? state.analysis.photometry.radius : state.mouse.boxRadius;
  const int first = radius + margin;
  return at.x >= first && at.x <= g.widthMinus1 - radius && at.y >= first && at.y <= g.heightMinus1 - radius;
}

bool TogglePickGuideStar(ProgramState& state, Host& host) {
  if (state.display.centreImage || state.display.fitToScreen) {
    ShowMessage(host, kCannotPickStar);
    return false;
  }
  MouseState& m = state.mouse;
  m.starPickMode = !m.starPickMode;
  if (m.starPickMode) {
    m.starBoxActive = 1;
    m.boxRadius = state.settings.guideStarMaskRadius;
    m.pointer = PointerShape::Arrow;
  } else {
    m.pointer = PointerShape::Standard;
  }
  UpdateMouseOwnership(state);
  return true;
}

void StartFocusFramePick(ProgramState& state) {
  state.mouse.focusPickMode = 1;
  state.mouse.starBoxActive = 0;
  state.mouse.pointer = PointerShape::Arrow;
}

void StartSubFramePick(ProgramState& state) {
  state.mouse.subFramePickMode = 1;
  state.mouse.starBoxActive = 0;
  state.mouse.pointer = PointerShape::Arrow;
}

void DefaultFocusFrameCentre(ProgramState& state) {
  const FrameGeometry& g = state.geometry;
  state.mouse.focusOriginX = g.width / 2 - g.focusFrameSizeX;
  state.mouse.focusOriginY = g.height / 2 - g.focusFrameSizeY;
  state.camera.focusCentreX = state.mouse.focusOriginX + g.focusFrameSizeX;
  state.camera.focusCentreY = state.mouse.focusOriginY + g.focusFrameSizeY;
}

void DefaultSubFrameCentre(ProgramState& state) {
  state.camera.subFrameCentreX = state.geometry.width / 2;
  state.camera.subFrameCentreY = state.geometry.height / 2;
}

void SetSubFrameSize(ProgramState& state, int windowMode) {
  CameraState& camera = state.camera;
  camera.focusWindowMode = windowMode;
  if (windowMode == kSubFrameHalf) {
    camera.subFrameWidth = 650;
    camera.subFrameHeight = 515;
  } else if (windowMode == kSubFrameThird) {
    camera.subFrameWidth = 433;
    camera.subFrameHeight = 343;
  } else {
    camera.subFrameWidth = 325;
    camera.subFrameHeight = 258;
  }
}

int SubFrameSizeButton(int windowMode) {
  if (windowMode == kSubFrameHalf) return 210;
  if (windowMode == kSubFrameThird) return 211;
  return 212;
}

bool StartPhotometry(ProgramState& state, Host& host) {
  if (OpenPhotometryView(state, host) != ViewOpening::Opened) return false;
  UpdateMouseOwnership(state);
  return true;
}

PointerShape ShownPointer(const ProgramState& state) {
  return state.analysis.photometry.open ? PointerShape::Cross : state.mouse.pointer;
}

void EndMouseModes(ProgramState& state) {
  MouseState& m = state.mouse;
  ClosePhotometryView(state);
  CloseRowPlot(state);
  state.analysis.values.open = false;
  m.starPickMode = m.focusPickMode = m.subFramePickMode = 0;
  m.starBoxActive = 0;
  m.pointer = PointerShape::Standard;
  state.display.overlays.subFrameShown = false;
  UpdateMouseOwnership(state);
}

void RefineStarCentre(ProgramState& state, Host& host, ImagePoint& at) {
  // Each pass starts from the last centre, so the box converges on the star.
  for (int pass = 0; pass < 3; ++pass) {
    const auto found = FindCentreWithRadius(state, host, at.x, at.y, CentreSource::MainCamera, state.mouse.boxRadius);
    if (!found) break;
    at = {found->x, found->y};
  }
  state.mouse.centroidX = at.x;
  state.mouse.centroidY = at.y;
}

void PickStar(ProgramState& state, Host& host, ImagePoint at) {
  RefineStarCentre(state, host, at);
  MouseState& m = state.mouse;
  state.guiding.guideStar = {m.centroidX, m.centroidY, 0, 0};
  state.guiding.guideStarChosen = true;
  m.focusPickMode = 0;
  DisplayOverlays& overlays = state.display.overlays;
  overlays.starChosen = true;
  overlays.starX = m.centroidX;
  overlays.starY = m.centroidY;
  ShowPosition(host, m.centroidX, m.centroidY);
  host.requestRepaint();
}

void PickFocusFrame(ProgramState& state, Host& host, ImagePoint at) {
  const FrameGeometry& g = state.geometry;
  const int s = g.binned ? 2 : 1;
  const int fw = g.focusFrameSizeX, fh = g.focusFrameSizeY;
  int x = at.x * s - fw - 1;
  if (at.x < fw + 3) x = 3;
  if (at.x > g.width - fw - 1) x = g.width * s - fw - 1;
  int y = at.y * s - fh - 1;
  if (at.y < fh + 1) y = 1;
  if (at.y > g.height - fh - 1) y = g.height * s - fh - 1;
  // The focus box is twice the frame size: keep all of it on the sensor.
  x = std::min(x, g.width * s - 2 * fw);
  y = std::min(y, g.height * s - 2 * fh);
  MouseState& m = state.mouse;
  m.focusOriginX = x;
  m.focusOriginY = y;
  state.camera.focusCentreX = x + fw;
  state.camera.focusCentreY = y + fh;
  m.focusPickMode = 0;
  char text[96];
  std::snprintf(text, sizeof text, "x position = %5d\ny position = %5d\nleft = %5d\ntop = %5d", x + fw, y + fh,
                state.display.scrollX, state.display.scrollY);
  ShowMessage(host, kCallerTextMessage, text);
}

bool PickSubFrame(ProgramState& state, Host& host, ImagePoint at) {
  const FrameGeometry& g = state.geometry;
  CameraState& camera = state.camera;
  const int h = g.binned ? camera.subFrameWidth / 4 : camera.subFrameWidth / 2;
  const int v = g.binned ? camera.subFrameHeight / 4 : camera.subFrameHeight / 2;
  if (at.x - h < 2 || at.y - v < 2 || at.x + h > g.widthMinus1 || at.y + v > g.heightMinus1) return false;
  const int q = g.binned ? 4 : 2;
  int x = std::clamp(at.x, (camera.subFrameWidth + 4) / q, g.width - (camera.subFrameWidth + 2) / q);
  int y = std::clamp(at.y, (camera.subFrameHeight + 2) / q, g.height - (camera.subFrameHeight + 2) / q);
  if (g.binned) {
    x *= 2;
    y *= 2;
  }
  camera.subFrameCentreX = x;
  camera.subFrameCentreY = y;
  state.mouse.subFramePickMode = 0;
  state.mouse.pointer = PointerShape::Standard;
  state.display.overlays.subFrameShown = false;
  ShowPosition(host, x, y);
  host.requestRepaint();
  return true;
}

ClickResult OnLeftClick(ProgramState& state, Host& host, int clientX, int clientY) {
  if (!AnyClickMode(state)) return ClickResult::Ignored;
  MouseState& m = state.mouse;
  ImagePoint at = ClientToImage(state.display, clientX, clientY);
  if (!ClickInsideImage(state, at)) {
    ShowMessage(host, kOutsideImage);
    return ClickResult::Refused;
  }
  const bool photometry = state.analysis.photometry.open;
  if (state.analysis.rowPlot.open) {
    // The click is inside the image, so the row is always one the plot takes.
    static_cast<void>(PickPlotRow(state, at.y));
    host.requestRepaint();
    return ClickResult::Taken;
  }
  if (!photometry && !m.starPickMode && !m.focusPickMode && !m.subFramePickMode) {
    if (state.processing.merge.centre) RefineStarCentre(state, host, at);
    MarkMergePoint(state, at.x, at.y);
    host.requestRepaint();
    return ClickResult::Taken;
  }
  if (m.focusPickMode) {
    PickFocusFrame(state, host, at);
  } else if (!m.subFramePickMode) {
    if (m.starPickMode) {
      PickStar(state, host, at);
    } else if (photometry) {
      if (m.starBoxActive) RefineStarCentre(state, host, at);
      m.starBoxActive = 0;
      // A box past the frame has shown its message and stored nothing.
      static_cast<void>(
          RecordPhotometryClick(state.analysis.photometry, state.images, state.geometry, host, at.x, at.y));
      host.requestRepaint();
    }
  }
  if (m.subFramePickMode && !PickSubFrame(state, host, at)) return ClickResult::Ignored;
  return ClickResult::Taken;
}

ClickResult OnRightClick(ProgramState& state, Host& host, int clientX, int clientY) {
  if (!state.analysis.photometry.open) return ClickResult::Ignored;
  state.mouse.starBoxActive = 1;
  return OnLeftClick(state, host, clientX, clientY);
}

void OnPointerMove(ProgramState& state, Host& host, int clientX, int clientY) {
  ImageStore& images = state.images;
  ResetBufferPointers(images);
  MouseState& m = state.mouse;
  const FrameGeometry& g = state.geometry;
  const ImagePoint at = ClientToImage(state.display, clientX, clientY);
  // A pointer outside the frame is simply not recorded.
  if (state.analysis.values.open)
    static_cast<void>(RecordPixelValuesPointer(state.analysis.values, images, g, at.x, at.y));
  if (state.analysis.photometry.open) {
    static_cast<void>(RecordPhotometryPointer(state.analysis.photometry, images, g, at.x, at.y));
  }
  if (m.subFramePickMode) {
    const int h = g.binned ? state.camera.subFrameWidth / 4 : state.camera.subFrameWidth / 2;
    const int v = g.binned ? state.camera.subFrameHeight / 4 : state.camera.subFrameHeight / 2;
    DisplayOverlays& o = state.display.overlays;
    o.subFrameShown = true;
    o.subFrameLeft = at.x - h;
    o.subFrameTop = at.y - v;
    o.subFrameRight = at.x + h;
    o.subFrameBottom = at.y + v;
    host.requestRepaint();
  }
}

}  // namespace qv
