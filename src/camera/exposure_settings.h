#pragma once
// What the camera dialog sets up for the next exposure run: the exposure time
// as a range and a count of its units, the series, the modes applied to each
// frame, and the focus loop's choices and results. Kept for the whole run of
// the program, not in the settings file.

#include <cstdint>

namespace qv {

inline constexpr int kMaxSeriesCount = 9999;
inline constexpr int kMaxPauseBetweenFrames = 20;
inline constexpr int kMinFocusStretch = 1, kMaxFocusStretch = 50;
inline constexpr std::uint32_t kLongestExposureMs = 90u * 60'000u;  // 90 minutes

struct ExposureSettings {
  char range = 's';  // 'q' 1 ms, 'h' 10 ms, 't' 100 ms, 's' seconds, 'm' minutes
  int value = 1;     // units of the range, 1 to maximum
  int maximum = 300;
  int count = 1;  // frames in the series, 1 to 9999
  bool average = false;
  bool alternativeSlew = false;
  bool continuous = false;
  int pause = 0;  // between continuous frames, 0 to 20
  bool pauseInMinutes = true;
  bool countdown = false;  // ten-second audible countdown before the run
  bool autosave = false;
  bool autoDark = false;
  bool autoFlat = false;
  bool autoProcess = false;
  int readoutMode = 1;  // 1 full, 2..4 binned, 5 user sub-frame
  // Focus loop.
  int focusStretch = 10;
  bool autochange = false;
  bool binFocusFrame = false;
  int focusPeak = 0;
  int focusFwhm = 0;
};

// Milliseconds in one unit of a range; an unknown range counts as seconds.
std::uint32_t RangeUnitMs(char range);
// Highest value of a range: 500, 500, 100, 300, 90.
int RangeMaximum(char range);
// A range button: the range, its maximum and its starting value (5 for the
// three short ranges, 1 for seconds and minutes).
void ChooseRange(ExposureSettings& s, char range);
std::uint32_t ExposureMs(const ExposureSettings& s);
// Progress steps of a timed wait: 6 for 5..12 s, 20 for 13 s and more or any
// minutes, else 2.
int ProgressSteps(const ExposureSettings& s);
// The range and value that express `ms` (autochange writes the exposure back
// this way).
void SetExposureFromMs(ExposureSettings& s, std::uint32_t ms);

// Values the dialog's edits and the command line accept; false (nothing
// changed) outside the control's range.
[[nodiscard]] bool SetExposureValue(ExposureSettings& s, long value);
[[nodiscard]] bool SetSeriesCount(ExposureSettings& s, long count);
[[nodiscard]] bool SetPause(ExposureSettings& s, long pause);
[[nodiscard]] bool SetFocusStretch(ExposureSettings& s, long stretch);

}  // namespace qv
