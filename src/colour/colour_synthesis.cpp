#include "colour/colour_synthesis.h"

#include <algorithm>
#include <cstring>

#include "app/messages.h"
#include "app/settings_file.h"
#include "colour/anti_alias.h"
#include "colour/colour_checks.h"
#include "processing/auto_processing.h"
#include "processing/row_loop_builds.h"

namespace qv {

namespace {

// 1.2f is exactly 5033165 / 2^22, and a cell's luminance before gain is at
// most 58253, so the product in 64-bit integers truncates exactly as the
// floating-point product does.
constexpr std::uint64_t kGainNumerator = 5'033'165;
constexpr int kGainShift = 22;
static_assert(static_cast<double>(1.2f) * (1 << kGainShift) == static_cast<double>(kGainNumerator));

[[gnu::always_inline]] inline std::uint32_t Gain(std::uint32_t luminance) {
  const std::uint64_t v = (static_cast<std::uint64_t>(luminance) * kGainNumerator) >> kGainShift;
  return v > 65'535 ? 65'535u : static_cast<std::uint32_t>(v);
}

// One row; the row phase and red divisor are built in so that the column
// loop vectorises. The column phase alternates from `columnPhase` at column 0.
// Products of 16-bit values by 60 stay far below 2^31, so no scaled value can
// overflow into the negative (the rule that makes such a pixel white never
// applies).
template <bool RowPhase, std::uint32_t RedDivisor>
[[gnu::always_inline]] inline void RowBody(const std::uint16_t* __restrict top, const std::uint16_t* __restrict bottom,
                                           std::uint16_t* __restrict red, std::uint16_t* __restrict blue,
                                           std::uint16_t* __restrict green, std::uint16_t* __restrict luminance,
                                           int width, unsigned columnPhase) {
  for (int c = 0; c < width - 1; ++c) {
    const std::uint32_t p00 = top[c], p01 = top[c + 1], p10 = bottom[c], p11 = bottom[c + 1];
    const bool phase = ((static_cast<unsigned>(c) ^ columnPhase) & 1u) != 0;
    const std::uint32_t diagonal = p00 + p11, antiDiagonal = p01 + p10;
    // Where the row and column phases agree green sits on the anti-diagonal.
    const bool same = phase == RowPhase;
    const std::uint32_t greenSum = same ? antiDiagonal : diagonal;
    const std::uint32_t otherSum = same ? diagonal : antiDiagonal;
    const std::uint32_t r = RowPhase ? (phase ? p11 : p10) : (phase ? p01 : p00);
    const std::uint32_t b = RowPhase ? (phase ? p00 : p01) : (phase ? p10 : p11);
    const std::uint32_t g = greenSum / 2;
    red[c] = static_cast<std::uint16_t>(std::min(r * kColourMultiplier / RedDivisor, 65'535u));
    blue[c] = static_cast<std::uint16_t>(std::min(b * kColourMultiplier / kBlueDivisor, 65'535u));
    green[c] = static_cast<std::uint16_t>(std::min(g * kColourMultiplier / kGreenDivisor, 65'535u));
    luminance[c] = static_cast<std::uint16_t>(Gain((greenSum / 3 + otherSum) / 3));
  }
  const int last = width - 1;
  red[last] = blue[last] = green[last] = 0;
  luminance[last] = top[last];
}

using RowFunction = void (*)(const std::uint16_t*, const std::uint16_t*, std::uint16_t*, std::uint16_t*, std::uint16_t*,
                             std::uint16_t*, int, unsigned);

template <bool RowPhase, std::uint32_t RedDivisor>
void RowPlain(const std::uint16_t* top, const std::uint16_t* bottom, std::uint16_t* red, std::uint16_t* blue,
              std::uint16_t* green, std::uint16_t* luminance, int width, unsigned columnPhase) {
  RowBody<RowPhase, RedDivisor>(top, bottom, red, blue, green, luminance, width, columnPhase);
}
#if QV_AVX2_ROW_LOOPS
template <bool RowPhase, std::uint32_t RedDivisor>
[[gnu::target("avx2")]] void RowAvx2(const std::uint16_t* top, const std::uint16_t* bottom, std::uint16_t* red,
                                     std::uint16_t* blue, std::uint16_t* green, std::uint16_t* luminance, int width,
                                     unsigned columnPhase) {
  RowBody<RowPhase, RedDivisor>(top, bottom, red, blue, green, luminance, width, columnPhase);
}
#endif

struct RowBuilds {
  std::uint32_t redDivisor;
  RowFunction plain[2];
  RowFunction avx2[2];
};

template <std::uint32_t RedDivisor>
constexpr RowBuilds Builds() {
#if QV_AVX2_ROW_LOOPS
  return {RedDivisor,
          {RowPlain<false, RedDivisor>, RowPlain<true, RedDivisor>},
          {RowAvx2<false, RedDivisor>, RowAvx2<true, RedDivisor>}};
#else
  return {RedDivisor, {RowPlain<false, RedDivisor>, RowPlain<true, RedDivisor>}, {nullptr, nullptr}};
#endif
}

RowFunction ChooseRow(RowLoops loops, bool rowPhase, int redDivisor) {
  static constexpr RowBuilds kBuilds[] = {Builds<45>(), Builds<37>(), Builds<40>(), Builds<39>()};
  for (const RowBuilds& b : kBuilds) {
    if (static_cast<int>(b.redDivisor) == redDivisor) {
      return UseAvx2RowLoops(loops) ? b.avx2[rowPhase] : b.plain[rowPhase];
    }
  }
  return nullptr;
}

}  // namespace

void ConvertToColour(ProgramState& state, Host& host) {
  ImageStore& images = state.images;
  const FrameGeometry& g = state.geometry;
  host.openProgress("COLOUR CALCULATION IN PROGRESS");
  host.setProgress(0);
  const SynthesisFrame frame{images.workImage, images.colourPlanes, images.scratchImage, g.width, g.height};
  const int first = FirstProcessedRow(images.workImage);
  // Each luminance row goes into the work image as soon as it is done: no
  // later row reads that raw row again.
  SynthesizeFrame(state.processing.rowLoops, frame, {state.settings.lineOffset, state.settings.pixelOffset},
                  RedDivisor(state.settings.irFilterUsed, state.colour.daylightImage), [&](int row) {
                    host.setProgress(std::min(row >> 2, Host::kProgressRange));
                    if (row > first) {
                      const std::size_t at = static_cast<std::size_t>(row - 1) * g.width;
                      std::memcpy(images.workImage + at, images.scratchImage + at,
                                  static_cast<std::size_t>(g.width) * 2);
                    }
                  });
  host.closeProgress();
  images.colourConverted = 1;
  images.colourUndoHeld = kColourUndoNone;
  state.colour.balance = {};
  state.colour.chromatism = {};
  // The rest of the luminance: the last converted row (the header band and
  // the last row hold the raw values in both images already).
  if (g.height - 2 >= first) {
    const std::size_t at = static_cast<std::size_t>(g.height - 2) * g.width;
    std::memcpy(images.workImage + at, images.scratchImage + at, static_cast<std::size_t>(g.width) * 2);
  }
}

int RedDivisor(bool irFilterUsed, bool daylightImage) {
  if (irFilterUsed) return daylightImage ? 39 : 40;
  return daylightImage ? 37 : 45;
}

std::uint16_t LuminanceWithGain(std::uint32_t luminance) { return static_cast<std::uint16_t>(Gain(luminance)); }

void SynthesizeRow(RowLoops loops, const SynthesisFrame& f, int row, int rowIndex, MatrixPhase phase, int redDivisor) {
  const RowFunction convert = ChooseRow(loops, phase.lineOffset != ((rowIndex & 1) != 0), redDivisor);
  if (!convert) return;
  // The column phase toggles once per column, so it starts each row where
  // the previous row left it.
  const unsigned columnPhase =
      (static_cast<unsigned>(phase.pixelOffset) ^ static_cast<unsigned>(rowIndex) * static_cast<unsigned>(f.width)) &
      1u;
  const std::size_t at = static_cast<std::size_t>(row) * f.width;
  convert(f.raw + at, f.raw + at + f.width, f.planes[0] + at, f.planes[1] + at, f.planes[2] + at, f.luminance + at,
          f.width, columnPhase);
}

void SynthesizeFrame(RowLoops loops, const SynthesisFrame& f, MatrixPhase phase, int redDivisor,
                     const std::function<void(int)>& progress) {
  if (f.width < 2 || f.height < 1) return;
  const int first = FirstProcessedRow(f.raw);
  const std::size_t rowBytes = static_cast<std::size_t>(f.width) * 2;
  // Rows that are not converted keep the image's values in the luminance.
  if (f.luminance != f.raw) {
    std::memcpy(f.luminance, f.raw, static_cast<std::size_t>(std::min(first, f.height)) * rowBytes);
    const std::size_t last = static_cast<std::size_t>(f.height - 1) * f.width;
    std::memcpy(f.luminance + last, f.raw + last, rowBytes);
  }
  for (int r = first; r < f.height - 1; ++r) {
    if (progress) progress(r);
    SynthesizeRow(loops, f, r, r - first, phase, redDivisor);
  }
}

bool SynthesizeColour(ProgramState& state, Host& host, const std::function<bool()>& chooseOptions, bool postProcess) {
  if (!RawColourAllowed(state, host)) return false;
  if (LoadSettings(state.settings, state.paths, host) != SettingsStatus::Ok) ShowMessage(host, 23);
  if (chooseOptions && !chooseOptions()) return false;
  if (SaveSettings(state.settings, state.paths) != SettingsStatus::Ok) ShowMessage(host, 24);
  {
    WaitCursor wait(host);
    ResetBufferPointers(state.images);
    ConvertToColour(state, host);
    if (postProcess) {
      RunAutoProcessing(state, host);
      // The image was just converted, so the filter always applies here.
      if (state.settings.autoAntiAlias) static_cast<void>(AntiAliasFilter(state, host, false));
    }
  }
  host.requestRepaint();
  host.requestRebuildDisplay();
  return true;
}

bool SynthesizeAfterExposure(ProgramState& state, Host& host) {
  if (state.images.colourConverted || !ColourPlanesFitFrame(state.geometry)) return false;
  // The command without its options dialog: the settings file is still read
  // before and saved after.
  return SynthesizeColour(state, host, nullptr);
}

}  // namespace qv
