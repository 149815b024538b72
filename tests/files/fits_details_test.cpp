// FITS details and automatic processing choices as their dialogs edit them.

#include "files/fits_details.h"

#include "app/settings_file.h"
#include "files/auto_processing.h"
#include "files_fixture.h"

namespace qv::test {
namespace {

using FitsDetailsTest = FilesTest;

TEST_F(FitsDetailsTest, FieldsAreCutToTheirCountsAndBadNumbersKeepTheOldValue) {
  ProgramSettings& s = state.settings;
  s.fits.focalLength = 12.5;
  FitsDialogFields f = FitsDialogFromSettings(s);
  EXPECT_EQ(f.instrument, "Corvane CCD");
  EXPECT_EQ(f.focalLength, "12.5");
  f.date = "2024-05-06";  // ten characters kept whole
  f.time = "21:03:04 extra";
  f.object = std::string(80, 'o');
  f.history = std::string(300, 'h');
  f.focalLength = "abc";
  f.aperture = "4.5";
  f.exposure = "  30";
  f.utOffsetHours = 15;
  ApplyFitsDialogFields(s, f);
  EXPECT_EQ(s.fits.dateObs, "2024-05-06");
  EXPECT_EQ(s.fits.timeObs, "21:03:04 ");  // cut to its field
  EXPECT_EQ(s.fits.object.size(), 67u);
  EXPECT_EQ(s.fits.historyText.size(), 254u);
  EXPECT_DOUBLE_EQ(s.fits.focalLength, 12.5);
  EXPECT_DOUBLE_EQ(s.fits.aperture, 4.5);
  EXPECT_DOUBLE_EQ(s.fits.exposureSeconds, 30);
  EXPECT_EQ(s.utOffsetHours, 11);
}

TEST_F(FitsDetailsTest, TimeDifferenceStaysWithinElevenHours) {
  EXPECT_EQ(UtOffsetLineDown(-10), -11);
  EXPECT_EQ(UtOffsetLineDown(-11), -11);
  EXPECT_EQ(UtOffsetLineUp(10), 11);
  EXPECT_EQ(UtOffsetLineUp(11), 11);
  EXPECT_EQ(UtOffsetLineUp(-3), -2);
}

TEST_F(FitsDetailsTest, AutosaveTextCommandLoadsSavesAndReports) {
  state.settings.fits.eightBit = 1;
  bool ran = false;
  EXPECT_TRUE(EditAutosaveFitsText(state.settings, state.paths, host, [&] {
    ran = true;
    state.settings.fits.object = "Saved";
    return true;
  }));
  EXPECT_TRUE(ran);
  EXPECT_EQ(state.settings.fits.eightBit, 0);
  ProgramSettings reloaded;
  ASSERT_EQ(LoadSettings(reloaded, state.paths, host), SettingsStatus::Ok);
  EXPECT_EQ(reloaded.fits.object, "Saved");

  state.settings.fits.object = "Aborted";
  EXPECT_FALSE(EditAutosaveFitsText(state.settings, state.paths, host, [] { return false; }));
  ASSERT_EQ(LoadSettings(reloaded, state.paths, host), SettingsStatus::Ok);
  EXPECT_EQ(reloaded.fits.object, "Saved");
}

TEST_F(FitsDetailsTest, AutoNumbersOutsideTheirRangesAreRefused) {
  ProgramSettings& s = state.settings;
  EXPECT_FALSE(ApplyAutoNumbers(s, "30", "4", "2"));
  EXPECT_EQ(s.autoUserStretchLevel, 4);  // the default stays
  EXPECT_EQ(s.unsharpRadius, 4);         // valid ones are taken
  EXPECT_TRUE(ApplyAutoNumbers(s, "29", "2", "6"));
  EXPECT_EQ(s.autoUserStretchLevel, 29);
  EXPECT_FALSE(ApplyAutoNumbers(s, "2", "7", "1"));
  EXPECT_FALSE(ApplyAutoNumbers(s, "2", "2", "0"));
  EXPECT_FALSE(ApplyAutoNumbers(s, "2x", "2", "1"));

  SetAutoStretch(s, AutoStretch::Strong);
  EXPECT_TRUE(s.autoStrongStretch);
  EXPECT_FALSE(s.autoWeakStretch || s.autoUserStretch);
  s.autoWeakStretch = true;  // weak is checked first
  EXPECT_EQ(CurrentAutoStretch(s), AutoStretch::Weak);
  SetAutoStretch(s, AutoStretch::None);
  EXPECT_EQ(CurrentAutoStretch(s), AutoStretch::None);
}

}  // namespace
}  // namespace qv::test
