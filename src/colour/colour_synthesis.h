#pragma once
// Colour synthesis: the raw colour-matrix frame in the work image becomes
// three colour planes (red, blue, green) and a luminance image.

#include <array>
#include <cstdint>
#include <functional>

#include "app/host.h"
#include "app/program_state.h"

namespace qv {

inline constexpr int kColourMultiplier = 60;
inline constexpr int kBlueDivisor = 30;
inline constexpr int kGreenDivisor = 39;

// Red divisor for the IR filter and daylight choices.
int RedDivisor(bool irFilterUsed, bool daylightImage);

// The luminance gain 1.2 (a single-precision constant) on a cell's luminance
// before gain, with its ceiling of 65535.
std::uint16_t LuminanceWithGain(std::uint32_t luminance);

struct SynthesisFrame {
  const std::uint16_t* raw = nullptr;
  std::array<std::uint16_t*, 3> planes{};  // red, blue, green
  std::uint16_t* luminance = nullptr;
  int width = 0;
  int height = 0;
};

struct MatrixPhase {
  bool lineOffset = false;
  bool pixelOffset = false;
};

// Converts row `row` of the frame (the `rowIndex`-th converted row counting
// from the first one, which decides the matrix phase) into the planes and the
// luminance. The row below must exist.
void SynthesizeRow(RowLoops loops, const SynthesisFrame& frame, int row, int rowIndex, MatrixPhase phase,
                   int redDivisor);

// Converts every row from the first processed row up to the one before the
// last. The luminance image first receives the raw rows that are not
// converted (the header band and the last row), so it holds a whole image.
// `progress(row)` is called before each row.
void SynthesizeFrame(RowLoops loops, const SynthesisFrame& frame, MatrixPhase phase, int redDivisor,
                     const std::function<void(int)>& progress = {});

// The conversion step of the synthesis on the work image, with the stored
// matrix phase, IR filter and daylight choices: planes and luminance, the
// colour-converted flag set, the balance and chromatism values cleared. No
// settings file, dialog or post-processing.
void ConvertToColour(ProgramState& state, Host& host);

// The synthesis command. Refused with "Already Colour Converted" on a
// converted image. Reloads the settings, lets `chooseOptions` set them (the
// options dialog; false cancels), saves them, converts the work image,
// copies the luminance into the work image, sets the colour-converted flag
// and clears the balance and chromatism values; then, when `postProcess`,
// the automatic processing the settings choose and the anti-alias filter when
// chosen. Returns false when refused or cancelled.
[[nodiscard]] bool SynthesizeColour(ProgramState& state, Host& host, const std::function<bool()>& chooseOptions,
                                    bool postProcess = true);

// The synthesis after an exposure, without the options dialog: the settings
// file read and saved as by the command, the stored options and the
// automatic processing they choose. Does nothing on an image already
// converted.
[[nodiscard]] bool SynthesizeAfterExposure(ProgramState& state, Host& host);

}  // namespace qv
