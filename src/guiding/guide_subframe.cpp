#include "guiding/guide_subframe.h"

#include <cstdio>

#include "app/messages.h"

namespace qv {

namespace {

// One axis: the origin, and the star's place from it. A star exactly at the
// half size still takes the near-edge branch.
void PlaceAxis(int p, int size, int half, int& origin, int& star) {
  if (half < p && p < size - half) {
    origin = p - half;
    star = half;
  } else if (p <= half) {
    origin = 0;
    star = p;
  } else {
    origin = size - 2 * half;
    star = p - origin;
  }
}

}  // namespace

SubFramePlacement PlaceGuideSubFrame(int x, int y, int width, int height, int a, int e, int b) {
  SubFramePlacement s;
  PlaceAxis(x, width, a, s.originX, s.starX);
  PlaceAxis(y, height, e, s.originY, s.starY);
  s.offsetY = (b * s.originY) % 30;
  s.offsetX = (b * s.originX) % 4;
  s.cameraX = b * s.starX + s.offsetX;
  s.cameraY = b * s.starY - s.offsetY;
  return s;
}

SubFramePlacement StartGuideSubFrame(ProgramState& state, Host& host) {
  GuidingState& g = state.guiding;
  const FrameGeometry& geo = state.geometry;
  g.savedGuideStar = g.guideStar;
  const SubFramePlacement s = PlaceGuideSubFrame(g.guideStar.x, g.guideStar.y, geo.width, geo.height,
                                                 geo.focusFrameSizeX, geo.focusFrameSizeY, geo.binned ? 2 : 1);
  g.subFrameOriginX = s.originX;
  g.subFrameOriginY = s.originY;
  g.guideStar.x = s.cameraX;
  g.guideStar.y = s.cameraY;
  char text[160];
  std::snprintf(text, sizeof text,
                "xcent=%5d, ycent = %5d, focus_x = %5d, focus_y = %5d,  xoffset = %5d, yoffset = %5d", s.cameraX,
                s.cameraY, s.originX, s.originY, s.offsetX, s.offsetY);
  host.showMessage({std::string(kMessageCaption), text, MessageIcon::None});
  g.subFrameActive = true;
  return s;
}

void EndGuideSubFrame(ProgramState& state) {
  GuidingState& g = state.guiding;
  if (!g.subFrameActive) return;
  g.guideStar = g.savedGuideStar;
  g.subFrameActive = false;
}

}  // namespace qv
