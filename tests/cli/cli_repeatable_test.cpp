// Every command of qelvesk-cli, run twice from the same start on the virtual
// clock and the simulated devices, leaves the same files byte for byte and
// prints the same text: nothing a command writes depends on the machine's
// clock or on anything but its input.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>

#include "app/command_table.h"
#include "cli/cli_app.h"
#include "support/temp_dir.h"

namespace qv {
namespace {

// A run of each command, with what it needs before it; the image is dumped
// at the end so its pixels are compared too. "c:\" is the data root.
using Sample = std::pair<std::string_view, std::vector<std::string>>;

const std::vector<Sample>& Samples() {
  static const std::vector<Sample> samples{
      {"open", {"save-fits c:/in.fit", "invert", "open c:/in.fit"}},
      {"save-raw", {"save-raw c:/~out"}},
      {"save-tiff", {"save-tiff c:/out.tif sixteen-bit=1"}},
      {"save-fits", {"fits-set object=M42", "save-fits c:/out.fit"}},
      {"save-rgb-fits", {"synthesize", "save-rgb-fits c:/rgb.fit"}},
      {"quick-save", {"quick-save", "quick-save"}},
      {"load-next-autosaved",
       {"quick-save", "invert", "quick-save", "open c:/autosave/IMG1.FIT", "load-next-autosaved"}},
      {"save-flat", {"synthesize", "save-flat c:/~flat"}},
      {"delete", {"save-raw c:/~gone", "delete c:/~gone"}},
      {"autosave-fits-text", {"autosave-fits-text object=M31 observer=me"}},
      {"select-dark", {"select-dark c:/dark.fit", "settings-save"}},
      {"select-flat", {"select-flat c:/flat.fit", "settings-save"}},
      {"load-hot-pixel-map",
       {"hot-pixels-find threshold=60000", "hot-pixels-save c:/map.HPM", "load-hot-pixel-map c:/map.HPM"}},
      {"auto-processing", {"auto-processing weak background=1"}},
      {"undo", {"invert", "gaussian", "undo", "history"}},
      {"colour-undo", {"synthesize auto-process=0", "colour-lowpass", "colour-undo"}},
      {"history", {"invert", "history"}},
      {"fits-set", {"fits-set object=M1 exptime=30", "save-fits c:/h.fit"}},
      {"show-centre", {"show-centre"}},
      {"false-colour", {"false-colour"}},
      {"auto-contrast", {"auto-contrast"}},
      {"mirror", {"mirror"}},
      {"flip", {"flip"}},
      {"stretch-normal", {"stretch-normal black=10 white=200"}},
      {"stretch-power", {"stretch-power p=0.5"}},
      {"stretch-sine", {"stretch-sine"}},
      {"remove-background", {"rebuild-display", "remove-background"}},
      {"stretch-nonlinear", {"stretch-nonlinear power=5"}},
      {"stretch-log", {"stretch-log"}},
      {"stretch-antilog", {"stretch-antilog"}},
      {"invert", {"invert"}},
      {"colour-stretch", {"synthesize auto-process=0", "colour-stretch power=5"}},
      {"synthesize", {"synthesize daylight=1 ir=0", "save-rgb-fits c:/rgb.fit"}},
      {"mono-extract", {"mono-extract green"}},
      {"use-red-pixels", {"use-red-pixels"}},
      {"use-green-pixels", {"use-green-pixels"}},
      {"use-blue-pixels", {"use-blue-pixels"}},
      {"single-filter", {"single-filter 4"}},
      {"anti-alias", {"synthesize auto-process=0", "anti-alias"}},
      {"colour-balance", {"synthesize auto-process=0", "colour-balance red=0,5,250 blue=-2,0,255 saturation=4"}},
      {"colour-histogram", {"synthesize auto-process=0", "colour-histogram"}},
      {"balance-histogram", {"synthesize auto-process=0", "balance-histogram"}},
      {"chromatism", {"synthesize auto-process=0", "chromatism red-x=1 blue-y=-2"}},
      {"colour-lowpass", {"synthesize auto-process=0", "colour-lowpass"}},
      {"colour-overload", {"synthesize auto-process=0", "colour-overload"}},
      {"unsharp", {"unsharp radius=2 power=2"}},
      {"highpass-low", {"highpass-low"}},
      {"highpass-high", {"highpass-high"}},
      {"smoother-sharper", {"smoother-sharper"}},
      {"median", {"median radius=1 power=5"}},
      {"gaussian", {"gaussian"}},
      {"lowpass-mean", {"lowpass-mean"}},
      {"bas-relief", {"bas-relief"}},
      {"gradient", {"gradient"}},
      {"camera-type", {"camera-type K2C"}},
      {"stretch-display", {"stretch-display"}},
      {"stretch-display-on", {"stretch-display-on"}},
      {"stretch-display-off", {"stretch-display-on", "stretch-display-off"}},
      {"rebuild-display", {"rebuild-display"}},
      {"settings-show", {"settings-show"}},
      {"settings-set", {"settings-set raRate=5"}},
      {"settings-load", {"settings-load"}},
      {"settings-save", {"settings-save"}},
      {"geometry", {"geometry"}},
      {"message", {"message 69"}},
      {"export-display", {"export-display c:/shown.bmp"}},
      {"channel-view", {"channel-view L"}},
      {"display-stretch-power", {"display-stretch-power 10"}},
      {"dump-image", {"dump-image c:/plane.raw"}},
      {"pixels", {"pixels x=1 y=100"}},
      {"fits-show", {"fits-show"}},
      {"auto-process", {"auto-processing strong", "auto-process"}},
      {"camera-open", {"camera-open"}},
      {"camera-info", {"camera-info"}},
      {"firmware", {"firmware"}},
      {"clear", {"clear"}},
      {"readout", {"readout mode=2 exposure-ms=1500", "save-fits c:/frame.fit"}},
      {"guide-box", {"guide-box exposure-ms=200"}},
      {"guider-frame", {"guider-frame exposure-ms=300"}},
      {"cooler", {"cooler on=1 setpoint=-10"}},
      {"cooler-read", {"cooler on=1", "cooler-read"}},
      {"cooler-monitor", {"cooler on=1 setpoint=-20", "cooler-monitor seconds=2"}},
      {"filter", {"filter next"}},
      {"guide-outputs", {"guide-outputs bits=1"}},
      {"serial-write", {"serial-write port=1 text=:GR#"}},
      {"serial-read", {"serial-write port=1 text=:GR#", "serial-read port=1 count=8"}},
      {"find-centre", {"readout mode=1 exposure-ms=500", "find-centre x=200 y=150"}},
      {"guide-subframe", {"guide-subframe x=300 y=200"}},
      {"scope-pulse", {"scope-pulse n ms=500"}},
      {"scope-rate", {"scope-rate find"}},
      {"scope-move", {"scope-move e", "scope-stop"}},
      {"scope-stop", {"scope-stop"}},
      {"scope-goto", {"scope-goto messier=31"}},
      {"scope-goto-coords", {"scope-goto-coords ra=05:35 dec=-05*30"}},
      {"ao-step", {"ao-step n count=60"}},
      {"ao-centre", {"ao-step e count=5", "ao-centre"}},
      {"ao-counters", {"ao-step w count=7", "ao-counters"}},
      {"socket-pulse", {"socket-pulse w ms=200"}},
      {"guide-step", {"guide-step ref=100.0,100.0 star=99.2,101.5"}},
      {"guider-expose", {"guider-expose range=t value=3"}},
      {"guider-dark", {"guider-dark take", "guider-dark apply"}},
      {"guiding-show", {"guide-step ref=100.0,100.0 star=99.2,101.5", "guiding-show"}},
      {"train",
       {"settings-set telescopeGuiding=b", "train main x=716 y=509 exposure-ms=200",
        "train ao x=270 y=134 exposure-ms=200"}},
      {"guide",
       {"settings-set telescopeGuiding=b", "guide main frames=3 x=716 y=509 exposure-ms=200",
        "guide guider frames=2 x=270 y=134 target=ao exposure-ms=200"}},
      {"histogram", {"histogram"}},
      {"photometry",
       {"photometry object=100,100 comparison=200,300 background=50,50 radius=3", "mode photometry", "click x=50 y=60"}},
      {"row-plot", {"row-plot row=10"}},
      {"plot-3d", {"plot-3d"}},
      {"values", {"values x=5 y=600"}},
      {"defaults-set", {"defaults-set raRate=3 background=r filterCount=9 autosaveDir=shots", "defaults-save"}},
      {"defaults-show", {"defaults-show"}},
      {"defaults-save", {"defaults-save"}},
      {"label", {"label Orion date=1"}},
      {"subframe-size", {"subframe-size 3"}},
      {"subframe-pick", {"subframe-pick", "click x=700 y=520"}},
      {"subframe-centre-default", {"subframe-centre-default"}},
      {"focus-pick", {"focus-pick", "click x=10 y=300"}},
      {"focus-centre-default", {"focus-centre-default"}},
      {"hot-pixels-find", {"hot-pixels-find threshold=60000"}},
      {"hot-pixels-save", {"hot-pixels-find threshold=60000", "hot-pixels-save"}},
      {"hot-pixels-apply", {"hot-pixels-find threshold=60000", "hot-pixels-apply"}},
      {"pick-star", {"pick-star", "click x=100 y=100"}},
      {"subtract-dark", {"save-raw c:/~dark", "invert", "subtract-dark c:/~dark"}},
      {"flat-field", {"synthesize", "save-flat c:/~flat", "flat-field c:/~flat"}},
      {"auto-dark", {"save-raw c:/~dark", "select-dark c:/~dark", "auto-dark"}},
      {"auto-flat", {"synthesize", "save-flat c:/~flat", "select-flat c:/~flat", "auto-flat"}},
      {"merge-start", {"merge-start"}},
      {"merge-mark", {"merge-start", "merge-mark x=100 y=100"}},
      {"merge",
       {"save-raw c:/~b", "merge-start", "merge-mark x=100 y=100", "open c:/~b", "merge-mark x=102 y=101",
        "merge average=1"}},
      {"merge-cancel", {"merge-start", "merge-cancel"}},
      {"mode", {"mode photometry", "mode none"}},
      {"click", {"mode star", "click x=200 y=200 scroll-x=10 scroll-y=5"}},
      {"expose",
       {"expose range=s value=3 count=2 average=1 autosave=1 mode=2", "settings-set telescopeGuiding=b",
        "guider-expose range=t value=5", "expose range=s value=3 mode=4 guide=guider x=270 y=134"}},
      {"focus", {"expose range=h value=5 mode=1", "focus frames=3 autochange=1"}},
      {"camera-dialog-show", {"camera-dialog-show"}},
  };
  return samples;
}

struct Outcome {
  int status = 0;
  std::string out;
  std::string err;
  std::map<std::string, std::vector<unsigned char>> files;  // relative path -> bytes
};

Outcome RunOnce(const std::vector<std::string>& lines) {
  test::TempDir root;
  std::vector<std::string> args{
      "--root", root.str(), "--simulate", "--camera", "K1C", "--virtual-clock=2024-03-01T22:15:00", "--keep-going"};
  args.insert(args.end(), lines.begin(), lines.end());
  args.push_back("dump-image c:/final.raw");
  std::ostringstream out, err;
  Outcome outcome;
  outcome.status = RunCli(args, out, err);
  auto unrooted = [&](std::string text) {
    for (auto at = text.find(root.str()); at != std::string::npos; at = text.find(root.str())) {
      text.replace(at, root.str().size(), "<root>");
    }
    return text;
  };
  outcome.out = unrooted(out.str());
  outcome.err = unrooted(err.str());
  for (const auto& file : std::filesystem::recursive_directory_iterator(root.path())) {
    if (file.is_regular_file()) {
      outcome.files[std::filesystem::relative(file.path(), root.path()).string()] = test::ReadBytes(file.path());
    }
  }
  return outcome;
}

TEST(CliRepeatable, EveryCommandTwiceGivesTheSameFilesAndText) {
  // One sample per command: a second one of the same name would never run.
  std::set<std::string_view> named;
  for (const auto& [name, lines] : Samples()) {
    EXPECT_TRUE(named.insert(name).second) << name << " has two samples";
    EXPECT_NE(FindCommandByCliName(name), nullptr) << name << " is no command";
  }
  for (const auto& entry : Commands()) {
    if (entry.cliName.empty() || !entry.run) continue;
    const auto sample =
        std::find_if(Samples().begin(), Samples().end(), [&](const Sample& s) { return s.first == entry.cliName; });
    ASSERT_NE(sample, Samples().end()) << entry.cliName << " has no sample run here";
    const Outcome first = RunOnce(sample->second);
    const Outcome second = RunOnce(sample->second);
    // Every sample is a run that works: a command refused the same way twice
    // would otherwise pass unnoticed.
    EXPECT_EQ(first.status, 0) << entry.cliName << ": " << first.err;
    EXPECT_EQ(first.status, second.status) << entry.cliName;
    EXPECT_EQ(first.out, second.out) << entry.cliName;
    EXPECT_EQ(first.err, second.err) << entry.cliName;
    ASSERT_EQ(first.files.size(), second.files.size()) << entry.cliName;
    for (const auto& [path, bytes] : first.files) {
      const auto other = second.files.find(path);
      ASSERT_NE(other, second.files.end()) << entry.cliName << ": " << path;
      EXPECT_TRUE(bytes == other->second) << entry.cliName << ": " << path << " differs";
    }
    EXPECT_TRUE(first.files.count("final.raw")) << entry.cliName << ": " << first.err;
  }
}

}  // namespace
}  // namespace qv
