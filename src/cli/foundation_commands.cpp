// Settings, camera type, geometry, messages, history and undo.

#include <charconv>

#include "app/messages.h"
#include "app/settings_file.h"
#include "app/settings_text.h"
#include "app/undo_commands.h"
#include "camera/set_camera_type.h"
#include "cli/cli_commands.h"

namespace qv {

namespace {

void PrintPairs(std::ostream& out, const std::vector<std::pair<std::string, std::string>>& pairs) {
  for (const auto& [name, value] : pairs) out << name << '=' << value << '\n';
}

bool ReportSave(CliContext& c, SettingsStatus status) {
  if (status == SettingsStatus::Ok) return true;
  ShowMessage(c.host, 24);
  return false;
}

bool SettingsShow(CliContext& c, const CliCommand&) {
  PrintPairs(c.out, ListSettings(c.state.settings));
  return true;
}

bool SettingsSet(CliContext& c, const CliCommand& command) {
  if (command.options.empty() || !command.positional.empty()) {
    c.err << "settings-set: give name=value pairs\n";
    return false;
  }
  if (auto error = SetSettingsByName(c.state.settings, command.options)) {
    c.err << "settings-set: " << *error << '\n';
    return false;
  }
  return ReportSave(c, SaveSettings(c.state.settings, c.state.paths));
}

bool SettingsLoad(CliContext& c, const CliCommand&) {
  if (LoadSettings(c.state.settings, c.state.paths, c.host) == SettingsStatus::Ok) return true;
  ShowMessage(c.host, 23);
  return false;
}

bool SettingsSave(CliContext& c, const CliCommand&) {
  return ReportSave(c, SaveSettings(c.state.settings, c.state.paths));
}

bool CameraType(CliContext& c, const CliCommand& command) {
  if (command.positional.size() != 1) {
    c.err << "camera-type: give one of K1C K2C K3C K4C K5C K7\n";
    return false;
  }
  const auto model = FindCameraModelByName(command.positional[0]);
  if (!model) {
    c.err << "camera-type: unknown model '" << command.positional[0] << "' (K1C K2C K3C K4C K5C K7)\n";
    return false;
  }
  c.state.settings.cameraType = static_cast<std::int16_t>(model->code);
  return ReportSave(c, SetCameraType(c.state.settings, c.state.camera, c.state.geometry, c.state.paths));
}

bool Geometry(CliContext& c, const CliCommand&) {
  PrintPairs(c.out, ListFrameGeometry(c.state.geometry));
  return true;
}

bool Message(CliContext& c, const CliCommand& command) {
  int number = 0;
  const std::string* text = command.positional.size() == 1 ? &command.positional[0] : nullptr;
  if (!text || std::from_chars(text->data(), text->data() + text->size(), number).ptr != text->data() + text->size()) {
    c.err << "message: give a message number\n";
    return false;
  }
  const std::string* callerText = command.option("text");
  ShowMessage(c.host, number, callerText ? std::string_view(*callerText) : std::string_view());
  return true;
}

bool History(CliContext& c, const CliCommand&) {
  c.out << HistoryBoxText(c.state.images.history);
  return true;
}

bool Undo(CliContext& c, const CliCommand&) {
  UndoLastFilter(c.state, c.host);
  return true;
}

}  // namespace

void AddFoundationCommands(std::vector<CliCommandSpec>& commands) {
  commands.insert(commands.end(), {
      {"settings-show", "", "Print every stored setting as name=value, in file order.", SettingsShow},
      {"settings-set", "name=value ...",
       "Set settings by name (as settings-show names them), then save the settings file.\n"
       "Flags take y/n (or 1/0); filterNames takes eight names separated by commas.",
       SettingsSet},
      {"settings-load", "", "Read the settings file again.", SettingsLoad},
      {"settings-save", "", "Write the settings file from the current settings.", SettingsSave},
      {"camera-type", "K1C|K2C|K3C|K4C|K5C|K7",
       "Set Camera Type: choose the sensor model, recompute the frame geometry, save the settings.", CameraType},
      {"geometry", "", "Print every frame geometry value as name=value.", Geometry},
      {"message", "N [text=TEXT]", "Show numbered message N (50 shows TEXT).", Message},
      {"history", "", "Print the processing history as the Processing History box shows it.", History},
      {"undo", "", "Undo Last Filter: restore the image kept before the last filter.", Undo},
  });
}

}  // namespace qv
