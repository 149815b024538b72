#include "colour/colour_filters.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "app/messages.h"
#include "colour/colour_checks.h"
#include "processing/processing_pass.h"
#include "processing/row_loop_builds.h"

namespace qv {

namespace {

bool Refused(const ProgramState& state, Host& host) { return !ColourFilterAllowed(state, host); }

std::size_t Pixels(const ProgramState& state) {
  return static_cast<std::size_t>(std::max(state.geometry.pixelCount, 0));
}

constexpr std::array<int, 9> kLowPass = {1, 2, 1, 2, 4, 2, 1, 2, 1};
constexpr std::array<int, 25> kGauss = {0, 1, 2, 1, 0, 1, 4, 8, 4, 1, 2, 8, 16, 8, 2, 1, 4, 8, 4, 1, 0, 1, 2, 1, 0};

template <int Radius>
[[gnu::always_inline]] inline void KernelRowBody(const std::uint16_t* __restrict centre, std::uint16_t* __restrict out,
                                                 int width) {
  constexpr int side = 2 * Radius + 1;
  constexpr int divisor = Radius == 1 ? 16 : 80;
  for (int x = Radius; x < width - Radius; ++x) {
    std::uint32_t sum = 0;
#pragma GCC unroll 5
    for (int j = 0; j < side; ++j) {
      const std::uint16_t* row = centre + static_cast<std::ptrdiff_t>(j - Radius) * width + x - Radius;
#pragma GCC unroll 5
      for (int i = 0; i < side; ++i) {
        const int k = Radius == 1 ? kLowPass[j * side + i] : kGauss[j * side + i];
        if (k != 0) sum += static_cast<std::uint32_t>(k) * row[i];
      }
    }
    out[x] = static_cast<std::uint16_t>(std::min(sum / divisor, 65'535u));
  }
}
template <int Radius>
void KernelRowPlain(const std::uint16_t* centre, std::uint16_t* out, int width) {
  KernelRowBody<Radius>(centre, out, width);
}
#if QV_AVX2_ROW_LOOPS
template <int Radius>
[[gnu::target("avx2")]] void KernelRowAvx2(const std::uint16_t* centre, std::uint16_t* out, int width) {
  KernelRowBody<Radius>(centre, out, width);
}
#endif

// The three planes through the kernel via the plane work set.
void ConvolvePlanes(ProgramState& state, int radius) {
  ImageStore& images = state.images;
  for (int p = 0; p < ImageStore::kPlanes; ++p) {
    ConvolveColourPlane(state.processing.rowLoops, images.colourPlanes[p], images.planeWorkSet[p], state.geometry.width,
                        state.geometry.height, radius);
    std::memcpy(images.colourPlanes[p], images.planeWorkSet[p], Pixels(state) * 2);
  }
}

}  // namespace

void ShiftChromatism(ProgramState& state, const ChromatismShifts& shifts) {
  ImageStore& images = state.images;
  const int width = state.geometry.width, height = state.geometry.height;
  const int first = FirstProcessedRow(images.workImage);
  struct PlaneShift {
    int plane, dx, dy;
  };
  const PlaneShift planes[] = {{ImageStore::kRed, shifts.redX, shifts.redY},
                               {ImageStore::kBlue, shifts.blueX, shifts.blueY}};
  for (const PlaneShift& s : planes) {
    std::uint16_t* plane = images.colourPlanes[s.plane];
    std::uint16_t* scratch = images.planeWorkSet[s.plane];
    auto at = [&](std::uint16_t* image, int r) { return image + static_cast<std::size_t>(r) * width; };
    if (s.dx != 0) {
      for (int r = first; r < height; ++r) {
        const std::uint16_t* from = at(plane, r);
        std::uint16_t* to = at(scratch, r);
        for (int c = 0; c < width; ++c) {
          const int source = c + s.dx;
          to[c] = source >= 0 && source < width ? from[source] : from[c];
        }
      }
      for (int r = first; r < height; ++r) std::memcpy(at(plane, r), at(scratch, r), width * 2u);
    }
    if (s.dy != 0) {
      for (int r = first; r < height; ++r) {
        const int source = r + s.dy;
        std::memcpy(at(scratch, r), at(plane, source >= first && source < height ? source : r), width * 2u);
      }
      for (int r = first; r < height; ++r) std::memcpy(at(plane, r), at(scratch, r), width * 2u);
    }
  }
}

bool AdjustChromatism(ProgramState& state, Host& host, const ChromatismShifts& shifts) {
  if (Refused(state, host)) return false;
  state.colour.chromatism = shifts;
  RunProcessingPass(state, host, {.undo = PassUndo::ColourPlanes}, [&] { ShiftChromatism(state, shifts); });
  return true;
}

void ConvolveColourPlane(RowLoops loops, const std::uint16_t* plane, std::uint16_t* out, int width, int height,
                         int radius) {
  using Row = void (*)(const std::uint16_t*, std::uint16_t*, int);
  Row row = radius == 1 ? KernelRowPlain<1> : KernelRowPlain<2>;
#if QV_AVX2_ROW_LOOPS
  if (UseAvx2RowLoops(loops)) row = radius == 1 ? KernelRowAvx2<1> : KernelRowAvx2<2>;
#else
  (void)loops;
#endif
  std::memcpy(out, plane, static_cast<std::size_t>(std::max(width * height, 0)) * 2);
  for (int y = radius; y < height - radius; ++y) {
    const std::size_t at = static_cast<std::size_t>(y) * width;
    row(plane + at, out + at, width);
  }
}

bool LowPassColourFilter(ProgramState& state, Host& host) {
  if (Refused(state, host)) return false;
  RunProcessingPass(state, host, {.progressCaption = "FILTER PROGRESS", .undo = PassUndo::ColourPlanes},
                    [&] { ConvolvePlanes(state, 1); });
  return true;
}

namespace {

constexpr int kOverloadLuminance = 35'000;
constexpr int kOverloadColour = 60'000;
constexpr int kOverloadSide = 5;
constexpr int kRunStep = 200;

// Step one on row i: rebuilds the colour of overloaded pixels from their
// neighbours and eases the luminance around saturated runs.
void RepairOverloadRow(ProgramState& state, int i) {
  ImageStore& images = state.images;
  const int width = state.geometry.width;
  const std::size_t base = static_cast<std::size_t>(i) * width;
  std::uint16_t* L = images.workImage + base;
  std::array<std::uint16_t*, 3> plane;
  for (int p = 0; p < 3; ++p) plane[p] = images.colourPlanes[p] + base;
  int run = 0;
  for (int j = kOverloadSide; j <= width - 6; ++j) {
    if (L[j] <= kOverloadLuminance) continue;
    if (plane[0][j] <= kOverloadColour && plane[1][j] <= kOverloadColour && plane[2][j] <= kOverloadColour &&
        L[j] != 65'535) {
      run = 0;
      continue;
    }
    std::array<int, 3> left{}, rightSum{};
    int count = 0;
    for (int p = 0; p < 3; ++p) {
      int sum = 0;
      for (int k = j - kOverloadSide; k < j; ++k) sum += plane[p][k];
      left[p] = sum / kOverloadSide;
    }
    for (int k = j + 1; k <= j + kOverloadSide; ++k) {
      if (plane[0][k] == 65'535 || plane[1][k] == 65'535 || plane[2][k] == 65'535) continue;
      for (int p = 0; p < 3; ++p) rightSum[p] += plane[p][k];
      ++count;
    }
    std::array<int, 3> value;
    for (int p = 0; p < 3; ++p) value[p] = count > 0 ? (left[p] + rightSum[p] / count) / 2 : left[p];
    run = run + (run < 5 ? 1 : 0) - count;
    int v = L[j];
    const int w = L[j + 1];
    if (w >= 65'001 && v <= 64'999) {
      v = v + static_cast<std::uint16_t>((w - v) * 3) / 6;
    } else if (v >= 65'001 && w <= 64'999) {
      v = v - static_cast<std::uint16_t>((v - w) * 3) / 6;
    } else if (v >= 65'535 - kRunStep * run) {
      v = 65'535;
    } else if (run > 0) {
      v = v + kRunStep * run;
    }
    L[j] = static_cast<std::uint16_t>(std::clamp(v, 0, 65'535));
    for (int p = 0; p < 3; ++p) plane[p][j] = static_cast<std::uint16_t>(value[p]);
  }
}

// Step two on row i: the colour around each saturated pixel moves halfway
// to white, two pixels each side, and the pixel itself becomes white.
void WhitenAroundSaturatedRow(ProgramState& state, int i) {
  ImageStore& images = state.images;
  const int width = state.geometry.width;
  const std::size_t base = static_cast<std::size_t>(i) * width;
  const std::uint16_t* L = images.workImage + base;
  for (int j = kOverloadSide; j <= width - 6; ++j) {
    if (L[j] != 65'535) continue;
    for (int p = 0; p < 3; ++p) {
      std::uint16_t* q = images.colourPlanes[p] + base;
      q[j - 1] = static_cast<std::uint16_t>(q[j - 1] + (65'535 - q[j - 1]) / 2);
      q[j - 2] = q[j - 1];
      q[j + 1] = static_cast<std::uint16_t>(q[j + 1] + (65'535 - q[j + 1]) / 2);
      q[j + 2] = q[j + 1];
      q[j] = 65'535;
    }
  }
}

}  // namespace

bool ColourOverloadSmoothing(ProgramState& state, Host& host) {
  if (Refused(state, host)) return false;
  RunProcessingPass(state, host, {.progressCaption = "FILTER PROGRESS", .undo = PassUndo::ColourPlanes}, [&] {
    const int height = state.geometry.height;
    for (int i = 1; i < height; ++i) RepairOverloadRow(state, i);
    for (int i = 1; i < height; ++i) WhitenAroundSaturatedRow(state, i);
    ConvolvePlanes(state, 2);
    ConvolvePlanes(state, 1);
    ConvolvePlanes(state, 1);
  });
  AddHistoryLine(state.images.history, "Colour Overload Filter");
  return true;
}

}  // namespace qv
