// Every file the program writes goes out under a temporary name: a write that
// fails part way leaves the old file as it was and no partial file beside it.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "app/display_bitmap.h"
#include "files/file_io.h"
#include "files/files_fixture.h"
#include "files/fits_file.h"
#include "files/raw_file.h"
#include "files/tiff_file.h"
#include "processing/hot_pixel_map.h"
#include "support/file_size_limit.h"

namespace qv::test {
namespace {

class FailedWriteTest : public FilesTest {
 protected:
  std::size_t FilesInFolder() const {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir.path()), {}));
  }

  // Writes once for real, then again with too little room: the second write
  // reports failure and the first file is still there, alone and whole.
  void ExpectFailureKeepsOldFile(const std::string& name, const std::function<bool()>& write) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(write());
    const auto before = ReadBytes(file(name));
    ASSERT_GT(before.size(), 4000u);
    FillPattern(99);  // the new content differs
    {
      const FileSizeLimit limit(4000);
      EXPECT_FALSE(write());
    }
    EXPECT_EQ(ReadBytes(file(name)), before);
    EXPECT_EQ(FilesInFolder(), 1u);
    // A first write of a new name that fails leaves nothing at all.
    std::filesystem::remove(file(name));
    {
      const FileSizeLimit limit(4000);
      EXPECT_FALSE(write());
    }
    EXPECT_EQ(FilesInFolder(), 0u);
    FillPattern();
  }
};

TEST_F(FailedWriteTest, ImageFilesKeepTheOldFileAndLeaveNoPartialOne) {
  FillPattern();
  ExpectFailureKeepsOldFile("mono.fit", [&] {
    return WriteFitsFile(state, host, file("mono.fit"), state.images.workImage) == FitsWriteResult::Ok;
  });
  ExpectFailureKeepsOldFile("mono.raw", [&] { return WriteRawFile(state, host, file("mono.raw")) == RawResult::Ok; });
  ExpectFailureKeepsOldFile("mono.tif", [&] {
    return WriteTiffFile(state, file("mono.tif"), state.images.workImage, true, nullptr) == TiffResult::Ok;
  });
  ExpectFailureKeepsOldFile("mono8.tif", [&] {
    return WriteTiffFile(state, file("mono8.tif"), state.images.workImage, false, nullptr) == TiffResult::Ok;
  });

  FillPlanes();
  state.images.colourConverted = 1;
  ExpectFailureKeepsOldFile("colour.fit", [&] {
    return WriteFitsFile(state, host, file("colour.fit"), state.images.workImage) == FitsWriteResult::Ok;
  });
  state.files.rgbFitsSave = 1;
  ExpectFailureKeepsOldFile("rgb.fit", [&] {
    return WriteFitsFile(state, host, file("rgb.fit"), state.images.workImage) == FitsWriteResult::Ok;
  });
  ExpectFailureKeepsOldFile("colour.raw",
                            [&] { return WriteRawFile(state, host, file("colour.raw")) == RawResult::Ok; });
  ExpectFailureKeepsOldFile("flat.raw", [&] { return WriteFlatFile(state, host, file("flat.raw")) == RawResult::Ok; });
  ExpectFailureKeepsOldFile("colour.tif", [&] {
    return WriteTiffFile(state, file("colour.tif"), state.images.workImage, true, nullptr) == TiffResult::Ok;
  });
}

TEST_F(FailedWriteTest, HotPixelMapAndDisplayBitmapKeepTheOldFile) {
  state.files.hotPixelCount = 2000;
  ExpectFailureKeepsOldFile("map.HPM", [&] { return SaveHotPixelMap(state, host, file("map.HPM")); });
  EXPECT_EQ(host.boxes.back().text, "Hot Pixel Map file write failed");

  const std::vector<std::uint8_t> picture(1078 + 64 * 100, 9);
  ExpectFailureKeepsOldFile("t.bmp", [&] {
    return WriteBitmapFile(file("t.bmp"), picture.data(), picture.size(), 1078, 4) == BitmapWriteResult::Ok;
  });
}

TEST_F(FailedWriteTest, StagedFileReplacesOnlyOnCommit) {
  WriteBytes(file("a"), {1, 2, 3});
  {
    StagedFile staged(file("a"));
    ASSERT_TRUE(staged.valid());
    const std::uint8_t bytes[] = {7, 8};
    ASSERT_TRUE(WriteAll(staged.handle(), bytes, sizeof bytes));
    EXPECT_EQ(ReadBytes(file("a")), (std::vector<unsigned char>{1, 2, 3}));  // not yet
  }                                                                          // dropped without commit
  EXPECT_EQ(ReadBytes(file("a")), (std::vector<unsigned char>{1, 2, 3}));
  EXPECT_EQ(FilesInFolder(), 1u);

  // Two writers of one target at once each stage under a name of their own.
  {
    StagedFile first(file("a")), second(file("a"));
    const std::uint8_t one[] = {1}, two[] = {2, 2};
    ASSERT_TRUE(WriteAll(first.handle(), one, 1) && WriteAll(second.handle(), two, 2));
    ASSERT_TRUE(first.commit());
    EXPECT_EQ(ReadBytes(file("a")), (std::vector<unsigned char>{1}));
    ASSERT_TRUE(second.commit(Durability::Synced));
  }
  EXPECT_EQ(ReadBytes(file("a")), (std::vector<unsigned char>{2, 2}));
  EXPECT_EQ(FilesInFolder(), 1u);

  const std::uint8_t next[] = {4, 5, 6, 7};
  ASSERT_TRUE(ReplaceFileWith(file("a"), next));
  EXPECT_EQ(ReadBytes(file("a")), (std::vector<unsigned char>{4, 5, 6, 7}));
  EXPECT_EQ(std::filesystem::status(file("a")).permissions() & std::filesystem::perms::owner_read,
            std::filesystem::perms::owner_read);

  // A folder of the name cannot be replaced, and leaves nothing beside it.
  std::filesystem::create_directories(file("folder"));
  EXPECT_FALSE(ReplaceFileWith(file("folder"), next));
  EXPECT_EQ(FilesInFolder(), 2u);
  EXPECT_FALSE(StagedFile(file("no-such-folder/x")).valid());

  // Pieces go out in order whatever their sizes.
  std::vector<std::uint8_t> big(300'000);
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<std::uint8_t>(i * 7);
  const std::uint8_t small[] = {1};
  const std::span<const std::uint8_t> pieces[] = {small, {}, big, small};
  {
    StagedFile staged(file("b"));
    ASSERT_TRUE(WriteAllPieces(staged.handle(), pieces));
    ASSERT_TRUE(staged.commit());
  }
  const auto written = ReadBytes(file("b"));
  ASSERT_EQ(written.size(), big.size() + 2);
  EXPECT_EQ(written.front(), 1);
  EXPECT_EQ(written.back(), 1);
  EXPECT_TRUE(std::equal(big.begin(), big.end(), written.begin() + 1));
}

}  // namespace
}  // namespace qv::test
