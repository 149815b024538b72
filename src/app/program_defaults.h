#pragma once
// The Set Program Defaults editor over the stored settings: its radio groups
// and check boxes act on the settings at once, the edit fields are taken by
// their buttons with the checks below, and "Save Changes" accepts the
// autosave folder before the settings are saved and the telescope link is set
// up again. The window's dialog and the command-line tool both call these.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/clock.h"
#include "app/host.h"
#include "app/program_state.h"

namespace qv {

inline constexpr int kSettingsLoadFailedMessage = 23;
inline constexpr int kSettingsSaveFailedMessage = 24;
inline constexpr int kInvalidDirectoryMessage = 52;
inline constexpr int kAoNeedsGuidingMessage = 80;

inline constexpr int kMaxHysteresis = 20;
inline constexpr int kMaxBacklash = 30;  // the most the settings file accepts when it is read
inline constexpr int kMinRate = 1;       // rates divide later
inline constexpr int kMaxFilterCount = 8;
inline constexpr int kFallbackFilterCount = 7;
inline constexpr std::size_t kFilterNameLength = 9;
inline constexpr std::size_t kAutosaveTextLength = 79;

// ---------------------------------------------------------------- radio groups

enum class DefaultsRadio {
  CameraModel,
  GuiderCamera,
  MaskRadius,
  TrainingTime,
  GuiderTrainingTime,
  Background,
  Port,
  Guiding,
  Drift
};

struct DefaultsChoice {
  int control = 0;
  std::string_view text;      // the button's label
  std::string_view cliValue;  // how the command-line tool names it
  int value = 0;              // the number or letter stored
};

struct DefaultsRadioGroup {
  DefaultsRadio radio;
  std::string_view name;  // the command-line name
  std::vector<DefaultsChoice> choices;
};

const std::vector<DefaultsRadioGroup>& DefaultsRadioGroups();
const DefaultsRadioGroup& RadioGroup(DefaultsRadio radio);

// The button shown checked now (the first camera button for a camera type
// that is not one of the five).
int CurrentChoice(const ProgramState& state, DefaultsRadio radio);
// Clicking a button. The camera models set the type and its product id and
// set the camera type up at once (message 24 when the settings cannot then
// be saved).
void Choose(ProgramState& state, Host& host, DefaultsRadio radio, int index);
// The settings side of choosing camera model `index`: its type code and
// product id, nothing set up or saved.
void ChooseCameraModel(ProgramSettings& settings, int index);

// ---------------------------------------------------------------- check boxes

enum class DefaultsCheck {
  IgnoreSmallDrift,
  FocusDelay,
  NorthCorrectionsOff,
  SouthCorrectionsOff,
  SwapNorthSouth,
  SwapEastWest,
  IgnoreBacklash,
  FilterWheel,
  UseUsbFilterWheel,
  AoUnitAvailable,
  AoHalfRate,
  UnsignedFits,
  ShowInterfaceDetails,
  PixelOffset,
  LineOffset,
  Tiff16Bit,
  IgnoreCameraVidPid,
  UseSavedCooling,
  MaximumCooling
};

struct DefaultsCheckBox {
  DefaultsCheck check;
  int control = 0;
  std::string_view text;
  std::string_view name;  // the command-line name
  bool shown = true;      // the unsigned FITS box is hidden and disabled
};

const std::vector<DefaultsCheckBox>& DefaultsCheckBoxes();

[[nodiscard]] bool CheckState(const ProgramState& state, DefaultsCheck check);
// Clicking a box. "Use USB Filterwheel" searches for a wheel first when none
// is open; "AO Unit Available" without telescope guiding is refused with
// message 80 (false).
[[nodiscard]] bool ClickCheck(ProgramState& state, Host& host, Clock& clock, DefaultsCheck check);

// ---------------------------------------------------------------- edit fields

enum class SlewKind { Rate, Backlash, Hysteresis };

struct SlewField {
  int control = 0;
  std::string_view name;  // the settings variable it shows
  SlewKind kind;
  std::int16_t ProgramSettings::*member;
};

inline constexpr int kSlewFieldCount = 12;
// Main camera column then autoguider column: RA and Dec rate, backlash,
// hysteresis.
const std::array<SlewField, kSlewFieldCount>& SlewFields();

// What a slew value becomes when entered: hysteresis at most 20, backlash
// 0 to 30, rates at least 1, and no value below 0.
std::int16_t HeldSlewValue(SlewKind kind, long value);
// "Set slew values": every field given is held to its range and stored; a
// field that holds no number keeps the variable as it is.
void SetSlewValues(ProgramSettings& settings, const std::array<std::optional<long>, kSlewFieldCount>& values);

// "Set Filter Details": the count, or 7 when it is not 1 to 8; each name cut
// to 9 characters.
void SetFilterDetails(ProgramSettings& settings, std::optional<long> count, const std::array<std::string, 8>& names);

// The autosave folder check of "Set AutoSave Dir" and "Save Changes" (text
// cut to 79 characters). An empty text means the standard folder. A folder
// that cannot be made is refused with message 52 and changes nothing.
[[nodiscard]] bool SetAutosaveDirectory(ProgramState& state, Host& host, std::string_view text);

// The read-only fields.
std::string FilterWheelStatus(const ProgramState& state);  // "on USB", "on Com1", "on Com2" or empty
std::string AoPortText(const ProgramSettings& settings);   // the port number, counted from 1

// Reads whole numbers as the edit fields hold them; nothing for other text.
std::optional<long> FieldNumber(std::string_view text);

// ---------------------------------------------------------------- the dialog's life

// Opening: the settings file is read first (message 23 when it cannot be).
void OpenDefaults(ProgramState& state, Host& host);
// What every redraw does first: "Use USB Filterwheel" stays clear while no
// wheel is open.
void RefreshDefaults(ProgramState& state);
// "Save Changes": the autosave folder check, then the slew values; without
// telescope guiding the AO unit is off and the telescope guides. False (the
// dialog stays open) when the folder was refused.
[[nodiscard]] bool AcceptDefaults(ProgramState& state, Host& host, std::string_view autosaveText,
                                  const std::array<std::optional<long>, kSlewFieldCount>& slew);
// After the dialog closed with "Save Changes": the settings file is saved
// (message 24 when it cannot be), the telescope link is set up again and the
// window repainted. False when the save failed.
[[nodiscard]] bool FinishDefaults(ProgramState& state, Host& host, Clock& clock);

// The telescope link after its settings changed: an open computer port is
// closed; with telescope guiding on the computer's port it is opened again
// on the chosen port number (a failure is shown, and the next use tries
// again). False when that open failed.
[[nodiscard]] bool SetUpTelescopeLinkAgain(ProgramState& state, Host& host, Clock& clock);

}  // namespace qv
