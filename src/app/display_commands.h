#pragma once
// The main window's display commands and the window arithmetic they use:
// fit and centre, the display flags, the display stretch, mirror and flip.

#include "app/command_id.h"
#include "app/display_rebuild.h"
#include "app/host.h"
#include "app/program_state.h"

namespace qv {

struct Size2 {
  int width = 0;
  int height = 0;
  [[nodiscard]] bool operator==(const Size2&) const = default;
};

// Fit to screen: the picture stretched to the client height H, H * width /
// height wide.
Size2 FitPictureSize(int imageWidth, int imageHeight, int clientHeight);

// Centre Image margins: half the spare room on each axis, 0 when there is none.
Size2 CentreMargins(int imageWidth, int imageHeight, int clientWidth, int clientHeight);

// Scroll range: the fitted size in fit mode or when the bitmap fits the
// client area, else the bitmap's size, less the client size, at least 0.
Size2 ScrollRange(const DisplayState& display, int clientWidth, int clientHeight);

// "&Fit to Screen" and "&Centre Image": refused (false) while a mouse mode is
// active; switching one on clears the other.
[[nodiscard]] bool ToggleFitToScreen(DisplayState& display);
[[nodiscard]] bool ToggleCentreImage(DisplayState& display);

enum class DisplayFlag { ShowCentre, FalseColour, AutoContrast };
// Inverts the flag and rebuilds the display.
void ToggleDisplayFlag(ProgramState& state, Host& host, DisplayFlag flag);

// Display stretch commands: the toggle inverts the flag, "on" sets it, "off"
// clears it. Returns true when the flag changed (the display has then been
// rebuilt).
[[nodiscard]] bool SetStretchDisplay(ProgramState& state, Host& host, CommandId command);

// Stretch Display dialog scroll bar actions and the power they give.
enum class StretchScroll { LineUp, LineDown, PageUp, PageDown, Thumb };
double StretchPowerAfterScroll(double power, StretchScroll action, int thumbPosition = 0);
// Sets the power, kept within 2 to 50; false when `power` is outside.
[[nodiscard]] bool SetStretchPower(DisplayState& display, double power);

// Mirror (left to right) and flip (top to bottom) of WorkImage and, for a
// colour image, the colour planes; the header band stays. The display is
// rebuilt.
void MirrorImage(ProgramState& state, Host& host);
void FlipImage(ProgramState& state, Host& host);

// The same on one image of `width` by `height`, through `scratch`, from row
// `firstRow` on.
void MirrorRows(std::uint16_t* image, std::uint16_t* scratch, int width, int height, int firstRow);
void FlipRows(std::uint16_t* image, std::uint16_t* scratch, int width, int height, int firstRow);

// Channel view letters accepted from the pixel values dialog and the CLI.
[[nodiscard]] bool SetChannelView(DisplayState& display, char letter);

}  // namespace qv
