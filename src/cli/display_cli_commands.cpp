// The display: rebuild and export the temporary bitmap, display options,
// mirror and flip.

#include <charconv>
#include <fstream>

#include "app/display_commands.h"
#include "app/display_rebuild.h"
#include "cli/cli_commands.h"

namespace qv {

namespace {

bool OneArgument(CliContext& c, const CliCommand& command, std::string_view usage) {
  if (command.positional.size() == 1 && command.options.empty()) return true;
  c.err << command.name << ": give " << usage << '\n';
  return false;
}

bool Rebuild(CliContext& c, const CliCommand&) {
  if (RebuildDisplay(c.state, c.host) != BitmapWriteResult::Ok) return false;
  c.out << "bitmap=" << c.state.display.bitmapPath << '\n';
  return true;
}

bool ExportDisplay(CliContext& c, const CliCommand& command) {
  if (!OneArgument(c, command, "the file to write")) return false;
  if (!c.state.display.hasBitmap() && RebuildDisplay(c.state, c.host) != BitmapWriteResult::Ok) return false;
  const auto& bitmap = c.state.display.bitmap;
  std::ofstream out(command.positional[0], std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bitmap.data()), static_cast<std::streamsize>(bitmap.size()));
  out.close();
  if (!out) {
    c.err << "export-display: cannot write " << command.positional[0] << '\n';
    return false;
  }
  return true;
}

bool Toggle(CliContext& c, const CliCommand& command) {
  if (!OneArgument(c, command, "auto-contrast, false-colour, show-centre or stretch-display")) return false;
  const std::string& what = command.positional[0];
  if (what == "auto-contrast") {
    ToggleDisplayFlag(c.state, c.host, DisplayFlag::AutoContrast);
  } else if (what == "false-colour") {
    ToggleDisplayFlag(c.state, c.host, DisplayFlag::FalseColour);
  } else if (what == "show-centre") {
    ToggleDisplayFlag(c.state, c.host, DisplayFlag::ShowCentre);
  } else if (what == "stretch-display") {
    SetStretchDisplay(c.state, c.host, kStretchToggle);
  } else {
    c.err << "toggle: unknown option '" << what << "' (auto-contrast false-colour show-centre stretch-display)\n";
    return false;
  }
  return true;
}

bool StretchPower(CliContext& c, const CliCommand& command) {
  if (!OneArgument(c, command, "a power from 2 to 50")) return false;
  const std::string& text = command.positional[0];
  int power = 0;
  const auto parsed = std::from_chars(text.data(), text.data() + text.size(), power);
  if (parsed.ec != std::errc() || parsed.ptr != text.data() + text.size() || !SetStretchPower(c.state.display, power)) {
    c.err << "stretch-power: give a whole number from 2 to 50\n";
    return false;
  }
  if (!c.state.images.colourConverted) RebuildDisplay(c.state, c.host);
  return true;
}

bool Mirror(CliContext& c, const CliCommand&) {
  MirrorImage(c.state, c.host);
  return true;
}

bool Flip(CliContext& c, const CliCommand&) {
  FlipImage(c.state, c.host);
  return true;
}

bool ChannelView(CliContext& c, const CliCommand& command) {
  if (!OneArgument(c, command, "N, L, R, G or B")) return false;
  const std::string& letter = command.positional[0];
  if (letter.size() != 1 || !SetChannelView(c.state.display, letter[0])) {
    c.err << "channel-view: give N, L, R, G or B\n";
    return false;
  }
  RebuildDisplay(c.state, c.host);
  return true;
}

}  // namespace

void AddDisplayCommands(std::vector<CliCommandSpec>& commands) {
  commands.insert(
      commands.end(),
      {
          {"rebuild-display", "",
           "Rebuild the display: write the temporary bitmap as the main window does and print its path.", Rebuild},
          {"export-display", "FILE", "Write a copy of the displayed bitmap (rebuilt first when there is none) to FILE.",
           ExportDisplay},
          {"toggle", "auto-contrast|false-colour|show-centre|stretch-display",
           "Switch a display option on or off and rebuild the display.", Toggle},
          {"stretch-power", "K", "Set the display stretch power (2 to 50) and rebuild a mono display.", StretchPower},
          {"mirror", "", "Mirror Image: reverse every row left to right (the label band stays).", Mirror},
          {"flip", "", "Flip Image: turn the image upside down (the label band stays).", Flip},
          {"channel-view", "N|L|R|G|B",
           "Show a colour image in full colour (N), as luminance (L) or as one channel, and rebuild.", ChannelView},
      });
}

}  // namespace qv
