// Contrast stretches, spatial filters and the automatic processing.

#include <charconv>
#include <cstdlib>
#include <string>

#include "cli/cli_commands.h"
#include "processing/auto_processing.h"
#include "processing/gradient_filter.h"
#include "processing/kernel_filters.h"
#include "processing/median_filter.h"
#include "processing/stretch_commands.h"
#include "processing/unsharp_mask.h"

namespace qv {

namespace {

// Reads option `key` as a whole number within [low, high].
bool IntOption(CliContext& c, const CliCommand& command, std::string_view key, int low, int high, int& value) {
  const std::string* text = command.option(key);
  if (!text) {
    c.err << command.name << ": give " << key << "=N (" << low << " to " << high << ")\n";
    return false;
  }
  const char* end = text->data() + text->size();
  const auto [ptr, ec] = std::from_chars(text->data(), end, value);
  if (ec != std::errc() || ptr != end || value < low || value > high) {
    c.err << command.name << ": " << key << " must be a whole number from " << low << " to " << high << '\n';
    return false;
  }
  return true;
}

bool StretchNormal(CliContext& c, const CliCommand& command) {
  int black = 0, white = 0;
  if (!IntOption(c, command, "black", 0, 255, black) || !IntOption(c, command, "white", 1, 300, white)) return false;
  if (!NormalStretch(c.state, c.host, black, white)) c.err << "stretch-normal: white not above black, nothing done\n";
  return true;
}

bool StretchPower(CliContext& c, const CliCommand& command) {
  const std::string* text = command.option("p");
  char* end = nullptr;
  const double p = text ? std::strtod(text->c_str(), &end) : 0.0;
  if (!text || text->empty() || *end != '\0' || !(p >= 0.1 && p <= 3.0)) {
    c.err << "stretch-power: give p=P from 0.1 to 3.0\n";
    return false;
  }
  if (!PowerLawStretch(c.state, c.host, p)) c.err << "stretch-power: power 1 leaves the image as it is\n";
  return true;
}

bool StretchNonLinear(CliContext& c, const CliCommand& command) {
  int power = 0;
  if (!IntOption(c, command, "power", 2, 50, power)) return false;
  NonLinearStretch(c.state, c.host, power);
  return true;
}

bool RemoveBackground(CliContext& c, const CliCommand&) {
  if (!FillBackgroundTable(c.state, c.host, true)) {
    c.err << "remove-background: black level below 3, nothing done\n";
  }
  return true;
}

bool Unsharp(CliContext& c, const CliCommand& command) {
  int radius = 0, power = 0;
  if (!IntOption(c, command, "radius", kUnsharpMinimum, kUnsharpMaximum, radius) ||
      !IntOption(c, command, "power", kUnsharpMinimum, kUnsharpMaximum, power)) {
    return false;
  }
  UnsharpMask(c.state, c.host, radius, power, true);
  return true;
}

bool Median(CliContext& c, const CliCommand& command) {
  int radius = 0, power = 0;
  if (!IntOption(c, command, "radius", 1, kMedianMaxRadius, radius) ||
      !IntOption(c, command, "power", 1, kMedianMaxPowerTenths, power)) {
    return false;
  }
  MedianFilter(c.state, c.host, radius, power);
  return true;
}

template <void (*Run)(ProgramState&, Host&)>
bool Plain(CliContext& c, const CliCommand&) {
  Run(c.state, c.host);
  return true;
}

void HighPassLowPowerCommand(ProgramState& state, Host& host) { HighPassLowPower(state, host); }

}  // namespace

void AddProcessingCommands(std::vector<CliCommandSpec>& commands) {
  commands.insert(commands.end(),
                  {
                      {"stretch-normal", "black=B white=W",
                       "Normal Stretch: black level 0 to 255, white level 1 to 300.", StretchNormal},
                      {"stretch-power", "p=P", "Power Law Stretch with power 0.1 to 3.0.", StretchPower},
                      {"stretch-sine", "", "Sine Law Stretch.", Plain<SineLawStretch>},
                      {"stretch-log", "", "Logarithmic Stretch.", Plain<LogarithmicStretch>},
                      {"stretch-antilog", "", "Antilogarithmic Stretch.", Plain<AntilogarithmicStretch>},
                      {"invert", "", "Invert image to Negative.", Plain<InvertToNegative>},
                      {"stretch-nonlinear", "power=X", "Non-Linear Stretch with power 2 to 50.", StretchNonLinear},
                      {"remove-background", "", "Remove Background below the display black level.", RemoveBackground},
                      {"unsharp", "radius=R power=P", "Unsharp masking: radius 1 to 7, power 1 to 7.", Unsharp},
                      {"median", "radius=R power=P", "Median Filter: radius 1 to 3, power in tenths 1 to 10.", Median},
                      {"gaussian", "", "Gaussian Smoother Filter.", Plain<GaussianSmoother>},
                      {"lowpass-mean", "", "Low Pass Weighted Mean Smoother.", Plain<WeightedMeanSmoother>},
                      {"highpass-low", "", "High Pass, Low Power.", Plain<HighPassLowPowerCommand>},
                      {"highpass-high", "", "High Pass, High Power.", Plain<HighPassHighPower>},
                      {"smoother-sharper", "", "Smoother/Sharper Filter.", Plain<SmootherSharper>},
                      {"bas-relief", "", "Bas Relief Generator.", Plain<BasRelief>},
                      {"gradient", "",
                       "Gradient Filter: subtract the background estimated from four 40 x 40 corner patches (moved "
                       "inside frames smaller than 640 x 490).",
                       Plain<GradientFilter>},
                      {"auto-process", "", "Run the automatic processing chosen in the settings (see settings-set).",
                       Plain<RunAutoProcessing>},
                  });
}

}  // namespace qv
