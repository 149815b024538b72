#pragma once
// The LX200 command set: guide pulses, hand slews at a chosen rate, the
// focuser, and GoTo by catalogue object or by coordinates, each reply read
// into the texts the Move Telescope dialog shows (the object information and
// the last reply, kept with the camera state).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/clock.h"
#include "app/host.h"
#include "app/program_state.h"

namespace qv {

inline constexpr std::string_view kControlTelescopeCaption = "Lum_T4 - Control Telescope";
inline constexpr std::string_view kObjectCaption = "Qel_K8 - Control Telescope";
inline constexpr std::string_view kObjectOutOfRange = "Object out of range - try again";
inline constexpr std::string_view kInvalidCoordinates =
    "Invalid Co-ordinates set.\n\nRange is R.A. 0hr 00min, to 23hr 59mins\n        Dec  -89deg 00min, to +89deg "
    "59mins";
inline constexpr int kLastMessier = 110;
inline constexpr int kLastCngc = 7815;

// Directions by their meaning on the sky; the letters sent for the hand
// controls come from the drive direction letters, laid out north, south,
// east, west, so the swap options act on them too.
enum class SkyDirection { North, South, East, West };
char DriveLetter(const ProgramSettings& settings, SkyDirection direction);
std::optional<SkyDirection> ParseSkyDirection(std::string_view text);  // "n", "s", "e", "w"
// The plain letter of a direction, whatever the swap options say.
char SkyLetter(SkyDirection direction);
// The letter that corrects a star's drift in the frame: a positive row error
// takes the first letter, a negative one the second; a positive column error
// the third, a negative one the fourth.
char CorrectionLetter(const ProgramSettings& settings, bool rowError, int error);

// Guide pulse: rate "#:RG#", 20 ms after the start the move, `ms` later the
// quit. `letter` is the LX200 direction letter n, s, e or w.
[[nodiscard]] bool LxGuidePulse(ProgramState& state, Host& host, Clock& clock, char letter, std::uint32_t ms);

// Hand slews: a press while nothing moves sends the rate and the move; a
// press while moving sends nothing (false). A release sends the four quits.
void SetSlewRate(ProgramState& state, char rateLetter);  // S, M, C or G
[[nodiscard]] bool StartSlew(ProgramState& state, Host& host, Clock& clock, SkyDirection direction);
[[nodiscard]] bool StopSlew(ProgramState& state, Host& host, Clock& clock);
void SetFocusSpeed(ProgramState& state, bool fast);
[[nodiscard]] bool StartFocus(ProgramState& state, Host& host, Clock& clock, bool outward);
[[nodiscard]] bool StopFocus(ProgramState& state, Host& host, Clock& clock);

// "#:LI#", 200 ms, then the object information read into its text.
[[nodiscard]] bool ReadObjectInformation(ProgramState& state, Host& host, Clock& clock);
// After "#:MS#": "0" accepts the slew and empties the last reply; any other
// reply is kept as the last reply. Nothing read leaves it as it was.
[[nodiscard]] bool ReadSlewReply(ProgramState& state, Host& host);

// GoTo a catalogue object: kind 'M' Messier, 'S' star (the planets), 'C'
// CNGC; the number as four digits.
[[nodiscard]] bool GoToObject(ProgramState& state, Host& host, Clock& clock, char kind, int number);
// Picks the catalogue the dialog's two numbers mean: Messier 1 to 110 first,
// else CNGC 1 to 7815; anything else shows "Object out of range" and sends
// nothing (false).
[[nodiscard]] bool GoToCatalogueNumber(ProgramState& state, Host& host, Clock& clock, int messier, int cngc);
// The planets by name, as the telescope's star numbers 901 to 909.
std::optional<int> PlanetStarNumber(std::string_view name);

// A declination as typed: the sign is the text's, so -0 degrees 30 minutes
// stays south of the equator.
struct Declination {
  bool negative = false;
  int degrees = 0;  // 0 to 89
  int minutes = 0;
};
std::optional<Declination> ParseDeclination(std::string_view text);  // "sDD*MM", "DD*MM", "-0*30"
[[nodiscard]] bool CoordinatesInRange(int hours, int minutes, const Declination& dec);
// Checks the ranges (message and nothing sent when out of range), then
// sets right ascension and declination and slews.
[[nodiscard]] bool GoToCoordinates(ProgramState& state, Host& host, Clock& clock, int hours, int minutes,
                                   const Declination& dec);

// The first telescope command of a run reloads the settings file (and writes
// it afresh when it cannot be read) and takes the telescope port from it.
// Telescope control also needs the camera: "Sorry, Camera not found" and
// false without it.
[[nodiscard]] bool PrepareTelescope(ProgramState& state, Host& host, Clock& clock, bool needCamera);

}  // namespace qv
