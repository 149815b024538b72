#include "cli/cli_app.h"

#include <fstream>
#include <memory>
#include <utility>

#include "app/display_rebuild.h"
#include "app/startup.h"
#include "camera/camera_models.h"
#include "camera/set_camera_type.h"
#include "cli/cli_commands.h"
#include "cli/cli_host.h"
#include "platform/system_clock.h"

namespace qv {

namespace {

struct CliOptions {
  std::string root;
  bool simulate = false;
  std::string camera;
  std::string traceUsb;
  std::vector<std::string> lines;  // command lines, in order
};

const CliCommandSpec* FindCommand(std::string_view name) {
  for (const auto& spec : CliCommands()) {
    if (spec.name == name) return &spec;
  }
  return nullptr;
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
      "Usage: qelvesk-cli [--root DIR] [--simulate] [--camera MODEL] [--trace-usb FILE] [--script FILE] 'COMMAND ARG...' ...\n"
      "\n"
      "Runs the program's operations without a window. Each argument after the options is one\n"
      "command line: a name, then positional arguments and key=value options, split as a shell\n"
      "splits words. --script FILE reads one command per line (blank lines and # comments are\n"
      "skipped); script lines run where the option stands among the command arguments.\n"
      "Commands run in order on one program state, after the program's start-up (settings\n"
      "load, camera type set-up, frame geometry, start-up picture). Numbered messages go to\n"
      "stderr as 'message N: TEXT'. The first failed command stops the run with exit status 1;\n"
      "a usage error gives 2.\n"
      "\n"
      "Options:\n"
      "  --root DIR      data root (default $QELVESK_ROOT, else ~/QelVesk); the settings file is\n"
      "                  DIR/autosave/Qel_K1C.ini\n"
      "  --simulate      use the simulated camera, filter wheel and mount instead of USB\n"
      "  --camera MODEL  start with camera model K1C, K2C, K3C, K4C, K5C or K7\n"
      "  --trace-usb FILE  append every USB block sent and reply received to FILE as hex\n"
      "  --script FILE   run the command lines of FILE\n"
      "  --help          this text\n"
      "\n"
      "Commands:\n";
  for (const auto& spec : CliCommands()) {
    text += "  ";
    text += spec.name;
    if (!spec.usage.empty()) {
      text += ' ';
      text += spec.usage;
    }
    text += '\n';
    std::string_view help = spec.help;
    while (!help.empty()) {
      const auto end = help.find('\n');
      text += "      ";
      text += help.substr(0, end);
      text += '\n';
      help = end == std::string_view::npos ? std::string_view() : help.substr(end + 1);
    }
  }
  return text;
}

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CliOptions options;
  options.root = DefaultDataRoot();
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&](const char* name) -> const std::string* {
      if (i + 1 >= args.size()) {
        err << "qelvesk-cli: " << name << " needs a value\n";
        return nullptr;
      }
      return &args[++i];
    };
    if (arg == "--help" || arg == "-h") {
      out << CliHelpText();
      return kCliOk;
    } else if (arg == "--root") {
      const auto* v = value("--root");
      if (!v) return kCliUsageError;
      options.root = *v;
    } else if (arg == "--simulate") {
      options.simulate = true;
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

  // Check every line before anything runs, so a typing error costs nothing.
  std::vector<std::pair<const CliCommandSpec*, CliCommand>> commands;
  for (const auto& line : options.lines) {
    const auto words = SplitWords(line);
    if (!words) {
      err << "qelvesk-cli: unclosed quote in '" << line << "'\n";
      return kCliUsageError;
    }
    if (words->empty()) continue;
    CliCommand command = ParseCommandWords(*words);
    const CliCommandSpec* spec = FindCommand(command.name);
    if (!spec) {
      err << "qelvesk-cli: unknown command '" << command.name << "' (see --help)\n";
      return kCliUsageError;
    }
    commands.emplace_back(spec, std::move(command));
  }

  auto state = std::make_unique<ProgramState>();
  state->paths.root = options.root;
  state->simulate = options.simulate;
  state->camera.link.traceUsbPath = options.traceUsb;
  CliHost host(err);
  SystemClock clock;
  RunStartup(*state, host);
  if (!options.camera.empty()) {
    state->settings.cameraType = static_cast<std::int16_t>(FindCameraModelByName(options.camera)->code);
    SetCameraType(state->settings, state->camera, state->geometry, state->paths);
    StartupFill(state->images, state->geometry);
  }

  CliContext context{*state, host, clock, out, err};
  for (const auto& [spec, command] : commands) {
    if (!spec->run(context, command)) {
      err << "qelvesk-cli: " << command.name << " failed\n";
      return kCliCommandFailed;
    }
    // What the window would do next: the rebuild or repaint the command asked for.
    ShowCommandResult(*state, host, std::exchange(host.rebuildRequested, false),
                      std::exchange(host.repaintRequested, false));
  }
  return kCliOk;
}

}  // namespace qv
