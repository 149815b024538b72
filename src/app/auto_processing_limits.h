#pragma once
// The ranges of the three numbers of the automatic processing, in one place:
// what the "Auto-Processing Choices" dialog takes when it saves, and what a
// loaded settings file accepts.
//
// The two differ on purpose: the dialog offers a user power of 2 to 29 and an
// unsharp radius of 2 to 6, while the settings file also accepts a power of
// 1 or 30 to 36 and a radius of 1 (written by hand or by `settings-set`).
// Such a stored value is valid and the automatic processing applies it as
// stored; a power of 1 leaves the image's levels as they are.

#include <algorithm>

namespace qv {

struct AutoNumberLimits {
  int dialogLow, dialogHigh;  // taken by the dialog's "Save"
  int fileLow, fileHigh;      // accepted by the settings file's checks
};

// clang-format off
//                                                 dialog   settings file
inline constexpr AutoNumberLimits kAutoUserPowerLimits     {2, 29,  1, 36};
inline constexpr AutoNumberLimits kAutoUnsharpRadiusLimits {2, 6,   1, 6};
inline constexpr AutoNumberLimits kAutoUnsharpPowerLimits  {1, 6,   1, 6};
// clang-format on

// What the automatic processing applies for a stored value: the value itself
// when the settings file accepts it; a damaged file's value is kept to the
// file's range, so no stretch or filter runs with a number it cannot take.
constexpr int AppliedAutoNumber(int stored, const AutoNumberLimits& limits) {
  return std::clamp(stored, limits.fileLow, limits.fileHigh);
}

// Whether the dialog or the settings file takes a value.
[[nodiscard]] constexpr bool DialogTakes(int value, const AutoNumberLimits& limits) {
  return value >= limits.dialogLow && value <= limits.dialogHigh;
}
[[nodiscard]] constexpr bool SettingsFileAccepts(int value, const AutoNumberLimits& limits) {
  return value >= limits.fileLow && value <= limits.fileHigh;
}

}  // namespace qv
