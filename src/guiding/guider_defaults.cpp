#include "guiding/guider_defaults.h"

#include <algorithm>
#include <cstdint>

namespace qv {

std::string ChangeGuiderDefaults(ProgramSettings& s, const GuiderDriveValues& v) {
  const auto rateOk = [](int r) { return r >= 1 && r <= 32767; };
  if (!rateOk(v.raRate) || !rateOk(v.decRate)) return "The guider rates must be at least 1 pixel per second";
  const auto backlashOk = [](int b) { return b >= 0 && b <= kMostBacklash; };
  if (!backlashOk(v.raBacklash) || !backlashOk(v.decBacklash)) return "The guider backlash must be 0 to 30 pixels";
  s.guiderRaRate = static_cast<std::int16_t>(v.raRate);
  s.guiderDecRate = static_cast<std::int16_t>(v.decRate);
  s.guiderRaBacklash = static_cast<std::int16_t>(v.raBacklash);
  s.guiderDecBacklash = static_cast<std::int16_t>(v.decBacklash);
  s.guiderRaHysteresis = static_cast<std::int16_t>(std::clamp(v.raHysteresis, 0, kMostHysteresis));
  s.guiderDecHysteresis = static_cast<std::int16_t>(std::clamp(v.decHysteresis, 0, kMostHysteresis));
  return {};
}

}  // namespace qv
