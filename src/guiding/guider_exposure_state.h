#pragma once
// The guider camera's exposure setting and its dark frame, as the guiding
// state keeps them.

#include <cstdint>
#include <vector>

namespace qv {

struct GuiderExposure {
  char unit = 'h';  // h hundredths, t tenths, s seconds
  int value = 5;
};
struct GuiderDark {
  bool taken = false;
  bool apply = false;
  GuiderExposure exposure;
  std::vector<std::uint16_t> pixels;
};
}  // namespace qv
