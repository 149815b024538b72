#include "processing/ui/processing_ui_commands.h"

#include <QDialog>
#include <string>

#include "app/messages.h"
#include "app/ui/qt_host.h"
#include "processing/ui/filter_dialogs.h"
#include "processing/ui/stretch_dialog.h"
#include "processing/ui/stretch_parameter_dialogs.h"

namespace qv {

namespace {

// Starting values of the dialogs.
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

std::string Text(int value) { return std::to_string(value); }

std::optional<CommandArgs> AskPower(ProgramState& state, QtHost& host, QWidget* parent) {
  state.processing.highParam = kNonLinearPowerStart;
  TNonLiniarDialog dialog(host, kNonLinearPowerStart, parent);
  if (!Confirmed(dialog, host)) return std::nullopt;
  return WindowArgs({{"power", Text(dialog.power())}});
}

}  // namespace

std::optional<CommandArgs> AskNormalStretch(ProgramState& state, QtHost& host, QWidget* parent) {
  ProcessingState& p = state.processing;
  p.lowParam = kNormalBlackStart;
  p.highParam = kNormalWhiteStart;
  TStretchDialog dialog(state.images.displayHistogram, host, {p.lowParam, p.highParam}, parent);
  if (!Confirmed(dialog, host)) return std::nullopt;
  return WindowArgs({{"black", Text(dialog.levels().black)}, {"white", Text(dialog.levels().white)}});
}

std::optional<CommandArgs> AskPowerLawStretch(ProgramState& state, QtHost& host, QWidget* parent) {
  state.processing.powerLawExponent = 1.0;
  TPowerDialog dialog(host, parent);
  if (!Confirmed(dialog, host)) return std::nullopt;
  // The exponent counts whole tenths.
  const int tenths = static_cast<int>(dialog.exponent() * 10.0 + 0.5);
  return WindowArgs({{"p", Text(tenths / 10) + "." + Text(tenths % 10)}});
}

std::optional<CommandArgs> AskNonLinearStretch(ProgramState& state, QtHost& host, QWidget* parent) {
  return AskPower(state, host, parent);
}

// Refused before asking for a power when there are no colour planes.
std::optional<CommandArgs> AskNonLinearColourStretch(ProgramState& state, QtHost& host, QWidget* parent) {
  if (!state.images.colourConverted) {
    ShowMessage(host, 69);
    return std::nullopt;
  }
  return AskPower(state, host, parent);
}

// During the automatic processing the unsharp mask asks nothing: it takes
// the stored radius and power.
std::optional<CommandArgs> AskUnsharpMask(ProgramState& state, QtHost& host, QWidget* parent) {
  ProcessingState& p = state.processing;
  if (p.autoProcessingRunning) return CommandArgs{};
  p.highParam = kUnsharpRadiusStart;
  p.lowParam = kUnsharpPowerStart;
  TUnsharpDialog dialog(host, p.highParam, p.lowParam, parent);
  if (!Confirmed(dialog, host)) return std::nullopt;
  return WindowArgs({{"radius", Text(dialog.radius())}, {"power", Text(dialog.power())}});
}

std::optional<CommandArgs> AskMedianFilter(ProgramState& state, QtHost& host, QWidget* parent) {
  ProcessingState& p = state.processing;
  p.highParam = kMedianRadiusStart;
  p.lowParam = kMedianPowerStart;
  TMedianDialog dialog(host, p.highParam, p.lowParam, parent);
  if (!Confirmed(dialog, host)) return std::nullopt;
  return WindowArgs({{"radius", Text(dialog.radius())}, {"power", Text(dialog.powerTenths())}});
}

const CommandDialogs& ProcessingDialogs() {
  using Id = CommandId;
  static const CommandDialogs dialogs{
      {Id::NormalStretch, AskNormalStretch},       {Id::PowerLawStretch, AskPowerLawStretch},
      {Id::NonLinearStretch, AskNonLinearStretch}, {Id::NonLinearColourStretch, AskNonLinearColourStretch},
      {Id::UnsharpMask, AskUnsharpMask},           {Id::MedianFilter, AskMedianFilter},
  };
  return dialogs;
}

void RegisterProcessingUiCommands(UiCommands& commands, UiContext& ui) {
  AddCommandDialogs(commands, ui, ProcessingDialogs());
}

}  // namespace qv
