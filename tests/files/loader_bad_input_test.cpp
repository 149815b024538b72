// The loader and its readers fed truncated, padded, random and oversized
// files, and hot pixel maps that claim more than they hold.

#include <random>

#include "files/fits_file.h"
#include "files/image_loader.h"
#include "files/raw_file.h"
#include "files_fixture.h"

namespace qv::test {
namespace {

class LoaderBadInputTest : public FilesTest {
 protected:
  void SetUp() override {
    FilesTest::SetUp();
    FillPattern();
    image = WorkCopy();
  }
  void ExpectUnchanged(const std::string& what) {
    EXPECT_EQ(WorkCopy(), image) << what;
    EXPECT_EQ(state.geometry.width, 1392) << what;
    EXPECT_EQ(state.geometry.binned, 0) << what;
    EXPECT_EQ(state.files.hotPixelMapValid, 0) << what;
  }
  std::vector<std::uint16_t> image;
};

TEST_F(LoaderBadInputTest, FilesOfNoKnownLengthChangeNothing) {
  std::mt19937 random(42);
  const std::vector<std::size_t> lengths{0,         1,         19,        20,        5759,      5760,
                                         2'901'119, 2'901'121, 2'895'369, 2'895'371, 2'895'359, 12'000'000};
  for (std::size_t length : lengths) {
    std::vector<unsigned char> bytes(length);
    for (auto& b : bytes) b = static_cast<unsigned char>(random());
    WriteBytes(file("junk"), bytes);
    host.boxes.clear();
    EXPECT_EQ(LoadImageFile(state, host, file("junk")), LoadResult::Failed) << length;
    ASSERT_EQ(host.boxes.size(), 2u) << length;
    EXPECT_EQ(host.boxes[1].number, 12) << length;
    ExpectUnchanged(std::to_string(length));
  }
  host.boxes.clear();
  EXPECT_EQ(LoadImageFile(state, host, file("absent")), LoadResult::Failed);
  EXPECT_EQ(MessageNumbers(), std::vector<int>{11});
  host.boxes.clear();
  EXPECT_EQ(LoadImageFile(state, host, dir.str()), LoadResult::Failed);  // a folder
  EXPECT_EQ(MessageNumbers(), std::vector<int>{11});
}

TEST_F(LoaderBadInputTest, GarbageOfAFitsLengthIsRefusedByItsHeader) {
  std::mt19937 random(7);
  for (std::size_t length : {2'901'120u, 2'903'040u, 729'600u, 11'587'200u}) {
    std::vector<unsigned char> bytes(length);
    for (auto& b : bytes) b = static_cast<unsigned char>(random());
    WriteBytes(file("g.fit"), bytes);
    host.boxes.clear();
    EXPECT_EQ(LoadImageFile(state, host, file("g.fit")), LoadResult::Failed) << length;
    EXPECT_EQ(MessageNumbers(), std::vector<int>{14}) << length;
    ExpectUnchanged(std::to_string(length));
  }
}

TEST_F(LoaderBadInputTest, ARefusedFitsFileKeepsTheCurrentImagesTextsHistoryAndColour) {
  // The good file's header in a file of the padded binned length.
  ASSERT_EQ(WriteFitsFile(state, host, file("full.fit"), state.images.workImage), FitsWriteResult::Ok);
  auto bytes = ReadBytes(file("full.fit"));
  bytes.resize(static_cast<std::size_t>(state.geometry.binnedFitsFileLength + state.geometry.binnedFitsPadding));
  WriteBytes(file("short.fit"), bytes);
  std::vector<unsigned char> garbage(2'901'120, 'x');
  WriteBytes(file("garbage.fit"), garbage);

  for (const char* name : {"short.fit", "garbage.fit"}) {
    state.images.colourConverted = 1;
    state.images.history.lines[0] = "Unsharp Mask";
    state.settings.fits.object = "Orion";
    state.settings.fits.filterName = "Red";
    state.settings.fits.exposureSeconds = 30;
    host.boxes.clear();
    EXPECT_EQ(LoadImageFile(state, host, file(name)), LoadResult::Failed) << name;
    EXPECT_EQ(host.boxes.size(), 1u) << name;
    EXPECT_EQ(state.images.colourConverted, 1) << name;
    EXPECT_EQ(state.images.history.lines[0], "Unsharp Mask") << name;
    EXPECT_EQ(state.settings.fits.object, "Orion") << name;
    EXPECT_EQ(state.settings.fits.filterName, "Red") << name;
    EXPECT_EQ(state.settings.fits.exposureSeconds, 30) << name;
    ExpectUnchanged(name);
  }
}

TEST_F(LoaderBadInputTest, AHeaderThatPromisesMoreDataThanTheFileHoldsIsRefused) {
  // A full-frame header in a file of the padded binned length.
  ASSERT_EQ(WriteFitsFile(state, host, file("full.fit"), state.images.workImage), FitsWriteResult::Ok);
  auto bytes = ReadBytes(file("full.fit"));
  bytes.resize(static_cast<std::size_t>(state.geometry.binnedFitsFileLength + state.geometry.binnedFitsPadding));
  WriteBytes(file("short.fit"), bytes);
  EXPECT_EQ(LoadImageFile(state, host, file("short.fit")), LoadResult::Failed);
  EXPECT_EQ(MessageNumbers(), std::vector<int>{13});
  ExpectUnchanged("short");
  // Reading directly with a length the file does not have.
  EXPECT_EQ(ReadFitsFile(state, file("short.fit"), state.images.workImage, 2'901'120), FitsReadResult::Unreadable);
  ExpectUnchanged("direct");
}

TEST_F(LoaderBadInputTest, HotPixelMapsNeverReadPastTheListOrTheFile) {
  auto map = [](std::int32_t count, std::size_t indices) {
    std::vector<unsigned char> bytes{'V', 'e', 's', 'k', 'H', 'o', 't', 'P', 'i', 'x', 'e', 'l', 'M', 'a', 'p'};
    for (int i = 0; i < 4; ++i)
      bytes.push_back(static_cast<unsigned char>(static_cast<std::uint32_t>(count) >> (8 * i)));
    for (std::size_t k = 0; k < indices; ++k)
      for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<unsigned char>((k * 3 + 5) >> (8 * i)));
    return bytes;
  };
  WriteBytes(file("ok.hpm"), map(12, 12));
  EXPECT_EQ(ReadBytes(file("ok.hpm")).size(), 67u);
  EXPECT_EQ(LoadImageFile(state, host, file("ok.hpm")), LoadResult::HotPixelMap);
  EXPECT_EQ(state.files.hotPixelCount, 12);
  EXPECT_EQ(state.files.hotPixelMapValid, 1);
  EXPECT_EQ(state.images.buffers.hotPixelList[11], 38);
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].text, "Hot Pixel Map Loaded");
  EXPECT_EQ(WorkCopy(), image);

  WriteBytes(file("huge.hpm"), map(2'000'000'000, 100'005));
  EXPECT_EQ(LoadImageFile(state, host, file("huge.hpm")), LoadResult::HotPixelMap);
  EXPECT_EQ(state.files.hotPixelCount, 100'000);

  WriteBytes(file("claims.hpm"), map(500, 3));
  EXPECT_EQ(LoadImageFile(state, host, file("claims.hpm")), LoadResult::HotPixelMap);
  EXPECT_EQ(state.files.hotPixelCount, 3);

  WriteBytes(file("negative.hpm"), map(-4, 2));
  EXPECT_EQ(LoadImageFile(state, host, file("negative.hpm")), LoadResult::HotPixelMap);
  EXPECT_EQ(state.files.hotPixelCount, 0);

  // 19 bytes are never a map, whatever they hold.
  state.files.hotPixelMapValid = 0;
  host.boxes.clear();
  auto nineteen = map(0, 0);
  ASSERT_EQ(nineteen.size(), 19u);
  WriteBytes(file("19.hpm"), nineteen);
  EXPECT_EQ(LoadImageFile(state, host, file("19.hpm")), LoadResult::Failed);
  EXPECT_EQ(host.boxes.back().number, 12);
  EXPECT_EQ(state.files.hotPixelMapValid, 0);
}

}  // namespace
}  // namespace qv::test
