#pragma once
// What the camera control dialog shows, worked out from the program state so
// the window and the command line show the same texts.

#include <string>
#include <utility>
#include <vector>

#include "app/program_state.h"

namespace qv {

// "Continuous Imaging", "Series Imaging", "Single Image" or "Auto Merging".
std::string CameraModeText(const ExposureSettings& s);
// "Max Cooling Set" in maximum cooling, else "Adjust Cooling".
std::string CoolingModeText(const ProgramSettings& settings);
std::string GuiderStatusText(const ProgramState& state);
std::string FirmwareText(const CameraState& camera);
std::string TemperatureText(int celsius);  // "%2d"
std::string FilterNameText(const ProgramState& state);
// The range's caption: "Thousandths", "Hundredth's", "Tenth's", "Seconds", "Minutes".
std::string RangeCaption(char range);

// Every field, as name=value pairs in the dialog's order.
std::vector<std::pair<std::string, std::string>> CameraDialogFields(const ProgramState& state);

}  // namespace qv
