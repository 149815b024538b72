#pragma once
// The display rebuild: the current image turned into display bytes, the
// temporary bitmap file written, and that file image made the shown bitmap.

#include <array>
#include <cstdint>
#include <string>

#include "app/display_bitmap.h"
#include "app/host.h"
#include "app/program_state.h"

namespace qv {

inline constexpr std::string_view kApplicationTitle = "Qel_Vesk_USB";
inline constexpr std::string_view kColourBuildCaption = "BUILDING COLOUR IMAGE";
inline constexpr int kColourBuildSteps = 10;

// "Qel_Vesk_USB - " and the image name, or "(Untitled)" when there is none.
std::string DisplayCaption(const std::string& imageName);

// True while the 128 x 128 small frame is shown instead of the whole frame.
[[nodiscard]] bool SmallFrameViewInForce(const ProgramState& state);

// The temporary bitmap the next rebuild writes and shows.
std::string DisplayBitmapPath(const ProgramState& state);

// Rebuilds the display from WorkImage (and the colour planes of a colour
// image). On a write failure the message is shown and the previous bitmap
// stays. Either way the last step measures the paint black level.
BitmapWriteResult RebuildDisplay(ProgramState& state, Host& host);

// The same without converting WorkImage to display bytes again (command 899).
BitmapWriteResult RebuildDisplayFromDisplayBytes(ProgramState& state, Host& host);

// Automatic black level: the most frequent high byte of pixels 69,500 to
// 347,499 (34,750 to 173,749 when binned), lowest level on ties, counted in
// `bins`. It is the black level of every auto contrast curve: the display's
// and the colour export's.
int AutomaticBlackLevel(const std::uint16_t* work, const FrameGeometry& geometry,
                        std::array<std::uint32_t, ImageStore::kHistogramBins>& bins);
// The same counted in the display histogram, as the rebuild does.
int AutomaticBlackLevel(ImageStore& images, const FrameGeometry& geometry);

// Black level measured at each paint: the mean of the three most frequent
// high bytes of rows 11 to height - 6 and columns 5 to width - 6, counted in
// the display histogram.
int PaintBlackLevel(ImageStore& images, const FrameGeometry& geometry);

// The measurement the window makes whenever it paints a picture: the paint
// black level becomes the display's black level, which the next rebuild
// starts from and Remove Background reads. Nothing while no picture exists.
void MeasurePaintBlackLevel(ProgramState& state);

// What the window does once a command has run, for front ends without one:
// the rebuild the command asked for (or that is pending), else, when it
// asked for a repaint, the paint's measurement.
void ShowCommandResult(ProgramState& state, Host& host, bool rebuildRequested, bool repaintRequested);

}  // namespace qv
