#include "files/auto_processing.h"

#include <charconv>

namespace qv {

namespace {

// The whole text as a number the dialog takes; nothing taken otherwise.
bool TakeNumber(const std::string& text, const AutoNumberLimits& limits, std::int16_t& target) {
  std::size_t start = text.find_first_not_of(' ');
  std::size_t end = text.find_last_not_of(' ');
  if (start == std::string::npos) return false;
  int value = 0;
  const char* first = text.data() + start;
  const char* last = text.data() + end + 1;
  const auto [ptr, ec] = std::from_chars(first, last, value);
  if (ec != std::errc() || ptr != last || !DialogTakes(value, limits)) return false;
  target = static_cast<std::int16_t>(value);
  return true;
}

}  // namespace

AutoStretch CurrentAutoStretch(const ProgramSettings& s) {
  if (s.autoWeakStretch) return AutoStretch::Weak;
  if (s.autoStrongStretch) return AutoStretch::Strong;
  if (s.autoUserStretch) return AutoStretch::User;
  return AutoStretch::None;
}

void SetAutoStretch(ProgramSettings& s, AutoStretch stretch) {
  s.autoWeakStretch = stretch == AutoStretch::Weak;
  s.autoStrongStretch = stretch == AutoStretch::Strong;
  s.autoUserStretch = stretch == AutoStretch::User;
}

bool ApplyAutoNumbers(ProgramSettings& s, const std::string& userPower, const std::string& unsharpRadius,
                      const std::string& unsharpPower) {
  const bool power = TakeNumber(userPower, kAutoUserPowerLimits, s.autoUserStretchLevel);
  const bool radius = TakeNumber(unsharpRadius, kAutoUnsharpRadiusLimits, s.unsharpRadius);
  const bool strength = TakeNumber(unsharpPower, kAutoUnsharpPowerLimits, s.unsharpPower);
  return power && radius && strength;
}

}  // namespace qv
