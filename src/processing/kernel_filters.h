#pragma once
// The fixed convolution kernels: smoothers, high-pass sharpeners, bas relief.

#include <array>

#include "app/host.h"
#include "app/program_state.h"

namespace qv {

inline constexpr int kKernelCount = 6;
// Coefficients row by row; a 3 by 3 kernel uses the first 9.
inline constexpr std::array<std::array<int, 25>, kKernelCount> kFilterKernels = {{
    {1, 2, 1, 2, 4, 2, 1, 2, 1},
    {0, 1, 2, 1, 0, 1, 4, 8, 4, 1, 2, 8, 16, 8, 2, 1, 4, 8, 4, 1, 0, 1, 2, 1, 0},
    {0, -1, 0, -1, 5, -1, 0, -1, 0},
    {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 25, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1},
    {0, -1, -1, -1, 0, -1, 1, 1, 1, -1, -1, 1, 5, 1, -1, -1, 1, 1, 1, -1, 0, -1, -1, -1, 0},
    {0, 0, -1, 0, 0, 0, -1, -1, -1, 0, -1, -1, 1, 1, 1, 0, 1, 1, 1, 0, 0, 0, 1, 0, 0},
}};

enum KernelNumber {
  kWeightedMeanKernel = 0,
  kGaussianKernel = 1,
  kHighPassLowPowerKernel = 2,
  kHighPassHighPowerKernel = 3,
  kSmootherSharperKernel = 4,
  kBasReliefKernel = 5,
};

// Filters the work image with kernel `kernel` of radius 1 (3 by 3) or 2
// (5 by 5): each pixel at least `radius` from the edge (and below the header
// band) becomes the weighted window sum divided by `divisor` (truncated),
// white from 65,281 up, 0 when negative. Border pixels keep their values.
void ConvolveKernel(ProgramState& state, Host& host, int radius, int kernel, int divisor, bool rebuild);

// The menu commands: kernel filter plus history line.
void WeightedMeanSmoother(ProgramState& state, Host& host);
void GaussianSmoother(ProgramState& state, Host& host);
void HighPassLowPower(ProgramState& state, Host& host, bool rebuild = true);
void HighPassHighPower(ProgramState& state, Host& host);
void SmootherSharper(ProgramState& state, Host& host);
void BasRelief(ProgramState& state, Host& host);

}  // namespace qv
