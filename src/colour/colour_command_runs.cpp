#include "colour/colour_command_runs.h"

#include <string>

#include "app/arg_reader.h"
#include "app/messages.h"
#include "colour/anti_alias.h"
#include "colour/colour_balance.h"
#include "colour/colour_filters.h"
#include "colour/colour_synthesis.h"
#include "colour/mono_image.h"

namespace qv {

namespace {

CommandStatus Result(bool done) { return done ? CommandStatus::Done : CommandStatus::Refused; }

template <typename Action>
CommandStatus NoArguments(CommandContext& c, const CommandArgs& args, Action action) {
  ArgReader r(c, args);
  if (!r.proceed()) return r.status();
  return Result(action());
}

CommandStatus Extract(CommandContext& c, const CommandArgs& args, MatrixColour colour) {
  return NoArguments(c, args, [&] { return ExtractMonoImage(c.state, c.host, colour); });
}

// START,MIN,MAX of one colour.
ColourBalance ReadBalance(ArgReader& r, const CommandArgs& args, std::string_view key) {
  ColourBalance values;
  const std::string text = r.text(key, "");
  if (text.empty()) return values;
  long parts[3];
  std::size_t from = 0;
  for (int i = 0; i < 3; ++i) {
    const std::size_t comma = i < 2 ? text.find(',', from) : text.size();
    const auto number =
        comma == std::string::npos ? std::nullopt : ParseWholeNumber(std::string_view(text).substr(from, comma - from));
    if (!number || (i == 2 && comma != text.size())) {
      r.fail(std::string(key) + " takes START,MIN,MAX");
      return values;
    }
    parts[i] = *number;
    from = comma + 1;
  }
  values = {static_cast<int>(parts[1]), static_cast<int>(parts[2]), static_cast<int>(parts[0])};
  if (!BalanceValid(values)) {
    r.fail(std::string(key) + ": start -10 to 100, min -10 to 254, max above min and at most 255");
  }
  (void)args;
  return values;
}

}  // namespace

CommandStatus RunSynthesizeColour(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const bool hasDaylight = args.option("daylight") != nullptr;
  const bool hasIr = args.option("ir") != nullptr;
  const bool daylight = r.flag("daylight", false);
  const bool ir = r.flag("ir", false);
  const bool autoProcess = r.flag("auto-process", true);
  if (!r.proceed()) return r.status();
  // The options are set after the settings file is read again, as the
  // options dialog sets them.
  return Result(SynthesizeColour(
      c.state, c.host,
      [&] {
        if (hasDaylight) c.state.colour.daylightImage = daylight;
        if (hasIr) c.state.settings.irFilterUsed = ir;
        return true;
      },
      autoProcess));
}

CommandStatus RunMonoExtract(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const int colour = r.choice({"red", "green", "blue"});
  if (!r.proceed()) return r.status();
  static constexpr MatrixColour kColours[] = {MatrixColour::Red, MatrixColour::Green, MatrixColour::Blue};
  return Result(ExtractMonoImage(c.state, c.host, kColours[colour]));
}
CommandStatus RunUseRedPixels(CommandContext& c, const CommandArgs& args) {
  return Extract(c, args, MatrixColour::Red);
}
CommandStatus RunUseGreenPixels(CommandContext& c, const CommandArgs& args) {
  return Extract(c, args, MatrixColour::Green);
}
CommandStatus RunUseBluePixels(CommandContext& c, const CommandArgs& args) {
  return Extract(c, args, MatrixColour::Blue);
}

CommandStatus RunSingleFilter(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const long choice = r.positionalInteger("a cell 1 to 4", 1, 4);
  if (!r.proceed()) return r.status();
  return Result(SingleFilterImage(c.state, c.host, static_cast<int>(choice)));
}

CommandStatus RunAntiAlias(CommandContext& c, const CommandArgs& args) {
  return NoArguments(c, args, [&] { return AntiAliasFilter(c.state, c.host, true); });
}

CommandStatus RunColourBalance(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  std::array<ColourBalance, 3> values;
  values[ImageStore::kRed] = ReadBalance(r, args, "red");
  values[ImageStore::kGreen] = ReadBalance(r, args, "green");
  values[ImageStore::kBlue] = ReadBalance(r, args, "blue");
  const long saturation = r.integer("saturation", 1, 9, c.state.settings.colourBalanceLevel);
  if (!r.proceed()) return r.status();
  return Result(ApplyColourBalance(c.state, c.host, values, static_cast<int>(saturation)));
}

CommandStatus RunColourHistogram(CommandContext& c, const CommandArgs& args) {
  return NoArguments(c, args, [&] {
    if (!c.state.images.colourConverted) {
      ShowMessage(c.host, 69);
      return false;
    }
    ComputeColourHistograms(c.state);
    static constexpr const char* kNames[] = {"red", "blue", "green"};
    for (int p : {ImageStore::kRed, ImageStore::kGreen, ImageStore::kBlue}) {
      const int peak = c.state.colour.peaks[p];
      c.out << kNames[p] << " peak " << peak << ":";
      for (int bin = std::max(peak - 2, 0); bin <= std::min(peak + 2, kColourHistogramBins - 1); ++bin) {
        c.out << " " << bin << "=" << c.state.colour.histograms[p][bin];
      }
      c.out << "\n";
    }
    return true;
  });
}

CommandStatus RunBalanceColourHistogram(CommandContext& c, const CommandArgs& args) {
  return NoArguments(c, args, [&] { return BalanceColourHistogram(c.state, c.host); });
}

CommandStatus RunChromatism(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  ChromatismShifts s;
  s.redX = static_cast<int>(r.integer("red-x", -kChromatismLimit, kChromatismLimit, 0));
  s.redY = static_cast<int>(r.integer("red-y", -kChromatismLimit, kChromatismLimit, 0));
  s.blueX = static_cast<int>(r.integer("blue-x", -kChromatismLimit, kChromatismLimit, 0));
  s.blueY = static_cast<int>(r.integer("blue-y", -kChromatismLimit, kChromatismLimit, 0));
  if (!r.proceed()) return r.status();
  return Result(AdjustChromatism(c.state, c.host, s));
}

CommandStatus RunLowPassColour(CommandContext& c, const CommandArgs& args) {
  return NoArguments(c, args, [&] { return LowPassColourFilter(c.state, c.host); });
}

CommandStatus RunColourOverload(CommandContext& c, const CommandArgs& args) {
  return NoArguments(c, args, [&] { return ColourOverloadSmoothing(c.state, c.host); });
}

}  // namespace qv
