#include "colour/ui/colour_ui_commands.h"

#include <string>

#include "app/messages.h"
#include "app/settings_file.h"
#include "app/ui/qt_host.h"
#include "colour/colour_balance.h"
#include "colour/colour_checks.h"
#include "colour/mono_image.h"
#include "colour/ui/colour_dialogs.h"

namespace qv {

namespace {

bool Confirmed(QDialog& dialog, QtHost& host) {
  const bool ok = dialog.exec() == QDialog::Accepted;
  host.requestRepaint();
  return ok;
}

std::string Triple(const ColourBalance& v) {
  return std::to_string(v.start) + "," + std::to_string(v.minimum) + "," + std::to_string(v.maximum);
}

}  // namespace

// The options are read from the settings file, edited, and saved before the
// command runs, which reads the file again; only the daylight flag, which the
// file does not keep, travels as an argument. A converted image goes straight
// to the command, which refuses it.
std::optional<CommandArgs> AskSynthesizeColour(ProgramState& state, QtHost& host, QWidget* parent) {
  if (state.images.colourConverted) return CommandArgs{};
  if (LoadSettings(state.settings, state.paths, host) != SettingsStatus::Ok) ShowMessage(host, 23);
  TColourDialog dialog(state.settings, state.colour, host, parent);
  if (!Confirmed(dialog, host)) return std::nullopt;
  if (SaveSettings(state.settings, state.paths) != SettingsStatus::Ok) ShowMessage(host, 24);
  return WindowArgs({{"daylight", state.colour.daylightImage ? "1" : "0"}});
}

std::optional<CommandArgs> AskSingleFilter(ProgramState& state, QtHost& host, QWidget* parent) {
  if (!SingleFilterAllowed(state, host)) return std::nullopt;
  TMonoImageDialog dialog(state.colour.singleFilterChoice, host, parent);
  if (!Confirmed(dialog, host)) return std::nullopt;
  return WindowArgs({}, {std::to_string(dialog.choice())});
}

std::optional<CommandArgs> AskColourBalance(ProgramState& state, QtHost& host, QWidget* parent) {
  if (!ColourFilterAllowed(state, host)) return std::nullopt;
  state.colour.balance = {};
  ComputeColourHistograms(state);
  TBalanceDialog dialog(state.colour, state.settings.colourBalanceLevel, host, parent);
  if (!Confirmed(dialog, host)) return std::nullopt;
  const auto& v = dialog.values();
  return WindowArgs({{"red", Triple(v[ImageStore::kRed])},
                     {"green", Triple(v[ImageStore::kGreen])},
                     {"blue", Triple(v[ImageStore::kBlue])},
                     {"saturation", std::to_string(dialog.saturation())}});
}

std::optional<CommandArgs> AskChromatism(ProgramState& state, QtHost& host, QWidget* parent) {
  if (!ColourFilterAllowed(state, host)) return std::nullopt;
  state.colour.chromatism = {};
  TChromaticDialog dialog(host, parent);
  if (!Confirmed(dialog, host)) return std::nullopt;
  const ChromatismShifts& s = dialog.shifts();
  return WindowArgs({{"red-x", std::to_string(s.redX)},
                     {"red-y", std::to_string(s.redY)},
                     {"blue-x", std::to_string(s.blueX)},
                     {"blue-y", std::to_string(s.blueY)}});
}

const CommandDialogs& ColourDialogs() {
  using Id = CommandId;
  static const CommandDialogs dialogs{
      {Id::SynthesizeColour, AskSynthesizeColour},
      {Id::CreateMonoImage, AskSingleFilter},
      {Id::SetColourBalance, AskColourBalance},
      {Id::AdjustChromatism, AskChromatism},
  };
  return dialogs;
}

void RegisterColourUiCommands(UiCommands& commands, UiContext& ui) { AddCommandDialogs(commands, ui, ColourDialogs()); }

}  // namespace qv
