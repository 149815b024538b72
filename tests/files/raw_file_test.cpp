// Raw files: tags, lengths, the binned colour file that shares the mono
// length, the headerless frame, flat files and second files.

#include "files/raw_file.h"

#include "files/image_loader.h"
#include "files/save_commands.h"
#include "files_fixture.h"

namespace qv::test {
namespace {

using RawTest = FilesTest;

std::string Tail(const std::vector<unsigned char>& bytes) { return std::string(bytes.end() - 10, bytes.end()); }

TEST_F(RawTest, FullFrameMonoFileEndsWithTheHiresTag) {
  FillPattern();
  ASSERT_EQ(WriteRawFile(state, host, file("~mono")), RawResult::Ok);
  const auto bytes = ReadBytes(file("~mono"));
  ASSERT_EQ(bytes.size(), 2'895'370u);
  EXPECT_EQ(Tail(bytes), "HIRES  1  ");
  EXPECT_EQ(bytes[2], state.images.workImage[1] & 0xFF);  // low byte first
  EXPECT_EQ(bytes[3], state.images.workImage[1] >> 8);

  const auto image = WorkCopy();
  FillPattern(1);
  state.images.colourConverted = 1;
  ASSERT_EQ(LoadImageFile(state, host, file("~mono")), LoadResult::Loaded);
  EXPECT_EQ(WorkCopy(), image);
  EXPECT_EQ(state.images.colourConverted, 0);
  EXPECT_EQ(state.geometry.binned, 0);
  EXPECT_EQ(state.files.geometryDigit, '1');
}

TEST_F(RawTest, BinnedColourFileHasTheMonoLengthAndLoadsBackAsColour) {
  state.geometry.binned = 1;
  RecomputeFrameGeometry(state.geometry, state.camera.model);
  state.images.colourConverted = 1;
  FillPattern();
  FillPlanes();
  const auto image = WorkCopy();
  const auto red = PlaneCopy(0), blue = PlaneCopy(1), green = PlaneCopy(2);
  ASSERT_EQ(WriteRawFile(state, host, file("~binned")), RawResult::Ok);
  const auto bytes = ReadBytes(file("~binned"));
  ASSERT_EQ(bytes.size(), 2'895'370u);
  EXPECT_EQ(Tail(bytes), "SUBFRM 2  ");

  state.geometry.binned = 0;
  RecomputeFrameGeometry(state.geometry, state.camera.model);
  state.images.colourConverted = 0;
  FillPattern(2);
  ASSERT_EQ(LoadImageFile(state, host, file("~binned")), LoadResult::Loaded);
  EXPECT_EQ(state.images.colourConverted, 1);
  EXPECT_EQ(state.geometry.binned, 1);
  EXPECT_EQ(state.geometry.width, 696);
  EXPECT_EQ(state.files.geometryMode, kGeometrySubFrame);
  EXPECT_EQ(WorkCopy(), image);
  EXPECT_EQ(PlaneCopy(0), red);
  EXPECT_EQ(PlaneCopy(1), blue);
  EXPECT_EQ(PlaneCopy(2), green);
}

TEST_F(RawTest, BinnedMonoAndFullColourFilesKeepTheirLayouts) {
  state.geometry.binned = 1;
  RecomputeFrameGeometry(state.geometry, state.camera.model);
  FillPattern();
  auto image = WorkCopy();
  ASSERT_EQ(WriteRawFile(state, host, file("~small")), RawResult::Ok);
  EXPECT_EQ(ReadBytes(file("~small")).size(), 1392u * 1040 / 2 + 10);
  state.geometry.binned = 0;
  RecomputeFrameGeometry(state.geometry, state.camera.model);
  ASSERT_EQ(LoadImageFile(state, host, file("~small")), LoadResult::Loaded);
  EXPECT_EQ(state.geometry.binned, 1);
  EXPECT_EQ(state.files.geometryMode, kGeometrySubFrame);
  EXPECT_EQ(WorkCopy(), image);

  state.geometry.binned = 0;
  RecomputeFrameGeometry(state.geometry, state.camera.model);
  state.images.colourConverted = 1;
  FillPattern(4);
  FillPlanes();
  image = WorkCopy();
  const auto green = PlaneCopy(2);
  ASSERT_EQ(WriteRawFile(state, host, file("~colour")), RawResult::Ok);
  EXPECT_EQ(ReadBytes(file("~colour")).size(), 1392u * 1040 * 8 + 10);
  state.images.colourConverted = 0;
  std::memset(state.images.colourPlanes[2], 0, 1000);
  ASSERT_EQ(LoadImageFile(state, host, file("~colour")), LoadResult::Loaded);
  EXPECT_EQ(state.images.colourConverted, 1);
  EXPECT_EQ(WorkCopy(), image);
  EXPECT_EQ(PlaneCopy(2), green);
}

TEST_F(RawTest, HeaderlessFrameLoadsAsAFullFrame) {
  std::vector<unsigned char> bytes(2'895'360);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<unsigned char>(i * 7);
  WriteBytes(file("plain"), bytes);
  state.geometry.binned = 1;
  RecomputeFrameGeometry(state.geometry, state.camera.model);
  state.images.colourConverted = 1;
  ASSERT_EQ(LoadImageFile(state, host, file("plain")), LoadResult::Loaded);
  EXPECT_EQ(state.geometry.binned, 0);
  EXPECT_EQ(state.images.colourConverted, 0);
  EXPECT_EQ(state.images.workImage[1], (14 & 0xFF) | (21 << 8));
  EXPECT_EQ(state.images.workImage[1392 * 1040 - 1], bytes[2'895'358] | bytes[2'895'359] << 8);
}

TEST_F(RawTest, FlatFilesNeedAColourImageAndCarryAFlatTag) {
  FillPattern();
  EXPECT_EQ(WriteFlatFile(state, host, file("~flat")), RawResult::Failed);
  EXPECT_EQ(MessageNumbers(), std::vector<int>{71});
  EXPECT_FALSE(std::filesystem::exists(file("~flat")));

  state.images.colourConverted = 1;
  ASSERT_EQ(WriteFlatFile(state, host, file("~flat")), RawResult::Ok);
  auto bytes = ReadBytes(file("~flat"));
  ASSERT_EQ(bytes.size(), 2'895'370u);  // the frame only, no planes
  EXPECT_EQ(Tail(bytes), "FLATH  1  ");

  state.files.geometryDigit = '5';
  ASSERT_EQ(WriteFlatFile(state, host, file("~flat5")), RawResult::Ok);
  EXPECT_EQ(ReadBytes(file("~flat5")).size(), 0u);  // unbinned, not a full frame: left empty

  state.geometry.binned = 1;
  RecomputeFrameGeometry(state.geometry, state.camera.model);
  ASSERT_EQ(WriteFlatFile(state, host, file("~flatb")), RawResult::Ok);
  bytes = ReadBytes(file("~flatb"));
  EXPECT_EQ(bytes.size(), 1392u * 1040 / 2 + 10);
  EXPECT_EQ(Tail(bytes), "FLAT B 5  ");
}

TEST_F(RawTest, FlatTaggedFilesLoadAsFullFrameMono) {
  state.images.colourConverted = 1;
  FillPattern();
  ASSERT_EQ(WriteFlatFile(state, host, file("~flat")), RawResult::Ok);
  ASSERT_EQ(LoadImageFile(state, host, file("~flat")), LoadResult::Loaded);
  EXPECT_EQ(state.images.colourConverted, 0);
  EXPECT_EQ(state.geometry.binned, 0);
}

TEST_F(RawTest, SecondFilesGoToTheScratchImageWithTheirChecks) {
  FillPattern();
  ASSERT_EQ(WriteRawFile(state, host, file("~dark")), RawResult::Ok);
  const auto image = WorkCopy();
  FillPattern(9);
  EXPECT_EQ(ReadSecondRawFile(state, host, file("~dark"), SecondFilePurpose::Dark), RawResult::Ok);
  EXPECT_TRUE(std::equal(image.begin(), image.end(), state.images.scratchImage));
  EXPECT_NE(WorkCopy(), image);  // the current image is left alone

  EXPECT_EQ(ReadSecondRawFile(state, host, file("~dark"), SecondFilePurpose::Flat), RawResult::Failed);
  EXPECT_EQ(MessageNumbers(), std::vector<int>{70});

  // A FITS file chosen as dark frame.
  host.boxes.clear();
  std::vector<unsigned char> fits(1392 * 1040 * 2 + 5760, ' ');
  WriteBytes(file("d.fit"), fits);
  EXPECT_EQ(ReadSecondRawFile(state, host, file("d.fit"), SecondFilePurpose::Dark), RawResult::Failed);
  ASSERT_EQ(host.boxes.size(), 2u);
  EXPECT_EQ(host.boxes[0].caption, "Qel_Vesk_USB");
  EXPECT_EQ(host.boxes[0].text, "filelenread = 2901120,filelen = 2895370,filelenfullcol = 11581450");
  EXPECT_EQ(host.boxes[1].number, 16);

  host.boxes.clear();
  EXPECT_EQ(ReadSecondRawFile(state, host, file("none"), SecondFilePurpose::Merge), RawResult::Failed);
  EXPECT_EQ(MessageNumbers(), std::vector<int>{11});
}

TEST_F(RawTest, SaveCommandPicksTheWriterAndRemembersTheTitle) {
  EXPECT_TRUE(SaveImageAs(state, host, file("~x"), SaveMode::Raw));
  EXPECT_EQ(state.files.imageTitle, "~x");
  EXPECT_FALSE(SaveImageAs(state, host, file("no/such/~x"), SaveMode::Raw));
  EXPECT_EQ(MessageNumbers(), std::vector<int>{17});
  EXPECT_EQ(FilterIndexAfterDialog("FIT", "~a"), 2);
  EXPECT_EQ(FilterIndexAfterDialog("TIF", "~a"), 1);
  EXPECT_EQ(FilterIndexAfterDialog("", "a.fit"), 3);
}

}  // namespace
}  // namespace qv::test
