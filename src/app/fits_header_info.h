#pragma once
// The values that go into a FITS header and come back out of one. The texts
// and optics are kept in the settings file as well.

#include "app/fixed_text.h"

namespace qv {

struct FitsHeaderInfo {
  FixedText<70> object;
  FixedText<70> observer;
  FixedText<12> dateObs;  // year-month-day
  FixedText<10> timeObs;  // hours:minutes:seconds
  FixedText<70> origin;
  FixedText<70> telescope;
  FixedText<70> instrument{"Corvane CCD"};
  FixedText<257> commentText;  // at most 255 characters used
  FixedText<257> historyText;
  FixedText<70> filterName{"None"};
  double exposureSeconds = 0.0;
  double pixelWidth = 0.0074;
  double pixelHeight = 0.0074;
  double focalLength = 0.0;
  double aperture = 0.0;
  int unsignedFormat = 1;
  int eightBit = 0;

  [[nodiscard]] bool operator==(const FitsHeaderInfo&) const = default;
};

}  // namespace qv
