#include "processing/ui/processing_ui_commands.h"

#include <algorithm>

#include "app/messages.h"
#include "processing/auto_processing.h"
#include "processing/gradient_filter.h"
#include "processing/kernel_filters.h"
#include "processing/median_filter.h"
#include "processing/stretch_commands.h"
#include "processing/ui/filter_dialogs.h"
#include "processing/ui/stretch_dialog.h"
#include "processing/ui/stretch_parameter_dialogs.h"
#include "processing/unsharp_mask.h"

namespace qv {

namespace {

// Shared starting values of the dialogs.
constexpr int kNormalBlackStart = 0, kNormalWhiteStart = 255;
constexpr int kNonLinearPowerStart = 25;
constexpr int kUnsharpRadiusStart = 3, kUnsharpPowerStart = 1;
constexpr int kMedianRadiusStart = 1, kMedianPowerStart = 6;

// A cancelled dialog only repaints the window.
bool Confirmed(QDialog& dialog, QtHost& host) {
  const bool ok = dialog.exec() == QDialog::Accepted;
  host.requestRepaint();
  return ok;
}

}  // namespace

void RunNormalStretchCommand(ProgramState& state, QtHost& host, QWidget* parent) {
  ProcessingState& p = state.processing;
  p.lowParam = kNormalBlackStart;
  p.highParam = kNormalWhiteStart;
  TStretchDialog dialog(state.images.displayHistogram, host, {p.lowParam, p.highParam}, parent);
  if (!Confirmed(dialog, host)) return;
  p.lowParam = static_cast<std::uint16_t>(dialog.levels().black);
  p.highParam = static_cast<std::uint16_t>(dialog.levels().white);
  NormalStretch(state, host, p.lowParam, p.highParam);
}

void RunPowerLawStretchCommand(ProgramState& state, QtHost& host, QWidget* parent) {
  state.processing.powerLawExponent = 1.0;
  TPowerDialog dialog(host, parent);
  if (!Confirmed(dialog, host)) return;
  state.processing.powerLawExponent = dialog.exponent();
  PowerLawStretch(state, host, state.processing.powerLawExponent);
}

void RunSineLawStretchCommand(ProgramState& state, QtHost& host, QWidget*) { SineLawStretch(state, host); }
void RunLogarithmicStretchCommand(ProgramState& state, QtHost& host, QWidget*) { LogarithmicStretch(state, host); }
void RunAntilogarithmicStretchCommand(ProgramState& state, QtHost& host, QWidget*) {
  AntilogarithmicStretch(state, host);
}
void RunInvertToNegativeCommand(ProgramState& state, QtHost& host, QWidget*) { InvertToNegative(state, host); }

void RunNonLinearStretchCommand(ProgramState& state, QtHost& host, QWidget* parent) {
  state.processing.highParam = kNonLinearPowerStart;
  TNonLiniarDialog dialog(host, kNonLinearPowerStart, parent);
  if (!Confirmed(dialog, host)) return;
  state.processing.highParam = static_cast<std::uint16_t>(dialog.power());
  NonLinearStretch(state, host, dialog.power());
}

void RunNonLinearColourStretchCommand(ProgramState& state, QtHost& host, QWidget* parent) {
  // Refused before asking for a power when there are no colour planes.
  if (!state.images.colourConverted) {
    ShowMessage(host, 69);
    return;
  }
  state.processing.highParam = kNonLinearPowerStart;
  TNonLiniarDialog dialog(host, kNonLinearPowerStart, parent);
  if (!Confirmed(dialog, host)) return;
  state.processing.highParam = static_cast<std::uint16_t>(dialog.power());
  NonLinearColourStretch(state, host, dialog.power());
}

void RunRemoveBackgroundCommand(ProgramState& state, QtHost& host, QWidget*) { FillBackgroundTable(state, host, true); }

void RunUnsharpMaskCommand(ProgramState& state, QtHost& host, QWidget* parent) {
  ProcessingState& p = state.processing;
  if (p.autoProcessingRunning) {
    AutoUnsharpMask(state, host);
    return;
  }
  p.highParam = kUnsharpRadiusStart;
  p.lowParam = kUnsharpPowerStart;
  TUnsharpDialog dialog(host, p.highParam, p.lowParam, parent);
  if (!Confirmed(dialog, host)) return;
  p.highParam = static_cast<std::uint16_t>(dialog.radius());
  p.lowParam = static_cast<std::uint16_t>(dialog.power());
  UnsharpMask(state, host, dialog.radius(), dialog.power(), true);
}

void RunMedianFilterCommand(ProgramState& state, QtHost& host, QWidget* parent) {
  ProcessingState& p = state.processing;
  p.highParam = kMedianRadiusStart;
  p.lowParam = kMedianPowerStart;
  TMedianDialog dialog(host, p.highParam, p.lowParam, parent);
  if (!Confirmed(dialog, host)) return;
  p.highParam = static_cast<std::uint16_t>(dialog.radius());
  p.lowParam = static_cast<std::uint16_t>(dialog.powerTenths());
  MedianFilter(state, host, dialog.radius(), dialog.powerTenths());
}

void RunGaussianSmootherCommand(ProgramState& state, QtHost& host, QWidget*) { GaussianSmoother(state, host); }
void RunWeightedMeanSmootherCommand(ProgramState& state, QtHost& host, QWidget*) { WeightedMeanSmoother(state, host); }
void RunHighPassLowPowerCommand(ProgramState& state, QtHost& host, QWidget*) { HighPassLowPower(state, host); }
void RunHighPassHighPowerCommand(ProgramState& state, QtHost& host, QWidget*) { HighPassHighPower(state, host); }
void RunSmootherSharperCommand(ProgramState& state, QtHost& host, QWidget*) { SmootherSharper(state, host); }
void RunBasReliefCommand(ProgramState& state, QtHost& host, QWidget*) { BasRelief(state, host); }
void RunGradientFilterCommand(ProgramState& state, QtHost& host, QWidget*) { GradientFilter(state, host); }

const std::vector<ProcessingUiCommandEntry>& ProcessingUiCommands() {
  static const std::vector<ProcessingUiCommandEntry> commands = {
      {kCmdNormalStretch, RunNormalStretchCommand},
      {kCmdPowerLawStretch, RunPowerLawStretchCommand},
      {kCmdSineLawStretch, RunSineLawStretchCommand},
      {kCmdNonLinearStretch, RunNonLinearStretchCommand},
      {kCmdRemoveBackground, RunRemoveBackgroundCommand},
      {kCmdLogarithmicStretch, RunLogarithmicStretchCommand},
      {kCmdAntilogarithmicStretch, RunAntilogarithmicStretchCommand},
      {kCmdInvertToNegative, RunInvertToNegativeCommand},
      {kCmdNonLinearColourStretch, RunNonLinearColourStretchCommand},
      {kCmdUnsharpMask, RunUnsharpMaskCommand},
      {kCmdMedianFilter, RunMedianFilterCommand},
      {kCmdGaussianSmoother, RunGaussianSmootherCommand},
      {kCmdWeightedMeanSmoother, RunWeightedMeanSmootherCommand},
      {kCmdHighPassLowPower, RunHighPassLowPowerCommand},
      {kCmdHighPassHighPower, RunHighPassHighPowerCommand},
      {kCmdSmootherSharper, RunSmootherSharperCommand},
      {kCmdBasRelief, RunBasReliefCommand},
      {kCmdGradientFilter, RunGradientFilterCommand},
  };
  return commands;
}

}  // namespace qv
