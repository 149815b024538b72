#pragma once
// "&Label": a line of text, centred in 64 character cells and optionally
// followed by a UT date stamp, drawn into the top 10 rows of the work image,
// which then carries the label band the processing commands leave alone.

#include <ctime>
#include <string>
#include <string_view>

#include "app/host.h"
#include "app/program_state.h"

namespace qv {

inline constexpr std::size_t kLabelMaximumLength = 30;
inline constexpr int kLabelCells = 64;
inline constexpr int kLabelDateCells = 24;         // what the centring allows for the date stamp
inline constexpr int kLabelClearedPixels = 6'600;  // zeroed before drawing
inline constexpr std::uint16_t kLabelMarker = 17;  // in pixels 0 to 5 of row 0

// The line drawn: leading spaces, the text cut to 30 characters, and with
// `withDate` the stamp "  hh:mm:ss UT dd-mm-yyyy " of `utc`.
std::string LabelLine(std::string_view text, bool withDate, const std::tm& utc);

// Draws `line` into the work image as described above.
void DrawLabel(ProgramState& state, std::string_view line);

// The command: the line of `text` (with the date of `now` in UT when asked)
// drawn, then the display rebuilt.
void LabelImage(ProgramState& state, Host& host, std::string_view text, bool withDate, std::time_t now);

}  // namespace qv
