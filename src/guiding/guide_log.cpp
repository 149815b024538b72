#include "guiding/guide_log.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "app/messages.h"
#include "app/paths.h"

namespace qv {

namespace {

std::tm Utc(std::time_t t) {
  std::tm tm{};
  gmtime_r(&t, &tm);
  return tm;
}

std::string Axis(const char* name, char letter, int amount, const char* unit) {
  if (letter == 0 || amount <= 0) return std::string(" ") + name + "=-";
  return std::string(" ") + name + '=' + letter + ' ' + std::to_string(amount) + unit;
}

}  // namespace

std::string GuideLogPath(const ProgramState& state, std::time_t now) {
  const std::tm tm = Utc(now);
  char name[64];
  std::snprintf(name, sizeof name, "/guide_log_%04d-%02d-%02d.txt", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
  return NativePath(state.paths, state.settings.derived.autosaveDirectory) + name;
}

std::string GuideLogLine(const GuideFrameRecord& f, std::time_t now) {
  const std::tm tm = Utc(now);
  char head[96];
  std::snprintf(head, sizeof head, "%02d:%02d:%02d frame=%d dx=%.3f dy=%.3f", tm.tm_hour, tm.tm_min, tm.tm_sec, f.frame,
                f.decision.error.column / 1000.0, f.decision.error.row / 1000.0);
  std::string line = head;
  if (f.decision.skipped) return line + " skipped";
  if (f.ao) {
    const AoDecision& a = f.aoDecision;
    return line + Axis("ra", a.columnLetter, a.columnSteps, " steps") + Axis("dec", a.rowLetter, a.rowSteps, " steps");
  }
  const AxisCorrection& c = f.decision.column;
  const AxisCorrection& r = f.decision.row;
  return line + Axis("ra", c.letter, c.pulse() ? c.durationMs : 0, "ms") +
         Axis("dec", r.letter, r.pulse() ? r.durationMs : 0, "ms");
}

bool AppendGuideLog(const ProgramState& state, std::time_t now, const GuideFrameRecord& frame) {
  const std::string path = GuideLogPath(state, now);
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
  std::ofstream out(path, std::ios::app);
  if (!out) return false;
  out << GuideLogLine(frame, now) << '\n';
  return static_cast<bool>(out.flush());
}

void LogGuidedFrame(const ProgramState& state, Host& host, std::time_t now, const GuideFrameRecord& frame,
                    bool& failed) {
  if (failed || AppendGuideLog(state, now, frame)) return;
  failed = true;
  host.showMessage(
      {std::string(kMessageCaption), "Unable to write the guiding log " + GuideLogPath(state, now), MessageIcon::None});
}

}  // namespace qv
