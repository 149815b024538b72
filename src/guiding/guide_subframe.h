#pragma once
// The 128 x 128 guide sub-frame the main camera reads while it guides: where
// it sits on the full frame and where the guide star lies inside it.

#include "app/host.h"
#include "app/program_state.h"

namespace qv {

struct SubFramePlacement {
  int originX = 0, originY = 0;  // full-frame pixels
  int starX = 0, starY = 0;      // the star inside the sub-frame
  int offsetX = 0, offsetY = 0;  // the camera's read-out granularity: 4 columns, 30 rows
  int cameraX = 0, cameraY = 0;  // the star in camera pixels
};

// Star at (x, y) on a width x height frame, sub-frame half sizes a and e,
// binning factor b (2 binned, else 1).
SubFramePlacement PlaceGuideSubFrame(int x, int y, int width, int height, int a, int e, int b);

// Places the sub-frame round the guide star: saves the guide star (put back by
// EndGuideSubFrame), moves it into the sub-frame, shows the placement and
// marks the main camera as reading only the sub-frame.
SubFramePlacement StartGuideSubFrame(ProgramState& state, Host& host);
void EndGuideSubFrame(ProgramState& state);

}  // namespace qv
