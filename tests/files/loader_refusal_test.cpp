// Every loader refuses a file without changing anything: the frame geometry
// and read-out mode, the header values, history and colour state, every image
// buffer a file could reach, the hot pixel map and the settings. One table of
// refusals, each checked against a snapshot of the whole program state.

#include <filesystem>
#include <random>

#include "app/settings_file.h"
#include "files/fits_file.h"
#include "files/image_loader.h"
#include "files/raw_file.h"
#include "files_fixture.h"

namespace qv::test {
namespace {

using Bytes = std::vector<unsigned char>;

// What a refused file must leave exactly as it was.
struct Snapshot {
  std::vector<std::pair<std::string, std::string>> geometry;
  int geometryMode = 0;
  char geometryDigit = 0;
  FitsHeaderInfo header;
  ProcessingHistory history;
  int colourConverted = 0;
  // The buffers over a whole sensor: as far as any file of this camera reaches.
  std::vector<std::uint16_t> work, scratch, undo;
  std::array<std::vector<std::uint16_t>, 3> planes, planeWorkSet;
  std::vector<std::int32_t> hotPixels;
  int hotPixelCount = 0;
  int hotPixelMapValid = 0;
  int autosaveLoadIndex = 0;
  std::string imageTitle;
  std::vector<std::uint8_t> settings;
  ProgramSettings::Derived derived;

  bool operator==(const Snapshot&) const = default;
};

std::vector<std::uint16_t> Pixels(const std::uint16_t* from, std::size_t count) {
  return std::vector<std::uint16_t>(from, from + count);
}

Snapshot Take(ProgramState& state) {
  const auto n = static_cast<std::size_t>(state.geometry.sensorWidth) * state.geometry.sensorHeight;
  ImageStore& images = state.images;
  Snapshot s;
  s.geometry = ListFrameGeometry(state.geometry);
  s.geometryMode = state.files.geometryMode;
  s.geometryDigit = state.files.geometryDigit;
  s.header = state.settings.fits;
  s.history = images.history;
  s.colourConverted = images.colourConverted;
  s.work = Pixels(images.buffers.work.data(), n);
  s.scratch = Pixels(images.buffers.scratch.data(), n);
  s.undo = Pixels(images.buffers.undo.data(), n);
  for (std::size_t p = 0; p < 3; ++p) {
    s.planes[p] = Pixels(images.buffers.colourPlanes[p].data(), n);
    s.planeWorkSet[p] = Pixels(images.buffers.planeWorkSet[p].data(), n);
  }
  const std::int32_t* list = images.buffers.hotPixelList.data();
  s.hotPixels.assign(list, list + ImageStore::kHotPixelCapacity);
  s.hotPixelCount = state.files.hotPixelCount;
  s.hotPixelMapValid = state.files.hotPixelMapValid;
  s.autosaveLoadIndex = state.files.autosaveLoadIndex;
  s.imageTitle = state.files.imageTitle;
  s.settings = EncodeSettings(state.settings);
  s.derived = state.settings.derived;
  return s;
}

void Card(Bytes& bytes, int index, const std::string& text) {
  const std::string padded = text + std::string(80 - text.size(), ' ');
  std::copy(padded.begin(), padded.end(), bytes.begin() + index * 80);
}

// The files are written from a full-frame state before the current image is
// set up.
Bytes MonoFits(ProgramState& state, Host& host, const std::string& path) {
  state.images.colourConverted = 0;
  EXPECT_EQ(WriteFitsFile(state, host, path, state.images.workImage), FitsWriteResult::Ok);
  return ReadBytes(path);
}

void FitsWithCard(ProgramState& state, Host& host, const std::string& path, int card, const std::string& text) {
  Bytes bytes = MonoFits(state, host, path);
  Card(bytes, card, text);
  WriteBytes(path, bytes);
}

void Cut(const std::string& path, std::size_t bytesLess) {
  Bytes bytes = ReadBytes(path);
  bytes.resize(bytes.size() - bytesLess);
  WriteBytes(path, bytes);
}

void Settings(const std::string& path, std::size_t length) {
  ProgramSettings other;
  other.lastFileNumber = 321;
  other.fits.object = "Vega";
  other.utOffsetHours = 4;
  other.windowBackground = 'r';
  Bytes bytes = EncodeSettings(other);
  bytes.resize(length);
  WriteBytes(path, bytes);
}

bool LoadRefused(ProgramState& state, Host& host, const std::string& path) {
  return LoadImageFile(state, host, path) == LoadResult::Failed;
}

struct Refusal {
  const char* name;
  // Writes the file from the full-frame state.
  void (*write)(ProgramState& state, Host& host, const std::string& path);
  // Runs the loader; true when it refused the file.
  bool (*load)(ProgramState& state, Host& host, const std::string& path);
  std::vector<int> messages;  // -1 for a box shown without a number
};
void PrintTo(const Refusal& refusal, std::ostream* out) { *out << refusal.name; }

const Refusal kRefusals[] = {
    {"FitsOfEightBits",
     [](ProgramState& s, Host& h, const std::string& p) {
       FitsWithCard(s, h, p, 1, "BITPIX  =                    8 /");
     },
     LoadRefused,
     {14}},
    {"FitsOfFourAxes",
     [](ProgramState& s, Host& h, const std::string& p) {
       FitsWithCard(s, h, p, 2, "NAXIS   =                    4 /");
     },
     LoadRefused,
     {14}},
    {"FitsOfAnotherWidth",
     [](ProgramState& s, Host& h, const std::string& p) {
       FitsWithCard(s, h, p, 3, "NAXIS1  =                  640 /");
     },
     LoadRefused,
     {14}},
    {"FitsOfAnotherHeight",
     [](ProgramState& s, Host& h, const std::string& p) {
       FitsWithCard(s, h, p, 4, "NAXIS2  =                  999 /");
     },
     LoadRefused,
     {14}},
    {"FitsOfRandomBytes",
     [](ProgramState&, Host&, const std::string& p) {
       std::mt19937 random(3);
       Bytes bytes(2'901'120);
       for (auto& b : bytes) b = static_cast<unsigned char>(random());
       WriteBytes(p, bytes);
     },
     LoadRefused,
     {14}},
    {"FitsHeaderPromisingMoreThanTheFileHolds",
     [](ProgramState& s, Host& h, const std::string& p) {
       Bytes bytes = MonoFits(s, h, p);
       bytes.resize(static_cast<std::size_t>(s.geometry.binnedFitsFileLength + s.geometry.binnedFitsPadding));
       WriteBytes(p, bytes);
     },
     LoadRefused,
     {13}},
    {"FitsMonoDataCutShort",
     [](ProgramState& s, Host& h, const std::string& p) {
       MonoFits(s, h, p);
       Cut(p, 2);
     },
     [](ProgramState& s, Host&, const std::string& p) {
       return ReadFitsFile(s, p, s.images.workImage, s.geometry.fitsFileLength) == FitsReadResult::Unreadable;
     },
     {}},
    {"FitsColourPlanesCutShort",
     [](ProgramState& s, Host& h, const std::string& p) {
       s.images.colourConverted = 1;
       ASSERT_EQ(WriteFitsFile(s, h, p, s.images.workImage), FitsWriteResult::Ok);
       Cut(p, 1000);
     },
     [](ProgramState& s, Host&, const std::string& p) {
       return ReadFitsFile(s, p, s.images.workImage, s.geometry.colourFitsFileLength) == FitsReadResult::Unreadable;
     },
     {}},
    {"OneBlockFitsCutShort",
     [](ProgramState& s, Host&, const std::string& p) {
       Bytes bytes(static_cast<std::size_t>(kOneBlockFitsLength) - 2, ' ');
       Card(bytes, 0, "SIMPLE  =                    T /");
       Card(bytes, 1, "BITPIX  =                   16 /");
       Card(bytes, 2, "NAXIS   =                    2 /");
       Card(bytes, 3, "NAXIS1  =                 " + std::to_string(s.geometry.width) + " /");
       Card(bytes, 4, "NAXIS2  =                 " + std::to_string(s.geometry.height) + " /");
       Card(bytes, 5, "BZERO   =   +0.0000000000E+00");
       Card(bytes, 8, "DATE-OBS= '2001-02-03'");
       WriteBytes(p, bytes);
     },
     [](ProgramState& s, Host&, const std::string& p) {
       return ReadFitsFile(s, p, s.images.workImage, kOneBlockFitsLength) == FitsReadResult::Unreadable;
     },
     {}},
    {"FileThatIsNotThere", [](ProgramState&, Host&, const std::string&) {}, LoadRefused, {11}},
    {"RawOfNoKnownLength",
     [](ProgramState& s, Host& h, const std::string& p) {
       ASSERT_EQ(WriteRawFile(s, h, p), RawResult::Ok);
       Cut(p, 1);
     },
     LoadRefused,
     {-1, 12}},
    {"RawColourFileOfAnotherLengthThanMatched",
     [](ProgramState& s, Host& h, const std::string& p) {
       s.images.colourConverted = 1;
       ASSERT_EQ(WriteRawFile(s, h, p), RawResult::Ok);
       Cut(p, 10);
     },
     [](ProgramState& s, Host&, const std::string& p) {
       return ReadRawFile(s, p, s.geometry.colourRawFileLength) == RawResult::Failed;
     },
     {}},
    {"HeaderlessFrameCutShort",
     [](ProgramState&, Host&, const std::string& p) {
       WriteBytes(p, Bytes(static_cast<std::size_t>(kHeaderlessFrameLength) - 1, 7));
     },
     [](ProgramState& s, Host&, const std::string& p) {
       return ReadRawFile(s, p, kHeaderlessFrameLength) == RawResult::Failed;
     },
     {}},
    {"SecondFileOfAFitsLength",
     [](ProgramState& s, Host& h, const std::string& p) { MonoFits(s, h, p); },
     [](ProgramState& s, Host& h, const std::string& p) {
       return ReadSecondRawFile(s, h, p, SecondFilePurpose::Dark) == RawResult::Failed;
     },
     {-1, 16}},
    {"SecondFileThatIsNotThere",
     [](ProgramState&, Host&, const std::string&) {},
     [](ProgramState& s, Host& h, const std::string& p) {
       return ReadSecondRawFile(s, h, p, SecondFilePurpose::Merge) == RawResult::Failed;
     },
     {11}},
    {"FlatFileWithoutAFlatTag",
     // A full-colour file: reading it would set the full frame and fill the planes.
     [](ProgramState& s, Host& h, const std::string& p) {
       s.images.colourConverted = 1;
       ASSERT_EQ(WriteRawFile(s, h, p), RawResult::Ok);
     },
     [](ProgramState& s, Host& h, const std::string& p) {
       return ReadSecondRawFile(s, h, p, SecondFilePurpose::Flat) == RawResult::Failed;
     },
     {70}},
    {"HotPixelMapOf19Bytes",
     [](ProgramState&, Host&, const std::string& p) {
       const std::string map("VeskHotPixelMap\1\0\0\0", 19);
       WriteBytes(p, Bytes(map.begin(), map.end()));
     },
     LoadRefused,
     {-1, 12}},
    {"HotPixelMapWithoutItsMagic",
     [](ProgramState&, Host&, const std::string& p) {
       const std::string map("VeskHotPixelMaq\2\0\0\0\11\11\11\11\11\11\11\11", 27);
       WriteBytes(p, Bytes(map.begin(), map.end()));
     },
     LoadRefused,
     {-1, 12}},
    {"SettingsFileCutShort",
     [](ProgramState&, Host&, const std::string& p) { Settings(p, 600); },
     [](ProgramState& s, Host& h, const std::string&) {
       return LoadSettings(s.settings, s.paths, h) == SettingsStatus::LoadFailed;
     },
     {}},
    {"SettingsFileCutInItsSecondProcessingBlock",
     [](ProgramState&, Host&, const std::string& p) { Settings(p, 1390); },
     [](ProgramState& s, Host& h, const std::string&) {
       return LoadSettings(s.settings, s.paths, h) == SettingsStatus::LoadFailed;
     },
     {-1}},
};

class LoaderRefusalTest : public FilesTest, public ::testing::WithParamInterface<Refusal> {
 protected:
  std::size_t SensorPixels() const {
    return static_cast<std::size_t>(state.geometry.sensorWidth) * state.geometry.sensorHeight;
  }
  void Fill(std::uint16_t* image, unsigned seed) {
    for (std::size_t i = 0; i < SensorPixels(); ++i) image[i] = static_cast<std::uint16_t>(i * seed + seed);
  }

  // A binned colour image with its own history, header values, hot pixel map
  // and settings: every part a file could change differs from what it holds.
  void SetUpCurrentImage() {
    state.geometry.binned = 1;
    RecomputeFrameGeometry(state.geometry, state.camera.model);
    state.files.geometryMode = kGeometryBinned;
    state.files.geometryDigit = '2';
    ImageStore& images = state.images;
    Fill(images.workImage, 3);
    Fill(images.scratchImage, 5);
    Fill(images.undoImage, 7);
    for (std::size_t p = 0; p < 3; ++p) {
      Fill(images.colourPlanes[p], 11 + static_cast<unsigned>(p));
      Fill(images.planeWorkSet[p], 17 + static_cast<unsigned>(p));
    }
    for (std::size_t i = 0; i < ImageStore::kHotPixelCapacity; ++i)
      images.buffers.hotPixelList[i] = static_cast<std::int32_t>(i * 13);
    state.files.hotPixelCount = 40;
    state.files.hotPixelMapValid = 1;
    images.colourConverted = 1;
    images.history.lines[0] = "Unsharp Mask";
    images.history.lines[1] = "Non-Linear Stretch";
    FitsHeaderInfo& info = state.settings.fits;
    info.object = "Orion";
    info.filterName = "Red";
    info.exposureSeconds = 30;
    info.dateObs = "2024-01-02";
    info.pixelWidth = 0.0148;
    info.unsignedFormat = 0;
    state.settings.lastFileNumber = 65529;
    state.settings.derived.coolerSetpointC = -12;
    state.files.autosaveLoadIndex = 9;
    state.files.imageTitle = "IMG9.FIT";
  }
};

TEST_P(LoaderRefusalTest, ChangesNothing) {
  const Refusal& refusal = GetParam();
  std::filesystem::create_directories(dir.path() / "autosave");
  const std::string path =
      std::string(refusal.name).rfind("Settings", 0) == 0 ? SettingsFilePath(state.paths) : file("refused");
  FillPattern(1);
  refusal.write(state, host, path);
  SetUpCurrentImage();
  const Snapshot before = Take(state);
  host.boxes.clear();

  EXPECT_TRUE(refusal.load(state, host, path));
  EXPECT_EQ(MessageNumbers(), refusal.messages);
  EXPECT_EQ(host.rebuilds, 0);
  const Snapshot after = Take(state);
  EXPECT_TRUE(after == before);
  // Which part changed, where one did.
  EXPECT_EQ(after.geometry, before.geometry);
  EXPECT_EQ(after.geometryMode, before.geometryMode);
  EXPECT_TRUE(after.header == before.header);
  EXPECT_TRUE(after.history == before.history);
  EXPECT_EQ(after.colourConverted, before.colourConverted);
  EXPECT_TRUE(after.work == before.work && after.scratch == before.scratch && after.planes == before.planes);
  EXPECT_EQ(after.settings, before.settings);
}

INSTANTIATE_TEST_SUITE_P(EachKind, LoaderRefusalTest, ::testing::ValuesIn(kRefusals),
                         [](const ::testing::TestParamInfo<Refusal>& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace qv::test
