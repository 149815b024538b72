#include "app/app_command_runs.h"

#include <span>

#include "app/arg_reader.h"
#include "app/display_commands.h"
#include "app/display_rebuild.h"
#include "app/messages.h"
#include "app/processing_history.h"
#include "app/settings_file.h"
#include "app/settings_text.h"
#include "app/undo_commands.h"
#include "camera/camera_models.h"
#include "camera/set_camera_type.h"
#include "files/file_io.h"

namespace qv {

namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

void PrintPairs(std::ostream& out, const Pairs& pairs) {
  for (const auto& [name, value] : pairs) out << name << '=' << value << '\n';
}

// A command without arguments: checks there are none.
bool NoArguments(CommandContext& c, const CommandArgs& args, CommandStatus& status) {
  ArgReader r(c, args);
  const bool go = r.proceed();
  status = r.status();
  return go;
}

CommandStatus ReportSave(CommandContext& c, SettingsStatus status) {
  if (status == SettingsStatus::Ok) return CommandStatus::Done;
  ShowMessage(c.host, 24);
  return CommandStatus::Refused;
}

template <typename Action>
CommandStatus Plain(CommandContext& c, const CommandArgs& args, Action action) {
  CommandStatus status;
  if (!NoArguments(c, args, status)) return status;
  return action();
}

CommandStatus Toggle(CommandContext& c, const CommandArgs& args, DisplayFlag flag) {
  return Plain(c, args, [&] {
    ToggleDisplayFlag(c.state, c.host, flag);
    return CommandStatus::Done;
  });
}

CommandStatus Stretch(CommandContext& c, const CommandArgs& args, CommandId id) {
  return Plain(c, args, [&] {
    // False only when the stretch was already as asked: nothing to do then.
    static_cast<void>(SetStretchDisplay(c.state, c.host, id));
    return CommandStatus::Done;
  });
}

// The 16-bit buffer behind a plane name, or nothing (after a note) when the
// frame has no such plane now.
const std::uint16_t* PlaneBuffer(CommandContext& c, std::string_view plane) {
  ImageStore& images = c.state.images;
  if (plane == "image") return images.workImage;
  if (!images.colourConverted) {
    c.err << "dump-image: the image is not colour converted; it has no " << plane << " plane\n";
    return nullptr;
  }
  if (plane == "luminance") return images.workImage;
  if (plane == "red") return images.colourPlanes[ImageStore::kRed];
  if (plane == "green") return images.colourPlanes[ImageStore::kGreen];
  return images.colourPlanes[ImageStore::kBlue];
}

}  // namespace

CommandStatus RunSettingsShow(CommandContext& c, const CommandArgs& args) {
  return Plain(c, args, [&] {
    PrintPairs(c.out, ListSettings(c.state.settings));
    return CommandStatus::Done;
  });
}

CommandStatus RunSettingsSet(CommandContext& c, const CommandArgs& args) {
  if (args.options.empty() || !args.positional.empty()) {
    c.err << args.name << ": give name=value pairs\n";
    return CommandStatus::Usage;
  }
  // The names and values are checked on a copy, so a bad pair is a usage
  // error found before anything runs.
  ProgramSettings trial = c.state.settings;
  if (auto error = SetSettingsByName(trial, args.options)) {
    c.err << args.name << ": " << *error << '\n';
    return CommandStatus::Usage;
  }
  if (c.checkOnly) return CommandStatus::Done;
  SetSettingsByName(c.state.settings, args.options);
  return ReportSave(c, SaveSettings(c.state.settings, c.state.paths));
}

CommandStatus RunSettingsLoad(CommandContext& c, const CommandArgs& args) {
  return Plain(c, args, [&] {
    if (LoadSettings(c.state.settings, c.state.paths, c.host) == SettingsStatus::Ok) return CommandStatus::Done;
    ShowMessage(c.host, 23);
    return CommandStatus::Refused;
  });
}

CommandStatus RunSettingsSave(CommandContext& c, const CommandArgs& args) {
  return Plain(c, args, [&] { return ReportSave(c, SaveSettings(c.state.settings, c.state.paths)); });
}

// Without a model name the current camera type is set up again, as the
// pop-up menu's command does.
CommandStatus RunSetCameraType(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  std::optional<CameraModel> model;
  if (!args.positional.empty()) {
    const std::string name = r.single("one of K1C K2C K3C K4C K5C K7");
    model = r.ok() ? FindCameraModelByName(name) : std::nullopt;
    if (r.ok() && !model) r.fail("unknown model '" + name + "' (K1C K2C K3C K4C K5C K7)");
  }
  if (!r.proceed()) return r.status();
  if (model) c.state.settings.cameraType = static_cast<std::int16_t>(model->code);
  return ReportSave(c, SetCameraType(c.state.settings, c.state.camera, c.state.geometry, c.state.paths));
}

CommandStatus RunShowGeometry(CommandContext& c, const CommandArgs& args) {
  return Plain(c, args, [&] {
    PrintPairs(c.out, ListFrameGeometry(c.state.geometry));
    return CommandStatus::Done;
  });
}

CommandStatus RunShowMessage(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const long number = r.positionalInteger("a message number", 0, 1000);
  const std::string text = r.text("text", "");
  if (!r.proceed()) return r.status();
  ShowMessage(c.host, static_cast<int>(number), text);
  return CommandStatus::Done;
}

CommandStatus RunProcessingHistory(CommandContext& c, const CommandArgs& args) {
  return Plain(c, args, [&] {
    c.out << HistoryBoxText(c.state.images.history);
    return CommandStatus::Done;
  });
}

CommandStatus RunUndoLastColourFilter(CommandContext& c, const CommandArgs& args) {
  return Plain(c, args,
               [&] { return UndoLastColourFilter(c.state, c.host) ? CommandStatus::Done : CommandStatus::Refused; });
}

CommandStatus RunShowImageCentre(CommandContext& c, const CommandArgs& args) {
  return Toggle(c, args, DisplayFlag::ShowCentre);
}
CommandStatus RunFalseColour(CommandContext& c, const CommandArgs& args) {
  return Toggle(c, args, DisplayFlag::FalseColour);
}
CommandStatus RunAutoContrast(CommandContext& c, const CommandArgs& args) {
  return Toggle(c, args, DisplayFlag::AutoContrast);
}
CommandStatus RunStretchDisplayToggle(CommandContext& c, const CommandArgs& args) {
  return Stretch(c, args, CommandId::StretchDisplayToggle);
}
CommandStatus RunStretchDisplayOn(CommandContext& c, const CommandArgs& args) {
  return Stretch(c, args, CommandId::StretchDisplayOn);
}
CommandStatus RunStretchDisplayOff(CommandContext& c, const CommandArgs& args) {
  return Stretch(c, args, CommandId::StretchDisplayOff);
}

CommandStatus RunRebuildDisplay(CommandContext& c, const CommandArgs& args) {
  return Plain(c, args, [&] {
    if (RebuildDisplay(c.state, c.host) != BitmapWriteResult::Ok) return CommandStatus::Refused;
    c.out << "bitmap=" << c.state.display.bitmapPath << '\n';
    return CommandStatus::Done;
  });
}

CommandStatus RunExportDisplay(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const std::string path = r.single("the file to write");
  if (!r.proceed()) return r.status();
  if (!c.state.display.hasBitmap() && RebuildDisplay(c.state, c.host) != BitmapWriteResult::Ok) {
    return CommandStatus::Refused;
  }
  const auto& bitmap = c.state.display.bitmap;
  if (!ReplaceFileWith(NativePath(c.state.paths, path), std::span(bitmap.data(), bitmap.size()))) {
    c.err << args.name << ": cannot write " << path << '\n';
    return CommandStatus::Refused;
  }
  return CommandStatus::Done;
}

CommandStatus RunChannelView(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  static constexpr char kLetters[] = {'N', 'L', 'R', 'G', 'B'};
  const int index = r.choice({"N", "L", "R", "G", "B"});
  if (!r.proceed()) return r.status();
  if (!SetChannelView(c.state.display, kLetters[index])) return CommandStatus::Refused;
  RebuildDisplay(c.state, c.host);
  return CommandStatus::Done;
}

CommandStatus RunDisplayStretchPower(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const long power = r.positionalInteger("a power", 2, 50);
  if (!r.proceed()) return r.status();
  if (!SetStretchPower(c.state.display, static_cast<double>(power))) return CommandStatus::Refused;
  if (!c.state.images.colourConverted) RebuildDisplay(c.state, c.host);
  return CommandStatus::Done;
}

CommandStatus RunDumpImage(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const std::string path = r.single("the file to write");
  const std::string plane = r.text("plane", "image");
  if (plane != "image" && plane != "red" && plane != "green" && plane != "blue" && plane != "luminance") {
    r.fail("plane must be image, red, green, blue or luminance");
  }
  if (!r.proceed()) return r.status();
  const std::uint16_t* pixels = PlaneBuffer(c, plane);
  if (!pixels) return CommandStatus::Refused;
  const FrameGeometry& g = c.state.geometry;
  const std::size_t count = static_cast<std::size_t>(std::max(g.pixelCount, 0));
  std::vector<std::uint8_t> bytes(count * 2);
  for (std::size_t i = 0; i < count; ++i) {
    bytes[2 * i] = static_cast<std::uint8_t>(pixels[i] & 0xFF);
    bytes[2 * i + 1] = static_cast<std::uint8_t>(pixels[i] >> 8);
  }
  if (!ReplaceFileWith(NativePath(c.state.paths, path), bytes)) {
    c.err << args.name << ": cannot write " << path << '\n';
    return CommandStatus::Refused;
  }
  c.out << g.width << ' ' << g.height << '\n';
  return CommandStatus::Done;
}

CommandStatus RunPixelValues(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const long x = r.integer("x", 0, 1'000'000);
  const long y = r.integer("y", 0, 1'000'000);
  if (!r.proceed()) return r.status();
  const FrameGeometry& g = c.state.geometry;
  if (x >= g.width || y >= g.height) {
    c.err << args.name << ": (" << x << ", " << y << ") is outside the " << g.width << " x " << g.height << " frame\n";
    return CommandStatus::Refused;
  }
  const ImageStore& images = c.state.images;
  const std::size_t i = static_cast<std::size_t>(y) * static_cast<std::size_t>(g.width) + static_cast<std::size_t>(x);
  c.out << "image=" << images.workImage[i] << " red=" << images.colourPlanes[ImageStore::kRed][i]
        << " green=" << images.colourPlanes[ImageStore::kGreen][i]
        << " blue=" << images.colourPlanes[ImageStore::kBlue][i] << '\n';
  return CommandStatus::Done;
}

}  // namespace qv
