#include "files/files_command_runs.h"

#include "app/arg_reader.h"
#include "app/messages.h"
#include "app/settings_file.h"
#include "files/auto_processing.h"
#include "files/autosave.h"
#include "files/fits_details.h"
#include "files/fits_header.h"
#include "files/image_loader.h"
#include "files/save_commands.h"
#include "processing/merge_images.h"

namespace qv {

namespace {

// The one file a command names, as a native path.
std::string FileArgument(CommandContext& c, ArgReader& r) {
  const std::string path = r.single("one file name");
  return r.ok() ? NativePath(c.state.paths, path) : std::string();
}

CommandStatus Saved(bool ok) { return ok ? CommandStatus::Done : CommandStatus::Refused; }

CommandStatus SaveAs(CommandContext& c, const CommandArgs& args, SaveMode mode) {
  ArgReader r(c, args);
  const std::string path = FileArgument(c, r);
  if (!r.proceed()) return r.status();
  return Saved(SaveImageAs(c.state, c.host, path, mode));
}

// The FITS header values the FITS details dialog edits, from key=value pairs.
// False (after a note) at an unknown key or a malformed time difference.
bool FitsFieldsFromArgs(ArgReader& r, const CommandArgs& args, FitsDialogFields& f) {
  for (const auto& [key, value] : args.options) {
    std::string* field = key == "object"       ? &f.object
                         : key == "observer"   ? &f.observer
                         : key == "telescope"  ? &f.telescope
                         : key == "instrument" ? &f.instrument
                         : key == "origin"     ? &f.origin
                         : key == "filter"     ? &f.filter
                         : key == "exptime"    ? &f.exposure
                         : key == "focallen"   ? &f.focalLength
                         : key == "aperture"   ? &f.aperture
                         : key == "date"       ? &f.date
                         : key == "time"       ? &f.time
                         : key == "history"    ? &f.history
                         : key == "comment"    ? &f.comment
                                               : nullptr;
    if (field) {
      *field = value;
    } else if (key == "ut-offset") {
      const auto hours = ParseWholeNumber(value);
      if (!hours) {
        r.fail("ut-offset takes a whole number of hours");
        return false;
      }
      f.utOffsetHours = static_cast<int>(*hours);
    } else {
      r.fail("unknown field '" + key + "'");
      return false;
    }
  }
  return true;
}

}  // namespace

CommandStatus RunOpen(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const std::string path = FileArgument(c, r);
  if (!r.proceed()) return r.status();
  // While merging, the image opened is the second image of the merge.
  KeepMergeBase(c.state);
  const LoadResult result = LoadImageFile(c.state, c.host, path);
  MergeSecondImageOpened(c.state, result == LoadResult::Loaded);
  return result != LoadResult::Failed ? CommandStatus::Done : CommandStatus::Refused;
}

CommandStatus RunSaveRaw(CommandContext& c, const CommandArgs& args) { return SaveAs(c, args, SaveMode::Raw); }
CommandStatus RunSaveFlat(CommandContext& c, const CommandArgs& args) { return SaveAs(c, args, SaveMode::Flat); }

CommandStatus RunSaveTiff(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const std::string path = FileArgument(c, r);
  const bool sixteenBit = r.flag("sixteen-bit", c.state.settings.tiff16Bit);
  if (!r.proceed()) return r.status();
  c.state.settings.tiff16Bit = sixteenBit;
  return Saved(SaveImageAs(c.state, c.host, path, SaveMode::Tiff));
}

// The window has filled the FITS details through its dialog before it runs
// this; the date is completed from the computer's date only when it is still
// incomplete.
CommandStatus RunSaveFits(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const std::string path = FileArgument(c, r);
  const bool eightBit = r.flag("eight-bit", false);
  if (!r.proceed()) return r.status();
  PrepareFitsSave(c.state, c.clock);
  c.state.settings.fits.eightBit = eightBit ? 1 : 0;
  return Saved(SaveImageAs(c.state, c.host, path, SaveMode::Fits));
}

CommandStatus RunSaveRgbFits(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const std::string path = FileArgument(c, r);
  if (!r.proceed()) return r.status();
  if (!CheckRgbFitsSave(c.state, c.host)) return CommandStatus::Refused;
  PrepareFitsSave(c.state, c.clock);
  return Saved(SaveImageAs(c.state, c.host, path, SaveMode::RgbFits));
}

CommandStatus RunQuickSave(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  if (!r.proceed()) return r.status();
  return Saved(QuickSaveFits(c.state, c.host, c.clock) == 0);
}

CommandStatus RunLoadNextAutosaved(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  if (!r.proceed()) return r.status();
  return LoadNextAutosavedFile(c.state, c.host) != LoadResult::Failed ? CommandStatus::Done : CommandStatus::Refused;
}

CommandStatus RunDeleteFile(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const std::string path = FileArgument(c, r);
  if (!r.proceed()) return r.status();
  DeleteChosenFile(path);
  return CommandStatus::Done;
}

CommandStatus RunSelectDarkFrame(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const std::string path = FileArgument(c, r);
  if (!r.proceed()) return r.status();
  SelectDarkFrame(c.state, path);
  return CommandStatus::Done;
}

CommandStatus RunSelectFlatField(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const std::string path = FileArgument(c, r);
  if (!r.proceed()) return r.status();
  SelectFlatField(c.state, path);
  return CommandStatus::Done;
}

CommandStatus RunFitsShow(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  if (!r.proceed()) return r.status();
  const FitsDialogFields f = FitsDialogFromSettings(c.state.settings);
  const FitsHeaderInfo& info = c.state.settings.fits;
  c.out << "object=" << f.object << "\nobserver=" << f.observer << "\ntelescope=" << f.telescope
        << "\ninstrument=" << f.instrument << "\norigin=" << f.origin << "\nfilter=" << f.filter
        << "\nexptime=" << FitsNumber(info.exposureSeconds) << "\nfocallen=" << FitsNumber(info.focalLength)
        << "\naperture=" << FitsNumber(info.aperture) << "\npixwidth=" << FitsNumber(info.pixelWidth)
        << "\npixheight=" << FitsNumber(info.pixelHeight) << "\ndate=" << f.date << "\ntime=" << f.time
        << "\nhistory=" << f.history << "\ncomment=" << f.comment << "\nut-offset=" << f.utOffsetHours
        << "\neight-bit=" << info.eightBit << "\nunsigned=" << info.unsignedFormat << '\n';
  return CommandStatus::Done;
}

CommandStatus RunFitsSet(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  if (args.options.empty() || !args.positional.empty()) r.fail("give name=value pairs");
  FitsDialogFields f = FitsDialogFromSettings(c.state.settings);
  if (r.ok()) FitsFieldsFromArgs(r, args, f);
  if (!r.ok() || c.checkOnly) return r.status();
  ApplyFitsDialogFields(c.state.settings, f);
  return CommandStatus::Done;
}

CommandStatus RunAutosaveFitsText(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  if (!args.positional.empty()) r.fail("give name=value pairs");
  FitsDialogFields check;
  if (r.ok()) FitsFieldsFromArgs(r, args, check);
  if (!r.ok() || c.checkOnly) return r.status();
  // The fields apply to the settings as read from the file, as the dialog
  // shows them after the read.
  const bool saved = EditAutosaveFitsText(c.state.settings, c.state.paths, c.host, [&] {
    FitsDialogFields f = FitsDialogFromSettings(c.state.settings);
    FitsFieldsFromArgs(r, args, f);
    ApplyFitsDialogFields(c.state.settings, f);
    return true;
  });
  return saved ? CommandStatus::Done : CommandStatus::Refused;
}

CommandStatus RunSetAutoProcessing(CommandContext& c, const CommandArgs& args) {
  ProgramSettings& s = c.state.settings;
  ArgReader r(c, args);
  static constexpr AutoStretch kStretches[] = {AutoStretch::Weak, AutoStretch::Strong, AutoStretch::User,
                                               AutoStretch::None};
  const AutoStretch stretch = kStretches[r.choice({"weak", "strong", "user", "none"})];
  const bool background = r.flag("background", s.autoRemoveBackground);
  const bool highPass = r.flag("high-pass", s.autoHighPassLowPower);
  const bool unsharp = r.flag("unsharp", s.autoUnsharpMask);
  const std::string power = r.text("power", std::to_string(s.autoUserStretchLevel));
  const std::string radius = r.text("radius", std::to_string(s.unsharpRadius));
  const std::string unsharpPower = r.text("unsharp-power", std::to_string(s.unsharpPower));
  ProgramSettings changed = s;
  if (r.ok() && !ApplyAutoNumbers(changed, power, radius, unsharpPower)) {
    r.fail("power takes 2 to 29, radius 2 to 6, unsharp-power 1 to 6");
  }
  if (!r.proceed()) return r.status();
  s.autoUserStretchLevel = changed.autoUserStretchLevel;
  s.unsharpRadius = changed.unsharpRadius;
  s.unsharpPower = changed.unsharpPower;
  SetAutoStretch(s, stretch);
  s.autoRemoveBackground = background;
  s.autoHighPassLowPower = highPass;
  s.autoUnsharpMask = unsharp;
  if (SaveSettings(s, c.state.paths) == SettingsStatus::Ok) return CommandStatus::Done;
  ShowMessage(c.host, 24);
  return CommandStatus::Refused;
}

}  // namespace qv
