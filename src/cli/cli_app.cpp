#include "cli/cli_app.h"

#include <fstream>
#include <memory>
#include <optional>
#include <utility>

#include "app/command_table.h"
#include "app/display_rebuild.h"
#include "app/messages.h"
#include "app/startup.h"
#include "app/virtual_clock.h"
#include "camera/camera_models.h"
#include "camera/set_camera_type.h"
#include "cli/cli_host.h"
#include "platform/linux_usb_bus.h"
#include "platform/system_clock.h"
#include "sim/sim_world.h"

namespace qv {

namespace {

struct CliOptions {
  std::string root;
  bool simulate = false;
  std::string camera;
  std::string traceUsb;
  std::string traceSerial;
  bool keepGoing = false;
  std::optional<std::time_t> virtualClockStart;  // run on the virtual clock from this UT time
  std::vector<std::string> lines;                // command lines, in order
};

void AppendIndented(std::string& text, std::string_view lines, std::string_view indent) {
  while (!lines.empty()) {
    const auto end = lines.find('\n');
    text += indent;
    text += lines.substr(0, end);
    text += '\n';
    lines = end == std::string_view::npos ? std::string_view() : lines.substr(end + 1);
  }
}

bool ReadScript(const std::string& path, std::vector<std::string>& lines, std::ostream& err) {
  std::ifstream in(path);
  if (!in) {
    err << "qelvesk-cli: cannot read script " << path << '\n';
    return false;
  }
  std::string line;
  while (std::getline(in, line)) {
    const auto first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos || line[first] == '#') continue;
    lines.push_back(line);
  }
  return true;
}

}  // namespace

std::string CliHelpText() {
  std::string text =
      "Usage: qelvesk-cli [--root DIR] [--simulate] [--virtual-clock[=UT]] [--camera MODEL] [--trace-usb FILE]\n"
      "                   [--trace-serial FILE] [--keep-going] [--script FILE] 'COMMAND ARG...' ...\n"
      "\n"
      "Runs the program's operations without a window. Each argument after the options is one\n"
      "command line: a name, then positional arguments and key=value options, split as a shell\n"
      "splits words. --script FILE reads one command per line (blank lines and # comments are\n"
      "skipped); script lines run where the option stands among the command arguments.\n"
      "Commands run in order on one program state, after the program's start-up (settings\n"
      "load, camera type set-up, frame geometry, start-up picture). Numbered messages go to\n"
      "stderr as 'message N: TEXT'. Every command line is checked before the first one runs: an\n"
      "unknown command or a missing or malformed argument gives exit status 2 and runs nothing.\n"
      "The first command that fails or is refused stops the run with exit status 1.\n"
      "\n"
      "Options:\n"
      "  --root DIR      data root (default $QELVESK_ROOT, else ~/QelVesk); the settings file is\n"
      "                  DIR/autosave/Qel_K1C.ini\n"
      "  --simulate      use the simulated camera, filter wheel and mount instead of USB\n"
      "  --virtual-clock[=YYYY-MM-DDTHH:MM:SS]\n"
      "                  run on a virtual clock that starts at that UT time (default\n"
      "                  2000-01-01T00:00:00): waits end at once and the calendar moves on by\n"
      "                  the time waited, so exposures, FITS dates and autosave names repeat\n"
      "  --camera MODEL  start with camera model K1C, K2C, K3C, K4C, K5C or K7\n"
      "  --trace-usb FILE  append every USB block sent and reply received to FILE as hex\n"
      "  --trace-serial FILE  append every serial text sent and reply read (camera ports 0-2,\n"
      "                  the computer's port 'pc') to FILE as 'sent port=P \"...\"' / 'recv ...'\n"
      "  --keep-going    run every command even after one fails; exit 1 at the end if any failed\n"
      "  --script FILE   run the command lines of FILE\n"
      "  --help          this text\n"
      "\n"
      "Commands:\n";
  for (const auto& entry : Commands()) {
    if (entry.cliName.empty() || !entry.run) continue;
    text += "  ";
    text += entry.cliName;
    if (!entry.cliUsage.empty()) {
      text += ' ';
      text += entry.cliUsage;
    }
    text += '\n';
    AppendIndented(text, entry.cliHelp, "      ");
  }
  return text;
}

int RunCli(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err) {
  CliOptions options;
  options.root = DefaultDataRoot();
  for (std::size_t i = 0; i < argv.size(); ++i) {
    const std::string& arg = argv[i];
    auto value = [&](const char* name) -> const std::string* {
      if (i + 1 >= argv.size()) {
        err << "qelvesk-cli: " << name << " needs a value\n";
        return nullptr;
      }
      return &argv[++i];
    };
    if (arg == "--help" || arg == "-h") {
      out << CliHelpText();
      return kCliOk;
    } else if (arg == "--root") {
      const auto* v = value("--root");
      if (!v) return kCliUsageError;
      options.root = *v;
    } else if (arg == "--keep-going") {
      options.keepGoing = true;
    } else if (arg == "--simulate") {
      options.simulate = true;
    } else if (arg == "--virtual-clock") {
      options.virtualClockStart = kVirtualClockDefaultStart;
    } else if (arg.rfind("--virtual-clock=", 0) == 0) {
      const std::string text = arg.substr(arg.find('=') + 1);
      options.virtualClockStart = ParseUtDateTime(text);
      if (!options.virtualClockStart) {
        err << "qelvesk-cli: --virtual-clock takes a UT time YYYY-MM-DDTHH:MM:SS, not '" << text << "'\n";
        return kCliUsageError;
      }
    } else if (arg == "--camera") {
      const auto* v = value("--camera");
      if (!v) return kCliUsageError;
      if (!FindCameraModelByName(*v)) {
        err << "qelvesk-cli: unknown camera model '" << *v << "' (K1C K2C K3C K4C K5C K7)\n";
        return kCliUsageError;
      }
      options.camera = *v;
    } else if (arg == "--trace-usb") {
      const auto* v = value("--trace-usb");
      if (!v) return kCliUsageError;
      options.traceUsb = *v;
    } else if (arg == "--trace-serial") {
      const auto* v = value("--trace-serial");
      if (!v) return kCliUsageError;
      options.traceSerial = *v;
    } else if (arg == "--script") {
      const auto* v = value("--script");
      if (!v || !ReadScript(*v, options.lines, err)) return kCliUsageError;
    } else if (arg.rfind("--", 0) == 0) {
      err << "qelvesk-cli: unknown option " << arg << " (see --help)\n";
      return kCliUsageError;
    } else {
      options.lines.push_back(arg);
    }
  }

  // Split every line and find its command before anything runs, so a typing
  // error costs nothing.
  std::vector<std::pair<const CommandEntry*, CommandArgs>> commands;
  for (const auto& line : options.lines) {
    const auto words = SplitWords(line);
    if (!words) {
      err << "qelvesk-cli: unclosed quote in '" << line << "'\n";
      return kCliUsageError;
    }
    if (words->empty()) continue;
    CommandArgs args = ParseCommandWords(*words);
    const CommandEntry* entry = FindCommandByCliName(args.name);
    if (!entry || !entry->run) {
      err << "qelvesk-cli: unknown command '" << args.name << "' (see --help)\n";
      return kCliUsageError;
    }
    commands.emplace_back(entry, std::move(args));
  }

  auto state = std::make_unique<ProgramState>();
  state->paths.root = options.root;
  state->camera.link.makeBus = options.simulate ? sim::MakeSimulatedDevices : MakeRealDevices;
  state->camera.link.traceUsbPath = options.traceUsb;
  state->camera.link.traceSerialPath = options.traceSerial;
  CliHost host(err);
  std::unique_ptr<Clock> clockOwner;
  if (options.virtualClockStart) {
    clockOwner = std::make_unique<VirtualClock>(*options.virtualClockStart);
  } else {
    clockOwner = std::make_unique<SystemClock>();
  }
  Clock& clock = *clockOwner;
  CommandContext context{*state, host, clock, out, err};

  // Then check every command's arguments, still before anything runs.
  context.checkOnly = true;
  for (const auto& [entry, args] : commands) {
    if (RunCommand(*entry, context, args) == CommandStatus::Usage) return kCliUsageError;
  }
  context.checkOnly = false;

  RunStartup(*state, host);
  bool cameraNotSaved = false;
  if (!options.camera.empty()) {
    state->settings.cameraType = static_cast<std::int16_t>(FindCameraModelByName(options.camera)->code);
    // The model is in force for the commands either way; a file that could
    // not be written fails the run.
    if (SetCameraType(state->settings, state->camera, state->geometry, state->paths) != SettingsStatus::Ok) {
      ShowMessage(host, 24);
      cameraNotSaved = true;
    }
    StartupFill(state->images, state->geometry);
  }

  bool anyFailed = cameraNotSaved;
  for (const auto& [entry, args] : commands) {
    const CommandStatus status = RunCommand(*entry, context, args);
    // What the window would do next: the rebuild or repaint the command asked for.
    ShowCommandResult(*state, host, std::exchange(host.rebuildRequested, false),
                      std::exchange(host.repaintRequested, false));
    if (status == CommandStatus::Done) continue;
    err << "qelvesk-cli: " << args.name << " failed\n";
    anyFailed = true;
    if (!options.keepGoing) return kCliCommandFailed;
  }
  return anyFailed ? kCliCommandFailed : kCliOk;
}

}  // namespace qv
