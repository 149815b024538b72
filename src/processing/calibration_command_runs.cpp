#include "processing/calibration_command_runs.h"

#include "app/paths.h"
#include "processing/dark_flat.h"
#include "processing/hot_pixel_map.h"
#include "processing/merge_images.h"

namespace qv {

namespace {

CommandStatus Outcome(bool ok) { return ok ? CommandStatus::Done : CommandStatus::Refused; }

std::string FileArgument(CommandContext& c, ArgReader& r) {
  const std::string path = r.single("one file name");
  return r.ok() ? NativePath(c.state.paths, path) : std::string();
}

// The automatic correction of the work image as the exposure sequencer runs
// it after a frame.
CommandStatus RunAuto(CommandContext& c, const CommandArgs& args, int (*apply)(ProgramState&, Host&, std::uint16_t*)) {
  ArgReader r(c, args);
  if (!r.proceed()) return r.status();
  ResetBufferPointers(c.state.images);
  if (apply(c.state, c.host, c.state.images.workImage) != kAutoApplied) return CommandStatus::Refused;
  c.host.requestRebuildDisplay();
  return CommandStatus::Done;
}

}  // namespace

CommandStatus RunSubtractDarkFrame(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const std::string path = FileArgument(c, r);
  if (!r.proceed()) return r.status();
  return Outcome(SubtractDarkFile(c.state, c.host, path));
}

CommandStatus RunApplyFlatField(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const std::string path = FileArgument(c, r);
  if (!r.proceed()) return r.status();
  return Outcome(ApplyFlatFieldFile(c.state, c.host, path));
}

CommandStatus RunAutoDark(CommandContext& c, const CommandArgs& args) { return RunAuto(c, args, ApplyAutoDark); }
CommandStatus RunAutoFlat(CommandContext& c, const CommandArgs& args) { return RunAuto(c, args, ApplyAutoFlat); }

CommandStatus RunStartMerge(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  if (!r.proceed()) return r.status();
  return Outcome(StartMerge(c.state, c.host));
}

CommandStatus RunMergeMark(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const long x = r.integer("x", 0, 100'000);
  const long y = r.integer("y", 0, 100'000);
  if (!r.proceed()) return r.status();
  const FrameGeometry& g = c.state.geometry;
  if (!c.state.processing.merge.mergeMode) {
    c.err << args.name << ": not merging (run merge-start first)\n";
    return CommandStatus::Refused;
  }
  if (x > g.widthMinus1 || y > g.heightMinus1) {
    c.err << args.name << ": the point is outside the image\n";
    return CommandStatus::Refused;
  }
  MarkMergePoint(c.state, static_cast<int>(x), static_cast<int>(y));
  return CommandStatus::Done;
}

CommandStatus RunMergeImages(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const bool average = r.flag("average", false);
  const bool special = r.flag("special", false);
  const bool superimpose = r.flag("superimpose", false);
  if (average && special) r.fail("takes average=1 or special=1, not both");
  if (!r.proceed()) return r.status();
  if (!c.state.processing.merge.mergeMode) {
    c.err << args.name << ": not merging (run merge-start first)\n";
    return CommandStatus::Refused;
  }
  SetMergeAverage(c.state, average);
  SetMergeSpecialAverage(c.state, special);
  SetMergeSuperimpose(c.state, superimpose);
  const MergeResult result = MergeImages(c.state, c.host);
  if (result == MergeResult::NotReady) c.err << args.name << ": the second image has not been opened yet\n";
  return Outcome(result == MergeResult::Merged);
}

CommandStatus RunCancelMerge(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  if (!r.proceed()) return r.status();
  CancelMerge(c.state);
  return CommandStatus::Done;
}

CommandStatus RunFindHotPixels(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const long threshold = r.integer("threshold", kHotPixelThresholdMinimum, kHotPixelThresholdMaximum,
                                   c.state.processing.hotPixelThreshold);
  if (!r.proceed()) return r.status();
  c.state.processing.hotPixelThreshold = static_cast<int>(threshold);
  ResetBufferPointers(c.state.images);
  const bool ok = FindHotPixels(c.state, c.host, c.state.images.workImage);
  c.out << "Hot Pixels Found: " << c.state.files.hotPixelCount << "\n";
  return Outcome(ok);
}

CommandStatus RunSaveHotPixelMap(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const std::string name = r.text("name", HotPixelMapName(c.state));
  std::string path;
  if (!args.positional.empty()) path = FileArgument(c, r);
  if (!r.proceed()) return r.status();
  if (!ChangeHotPixelMapName(c.state, c.host, name)) return CommandStatus::Refused;
  if (path.empty()) path = HotPixelMapPath(c.state);
  return Outcome(SaveHotPixelMap(c.state, c.host, path));
}

CommandStatus RunApplyHotPixelMap(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  if (!r.proceed()) return r.status();
  return Outcome(ApplyHotPixelMap(c.state, c.host));
}

}  // namespace qv
