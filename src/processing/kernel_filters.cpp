#include "processing/kernel_filters.h"

#include <algorithm>
#include <vector>

#include "processing/filter_support.h"
#include "processing/processing_pass.h"
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
#if QV_AVX2_ROW_LOOPS
template <int Radius, int Kernel, int Divisor>
[[gnu::target("avx2")]] void ConvolveRowAvx2(const std::uint16_t* __restrict centre, std::uint16_t* __restrict out,
                                             int width, std::int32_t*) {
  ConvolveRowBody<Radius, Kernel, Divisor>(centre, out, width);
}
#endif
template <int Radius, int Kernel, int Divisor>
void ConvolveRowPlain(const std::uint16_t* __restrict centre, std::uint16_t* __restrict out, int width, std::int32_t*) {
  ConvolveRowBody<Radius, Kernel, Divisor>(centre, out, width);
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

// Three 5 by 5 kernels are sums of per-column vertical sums: each row's
// vertical sums are formed once into `sums` (two planes of the row's width)
// and shared by the five windows that cover a column.
//   Gaussian: columns weighted 0 1 2 1 0 (A) and 1 4 8 4 1 (B), laid out
//     A B 2B B A across the window.
//   High pass high power: 26 times the pixel less the 5 by 5 box.
//   Smoother/sharper: the 3 by 3 box and four times the pixel, less the
//     twelve pixels around the box that are not corners.
template <int Kernel>
[[gnu::always_inline]] inline void KernelSumsRowBody(const std::uint16_t* __restrict centre,
                                                     std::uint16_t* __restrict out, int width,
                                                     std::int32_t* __restrict sums) {
  const std::ptrdiff_t w = width;
  const std::uint16_t* __restrict up2 = centre - 2 * w;
  const std::uint16_t* __restrict up1 = centre - w;
  const std::uint16_t* __restrict down1 = centre + w;
  const std::uint16_t* __restrict down2 = centre + 2 * w;
  std::int32_t* __restrict first = sums;
  std::int32_t* __restrict second = sums + w;
  if constexpr (Kernel == kGaussianKernel) {
    for (int x = 0; x < width; ++x) {
      first[x] = up1[x] + 2 * centre[x] + down1[x];
      second[x] = up2[x] + 4 * (up1[x] + down1[x]) + 8 * centre[x] + down2[x];
    }
    for (int x = 2; x < width - 2; ++x) {
      const auto sum =
          static_cast<std::uint32_t>(first[x - 2] + first[x + 2] + second[x - 1] + second[x + 1] + 2 * second[x]);
      out[x] = ClampFilterResult(static_cast<int>(sum / 80u));
    }
  } else if constexpr (Kernel == kHighPassHighPowerKernel) {
    for (int x = 0; x < width; ++x) first[x] = up2[x] + up1[x] + centre[x] + down1[x] + down2[x];
    for (int x = 2; x < width - 2; ++x) {
      const int box = first[x - 2] + first[x - 1] + first[x] + first[x + 1] + first[x + 2];
      out[x] = ClampFilterResult(26 * centre[x] - box);
    }
  } else {
    static_assert(Kernel == kSmootherSharperKernel);
    for (int x = 0; x < width; ++x) {
      first[x] = up1[x] + centre[x] + down1[x];
      second[x] = up2[x] + down2[x];
    }
    for (int x = 2; x < width - 2; ++x) {
      const int box3 = first[x - 1] + first[x] + first[x + 1];
      const int ring = first[x - 2] + first[x + 2] + second[x - 1] + second[x] + second[x + 1];
      out[x] = ClampFilterResult(box3 + 4 * centre[x] - ring);
    }
  }
}
#if QV_AVX2_ROW_LOOPS
template <int Kernel>
[[gnu::target("avx2")]] void KernelSumsRowAvx2(const std::uint16_t* __restrict centre, std::uint16_t* __restrict out,
                                               int width, std::int32_t* sums) {
  KernelSumsRowBody<Kernel>(centre, out, width, sums);
}
#endif
template <int Kernel>
void KernelSumsRowPlain(const std::uint16_t* __restrict centre, std::uint16_t* __restrict out, int width,
                        std::int32_t* sums) {
  KernelSumsRowBody<Kernel>(centre, out, width, sums);
}

using RowFunction = void (*)(const std::uint16_t*, std::uint16_t*, int, std::int32_t*);

// A kernel whose radius and divisor are built into its row functions.
struct FixedKernel {
  int radius, kernel, divisor;
  RowFunction plain, avx2;
};
template <int Radius, int Kernel, int Divisor>
constexpr FixedKernel Fixed() {
#if QV_AVX2_ROW_LOOPS
  return {Radius, Kernel, Divisor, ConvolveRowPlain<Radius, Kernel, Divisor>, ConvolveRowAvx2<Radius, Kernel, Divisor>};
#else
  return {Radius, Kernel, Divisor, ConvolveRowPlain<Radius, Kernel, Divisor>, nullptr};
#endif
}
template <int Kernel, int Divisor>
constexpr FixedKernel FromSums() {
#if QV_AVX2_ROW_LOOPS
  return {2, Kernel, Divisor, KernelSumsRowPlain<Kernel>, KernelSumsRowAvx2<Kernel>};
#else
  return {2, Kernel, Divisor, KernelSumsRowPlain<Kernel>, nullptr};
#endif
}

// The row function of a built-in kernel in the build the state chooses;
// null for any other combination.
RowFunction FixedRowFunction(int radius, int kernel, int divisor, RowLoops loops) {
  static constexpr FixedKernel kFixed[] = {
      Fixed<1, 0, 16>(),
      FromSums<kGaussianKernel, 80>(),
      Fixed<1, 2, 1>(),
      FromSums<kHighPassHighPowerKernel, 1>(),
      FromSums<kSmootherSharperKernel, 1>(),
      Fixed<2, 5, 1>(),
  };
  for (const FixedKernel& e : kFixed) {
    if (e.radius == radius && e.kernel == kernel && e.divisor == divisor) {
      return UseAvx2RowLoops(loops) ? e.avx2 : e.plain;
    }
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
  RunProcessingPass(state, host, {.progressCaption = "FILTER PROGRESS", .rebuild = rebuild}, [&] {
    ImageStore& images = state.images;
    const int width = state.geometry.width;
    const RowFunction fixed = FixedRowFunction(radius, kernel, divisor, state.processing.rowLoops);
    std::vector<std::int32_t> sums(2 * static_cast<std::size_t>(std::max(width, 0)));
    // The border keeps its values.
    FilterRows(state, host, FirstFilteredRow(images.workImage, radius), state.geometry.height - radius, radius,
               width - radius, radius + 1, [&](int y) {
                 const std::size_t row = static_cast<std::size_t>(y) * width;
                 if (fixed) {
                   fixed(images.workImage + row, images.scratchImage + row, width, sums.data());
                 } else {
                   ConvolveRowGeneric(images.workImage + row, images.scratchImage + row, width, radius,
                                      kFilterKernels[kernel], divisor);
                 }
               });
  });
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
