#include "app/mouse_command_runs.h"

#include "app/image_label.h"
#include "app/mouse_modes.h"
#include "processing/merge_images.h"

namespace qv {

namespace {

CommandStatus Outcome(bool ok) { return ok ? CommandStatus::Done : CommandStatus::Refused; }

template <void (*Operation)(ProgramState&)>
CommandStatus RunStateOnly(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  if (!r.proceed()) return r.status();
  Operation(c.state);
  return CommandStatus::Done;
}

// Leaves every mode, merging too.
void EndAllModes(ProgramState& state) {
  EndMouseModes(state);
  if (state.processing.merge.mergeMode) CancelMerge(state);
}

}  // namespace

CommandStatus RunPickGuideStar(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  if (!r.proceed()) return r.status();
  return Outcome(TogglePickGuideStar(c.state, c.host));
}

CommandStatus RunFocusFrameCentre(CommandContext& c, const CommandArgs& args) {
  return RunStateOnly<StartFocusFramePick>(c, args);
}
CommandStatus RunDefaultFocusFrameCentre(CommandContext& c, const CommandArgs& args) {
  return RunStateOnly<DefaultFocusFrameCentre>(c, args);
}
CommandStatus RunPickSubFrame(CommandContext& c, const CommandArgs& args) {
  return RunStateOnly<StartSubFramePick>(c, args);
}
CommandStatus RunDefaultSubFrameCentre(CommandContext& c, const CommandArgs& args) {
  return RunStateOnly<DefaultSubFrameCentre>(c, args);
}

CommandStatus RunSubFrameSelection(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const int size = r.choice({"2", "3", "4"});
  if (!r.proceed()) return r.status();
  DefaultSubFrameCentre(c.state);
  SetSubFrameSize(c.state, kSubFrameHalf + size);
  const CameraState& camera = c.state.camera;
  c.out << "Sub-frame " << camera.subFrameWidth << " x " << camera.subFrameHeight << ", window mode "
        << camera.focusWindowMode << "\n";
  return CommandStatus::Done;
}

CommandStatus RunMouseMode(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const int mode = r.choice({"star", "focus", "subframe", "merge", "photometry", "none"});
  if (!r.proceed()) return r.status();
  ProgramState& s = c.state;
  switch (mode) {
    case 0:
      return Outcome(s.mouse.starPickMode || TogglePickGuideStar(s, c.host));
    case 1:
      StartFocusFramePick(s);
      return CommandStatus::Done;
    case 2:
      StartSubFramePick(s);
      return CommandStatus::Done;
    case 3:
      return Outcome(StartMerge(s, c.host));
    case 4:
      return Outcome(StartPhotometry(s, c.host));
    default:
      EndAllModes(s);
      return CommandStatus::Done;
  }
}

CommandStatus RunClick(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const long x = r.integer("x", -100'000, 100'000);
  const long y = r.integer("y", -100'000, 100'000);
  const std::string button = r.text("button", "left");
  const long scrollX = r.integer("scroll-x", 0, 100'000, c.state.display.scrollX);
  const long scrollY = r.integer("scroll-y", 0, 100'000, c.state.display.scrollY);
  if (button != "left" && button != "right") r.fail("button must be left or right");
  if (!r.proceed()) return r.status();
  c.state.display.scrollX = static_cast<int>(scrollX);
  c.state.display.scrollY = static_cast<int>(scrollY);
  const int cx = static_cast<int>(x), cy = static_cast<int>(y);
  OnPointerMove(c.state, c.host, cx, cy);
  const ClickResult result =
      button == "left" ? OnLeftClick(c.state, c.host, cx, cy) : OnRightClick(c.state, c.host, cx, cy);
  if (result == ClickResult::Ignored) c.err << args.name << ": no mode takes this click\n";
  return Outcome(result == ClickResult::Taken);
}

CommandStatus RunLabel(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const std::string text = r.single("the label text");
  const bool date = r.flag("date", false);
  if (!r.proceed()) return r.status();
  LabelImage(c.state, c.host, text, date, c.clock.now());
  return CommandStatus::Done;
}

}  // namespace qv
