#pragma once
// The hot pixel map: the positions of the pixels of a dark frame at or above
// a threshold, saved to a small file and applied to any image by replacing
// each listed pixel with the mean of its four neighbours.

#include <cstdint>
#include <string>
#include <string_view>

#include "app/host.h"
#include "app/program_state.h"

namespace qv {

inline constexpr int kHotPixelThresholdMinimum = 5'000;
inline constexpr int kHotPixelThresholdMaximum = 65'535;
// A scan stops once it has found more than this many.
inline constexpr int kHotPixelScanLimit = 99'000;
inline constexpr std::string_view kDefaultHotPixelMapName = "Vesk_HPM";

// Scans `source` at the current threshold. The border of 5 columns each
// side, 5 rows at the top (15 over a label band) and 4 at the bottom is never
// listed. A scan that finds too many shows why and leaves the map invalid.
[[nodiscard]] bool FindHotPixels(ProgramState& state, Host& host, const std::uint16_t* source);

// The map's name: the one chosen last, else the camera model's.
std::string HotPixelMapName(const ProgramState& state);

// Native path of the map file: the autosave directory, the map name, ".HPM".
std::string HotPixelMapPath(const ProgramState& state);

// Writes the map (magic, count, indices). The file appears under its name
// only once every byte is written; a failure shows its message.
[[nodiscard]] bool SaveHotPixelMap(ProgramState& state, Host& host, const std::string& path);

// "Apply Hot Pixel Map": message when there is no map; otherwise an undo
// copy, then each listed pixel, in list order, becomes the mean of its four
// neighbours. Positions whose neighbours are not all on the frame are
// skipped.
[[nodiscard]] bool ApplyHotPixelMap(ProgramState& state, Host& host);

// "Change": a new map name. Refused with a message when it holds one of
// * / : ? \ ; an empty name restores the default. A new name restarts the
// autosave file counter.
[[nodiscard]] bool ChangeHotPixelMapName(ProgramState& state, Host& host, std::string_view name);

// The "Hot Pixel Value" scroller: line and page steps that stay in range.
enum class ScrollStep { LineLeft, LineRight, PageLeft, PageRight };
int StepHotPixelThreshold(int threshold, ScrollStep step);

}  // namespace qv
