#pragma once
// The filter wheel ("First", "Next", "Prev") and the cooler ("Cooling On",
// the set point, "Set Maximum Cooling", "Monitor").

#include <span>

#include "app/clock.h"
#include "app/host.h"
#include "app/program_state.h"
#include "camera/camera_commands.h"

namespace qv {

inline constexpr int kWheelCodedPositions = 7;  // positions the wheel commands can name
inline constexpr int kMaximumCoolingSetpointC = kLowestSetpointC;
inline constexpr std::uint32_t kMonitorIntervalMs = 500;

// Moves the wheel to the current position: the USB wheel when one is
// attached, else a command through the serial relay. Positions above 7 have
// no wheel command: nothing is sent and false is returned.
bool SelectFilter(ProgramState& state, Host& host, Clock& clock);
// Writes on the computer's own serial port, opening it on first use; a
// failed open is reported and tried again next time.
inline constexpr int kLastCameraSerialPort = 2;
bool PcSerialWrite(ProgramState& state, Host& host, std::span<const std::uint8_t> bytes);
bool FilterFirst(ProgramState& state, Host& host, Clock& clock);
bool FilterNext(ProgramState& state, Host& host, Clock& clock);
bool FilterPrev(ProgramState& state, Host& host, Clock& clock);

// "Cooling On": off only when the cooler is available, cooling is on and
// maximum cooling is off; on otherwise.
void ToggleCooling(ProgramState& state);
// "Set Maximum Cooling": switching it on fixes the set point at -40.
void SetMaximumCooling(ProgramState& state, bool on);
// Moves the set point (clamped to -40..35) unless maximum cooling holds it;
// the saved set point follows. False when it did not move.
bool MoveSetpoint(ProgramState& state, int setpointC);

// "Monitor": a second call while monitoring stops it. Otherwise every half
// second pumps the interface, refreshes the cooler (the dialog's repaint) and
// stops on a mouse button press. `caption` receives "Monitoring"/"Monitor".
using MonitorCaption = void (*)(void* context, const char* caption);
void MonitorCooler(ProgramState& state, Host& host, Clock& clock, MonitorCaption caption = nullptr,
                   void* captionContext = nullptr);

}  // namespace qv
