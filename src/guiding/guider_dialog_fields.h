#pragma once
// The guider camera dialog's model: what each control does to the guiding
// state and the settings, and the text of every field. A change to a stored
// setting saves the settings file at once. The window and the command line
// show the same texts.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/clock.h"
#include "app/host.h"
#include "app/program_state.h"

namespace qv {

inline constexpr std::string_view kGuiderDialogCaption = "Auto Guider Camera Control";
inline constexpr std::string_view kBrindleCannotBin = "Sorry, Brindle Guider cannot be binned";

// Menu 27's checks before the dialog opens: the camera ("Sorry, No camera
// found on USB" without it) and the telescope's first use.
[[nodiscard]] bool OpenGuiderCamera(ProgramState& state, Host& host, Clock& clock);

// Exposure: a unit resets the value (hundredths and tenths 5, seconds 1);
// the arrows step by 1 within 1 and the unit's maximum; a typed value
// outside them is refused (false).
void ChooseGuiderUnit(ProgramState& state, char unit);
void StepGuiderExposure(ProgramState& state, int delta);
[[nodiscard]] bool SetGuiderExposureValue(ProgramState& state, long value);
void SetGuiderStretch(ProgramState& state, int value);

// Where both guider dialogs draw the frame, from their left edge: the narrow
// sensor's 376 columns sit centred where the standard sensor's 500 go.
int GuiderFrameLeft(const ProgramSettings& settings);

// "Select Guide Star": the next click on the guider frame picks the star.
void BeginGuiderStarSelection(ProgramState& state);
// A click on the guider frame. In selection mode the star found under it
// becomes the guider star and selection mode ends either way (true: the
// click was taken); otherwise the click does nothing (false).
[[nodiscard]] bool ClickGuiderFrame(ProgramState& state, Host& host, int x, int y);

// "Use Default": with a trained result the use-trained flag toggles, without
// one it stays clear.
void ToggleGuiderUseTrained(ProgramState& state);
std::string UseTrainedButtonText(const GuiderTraining& t);
std::string UsingValsText(bool trained, bool useTrained);

// The "Default" column as typed (861 to 865).
struct GuiderDefaultFields {
  int raRate = 1, decRate = 1, raBacklash = 0, decBacklash = 0;
  int raAngle = 0;
};
// "Change Defaults": checked like every guider drive value (empty on
// success, else the problem and nothing changes); saved.
std::string ChangeGuiderDefaultFields(ProgramState& state, Host& host, const GuiderDefaultFields& fields);
// "Save Latest": the trained magnitudes become the defaults, theta the RA
// angle; backlash held to what the settings file accepts. Saved. Nothing
// changes before a training.
void SaveLatestGuiderValues(ProgramState& state, Host& host);

// The check boxes and toggles. Each that changes a stored setting saves.
enum class GuiderToggle {
  IgnoreBacklash,       // 873
  IgnoreRaAngle,        // 885
  SwapNorthSouth,       // 875
  SwapEastWest,         // 876
  ApplyDark,            // 914, stays off while no dark exists
  MedianFilter,         // 916
  Stretch,              // 917
  Pause,                // 826
  AoSwapUpDown,         // 931
  AoSwapLeftRight,      // 932
  MountSwapNorthSouth,  // 946
  MountSwapEastWest,    // 947
  AoMode,               // 936
  GuidanceMode,         // 939
  AoUseTrained,         // 937, only with an AO training
  Bin2x2,               // 2439, refused for the Brindle sensor
  ClearCamera,          // 2440
};
void ToggleGuiderOption(ProgramState& state, Host& host, GuiderToggle toggle);
[[nodiscard]] bool GuiderOptionChecked(const ProgramState& state, GuiderToggle toggle);

// 943, 944, 945: serial path 1, 0 or 3 for the AO unit. Saved.
void ChooseAoPort(ProgramState& state, Host& host, int choice);
// AO "Change Defaults" (925 Up/Down, 926 Left/Right): rates at least 1 or
// the problem is returned and nothing changes. Saved.
std::string ChangeAoDefaults(ProgramState& state, Host& host, int upDown, int leftRight);
// AO "Save Latest": the trained rates become the rates in use. Saved.
void SaveLatestAoRates(ProgramState& state, Host& host);

// Every field by control id, in the dialog's order: edits show their text,
// check boxes "1" or "0".
std::vector<std::pair<int, std::string>> GuiderDialogFields(const ProgramState& state);
// One field's text; empty for an unknown id.
std::string GuiderDialogField(const ProgramState& state, int id);

}  // namespace qv
