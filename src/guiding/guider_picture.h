#pragma once
// How a guider frame is shown: its background and top levels from a
// histogram of the pixels' high bytes, the grey bytes between them (the
// stretch narrows the span above the background so faint stars show), and
// the guider's temporary bitmap file written from those bytes.

#include <cstddef>
#include <cstdint>

#include "app/host.h"
#include "app/program_state.h"
#include "guiding/guider_dialog_state.h"

namespace qv {

// In high-byte units (pixel / 256).
struct GuiderLevels {
  int background = 0;  // the fullest bin of 1 to 255
  int top = 255;       // the highest bin holding at least 6 pixels
  int peak = 65535;    // the brightest pixel, in full units
};
GuiderLevels MeasureGuiderLevels(const std::uint16_t* pixels, std::size_t count);

// One grey byte a pixel, 0 at the background. Unstretched, the square root
// of the height above the background up to the brightest pixel (255), so
// stars show and the sky stays dark; stretched, linear up to the background
// plus the span to the top level divided by the stretch value, which brings
// up the faintest stars (and the sky's noise).
void RenderGuiderBytes(const std::uint16_t* pixels, std::size_t count, const GuiderLevels& levels,
                       const GuiderImageOptions& options, std::uint8_t* out);

// Renders the guider frame into the dialog's picture and writes the guider
// bitmap file; a failed write shows its message (8, 9 or 10) and gives false.
[[nodiscard]] bool RenderGuiderFrame(ProgramState& state, Host& host);

}  // namespace qv
