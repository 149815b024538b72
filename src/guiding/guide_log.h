#pragma once
// The guiding log: one line per guided frame, appended to
// <autosave folder>/guide_log_<YYYY-MM-DD>.txt (the UTC date the frame was
// taken), so a night's guiding can be judged afterwards.

#include <ctime>
#include <string>

#include "app/host.h"
#include "app/program_state.h"
#include "guiding/main_guiding.h"

namespace qv {

std::string GuideLogPath(const ProgramState& state, std::time_t now);
// "22:15:03 frame=4 dx=-0.300 dy=0.100 ra=w 150ms dec=- " and the like: the
// errors in pixels, each axis's pulse (or AO steps), or "skipped".
std::string GuideLogLine(const GuideFrameRecord& frame, std::time_t now);
// Appends the frame's line; false when the file cannot be written.
[[nodiscard]] bool AppendGuideLog(const ProgramState& state, std::time_t now, const GuideFrameRecord& frame);
// What a guiding run does with each frame: appends it, and says once (then
// `failed` is set) when the log cannot be written; guiding goes on.
void LogGuidedFrame(const ProgramState& state, Host& host, std::time_t now, const GuideFrameRecord& frame,
                    bool& failed);

}  // namespace qv
