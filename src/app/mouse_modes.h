#pragma once
// The mouse modes of the main window: the commands that switch them, how a
// click in the window's client area becomes an image position and is
// checked, and which mode the click goes to.

#include "app/host.h"
#include "app/program_state.h"

namespace qv {

// Star picking keeps its box this far from the image's left and top edges.
inline constexpr int kStarPickMargin = 25;

// Sub-frame window modes: half, third and quarter of the frame.
inline constexpr int kSubFrameHalf = 2;
inline constexpr int kSubFrameThird = 3;
inline constexpr int kSubFrameQuarter = 4;

struct ImagePoint {
  int x = 0, y = 0;
};

// A client position of the unscaled display as an image position.
ImagePoint ClientToImage(const DisplayState& display, int clientX, int clientY);

// Whether a click at an image position may be taken: the box round it lies
// inside the image, and while star picking also the margin left and above.
[[nodiscard]] bool ClickInsideImage(const ProgramState& state, ImagePoint at);

// "Pic&k Guide Star": switches star picking; refused (message 33) while the
// image is fitted or centred. False when refused.
[[nodiscard]] bool TogglePickGuideStar(ProgramState& state, Host& host);
// "Focus Frame Centre" and "Pick Sub-Frame": the next left click picks.
void StartFocusFramePick(ProgramState& state);
void StartSubFramePick(ProgramState& state);
// "Default Focus Frame Centre" and "Default Sub-Frame Centre".
void DefaultFocusFrameCentre(ProgramState& state);
void DefaultSubFrameCentre(ProgramState& state);
// A Sub-Frame Selection size: window mode 2, 3 or 4 with its fixed size.
void SetSubFrameSize(ProgramState& state, int windowMode);
// The dialog's radio button checked for a window mode.
int SubFrameSizeButton(int windowMode);
// "&Photometry of Image": refused with messages 35, 36 or 37. False when
// refused.
[[nodiscard]] bool StartPhotometry(ProgramState& state, Host& host);
// The pointer over the image: a cross while photometry measures.
PointerShape ShownPointer(const ProgramState& state);
// Leaves every mouse mode the window can leave by itself (the merge keeps
// its own Cancel).
void EndMouseModes(ProgramState& state);

enum class [[nodiscard]] ClickResult{Ignored, Refused, Taken};

// Left and right button releases at a client position.
ClickResult OnLeftClick(ProgramState& state, Host& host, int clientX, int clientY);
ClickResult OnRightClick(ProgramState& state, Host& host, int clientX, int clientY);
// A pointer move at a client position.
void OnPointerMove(ProgramState& state, Host& host, int clientX, int clientY);

// Centres a point on the star round it: three passes of the star centre
// finder with the current box radius, each from the last centre; the result
// is kept as the last centroid. A box that leaves the image stops the passes
// (the finder says so) and keeps the point reached.
void RefineStarCentre(ProgramState& state, Host& host, ImagePoint& at);

// A star-picking click at an image position: centred on the star, taken as
// the guide star, shown with its cross and its position.
void PickStar(ProgramState& state, Host& host, ImagePoint at);

// A focus-frame or sub-frame click at an image position.
void PickFocusFrame(ProgramState& state, Host& host, ImagePoint at);
// False when the sub-frame round the point does not fit the image.
[[nodiscard]] bool PickSubFrame(ProgramState& state, Host& host, ImagePoint at);

}  // namespace qv
