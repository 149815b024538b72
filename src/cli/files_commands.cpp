// Image files: open, the saves, autosave, FITS header values, reference
// files and the automatic processing choices.

#include <charconv>

#include "app/messages.h"
#include "app/settings_file.h"
#include "cli/cli_commands.h"
#include "files/auto_processing.h"
#include "files/autosave.h"
#include "files/fits_details.h"
#include "files/fits_header.h"
#include "files/image_loader.h"
#include "files/save_commands.h"

namespace qv {

namespace {

const std::string* OnePath(CliContext& c, const CliCommand& command) {
  if (command.positional.size() != 1) {
    c.err << command.name << ": give one file name\n";
    return nullptr;
  }
  return &command.positional[0];
}

bool FlagOption(CliContext& c, const CliCommand& command, std::string_view key, bool& value) {
  const std::string* text = command.option(key);
  if (!text) return true;
  if (*text == "1" || *text == "y") {
    value = true;
  } else if (*text == "0" || *text == "n") {
    value = false;
  } else {
    c.err << command.name << ": " << key << " takes 0 or 1\n";
    return false;
  }
  return true;
}

bool Open(CliContext& c, const CliCommand& command) {
  const std::string* path = OnePath(c, command);
  return path && LoadImageFile(c.state, c.host, NativePath(c.state.paths, *path)) != LoadResult::Failed;
}

bool SaveFits(CliContext& c, const CliCommand& command) {
  const std::string* path = OnePath(c, command);
  if (!path) return false;
  PrepareFitsSave(c.state, c.clock);
  bool eightBit = false;
  if (!FlagOption(c, command, "eight-bit", eightBit)) return false;
  c.state.settings.fits.eightBit = eightBit ? 1 : 0;
  return SaveImageAs(c.state, c.host, NativePath(c.state.paths, *path), SaveMode::Fits);
}

bool SaveRgbFits(CliContext& c, const CliCommand& command) {
  const std::string* path = OnePath(c, command);
  if (!path || !CheckRgbFitsSave(c.state, c.host)) return false;
  PrepareFitsSave(c.state, c.clock);
  return SaveImageAs(c.state, c.host, NativePath(c.state.paths, *path), SaveMode::RgbFits);
}

bool SaveRaw(CliContext& c, const CliCommand& command) {
  const std::string* path = OnePath(c, command);
  return path && SaveImageAs(c.state, c.host, NativePath(c.state.paths, *path), SaveMode::Raw);
}

bool SaveFlat(CliContext& c, const CliCommand& command) {
  const std::string* path = OnePath(c, command);
  return path && SaveImageAs(c.state, c.host, NativePath(c.state.paths, *path), SaveMode::Flat);
}

bool SaveTiff(CliContext& c, const CliCommand& command) {
  const std::string* path = OnePath(c, command);
  if (!path) return false;
  bool sixteenBit = c.state.settings.tiff16Bit;
  if (!FlagOption(c, command, "sixteen-bit", sixteenBit)) return false;
  c.state.settings.tiff16Bit = sixteenBit;
  return SaveImageAs(c.state, c.host, NativePath(c.state.paths, *path), SaveMode::Tiff);
}

bool QuickSave(CliContext& c, const CliCommand&) { return QuickSaveFits(c.state, c.host, c.clock) == 0; }

bool LoadNext(CliContext& c, const CliCommand&) { return LoadNextAutosavedFile(c.state, c.host) != LoadResult::Failed; }

bool FitsShow(CliContext& c, const CliCommand&) {
  const FitsDialogFields f = FitsDialogFromSettings(c.state.settings);
  const FitsHeaderInfo& info = c.state.settings.fits;
  c.out << "object=" << f.object << "\nobserver=" << f.observer << "\ntelescope=" << f.telescope
        << "\ninstrument=" << f.instrument << "\norigin=" << f.origin << "\nfilter=" << f.filter
        << "\nexptime=" << FitsNumber(info.exposureSeconds) << "\nfocallen=" << FitsNumber(info.focalLength)
        << "\naperture=" << FitsNumber(info.aperture) << "\npixwidth=" << FitsNumber(info.pixelWidth)
        << "\npixheight=" << FitsNumber(info.pixelHeight) << "\ndate=" << f.date << "\ntime=" << f.time
        << "\nhistory=" << f.history << "\ncomment=" << f.comment << "\nut-offset=" << f.utOffsetHours
        << "\neight-bit=" << info.eightBit << "\nunsigned=" << info.unsignedFormat << '\n';
  return true;
}

bool FitsSet(CliContext& c, const CliCommand& command) {
  if (command.options.empty() || !command.positional.empty()) {
    c.err << "fits-set: give name=value pairs\n";
    return false;
  }
  FitsDialogFields f = FitsDialogFromSettings(c.state.settings);
  for (const auto& [key, value] : command.options) {
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
      int hours = 0;
      const auto [ptr, ec] = std::from_chars(value.data(), value.data() + value.size(), hours);
      if (ec != std::errc() || ptr != value.data() + value.size()) {
        c.err << "fits-set: ut-offset takes a whole number of hours\n";
        return false;
      }
      f.utOffsetHours = hours;
    } else {
      c.err << "fits-set: unknown field '" << key << "'\n";
      return false;
    }
  }
  ApplyFitsDialogFields(c.state.settings, f);
  return true;
}

bool SelectDark(CliContext& c, const CliCommand& command) {
  const std::string* path = OnePath(c, command);
  if (path) SelectDarkFrame(c.state, NativePath(c.state.paths, *path));
  return path != nullptr;
}

bool SelectFlat(CliContext& c, const CliCommand& command) {
  const std::string* path = OnePath(c, command);
  if (path) SelectFlatField(c.state, NativePath(c.state.paths, *path));
  return path != nullptr;
}

bool Delete(CliContext& c, const CliCommand& command) {
  const std::string* path = OnePath(c, command);
  if (path) DeleteChosenFile(NativePath(c.state.paths, *path));
  return path != nullptr;
}

bool AutoProcessing(CliContext& c, const CliCommand& command) {
  ProgramSettings& s = c.state.settings;
  if (command.positional.size() != 1) {
    c.err << "auto-processing: give weak, strong, user or none\n";
    return false;
  }
  const std::string& choice = command.positional[0];
  AutoStretch stretch = AutoStretch::None;
  if (choice == "weak") {
    stretch = AutoStretch::Weak;
  } else if (choice == "strong") {
    stretch = AutoStretch::Strong;
  } else if (choice == "user") {
    stretch = AutoStretch::User;
  } else if (choice != "none") {
    c.err << "auto-processing: give weak, strong, user or none\n";
    return false;
  }
  bool background = s.autoRemoveBackground, highPass = s.autoHighPassLowPower, unsharp = s.autoUnsharpMask;
  if (!FlagOption(c, command, "background", background) || !FlagOption(c, command, "high-pass", highPass) ||
      !FlagOption(c, command, "unsharp", unsharp))
    return false;
  auto text = [&](std::string_view key, std::int16_t current) {
    const std::string* given = command.option(key);
    return given ? *given : std::to_string(current);
  };
  ProgramSettings changed = s;
  if (!ApplyAutoNumbers(changed, text("power", s.autoUserStretchLevel), text("radius", s.unsharpRadius),
                        text("unsharp-power", s.unsharpPower))) {
    c.host.beep();
    c.err << "auto-processing: power takes 2 to 29, radius 2 to 6, unsharp-power 1 to 6\n";
    return false;
  }
  s.autoUserStretchLevel = changed.autoUserStretchLevel;
  s.unsharpRadius = changed.unsharpRadius;
  s.unsharpPower = changed.unsharpPower;
  SetAutoStretch(s, stretch);
  s.autoRemoveBackground = background;
  s.autoHighPassLowPower = highPass;
  s.autoUnsharpMask = unsharp;
  if (SaveSettings(s, c.state.paths) == SettingsStatus::Ok) return true;
  ShowMessage(c.host, 24);
  return false;
}

}  // namespace

void AddFilesCommands(std::vector<CliCommandSpec>& commands) {
  commands.insert(
      commands.end(),
      {
          {"open", "FILE", "Open an image file: raw, FITS or the headerless frame by its length, or a hot pixel map.",
           Open},
          {"save-fits", "FILE [eight-bit=1]",
           "Save the image as a FITS file with the current FITS details (8-bit: mono high bytes).", SaveFits},
          {"save-rgb-fits", "FILE", "Save a colour-converted image as a three-plane RGB FITS file.", SaveRgbFits},
          {"save-raw", "FILE", "Save the image as a raw file (frame, colour planes when converted, tag).", SaveRaw},
          {"save-flat", "FILE", "Save a colour-converted image's frame as a flat-field raw file.", SaveFlat},
          {"save-tiff", "FILE [sixteen-bit=0|1]",
           "Export the image as a TIFF file (8 or 16 bits; the 16-bit choice is the stored setting).", SaveTiff},
          {"quick-save", "", "Quick Save as FITS: the next IMG<n>.FIT in the autosave folder.", QuickSave},
          {"load-next-autosaved", "", "Load the autosaved file after the one loaded last.", LoadNext},
          {"fits-show", "", "Print the FITS header values as name=value.", FitsShow},
          {"fits-set",
           "object=.. observer=.. telescope=.. instrument=.. origin=.. filter=.. exptime=.. focallen=..\n"
           "    aperture=.. date=.. time=.. history=.. comment=.. ut-offset=..",
           "Set FITS header values as the FITS details dialog does (texts cut to their fields;\n"
           "a number that does not parse keeps the old value; ut-offset within -11 to 11).",
           FitsSet},
          {"select-dark", "FILE", "Store FILE as the automatic dark frame (nothing is read).", SelectDark},
          {"select-flat", "FILE", "Store FILE as the automatic flat field (nothing is read).", SelectFlat},
          {"delete", "FILE", "Delete FILE (nothing is reported).", Delete},
          {"auto-processing",
           "weak|strong|user|none [power=..] [background=0|1] [high-pass=0|1] [unsharp=0|1]\n"
           "    [radius=..] [unsharp-power=..]",
           "Set the automatic processing choices and save the settings (power 2-29, radius 2-6,\n"
           "unsharp-power 1-6; any number out of range changes nothing).",
           AutoProcessing},
      });
}

}  // namespace qv
