#include "processing/processing_command_runs.h"

#include <algorithm>

#include "app/arg_reader.h"
#include "processing/auto_processing.h"
#include "processing/gradient_filter.h"
#include "processing/kernel_filters.h"
#include "processing/median_filter.h"
#include "processing/stretch_commands.h"
#include "processing/unsharp_mask.h"

namespace qv {

CommandStatus RunNormalStretch(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const long black = r.integer("black", 0, 255);
  const long white = r.integer("white", 1, 300);
  if (!r.proceed()) return r.status();
  ProcessingState& p = c.state.processing;
  p.lowParam = static_cast<std::uint16_t>(black);
  p.highParam = static_cast<std::uint16_t>(white);
  if (!NormalStretch(c.state, c.host, p.lowParam, p.highParam)) {
    c.err << args.name << ": white not above black, nothing done\n";
  }
  return CommandStatus::Done;
}

CommandStatus RunPowerLawStretch(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const double exponent = r.number("p", 0.1, 3.0);
  if (!r.proceed()) return r.status();
  c.state.processing.powerLawExponent = exponent;
  if (!PowerLawStretch(c.state, c.host, exponent)) c.err << args.name << ": power 1 leaves the image as it is\n";
  return CommandStatus::Done;
}

CommandStatus RunNonLinearStretch(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const long power = r.integer("power", 2, 50);
  if (!r.proceed()) return r.status();
  c.state.processing.highParam = static_cast<std::uint16_t>(power);
  NonLinearStretch(c.state, c.host, static_cast<int>(power));
  return CommandStatus::Done;
}

CommandStatus RunNonLinearColourStretch(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const long power = r.integer("power", 2, 50);
  if (!r.proceed()) return r.status();
  c.state.processing.highParam = static_cast<std::uint16_t>(power);
  return NonLinearColourStretch(c.state, c.host, static_cast<int>(power)) ? CommandStatus::Done
                                                                          : CommandStatus::Refused;
}

CommandStatus RunRemoveBackground(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  if (!r.proceed()) return r.status();
  if (!FillBackgroundTable(c.state, c.host, true)) {
    c.err << args.name << ": black level below 3, nothing done\n";
  }
  return CommandStatus::Done;
}

// During the automatic processing the stored radius and power are used and
// the display is left for the end of the processing.
CommandStatus RunUnsharpMask(CommandContext& c, const CommandArgs& args) {
  ProcessingState& p = c.state.processing;
  if (p.autoProcessingRunning) {
    if (!c.checkOnly) AutoUnsharpMask(c.state, c.host);
    return CommandStatus::Done;
  }
  ArgReader r(c, args);
  const long radius = r.integer("radius", kUnsharpMinimum, kUnsharpMaximum);
  const long power = r.integer("power", kUnsharpMinimum, kUnsharpMaximum);
  if (!r.proceed()) return r.status();
  p.highParam = static_cast<std::uint16_t>(radius);
  p.lowParam = static_cast<std::uint16_t>(power);
  UnsharpMask(c.state, c.host, static_cast<int>(radius), static_cast<int>(power), true);
  return CommandStatus::Done;
}

CommandStatus RunMedianFilter(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const long radius = r.integer("radius", 1, kMedianMaxRadius);
  const long power = r.integer("power", 1, kMedianMaxPowerTenths);
  if (!r.proceed()) return r.status();
  ProcessingState& p = c.state.processing;
  p.highParam = static_cast<std::uint16_t>(radius);
  p.lowParam = static_cast<std::uint16_t>(power);
  MedianFilter(c.state, c.host, static_cast<int>(radius), static_cast<int>(power));
  return CommandStatus::Done;
}

}  // namespace qv
