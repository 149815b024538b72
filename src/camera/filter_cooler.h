#pragma once
// The filter wheel ("First", "Next", "Prev") and the cooler ("Cooling On",
// the set point, "Set Maximum Cooling", "Monitor").

#include <functional>
#include <span>
#include <string_view>

#include "app/clock.h"
#include "app/host.h"
#include "app/operation.h"
#include "app/program_state.h"
#include "camera/camera_commands.h"

namespace qv {

inline constexpr int kWheelCodedPositions = 7;  // positions the wheel commands can name
inline constexpr int kMaximumCoolingSetpointC = kLowestSetpointC;
inline constexpr std::uint32_t kMonitorIntervalMs = 500;

// Moves the wheel to the current position: the USB wheel when one is
// attached, else a command on the wheel's serial port. Positions above 7 have
// no wheel command: nothing is sent and false is returned.
[[nodiscard]] bool SelectFilter(ProgramState& state, Host& host, Clock& clock);
// The camera serial port the wheel hangs on: the one the telescope leaves
// free (Com1, port 0, when the telescope is on Com2; else Com2, port 1).
int FilterWheelSerialPort(const ProgramSettings& settings);
inline constexpr int kLastCameraSerialPort = 2;
// Opens the computer's port when it is not open yet; the failure is shown
// and tried again on the next use.
[[nodiscard]] bool OpenPcSerial(ProgramState& state, Host& host);
// Writes on the computer's own serial port, opening it on first use.
[[nodiscard]] bool PcSerialWrite(ProgramState& state, Host& host, std::span<const std::uint8_t> bytes);
[[nodiscard]] bool FilterFirst(ProgramState& state, Host& host, Clock& clock);
[[nodiscard]] bool FilterNext(ProgramState& state, Host& host, Clock& clock);
[[nodiscard]] bool FilterPrev(ProgramState& state, Host& host, Clock& clock);

// "Cooling On": off only when the cooler is available, cooling is on and
// maximum cooling is off; on otherwise.
void ToggleCooling(ProgramState& state);
// "Set Maximum Cooling": switching it on fixes the set point at -40.
void SetMaximumCooling(ProgramState& state, bool on);
// Moves the set point (clamped to -40..35) unless maximum cooling holds it;
// the saved set point follows and the settings file is written, so the next
// run starts from it (message 24 when it cannot be written). False when
// maximum cooling held the set point.
[[nodiscard]] bool MoveSetpoint(ProgramState& state, Host& host, int setpointC);
// The settings half of MoveSetpoint: the set point and the saved one moved in
// `settings`, nothing written. False when maximum cooling holds the set point.
[[nodiscard]] bool ChooseSetpoint(ProgramSettings& settings, int setpointC);

// The camera dialog keeps its temperature current with one cooler exchange
// (the set point and on/off sent, the temperature read back) after each
// change and about once a second. Nothing is sent without the cooler or the
// camera, while an exposure run, the focus loop or main-camera guiding has
// the camera, or while the monitor reads the cooler itself.
inline constexpr std::uint32_t kDialogCoolerIntervalMs = 1000;
enum class [[nodiscard]] CoolerRead{Skipped, Read, Failed};
CoolerRead ReadCoolerForDialog(ProgramState& state, Host& host);

// "Monitor" as an operation. Starting it while a monitor runs stops that one
// (its next step ends it) and finishes at once. Otherwise every half second it
// refreshes the cooler as the dialog's repaint does, under the wait cursor,
// until a mouse button is pressed. `caption` receives the button's caption,
// "Monitoring" or "Monitor".
class CoolerMonitorOperation final : public Operation {
 public:
  using Caption = std::function<void(std::string_view caption)>;
  CoolerMonitorOperation(ProgramState& state, Host& host, Caption caption = {});

  WakeTime start(std::uint32_t nowMs) override;
  WakeTime step(std::uint32_t nowMs) override;
  void cancel() override;
  void input(OperationInput event) override;

 private:
  WakeTime finish();

  ProgramState& state_;
  Host& host_;
  Caption caption_;
  bool pressed_ = false;
};

// Runs the monitor to its end on the clock, taking the host's presses.
using MonitorCaption = void (*)(void* context, const char* caption);
void MonitorCooler(ProgramState& state, Host& host, Clock& clock, MonitorCaption caption = nullptr,
                   void* captionContext = nullptr);

}  // namespace qv
