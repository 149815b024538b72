#pragma once
// The checks every colour command makes before it changes anything.

#include "app/host.h"
#include "app/program_state.h"

namespace qv {

inline constexpr const char* kColourFrameSizeRefusal =
    "Sorry, colour planes of another size than the frame cannot be used here";

// Whether the colour planes have the frame's size: the colour cell modes that
// give planes of a third or a half of the frame have no conversion here.
[[nodiscard]] inline bool ColourPlanesFitFrame(const FrameGeometry& g) {
  return g.colourWidth == g.width && g.colourHeight == g.height && g.width >= 2 && g.height >= 2;
}

// A colour filter may run: the image is colour converted ("Image Not Colour
// Converted" otherwise) and its planes have the frame's size. Shows the
// refusal and returns false otherwise.
[[nodiscard]] bool ColourFilterAllowed(const ProgramState& state, Host& host);

// The synthesis or a mono extraction may run: the image is not converted
// yet ("Already Colour Converted" otherwise) and the frame has colour cells
// of the plain layout.
[[nodiscard]] bool RawColourAllowed(const ProgramState& state, Host& host);

}  // namespace qv
