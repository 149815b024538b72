#include "camera/exposure_settings.h"

namespace qv {

std::uint32_t RangeUnitMs(char range) {
  switch (range) {
    case 'q':
      return 1;
    case 'h':
      return 10;
    case 't':
      return 100;
    case 'm':
      return 60'000;
    default:
      return 1000;
  }
}

int RangeMaximum(char range) {
  switch (range) {
    case 'q':
    case 'h':
      return 500;
    case 't':
      return 100;
    case 'm':
      return 90;
    default:
      return 300;
  }
}

void ChooseRange(ExposureSettings& s, char range) {
  s.range = range;
  s.maximum = RangeMaximum(range);
  s.value = (range == 'q' || range == 'h' || range == 't') ? 5 : 1;
}

std::uint32_t ExposureMs(const ExposureSettings& s) {
  return RangeUnitMs(s.range) * static_cast<std::uint32_t>(s.value);
}

int ProgressSteps(const ExposureSettings& s) {
  if (s.range == 'm') return 20;
  if (s.range == 's' && s.value >= 13) return 20;
  if (s.range == 's' && s.value >= 5) return 6;
  return 2;
}

void SetExposureFromMs(ExposureSettings& s, std::uint32_t ms) {
  char range = 'h';
  if (ms >= 120'001) {
    range = 'm';
  } else if (ms >= 1001) {
    range = 's';
  } else if (ms >= 101) {
    range = 't';
  } else if (ms <= 10) {
    range = 'q';
  }
  s.range = range;
  s.maximum = RangeMaximum(range);
  s.value = static_cast<int>(ms / RangeUnitMs(range));
  if (s.value < 1) s.value = 1;
  if (s.value > s.maximum) s.value = s.maximum;
}

bool SetExposureValue(ExposureSettings& s, long value) {
  if (value < 1 || value > s.maximum) return false;
  s.value = static_cast<int>(value);
  return true;
}
bool SetSeriesCount(ExposureSettings& s, long count) {
  if (count < 1 || count > kMaxSeriesCount) return false;
  s.count = static_cast<int>(count);
  return true;
}
bool SetPause(ExposureSettings& s, long pause) {
  if (pause < 0 || pause > kMaxPauseBetweenFrames) return false;
  s.pause = static_cast<int>(pause);
  return true;
}
bool SetFocusStretch(ExposureSettings& s, long stretch) {
  if (stretch < kMinFocusStretch || stretch > kMaxFocusStretch) return false;
  s.focusStretch = static_cast<int>(stretch);
  return true;
}

}  // namespace qv
