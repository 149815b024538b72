#pragma once
// The camera's command set on the USB link: clearing, the main-sensor
// read-outs by mode, the guide box, the guider channel, the guide outputs,
// the serial relay, the cooler and the firmware version. A failed transfer
// is reported by the link and the operation carries on with what the reply
// buffer holds; the functions return false when a transfer failed.

#include <cstdint>
#include <span>
#include <string_view>

#include "app/clock.h"
#include "app/host.h"
#include "app/program_state.h"

namespace qv {

// Read-out modes of the exposure buttons.
enum ReadoutMode { kFullResolution = 1, kBinned2x2 = 2, kBinned3x3 = 3, kBinned4x4 = 4, kUserSubFrame = 5 };
inline constexpr int kGuideBoxSize = 128;
inline constexpr int kGuiderFlushColumns = 500;
inline constexpr int kLowestSetpointC = -40;  // also the set point of maximum cooling
inline constexpr int kHighestSetpointC = 35;

// Sets the frame geometry a read-out mode yields: full size for mode 1, half
// size for every other mode.
void SetGeometryForReadout(ProgramState& state, int mode);

// Exposures above 1000 ms are timed by the computer between the clear and the
// read-out, to the millisecond; shorter ones are left to the camera.
void WaitComputerTimedExposure(Clock& clock, std::uint32_t exposureMs);

[[nodiscard]] bool ClearSensor(ProgramState& state, Host& host);
// The first of the two clear steps alone, which a long focus frame repeats
// until its exposure has passed.
[[nodiscard]] bool SendFirstClearStep(ProgramState& state, Host& host);
// Reads the main sensor into the work image; exposureMs up to 1000 is timed
// by the camera, longer exposures have been timed by the caller.
[[nodiscard]] bool ReadFrame(ProgramState& state, Host& host, int mode, std::uint32_t exposureMs);
[[nodiscard]] bool ReadGuideBox(ProgramState& state, Host& host, std::uint32_t exposureMs, bool binFocusFrame);
// Reads the 128 x 128 window at (originX, originY) of the main sensor into the
// first pixels of the image (the guide sub-frame while guiding).
[[nodiscard]] bool ReadMainWindow128(ProgramState& state, Host& host, int originX, int originY,
                                     std::uint32_t exposureMs);
[[nodiscard]] bool FlushGuider(ProgramState& state, Host& host);
[[nodiscard]] bool ReadGuiderFrame(ProgramState& state, Host& host, std::uint32_t exposureMs);
int GuiderColumns(const ProgramSettings& settings);

[[nodiscard]] bool SetGuideOutputs(ProgramState& state, Host& host, std::uint8_t bits);
[[nodiscard]] bool SerialWrite(ProgramState& state, Host& host, int port, std::span<const std::uint8_t> text);
[[nodiscard]] bool SerialWrite(ProgramState& state, Host& host, int port, std::string_view text);
[[nodiscard]] bool SerialRead(ProgramState& state, Host& host, int port, std::size_t count);
// Sends the set point and on/off state (or only reads the temperature when
// cooling is off in maximum-cooling mode); nothing without a cooler.
[[nodiscard]] bool UpdateCooler(ProgramState& state, Host& host);
[[nodiscard]] bool ReadFirmwareVersion(ProgramState& state, Host& host);

}  // namespace qv
