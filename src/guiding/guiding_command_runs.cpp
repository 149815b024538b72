#include "guiding/guiding_command_runs.h"

#include <optional>
#include <string>

#include "app/arg_reader.h"
#include "guiding/ao_unit.h"
#include "guiding/find_centre.h"
#include "guiding/guide_socket.h"
#include "guiding/guide_subframe.h"
#include "guiding/telescope_commands.h"

namespace qv {

namespace {

constexpr long kLongestPulseMs = 60'000;
constexpr long kMostAoSteps = 99'999;  // five digits in a packet

CommandStatus Result(bool ok) { return ok ? CommandStatus::Done : CommandStatus::Refused; }

SkyDirection ReadDirection(ArgReader& r) { return static_cast<SkyDirection>(r.choice({"n", "s", "e", "w"})); }

// The telescope commands reload the settings on their first use and need the
// camera, as the telescope control does.
bool TelescopeReady(CommandContext& c) { return PrepareTelescope(c.state, c.host, c.clock, true); }

void PrintPosition(CommandContext& c, const StarPosition& p) {
  c.out << "centre x=" << p.x << '.' << p.tenthsX << " y=" << p.y << '.' << p.tenthsY << '\n';
}

void PrintReplies(CommandContext& c) {
  c.out << "info=" << c.state.camera.telescopeReply << "\nreply=" << c.state.camera.secondTelescopeReply << '\n';
}

// "HH:MM" as two whole numbers; ranges are the telescope's to check.
std::optional<std::pair<int, int>> ParseHoursMinutes(const std::string& text) {
  const std::size_t colon = text.find(':');
  if (colon == std::string::npos) return std::nullopt;
  const auto h = ParseWholeNumber(std::string_view(text).substr(0, colon));
  const auto m = ParseWholeNumber(std::string_view(text).substr(colon + 1));
  if (!h || !m || *h > 999 || *m > 999 || *h < -999 || *m < -999) return std::nullopt;
  return std::pair<int, int>{static_cast<int>(*h), static_cast<int>(*m)};
}

}  // namespace

CommandStatus RunFindCentre(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const long x = r.integer("x", -100'000, 100'000);
  const long y = r.integer("y", -100'000, 100'000);
  const std::string source = r.text("source", "main");
  if (source != "main" && source != "guider") r.fail("source must be main or guider");
  if (!r.proceed()) return r.status();
  const auto found = FindCentre(c.state, c.host, static_cast<int>(x), static_cast<int>(y),
                                source == "guider" ? CentreSource::GuiderCamera : CentreSource::MainCamera);
  if (!found) return CommandStatus::Refused;
  PrintPosition(c, *found);
  return CommandStatus::Done;
}

CommandStatus RunGuideSubFrame(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const long x = r.integer("x", 0, 100'000);
  const long y = r.integer("y", 0, 100'000);
  if (!r.proceed()) return r.status();
  if (x >= c.state.geometry.width || y >= c.state.geometry.height) {
    c.err << args.name << ": the star must lie in the " << c.state.geometry.width << " x " << c.state.geometry.height
          << " frame\n";
    return CommandStatus::Refused;
  }
  GuidingState& g = c.state.guiding;
  EndGuideSubFrame(c.state);
  g.guideStar = {static_cast<int>(x), static_cast<int>(y), 0, 0};
  g.guideStarChosen = true;
  const SubFramePlacement s = StartGuideSubFrame(c.state, c.host);
  c.out << "origin x=" << s.originX << " y=" << s.originY << " star x=" << s.cameraX << " y=" << s.cameraY
        << " offset x=" << s.offsetX << " y=" << s.offsetY << '\n';
  return CommandStatus::Done;
}

CommandStatus RunScopePulse(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const SkyDirection d = ReadDirection(r);
  const long ms = r.integer("ms", 0, kLongestPulseMs);
  if (!r.proceed()) return r.status();
  if (!TelescopeReady(c)) return CommandStatus::Refused;
  static constexpr char kLetters[] = {'n', 's', 'e', 'w'};
  return Result(LxGuidePulse(c.state, c.host, c.clock, kLetters[static_cast<int>(d)], static_cast<std::uint32_t>(ms)));
}

CommandStatus RunScopeRate(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const int rate = r.choice({"slew", "find", "centre", "guide"});
  if (!r.proceed()) return r.status();
  SetSlewRate(c.state, "SMCG"[rate]);
  return CommandStatus::Done;
}

CommandStatus RunScopeMove(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const SkyDirection d = ReadDirection(r);
  if (!r.proceed()) return r.status();
  if (c.state.guiding.moving) {
    c.err << args.name << ": the telescope is already moving, nothing sent\n";
    return CommandStatus::Refused;
  }
  if (!TelescopeReady(c)) return CommandStatus::Refused;
  return Result(StartSlew(c.state, c.host, c.clock, d));
}

CommandStatus RunScopeStop(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  if (!r.proceed()) return r.status();
  if (!c.state.guiding.moving) {
    c.err << args.name << ": the telescope is not moving, nothing sent\n";
    return CommandStatus::Done;
  }
  if (!TelescopeReady(c)) return CommandStatus::Refused;
  return Result(StopSlew(c.state, c.host, c.clock));
}

CommandStatus RunScopeGoTo(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const long messier = r.integer("messier", -100'000, 100'000, 0);
  const long cngc = r.integer("cngc", -100'000, 100'000, 0);
  const std::string planet = r.text("planet", "");
  const auto planetNumber = PlanetStarNumber(planet);
  if (!planet.empty() && !planetNumber)
    r.fail("planet must be mercury, venus, mars, jupiter, saturn, uranus, neptune or pluto");
  if (!r.proceed()) return r.status();
  const bool catalogued = (messier >= 1 && messier <= kLastMessier) || (cngc >= 1 && cngc <= kLastCngc);
  if (!planetNumber && !catalogued) {
    // Out of range: the message, and the telescope is not touched.
    return Result(GoToCatalogueNumber(c.state, c.host, c.clock, static_cast<int>(messier), static_cast<int>(cngc)));
  }
  if (!TelescopeReady(c)) return CommandStatus::Refused;
  const bool ok =
      planetNumber ? GoToObject(c.state, c.host, c.clock, 'S', *planetNumber)
                   : GoToCatalogueNumber(c.state, c.host, c.clock, static_cast<int>(messier), static_cast<int>(cngc));
  if (ok) PrintReplies(c);
  return Result(ok);
}

CommandStatus RunScopeGoToCoords(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const std::string raText = r.text("ra");
  const std::string decText = r.text("dec");
  const auto ra = ParseHoursMinutes(raText);
  const auto dec = ParseDeclination(decText);
  if (r.ok() && !ra) r.fail("ra must be HH:MM");
  if (r.ok() && !dec) r.fail("dec must be sDD*MM");
  if (!r.proceed()) return r.status();
  if (!CoordinatesInRange(ra->first, ra->second, *dec)) {
    // Out of range: the message, and the telescope is not touched.
    return Result(GoToCoordinates(c.state, c.host, c.clock, ra->first, ra->second, *dec));
  }
  if (!TelescopeReady(c)) return CommandStatus::Refused;
  const bool ok = GoToCoordinates(c.state, c.host, c.clock, ra->first, ra->second, *dec);
  if (ok) PrintReplies(c);
  return Result(ok);
}

CommandStatus RunAoStep(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const SkyDirection d = ReadDirection(r);
  const long count = r.integer("count", 0, kMostAoSteps);
  if (!r.proceed()) return r.status();
  if (!TelescopeReady(c)) return CommandStatus::Refused;
  return Result(AoStep(c.state, c.host, c.clock, d, static_cast<int>(count)));
}

CommandStatus RunAoCentre(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  if (!r.proceed()) return r.status();
  if (!TelescopeReady(c)) return CommandStatus::Refused;
  return Result(CentreAo(c.state, c.host, c.clock));
}

CommandStatus RunAoCounters(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  if (!r.proceed()) return r.status();
  c.out << "north-south=" << c.state.guiding.aoNorthSouth << " east-west=" << c.state.guiding.aoEastWest << '\n';
  return CommandStatus::Done;
}

CommandStatus RunSocketPulse(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const SkyDirection d = ReadDirection(r);
  const long ms = r.integer("ms", 0, kLongestPulseMs);
  if (!r.proceed()) return r.status();
  if (!TelescopeReady(c)) return CommandStatus::Refused;
  return Result(SocketPulse(c.state, c.host, c.clock, d, static_cast<std::uint32_t>(ms)));
}

}  // namespace qv
