#include "processing/kernel_filters.h"

#include "processing/filter_support.h"
#include "processing/row_loop_builds.h"

namespace qv {

namespace {

// One row with the kernel's radius, number and divisor known at compile
// time, so the window loops unroll and the column loop vectorises.
template <int Radius, int Kernel, int Divisor>
[[gnu::always_inline]] inline void ConvolveRowBody(const std::uint16_t* __restrict centre,
                                                   std::uint16_t* __restrict out, int width) {
  constexpr int side = 2 * Radius + 1;
  constexpr std::array<int, 25> coefficients = kFilterKernels[Kernel];
  for (int x = Radius; x < width - Radius; ++x) {
    int sum = 0;
#pragma GCC unroll 5
    for (int j = 0; j < side; ++j) {
      const std::uint16_t* row = centre + static_cast<std::ptrdiff_t>(j - Radius) * width + x - Radius;
#pragma GCC unroll 5
      for (int i = 0; i < side; ++i) {
        if (coefficients[j * side + i] != 0) sum += coefficients[j * side + i] * row[i];
      }
    }
    out[x] = ClampFilterResult(sum / Divisor);
  }
}
template <int Radius, int Kernel, int Divisor>
[[gnu::target("avx2")]] void ConvolveRowAvx2(const std::uint16_t* __restrict centre, std::uint16_t* __restrict out,
                                             int width) {
  ConvolveRowBody<Radius, Kernel, Divisor>(centre, out, width);
}
template <int Radius, int Kernel, int Divisor>
void ConvolveRowPlain(const std::uint16_t* __restrict centre, std::uint16_t* __restrict out, int width) {
  ConvolveRowBody<Radius, Kernel, Divisor>(centre, out, width);
}
template <int Radius, int Kernel, int Divisor>
void ConvolveRowFixed(const std::uint16_t* centre, std::uint16_t* out, int width) {
  if (UseAvx2RowLoops()) {
    ConvolveRowAvx2<Radius, Kernel, Divisor>(centre, out, width);
  } else {
    ConvolveRowPlain<Radius, Kernel, Divisor>(centre, out, width);
  }
}

// Any radius, kernel and divisor.
void ConvolveRowGeneric(const std::uint16_t* centre, std::uint16_t* out, int width, int radius,
                        const std::array<int, 25>& coefficients, int divisor) {
  const int side = 2 * radius + 1;
  for (int x = radius; x < width - radius; ++x) {
    int sum = 0;
    for (int j = 0; j < side; ++j) {
      const std::uint16_t* row = centre + static_cast<std::ptrdiff_t>(j - radius) * width + x - radius;
      for (int i = 0; i < side; ++i) {
        const int index = j * side + i;
        if (index < 25) sum += coefficients[index] * row[i];
      }
    }
    out[x] = ClampFilterResult(sum / divisor);
  }
}

using RowFunction = void (*)(const std::uint16_t*, std::uint16_t*, int);

RowFunction FixedRowFunction(int radius, int kernel, int divisor) {
  struct Entry {
    int radius, kernel, divisor;
    RowFunction run;
  };
  static constexpr Entry kFixed[] = {
      {1, 0, 16, ConvolveRowFixed<1, 0, 16>}, {2, 1, 80, ConvolveRowFixed<2, 1, 80>},
      {1, 2, 1, ConvolveRowFixed<1, 2, 1>},   {2, 3, 1, ConvolveRowFixed<2, 3, 1>},
      {2, 4, 1, ConvolveRowFixed<2, 4, 1>},   {2, 5, 1, ConvolveRowFixed<2, 5, 1>},
  };
  for (const Entry& e : kFixed) {
    if (e.radius == radius && e.kernel == kernel && e.divisor == divisor) return e.run;
  }
  return nullptr;
}

void KernelCommand(ProgramState& state, Host& host, int radius, int kernel, int divisor, const char* history,
                   bool rebuild = true) {
  ConvolveKernel(state, host, radius, kernel, divisor, rebuild);
  AddHistoryLine(state.images.history, history);
}

}  // namespace

void ConvolveKernel(ProgramState& state, Host& host, int radius, int kernel, int divisor, bool rebuild) {
  if (radius < 1 || radius > 2 || kernel < 0 || kernel >= kKernelCount || divisor == 0) return;
  WaitCursor wait(host);
  ImageStore& images = state.images;
  const FrameGeometry& geometry = state.geometry;
  SaveUndo(images, geometry);
  ResetBufferPointers(images);
  host.openProgress("FILTER PROGRESS");

  // Each row goes to the scratch image and back to the work image once the
  // rows below no longer read it; the border keeps its values.
  const int width = geometry.width;
  const RowFunction fixed = FixedRowFunction(radius, kernel, divisor);
  RowWriteBack writeBack(images.workImage, images.scratchImage, width, radius, width - radius, radius + 1);
  int y = FirstFilteredRow(images.workImage, radius);
  for (; y < geometry.height - radius; ++y) {
    host.setProgress(FilterProgress(geometry, y));
    const std::size_t row = static_cast<std::size_t>(y) * width;
    if (fixed) {
      fixed(images.workImage + row, images.scratchImage + row, width);
    } else {
      ConvolveRowGeneric(images.workImage + row, images.scratchImage + row, width, radius, kFilterKernels[kernel],
                         divisor);
    }
    writeBack.filtered(y);
  }
  writeBack.finish(y - 1);

  host.closeProgress();
  host.requestRepaint();
  if (rebuild) host.requestRebuildDisplay();
}

void WeightedMeanSmoother(ProgramState& state, Host& host) {
  KernelCommand(state, host, 1, kWeightedMeanKernel, 16, "Lowpass Smoother Filter");
}
void GaussianSmoother(ProgramState& state, Host& host) {
  KernelCommand(state, host, 2, kGaussianKernel, 80, "Gaussian Filter");
}
void HighPassLowPower(ProgramState& state, Host& host, bool rebuild) {
  KernelCommand(state, host, 1, kHighPassLowPowerKernel, 1, "High Pass Low Power Filter", rebuild);
}
void HighPassHighPower(ProgramState& state, Host& host) {
  KernelCommand(state, host, 2, kHighPassHighPowerKernel, 1, "High Pass High Power Filter");
}
void SmootherSharper(ProgramState& state, Host& host) {
  KernelCommand(state, host, 2, kSmootherSharperKernel, 1, "Smoother/Sharper Filter");
}
void BasRelief(ProgramState& state, Host& host) {
  KernelCommand(state, host, 2, kBasReliefKernel, 1, "Bas Relief Filter");
}

}  // namespace qv
