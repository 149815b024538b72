#pragma once
// The unsharp mask: each pixel moves away from the mean of its box.

#include <cstdint>

#include "app/host.h"
#include "app/program_state.h"

namespace qv {

inline constexpr int kUnsharpMinimum = 1;
inline constexpr int kUnsharpMaximum = 7;  // radius and power alike

// The mean of a box of (2r + 1)^2 pixels, truncated, from its sum: the sum
// times 2^32 / count rounded up, shifted down by 32. For every sum such a box
// of 16-bit pixels can have (below 2^24) and every radius up to the maximum,
// the excess stays below one step of the mean, so this is the quotient.
inline std::uint64_t UnsharpMeanMagic(int radius) {
  const std::uint64_t count = static_cast<std::uint64_t>(2 * radius + 1) * (2 * radius + 1);
  return (std::uint64_t{1} << 32) / count + 1;
}
inline int UnsharpBoxMean(std::int32_t sum, std::uint64_t magic) {
  return static_cast<int>((static_cast<std::uint64_t>(static_cast<std::uint32_t>(sum)) * magic) >> 32);
}

// With m the mean (truncated) of the (2r + 1)^2 box around a pixel p, the
// pixel becomes p + (p - m) * power, clamped like the kernel filters. Rows
// r from the top and bottom (and the header band), r columns on the left
// and r + 1 on the right keep their values. Records the history line.
// A radius or power outside 1 to 7 changes nothing.
void UnsharpMask(ProgramState& state, Host& host, int radius, int power, bool rebuild);

}  // namespace qv
