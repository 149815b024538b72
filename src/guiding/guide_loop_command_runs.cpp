#include "guiding/guide_loop_command_runs.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "app/arg_reader.h"
#include "app/image_store.h"
#include "app/run_operation.h"
#include "camera/camera_commands.h"
#include "camera/device_bus.h"
#include "camera/usb_link.h"
#include "guiding/guide_decision.h"
#include "guiding/guide_pulses.h"
#include "guiding/guider_dialog_fields.h"
#include "guiding/guider_exposure.h"
#include "guiding/guider_guiding.h"
#include "guiding/guider_training.h"
#include "guiding/guiding_info_fields.h"
#include "guiding/main_guiding.h"
#include "guiding/main_training.h"

namespace qv {

namespace {

// "X.T": whole pixels and one digit of tenths (the tenths may be left off).
std::optional<std::pair<int, int>> ParseTenths(std::string_view text) {
  const std::size_t dot = text.find('.');
  const std::string_view whole = text.substr(0, dot);
  int value = 0;
  auto [end, ec] = std::from_chars(whole.data(), whole.data() + whole.size(), value);
  if (ec != std::errc() || end != whole.data() + whole.size() || value < 0 || value > 100'000) return std::nullopt;
  int tenths = 0;
  if (dot != std::string_view::npos) {
    const std::string_view t = text.substr(dot + 1);
    if (t.size() != 1 || t[0] < '0' || t[0] > '9') return std::nullopt;
    tenths = t[0] - '0';
  }
  return std::pair<int, int>{value, tenths};
}

// "X.T,Y.T" as a star position.
std::optional<StarPosition> ParsePosition(std::string_view text) {
  const std::size_t comma = text.find(',');
  if (comma == std::string_view::npos) return std::nullopt;
  const auto x = ParseTenths(text.substr(0, comma));
  const auto y = ParseTenths(text.substr(comma + 1));
  if (!x || !y) return std::nullopt;
  return StarPosition{x->first, y->first, x->second, y->second};
}

void PrintAxis(CommandContext& c, std::string_view name, const AxisCorrection& a) {
  c.out << name << ": ";
  if (!a.corrected) {
    c.out << "none\n";
    return;
  }
  c.out << a.letter << " magnitude=" << a.magnitude << (a.reversed ? " backlash" : "") << " ms=" << a.durationMs;
  if (a.pulse()) {
    c.out << " sends " << PulseBytes(c.state.settings, a.letter) << '\n';
  } else {
    c.out << " no pulse\n";
  }
}

// Picks the guide star when the command names one.
void PickGuideStar(CommandContext& c, long x, long y) {
  if (x < 0 || y < 0) return;
  c.state.guiding.guideStar = {static_cast<int>(x), static_cast<int>(y), 0, 0};
  c.state.guiding.guideStarChosen = true;
}

void PrintFrame(CommandContext& c, const GuideFrameRecord& f) {
  char text[128];
  std::snprintf(text, sizeof text, "frame=%d error x=%.1f y=%.1f px", f.frame, f.decision.error.column / 1000.0,
                f.decision.error.row / 1000.0);
  c.out << text;
  if (f.decision.skipped) {
    c.out << " skipped\n";
    return;
  }
  if (f.ao) {
    const AoDecision& a = f.aoDecision;
    for (const auto& [letter, steps] : {std::pair{a.columnLetter, a.columnSteps}, std::pair{a.rowLetter, a.rowSteps}}) {
      if (steps > 0) {
        c.out << " ao " << letter << '=' << steps;
      } else {
        c.out << " -";
      }
    }
    c.out << '\n';
    return;
  }
  for (const AxisCorrection* a : {&f.decision.column, &f.decision.row}) {
    if (a->pulse()) {
      c.out << ' ' << a->letter << '=' << a->durationMs << "ms";
    } else {
      c.out << " -";
    }
  }
  c.out << '\n';
}

void PrintRms(CommandContext& c, const std::vector<GuideFrameRecord>& frames) {
  char text[64];
  std::snprintf(text, sizeof text, "rms=%.2f px over %zu frames\n", RmsErrorPixels(frames), frames.size());
  c.out << text;
}

CommandStatus RunGuiderGuide(CommandContext& c, long x, long y, GuiderGuidingOptions options) {
  if (x >= 0 && y >= 0) {
    c.state.guiding.guiderStar = {static_cast<int>(x), static_cast<int>(y), 0, 0};
    c.state.guiding.guiderStarChosen = true;
  }
  GuiderGuidingOperation guiding(c.state, c.host, c.clock, options,
                                 [&c](const GuideFrameRecord& f) { PrintFrame(c, f); });
  RunOperation(guiding, c.clock, c.host);
  PrintRms(c, guiding.frames());
  return guiding.failed() ? CommandStatus::Refused : CommandStatus::Done;
}

}  // namespace

namespace {

// The results are in force either way; a file that could not be written is
// said on the results line too, and the command fails.
const char* SavedNote(bool saved) { return saved ? "" : " settings-not-saved"; }

}  // namespace

CommandStatus RunTrain(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const int which = r.choice({"main", "guider", "ao"});
  const long exposure = r.integer("exposure-ms", 1, 3'600'000, 1000);
  const long x = r.integer("x", 0, 100'000, -1);
  const long y = r.integer("y", 0, 100'000, -1);
  if (!r.proceed()) return r.status();
  if (which > 0) {
    if (x >= 0 && y >= 0) {
      c.state.guiding.guiderStar = {static_cast<int>(x), static_cast<int>(y), 0, 0};
      c.state.guiding.guiderStarChosen = true;
    }
    const auto kind = which == 1 ? GuiderTrainingKind::Mount : GuiderTrainingKind::Ao;
    GuiderTrainingOperation training(c.state, c.host, c.clock, kind, static_cast<std::uint32_t>(exposure));
    RunOperation(training, c.clock, c.host);
    if (!training.succeeded()) return CommandStatus::Refused;
    if (kind == GuiderTrainingKind::Mount) {
      const GuiderTraining& t = c.state.guiding.guiderTraining;
      c.out << "ra=" << t.raX << ',' << t.raY << " dec=" << t.decX << ',' << t.decY << " ra-rate=" << t.raMagnitude
            << " dec-rate=" << t.decMagnitude << " ra-backlash=" << t.raBacklash << " dec-backlash=" << t.decBacklash
            << " quadrant=" << t.quadrant << SavedNote(training.settingsSaved()) << '\n';
    } else {
      c.out << "ao-ra-rate=" << training.aoResult().raRate << " ao-dec-rate=" << training.aoResult().decRate
            << SavedNote(training.settingsSaved()) << '\n';
    }
    return training.settingsSaved() ? CommandStatus::Done : CommandStatus::Refused;
  }
  if (c.state.settings.telescopeGuiding == 'n') {
    c.err << args.name << ": no telescope guiding mode is chosen (telescopeGuiding=l or b)\n";
    return CommandStatus::Refused;
  }
  PickGuideStar(c, x, y);
  MainTrainingOperation training(c.state, c.host, c.clock, static_cast<std::uint32_t>(exposure));
  RunOperation(training, c.clock, c.host);
  if (!training.succeeded()) return CommandStatus::Refused;
  const MainTrainingResult& t = training.result();
  c.out << "ra-rate=" << t.raRate << " dec-rate=" << t.decRate << " ra-backlash=" << t.raBacklash
        << " dec-backlash=" << t.decBacklash << SavedNote(training.settingsSaved()) << '\n';
  return training.settingsSaved() ? CommandStatus::Done : CommandStatus::Refused;
}

CommandStatus RunGuide(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const bool guider = r.choice({"main", "guider"}) == 1;
  const long frames = r.integer("frames", 1, 1'000'000);
  const long exposure = r.integer("exposure-ms", 1, 3'600'000, 1000);
  const long x = r.integer("x", 0, 100'000, -1);
  const long y = r.integer("y", 0, 100'000, -1);
  const bool correct = r.flag("correct", true);
  const std::string target = r.text("target", "mount");
  if (target != "mount" && target != "ao") r.fail("target must be mount or ao");
  if (target == "ao" && !guider) r.fail("only the guider camera guides with the AO unit");
  if (!r.proceed()) return r.status();
  if (guider)
    return RunGuiderGuide(c, x, y,
                          {static_cast<std::uint32_t>(exposure), static_cast<int>(frames),
                           target == "ao" ? GuideTarget::Ao : GuideTarget::Mount, correct});
  if (c.state.settings.telescopeGuiding == 'n') {
    c.err << args.name << ": no telescope guiding mode is chosen (telescopeGuiding=l or b)\n";
    return CommandStatus::Refused;
  }
  PickGuideStar(c, x, y);
  MainGuidingOperation guiding(c.state, c.host, c.clock,
                               {static_cast<std::uint32_t>(exposure), static_cast<int>(frames), correct},
                               [&c](const GuideFrameRecord& f) { PrintFrame(c, f); });
  RunOperation(guiding, c.clock, c.host);
  PrintRms(c, guiding.frames());
  return guiding.failed() ? CommandStatus::Refused : CommandStatus::Done;
}

CommandStatus RunGuideStep(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const auto reference = ParsePosition(r.text("ref"));
  const auto star = ParsePosition(r.text("star"));
  const std::string camera = r.text("camera", "main");
  if (r.ok() && (!reference || !star)) r.fail("ref and star must be X.T,Y.T (whole pixels, one digit of tenths)");
  if (camera != "main" && camera != "guider") r.fail("camera must be main or guider");
  if (!r.proceed()) return r.status();
  GuidingState& g = c.state.guiding;
  const GuideDecision d = camera == "main" ? DecideMainCorrection(c.state.settings, g, *reference, *star)
                                           : DecideGuiderCorrection(c.state.settings, g, *reference, *star);
  RecordDecision(g, d);
  c.out << "error column=" << d.error.column << " row=" << d.error.row << '\n';
  if (d.skipped) {
    c.out << "skipped: the jump is too large, nothing sent\n";
    return CommandStatus::Done;
  }
  PrintAxis(c, "column", d.column);
  PrintAxis(c, "row", d.row);
  return CommandStatus::Done;
}

}  // namespace qv

namespace qv {

namespace {

bool CameraConnected(CommandContext& c) {
  return ConnectCamera(c.state, *DeviceBus(c.state, c.clock), c.host, c.clock);
}

std::string Letter(char c) { return c == 0 ? std::string("-") : std::string(1, c); }

std::string Place(const StarPosition& p) {
  return std::to_string(p.x) + '.' + std::to_string(p.tenthsX) + ',' + std::to_string(p.y) + '.' +
         std::to_string(p.tenthsY);
}

}  // namespace

CommandStatus RunGuidingShow(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  if (!r.proceed()) return r.status();
  const ProgramSettings& s = c.state.settings;
  const GuidingState& g = c.state.guiding;
  const GuiderTraining& t = g.guiderTraining;
  std::ostream& o = c.out;
  o << "mode=" << s.telescopeGuiding << "\nguideStar=" << Place(g.guideStar) << "\nguiderStar=" << Place(g.guiderStar)
    << "\nraRate=" << s.raRate << "\ndecRate=" << s.decRate << "\nraBacklash=" << s.raBacklash
    << "\ndecBacklash=" << s.decBacklash << "\nraHysteresis=" << s.raHysteresis << "\ndecHysteresis=" << s.decHysteresis
    << "\ntrainingSeconds=" << s.trainingSeconds << "\nignoreSmallDrift=" << s.ignoreSmallDrift
    << "\ndriftThreshold=" << s.driftThreshold << "\nnorthCorrectionsOff=" << s.northCorrectionsOff
    << "\nsouthCorrectionsOff=" << s.southCorrectionsOff
    << "\ndriveDirections=" << std::string(s.driveDirections.begin(), s.driveDirections.end())
    << "\nguiderRaRate=" << s.guiderRaRate << "\nguiderDecRate=" << s.guiderDecRate
    << "\nguiderRaBacklash=" << s.guiderRaBacklash << "\nguiderDecBacklash=" << s.guiderDecBacklash
    << "\nguiderRaHysteresis=" << s.guiderRaHysteresis << "\nguiderDecHysteresis=" << s.guiderDecHysteresis
    << "\nguiderTrainingSeconds=" << s.guiderTrainingSeconds << "\nignoreRaAngle=" << s.ignoreRaAngle
    << "\ntrained=" << t.trained << "\nuseTrained=" << t.useTrained << "\ntrainedRa=" << t.raX << ',' << t.raY << ','
    << t.raMagnitude << "\ntrainedDec=" << t.decX << ',' << t.decY << ',' << t.decMagnitude
    << "\ntrainedRaBacklash=" << t.raBacklash << "\ntrainedDecBacklash=" << t.decBacklash << "\ntheta=" << t.theta
    << "\nquadrant=" << t.quadrant << "\naoRaRate=" << s.aoDefault1 << "\naoDecRate=" << s.aoDefault2
    << "\naoLatestRaRate=" << s.aoLatest1 << "\naoLatestDecRate=" << s.aoLatest2
    << "\naoSwapLeftRight=" << s.aoSwapLeftRight[0] << s.aoSwapLeftRight[1] << "\naoSwapUpDown=" << s.aoSwapUpDown[0]
    << s.aoSwapUpDown[1] << "\ncolumnError=" << g.columnError << "\nrowError=" << g.rowError
    << "\nlastX=" << Letter(g.lastXDirection) << "\nlastY=" << Letter(g.lastYDirection)
    << "\nlastXPulseMs=" << g.lastXPulseMs << "\nlastYPulseMs=" << g.lastYPulseMs << '\n';
  // The dialogs' own fields by control id, as the window shows them.
  const std::pair<const char*, std::vector<std::pair<int, std::string>>> dialogs[] = {
      {"TGWyDialog", GuiderDialogFields(c.state)},
      {"TGInfoDialog", GuiderGuidingFields(c.state, {}, c.clock.milliseconds())},
      {"TInfoDialog", MainGuidingFields(c.state)}};
  for (const auto& [dialog, fields] : dialogs) {
    for (const auto& [id, text] : fields) o << dialog << ".ctl" << id << '=' << text << '\n';
  }
  return CommandStatus::Done;
}

CommandStatus RunGuiderExpose(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const std::string unit = r.text("range");
  const auto maximum = unit.size() == 1 ? GuiderExposureMaximum(unit[0]) : std::nullopt;
  if (r.ok() && !maximum) r.fail("range must be h, t or s");
  const long value = r.integer("value", 1, maximum.value_or(500));
  if (!r.proceed()) return r.status();
  GuidingState& g = c.state.guiding;
  g.guiderExposure = {unit[0], static_cast<int>(value)};
  if (!CameraConnected(c)) return CommandStatus::Refused;
  if (!TakeGuiderFrame(c.state, c.host, c.clock, g.guiderExposure, g.guiderDark)) return CommandStatus::Refused;
  c.host.requestRebuildDisplay();
  const std::uint16_t* p = c.state.images.guideImage;
  const std::size_t columns = static_cast<std::size_t>(GuiderColumns(c.state.settings));
  const std::size_t n = columns * ImageStore::kGuideRows;
  const std::size_t peak = static_cast<std::size_t>(std::max_element(p, p + n) - p);
  c.out << "exposure-ms=" << GuiderExposureMs(g.guiderExposure) << " peak=" << p[peak] << " at x=" << peak % columns
        << " y=" << peak / columns << " dark=" << (g.guiderDark.taken && g.guiderDark.apply ? "applied" : "none")
        << '\n';
  return CommandStatus::Done;
}

CommandStatus RunGuiderDark(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const bool take = r.choice({"take", "apply"}) == 0;
  const bool on = r.flag("on", true);
  if (!r.proceed()) return r.status();
  GuidingState& g = c.state.guiding;
  if (take) {
    if (!CameraConnected(c)) return CommandStatus::Refused;
    if (!TakeGuiderDark(c.state, c.host, c.clock, g.guiderExposure, g.guiderDark)) return CommandStatus::Refused;
  } else {
    // Applying stays off until a dark frame exists.
    g.guiderDark.apply = on && g.guiderDark.taken;
  }
  c.out << GuiderDarkText(g.guiderDark) << '\n';
  return CommandStatus::Done;
}

}  // namespace qv
