// Automatic saving: the running name, the wrap, never overwriting, the
// observation time and the sequence of "Load next Autosaved File".

#include "files/autosave.h"

#include "app/settings_file.h"
#include "files/frame_facts.h"
#include "files/image_loader.h"
#include "files_fixture.h"
#include "support/test_clock.h"

namespace qv::test {
namespace {

class AutosaveTest : public FilesTest {
 protected:
  void SetUp() override {
    FilesTest::SetUp();
    state.settings.derived.autosaveDirectory = dir.str() + "/saved";
  }
  TestClock clock;
};

TEST_F(AutosaveTest, CounterWrapsAfter65529) {
  EXPECT_EQ(NextAutosaveNumber(0), 1);
  EXPECT_EQ(NextAutosaveNumber(12), 13);
  EXPECT_EQ(NextAutosaveNumber(65529), 65530);
  EXPECT_EQ(NextAutosaveNumber(65530), 1);
  EXPECT_EQ(NextAutosaveNumber(65535), 1);
}

TEST_F(AutosaveTest, WritesTheNextNumberWithTheMidExposureTimeAndSavesTheCounter) {
  state.settings.lastFileNumber = 11;
  state.settings.fits.eightBit = 1;
  RecordReadoutFacts(state, 1, 1'700'000'000, 61);  // 2023-11-14 22:13:20 UT
  StampObservationMiddle(state, 1'700'000'000, 1'700'000'061);
  ASSERT_EQ(AutosaveFits(state, host, clock, state.images.workImage), 0);
  EXPECT_EQ(state.settings.lastFileNumber, 12);
  EXPECT_EQ(ReadBytes(dir.path() / "saved" / "IMG12.FIT").size(), 2'901'120u);  // 16-bit whatever eightBit said
  EXPECT_EQ(state.settings.fits.timeObs, "22:13:50");
  EXPECT_EQ(state.settings.fits.dateObs, "2023-11-14");
  ProgramSettings reloaded;
  ASSERT_EQ(LoadSettings(reloaded, state.paths, host), SettingsStatus::Ok);
  EXPECT_EQ(reloaded.lastFileNumber, 12);

  // A quick save of that file once loaded keeps the file's time; a frame
  // that never had one is dated by the clock.
  ASSERT_EQ(LoadImageFile(state, host, AutosaveFilePath(state, 12)), LoadResult::Loaded);
  ASSERT_EQ(QuickSaveFits(state, host, clock), 0);
  EXPECT_EQ(state.settings.fits.timeObs, "22:13:50");
  state.files.frameFacts = {};
  state.settings.fits.timeObs.clear();
  ASSERT_EQ(QuickSaveFits(state, host, clock), 0);
  EXPECT_EQ(state.settings.fits.timeObs, FormatObservationTime(clock.now()).time);
}

TEST_F(AutosaveTest, NeverOverwritesAnExistingImage) {
  std::filesystem::create_directories(dir.path() / "saved");
  WriteBytes(dir.path() / "saved" / "IMG1.FIT", {1, 2, 3});
  WriteBytes(dir.path() / "saved" / "IMG2.FIT", {4});
  state.settings.lastFileNumber = 65530;  // wraps to 1, which is taken
  ASSERT_EQ(AutosaveFits(state, host, clock, state.images.workImage), 0);
  EXPECT_EQ(state.settings.lastFileNumber, 3);
  EXPECT_EQ(ReadBytes(dir.path() / "saved" / "IMG1.FIT").size(), 3u);
  EXPECT_EQ(ReadBytes(dir.path() / "saved" / "IMG2.FIT").size(), 1u);
  EXPECT_TRUE(std::filesystem::exists(dir.path() / "saved" / "IMG3.FIT"));
}

TEST_F(AutosaveTest, QuickSaveReportsAnUnwritableFolder) {
  WriteBytes(dir.path() / "saved", {0});  // a file where the folder should be
  EXPECT_EQ(QuickSaveFits(state, host, clock), 1);
  EXPECT_EQ(MessageNumbers(), std::vector<int>{29});
}

TEST_F(AutosaveTest, ObservationTimeIsUniversalTimeWithTwoDigitFields) {
  const ObservationTime t = FormatObservationTime(946'684'800 + 3 * 3600 + 4 * 60 + 5);  // 2000-01-01
  EXPECT_EQ(t.time, "03:04:05");
  EXPECT_EQ(t.date, "2000-01-01");
}

TEST_F(AutosaveTest, LoadNextFollowsTheSequenceUpToTheCounter) {
  EXPECT_EQ(LoadNextAutosavedFile(state, host), LoadResult::Failed);
  EXPECT_EQ(MessageNumbers(), std::vector<int>{40});
  for (int i = 0; i < 3; ++i) {
    FillPattern(static_cast<std::uint16_t>(i));
    ASSERT_EQ(AutosaveFits(state, host, clock, state.images.workImage), 0);
  }
  host.boxes.clear();
  ASSERT_EQ(LoadImageFile(state, host, AutosaveFilePath(state, 1)), LoadResult::Loaded);
  EXPECT_EQ(state.files.autosaveLoadIndex, 1);
  ASSERT_EQ(LoadNextAutosavedFile(state, host), LoadResult::Loaded);
  EXPECT_EQ(state.files.autosaveLoadIndex, 2);
  FillPattern(1);
  const auto second = WorkCopy();
  ASSERT_EQ(LoadImageFile(state, host, AutosaveFilePath(state, 2)), LoadResult::Loaded);
  EXPECT_EQ(WorkCopy(), second);
  ASSERT_EQ(LoadNextAutosavedFile(state, host), LoadResult::Loaded);
  EXPECT_EQ(LoadNextAutosavedFile(state, host), LoadResult::Failed);  // 3 is the last
  EXPECT_EQ(AutosaveNumberOf("/x/img42.fit"), 42);
  EXPECT_EQ(AutosaveNumberOf("/x/IMAGE.FIT"), 0);
}

}  // namespace
}  // namespace qv::test
