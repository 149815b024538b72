// The settings file: its exact bytes, reading it back, and every way it can
// be missing, short, inconsistent or unwritable.

#include "app/settings_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <random>

#include "app/settings_fields.h"
#include "app/settings_text.h"
#include "support/file_size_limit.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

namespace qv {
namespace {

using Bytes = std::vector<unsigned char>;

// The default file, written out field by field from the published layout.
Bytes ExpectedDefaultFile() {
  Bytes b(1447, 0);
  auto i16 = [&](int at, int v) {
    b[at] = static_cast<unsigned char>(v & 0xFF);
    b[at + 1] = static_cast<unsigned char>((v >> 8) & 0xFF);
  };
  auto ch = [&](int at, const char* text) { std::memcpy(&b[at], text, std::strlen(text)); };
  auto card = [&](int at, const char* prefix, const char* value) {
    std::memset(&b[at], ' ', 80);
    std::string text = std::string(prefix) + value + "'";
    std::memcpy(&b[at], text.data(), text.size());
  };
  auto longCards = [&](int at, const char* prefix) {
    for (int c = 0; c < 4; ++c) {
      std::memset(&b[at + c * 80], ' ', 80);
      std::memcpy(&b[at + c * 80], prefix, 11);
      b[at + c * 80 + 79] = '\'';
    }
  };
  i16(0, 0);
  i16(2, 0);
  ch(4, "1");
  i16(5, 0);
  i16(7, 8);
  i16(9, 1);
  ch(11, "l");
  ch(12, "0");
  i16(13, 2);
  i16(15, 2);
  i16(17, 0);
  i16(19, 0);
  ch(21, "1");
  ch(22, "n");
  ch(23, "1");
  i16(24, 0);
  i16(26, 0);
  ch(28, "nsew");
  ch(32, "nnn");
  i16(35, 4);
  ch(37, "nn");
  i16(39, 3);
  i16(41, 1);
  ch(43, "n");
  ch(44, "n");
  card(45, "OBJECT  = '", "");
  card(125, "TELESCOP= '", "");
  card(205, "INSTRUME= '", "Corvane CCD");
  card(285, "OBSERVER= '", "");
  card(365, "ORIGIN  = '", "");
  longCards(445, "HISTORY = '");
  longCards(765, "COMMENT = '");
  card(1085, "FILTER  = '", "None");
  // 1165 aperture and 1173 focal length: 0.0 is all zero bytes.
  ch(1181, "n");
  ch(1182, "y");
  std::memset(&b[1183], ' ', 100);
  b[1183] = 0;
  i16(1283, 6);
  i16(1285, 6);
  i16(1287, 0);
  i16(1289, 0);
  i16(1291, 0);
  i16(1293, 0);
  ch(1295, "y");
  ch(1296, "n");
  i16(1297, 0);
  ch(1299, "y");
  i16(1300, 7);
  const char* names[8] = {"Blank", "Filter 2", "Filter 3", "Filter 4", "Filter 5", "Filter 6", "Filter 7", "Filter 8"};
  for (int n = 0; n < 8; ++n) ch(1302 + n * 10, names[n]);
  ch(1382, "nny");
  ch(1385, "nn");
  ch(1387, "n");
  i16(1388, 3);
  ch(1390, "n");
  i16(1391, 4);
  ch(1393, "nn");
  i16(1395, 3);
  i16(1397, 1);
  ch(1399, "n");
  ch(1400, "y");
  ch(1401, "n");
  i16(1402, 6);
  i16(1404, 6);
  i16(1406, 6);
  i16(1408, 6);
  ch(1410, "n");
  i16(1411, 0);
  ch(1413, "T");
  ch(1414, "nsew");
  ch(1418, "ny");
  i16(1420, 0);
  ch(1422, "NSTW");
  ch(1426, "nnnnn");
  i16(1431, 1000);
  ch(1433, "nnn");
  i16(1436, 6);
  ch(1438, "0612");
  i16(1443, -40);
  ch(1445, "ns");
  return b;
}

class SettingsFileTest : public ::testing::Test {
 protected:
  void SetUp() override { paths.root = dir.str(); }
  std::filesystem::path file() const { return dir.path() / "autosave" / "Qel_K1C.ini"; }
  void writeFile(const Bytes& bytes) {
    std::filesystem::create_directories(dir.path() / "autosave");
    test::WriteBytes(file(), bytes);
  }

  test::TempDir dir;
  DataPaths paths;
  test::RecordingHost host;
  ProgramSettings settings;
};

TEST(SettingsLayout, FieldsTileTheFileInOrder) {
  ProgramSettings s;
  int next = 0;
  for (const auto& field : SettingsFields(s)) {
    EXPECT_EQ(field.offset, next) << field.name;
    next = field.offset + field.size;
  }
  EXPECT_EQ(next, kSettingsFileBytes);
}

TEST(SettingsLayout, DefaultsEncodeToThePublishedBytes) {
  const auto encoded = EncodeSettings(ProgramSettings{});
  const Bytes expected = ExpectedDefaultFile();
  ASSERT_EQ(encoded.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    ASSERT_EQ(encoded[i], expected[i]) << "offset " << i;
  }
}

TEST_F(SettingsFileTest, FreshInstallationCreatesFolderAndDefaultFile) {
  ASSERT_FALSE(std::filesystem::exists(dir.path() / "autosave"));
  EXPECT_EQ(LoadSettings(settings, paths, host), SettingsStatus::Ok);
  EXPECT_EQ(test::ReadBytes(file()), ExpectedDefaultFile());
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(SettingsFileTest, FolderWithoutFileFailsToLoad) {
  std::filesystem::create_directories(dir.path() / "autosave");
  EXPECT_EQ(LoadSettings(settings, paths, host), SettingsStatus::LoadFailed);
  EXPECT_FALSE(std::filesystem::exists(file()));
}

TEST_F(SettingsFileTest, EveryFieldRoundTrips) {
  ProgramSettings s;
  s.lastFileNumber = 1234;
  s.utOffsetHours = -3;
  s.telescopePort = '2';
  s.reservedWord1 = -7;
  s.guideStarMaskRadius = 13;
  s.reservedWord2 = 99;
  s.windowBackground = 'r';
  s.focusDelay = true;
  s.raRate = 5;
  s.decRate = 7;
  s.raBacklash = 30;
  s.decBacklash = 12;
  s.ignoreSmallDrift = false;
  s.telescopeGuiding = 'b';
  s.exposureOption = false;
  s.raHysteresis = 9;
  s.decHysteresis = 20;
  s.driveDirections = {'s', 'n', 'w', 'e'};
  s.autoWeakStretch = s.autoStrongStretch = s.autoUserStretch = true;
  s.autoUserStretchLevel = 36;
  s.autoHighPassLowPower = s.autoUnsharpMask = s.autoRemoveBackground = true;
  s.unsharpRadius = 6;
  s.unsharpPower = 5;
  s.reservedFlag = 'y';
  s.fits.object = "M42 Orion";
  s.fits.telescope = "Newtonian 200/1000";
  s.fits.instrument = "Camera";
  s.fits.observer = "Someone";
  s.fits.origin = "Back garden";
  s.fits.historyText = std::string(255, 'h');
  s.fits.commentText = std::string(68 * 3 + 51, 'c');
  s.fits.filterName = "Red";
  s.fits.aperture = 200.5;
  s.fits.focalLength = 1000.25;
  s.ShowInterfaceDetails = false;
  s.autosaveDirectory = "/data/images";
  s.guiderRaRate = 11;
  s.guiderDecRate = 12;
  s.guiderRaBacklash = 3;
  s.guiderDecBacklash = 4;
  s.guiderRaHysteresis = 5;
  s.guiderDecHysteresis = 6;
  s.ignoreBacklash = false;
  s.filterWheelFitted = true;
  s.guiderDefault5 = 17.0f;
  s.ignoreRaAngle = false;
  s.filterCount = 5;
  s.filterNames[3] = "Luminance";
  s.lineOffset = s.pixelOffset = true;
  s.autoAntiAlias = false;
  s.irFilterUsed = true;
  s.colourBalanceLevel = 9;
  s.colourSmoothing = false;
  s.IgnoreCameraVidPid = true;
  s.aoDefault1 = 1;
  s.aoDefault2 = 2;
  s.aoLatest1 = 3;
  s.aoLatest2 = 4;
  s.aoMode = true;
  s.aoPortChoice = 3;
  s.guidanceMode = 'A';
  s.aoSwapUpDown = {'s', 'n'};
  s.aoSwapLeftRight = {'w', 'e'};
  s.aoUnitAvailable = true;
  s.aoHalfRate = false;
  s.aoComPort = 1;
  s.mountNorthSouth = {'S', 'N'};
  s.mountEastWest = {'W', 'T'};
  s.usePcPort = false;
  s.guiderBin2x2 = true;
  s.guiderClearCamera = true;
  s.northCorrectionsOff = s.southCorrectionsOff = true;
  s.driftThreshold = 200;
  s.tiff16Bit = s.useUsbFilterWheel = true;
  s.maximumCooling = false;
  s.cameraType = 4;
  s.cameraPid = "0720";
  s.savedCoolingSetpoint = -12;
  s.useSavedCooling = true;
  s.guiderCameraType = 's';

  ASSERT_EQ(SaveSettings(s, paths), SettingsStatus::Ok);
  ProgramSettings loaded;
  ASSERT_EQ(LoadSettings(loaded, paths, host), SettingsStatus::Ok);
  // Everything written comes back: the second encoding is the same bytes.
  EXPECT_EQ(EncodeSettings(loaded), EncodeSettings(s));
  EXPECT_EQ(loaded.fits.object, "M42 Orion");
  EXPECT_EQ(loaded.fits.historyText, std::string(255, 'h'));
  EXPECT_EQ(loaded.fits.aperture, 200.5);
  EXPECT_EQ(loaded.filterNames[3], "Luminance");
  EXPECT_EQ(loaded.autosaveDirectory, "/data/images");
  EXPECT_EQ(loaded.derived.autosaveDirectory, "/data/images");
  EXPECT_EQ(loaded.derived.backgroundRed, 120);
  EXPECT_EQ(loaded.derived.comPort, 2);
  EXPECT_EQ(loaded.derived.coolerSetpointC, -12);
  EXPECT_EQ(loaded.utOffsetHours, -3);
}

TEST_F(SettingsFileTest, RaBacklashOf31RewritesFromValuesReadSoFar) {
  ProgramSettings onDisk;
  onDisk.raBacklash = 31;
  onDisk.lastFileNumber = 77;
  onDisk.decRate = 9;
  onDisk.decBacklash = 5;  // after the failing field: not read
  writeFile(EncodeSettings(onDisk));

  settings.decBacklash = 2;
  EXPECT_EQ(LoadSettings(settings, paths, host), SettingsStatus::Ok);
  EXPECT_EQ(settings.lastFileNumber, 77);
  EXPECT_EQ(settings.decRate, 9);
  EXPECT_EQ(settings.raBacklash, 31);
  EXPECT_EQ(settings.decBacklash, 2);
  EXPECT_EQ(test::ReadBytes(file()), EncodeSettings(settings));
}

TEST_F(SettingsFileTest, EachInconsistentValueRewritesTheFile) {
  struct Case {
    int offset;
    std::vector<unsigned char> bytes;
  };
  const Case cases[] = {
      {11, {'x'}},    {17, {31, 0}},    {19, {0xFF, 0xFF}}, {21, {'y'}},     {22, {'q'}},
      {23, {'n'}},    {30, {'a', 'b'}}, {35, {37, 0}},      {37, {'1'}},     {38, {'Y'}},
      {39, {0, 0}},   {41, {7, 0}},     {43, {'0'}},        {1287, {31, 0}}, {1289, {0xFF, 0xFF}},
      {1391, {0, 0}}, {1393, {'x'}},    {1395, {9, 0}},     {1397, {0, 0}},  {1399, {'1'}},
  };
  for (const auto& c : cases) {
    Bytes bytes = ExpectedDefaultFile();
    bytes[0] = 42;    // read before any check
    bytes[1436] = 4;  // after every check: the rewrite puts back the variable
    std::copy(c.bytes.begin(), c.bytes.end(), bytes.begin() + c.offset);
    writeFile(bytes);
    ProgramSettings s;
    s.lastFileNumber = 0;
    EXPECT_EQ(LoadSettings(s, paths, host), SettingsStatus::Ok) << c.offset;
    EXPECT_EQ(s.lastFileNumber, 42) << c.offset;
    EXPECT_EQ(test::ReadBytes(file())[1436], 6) << "offset " << c.offset << " not rewritten";
    EXPECT_EQ(test::ReadBytes(file()), EncodeSettings(s)) << c.offset;
  }
}

TEST_F(SettingsFileTest, TheFileNumberTakesItsWholeUnsignedRange) {
  // The autosave counter runs to 65530 before it wraps to 1.
  ASSERT_EQ(SetSettingsByName(settings, {{"lastFileNumber", "65529"}}), std::nullopt);
  EXPECT_EQ(settings.lastFileNumber, 65529);
  EXPECT_EQ(ListSettings(settings).front(), (std::pair<std::string, std::string>{"lastFileNumber", "65529"}));
  ASSERT_EQ(SaveSettings(settings, paths), SettingsStatus::Ok);
  const Bytes bytes = test::ReadBytes(file());
  EXPECT_EQ(bytes[0], 0xF9);
  EXPECT_EQ(bytes[1], 0xFF);
  ProgramSettings loaded;
  ASSERT_EQ(LoadSettings(loaded, paths, host), SettingsStatus::Ok);
  EXPECT_EQ(loaded.lastFileNumber, 65529);

  ASSERT_EQ(SetSettingsByName(settings, {{"lastFileNumber", "65535"}}), std::nullopt);
  EXPECT_EQ(settings.lastFileNumber, 65535);
  for (const char* bad : {"65536", "-1", "12a"}) {
    EXPECT_NE(SetSettingsByName(settings, {{"lastFileNumber", "0"}, {"lastFileNumber", bad}}), std::nullopt) << bad;
    EXPECT_EQ(settings.lastFileNumber, 65535) << bad;
  }
}

TEST_F(SettingsFileTest, BadTelescopeGuidingBecomesNone) {
  Bytes bytes = ExpectedDefaultFile();
  bytes[22] = 'z';
  writeFile(bytes);
  settings.telescopeGuiding = 'l';
  EXPECT_EQ(LoadSettings(settings, paths, host), SettingsStatus::Ok);
  EXPECT_EQ(settings.telescopeGuiding, 'n');
  EXPECT_EQ(test::ReadBytes(file())[22], 'n');
}

TEST_F(SettingsFileTest, WriteClampsChangeTheFileNotTheVariables) {
  settings.raBacklash = 60;
  settings.decBacklash = 60;
  settings.raRate = 50;
  settings.decRate = 49;
  settings.guiderDecBacklash = 55;
  settings.aoLatest2 = 100;
  ASSERT_EQ(SaveSettings(settings, paths), SettingsStatus::Ok);
  const Bytes b = test::ReadBytes(file());
  EXPECT_EQ(b[17], 10);
  EXPECT_EQ(b[19], 0);
  EXPECT_EQ(b[13], 10);
  EXPECT_EQ(b[15], 49);
  EXPECT_EQ(b[1289], 0);
  EXPECT_EQ(b[1408], 10);
  EXPECT_EQ(settings.raBacklash, 60);
  EXPECT_EQ(settings.decBacklash, 60);
}

TEST_F(SettingsFileTest, UnsignedFitsFlagNeverSurvives) {
  settings.unsignedFitsFormat = true;
  ASSERT_EQ(SaveSettings(settings, paths), SettingsStatus::Ok);
  EXPECT_EQ(test::ReadBytes(file())[1181], 'n');
  Bytes bytes = test::ReadBytes(file());
  bytes[1181] = 'y';
  writeFile(bytes);
  ProgramSettings loaded;
  ASSERT_EQ(LoadSettings(loaded, paths, host), SettingsStatus::Ok);
  EXPECT_FALSE(loaded.unsignedFitsFormat);
}

TEST_F(SettingsFileTest, LongTextsKeepAtMost255Characters) {
  std::string text;
  for (int i = 0; i < 300; ++i) text += static_cast<char>('a' + i % 26);
  settings.fits.historyText = text;  // the field itself holds 256 at most
  EXPECT_EQ(settings.fits.historyText.size(), 256u);
  ASSERT_EQ(SaveSettings(settings, paths), SettingsStatus::Ok);
  ProgramSettings loaded;
  ASSERT_EQ(LoadSettings(loaded, paths, host), SettingsStatus::Ok);
  EXPECT_EQ(loaded.fits.historyText, text.substr(0, 255));

  // A 70-character text: pieces of 68, spaces after the end.
  settings.fits.commentText = std::string(70, 'x');
  ASSERT_EQ(SaveSettings(settings, paths), SettingsStatus::Ok);
  const Bytes b = test::ReadBytes(file());
  EXPECT_EQ(std::string(b.begin() + 765, b.begin() + 765 + 80), "COMMENT = '" + std::string(68, 'x') + "'");
  EXPECT_EQ(std::string(b.begin() + 845, b.begin() + 845 + 80), "COMMENT = 'xx" + std::string(66, ' ') + "'");
}

TEST_F(SettingsFileTest, TimeZoneFollowsEveryLoadAndSave) {
  settings.utOffsetHours = 5;
  ASSERT_EQ(SaveSettings(settings, paths), SettingsStatus::Ok);
  EXPECT_EQ(settings.derived.timeZone, "GMT5");
  EXPECT_STREQ(std::getenv("TZ"), "GMT5");
  ProgramSettings loaded;
  loaded.utOffsetHours = 0;
  EXPECT_EQ(loaded.derived.timeZone, "PST8PDT");
  ASSERT_EQ(LoadSettings(loaded, paths, host), SettingsStatus::Ok);
  EXPECT_EQ(loaded.derived.timeZone, "GMT5");
  // POSIX reads GMT5 as five hours behind Universal Time.
  std::tm local{};
  const std::time_t noonUtc = 12 * 3600;
  localtime_r(&noonUtc, &local);
  EXPECT_EQ(local.tm_hour, 7);
  settings.utOffsetHours = -1;
  ASSERT_EQ(SaveSettings(settings, paths), SettingsStatus::Ok);
  EXPECT_STREQ(std::getenv("TZ"), "GMT-1");
}

TEST_F(SettingsFileTest, EarlierLayoutWithoutTheFlagAt44) {
  ProgramSettings onDisk;
  onDisk.fits.object = "NGC 7000";
  onDisk.fits.filterName = "Ha";
  onDisk.cameraType = 3;
  onDisk.guiderCameraType = 'x';
  Bytes current = EncodeSettings(onDisk);
  Bytes earlier(current.begin(), current.begin() + 44);
  earlier.insert(earlier.end(), current.begin() + 45, current.end());  // no byte 44
  ASSERT_EQ(earlier.size(), 1446u);
  writeFile(earlier);
  settings.reservedFlag = 'n';
  EXPECT_EQ(LoadSettings(settings, paths, host), SettingsStatus::Ok);
  EXPECT_EQ(settings.fits.object, "NGC 7000");
  EXPECT_EQ(settings.fits.filterName, "Ha");
  EXPECT_EQ(settings.cameraType, 3);
  EXPECT_EQ(settings.guiderCameraType, 'x');
  EXPECT_EQ(settings.derived.guiderColumns, 376);
  EXPECT_EQ(settings.derived.guiderColumnOffset, 62);
  EXPECT_EQ(settings.derived.guiderPixelCount, 376 * 290);
}

TEST_F(SettingsFileTest, ValuesDerivedOnLoad) {
  ProgramSettings onDisk;
  onDisk.telescopePort = '3';
  onDisk.colourBalanceLevel = 12;
  onDisk.useSavedCooling = true;
  onDisk.maximumCooling = true;
  onDisk.savedCoolingSetpoint = -5;
  onDisk.guiderBin2x2 = true;
  onDisk.guiderCameraType = 'q';  // any letter but 's' is the second guider type
  onDisk.windowBackground = 'g';
  writeFile(EncodeSettings(onDisk));
  ASSERT_EQ(LoadSettings(settings, paths, host), SettingsStatus::Ok);
  EXPECT_TRUE(settings.usePcPort);
  EXPECT_EQ(settings.colourBalanceLevel, 3);
  EXPECT_FALSE(settings.useSavedCooling);
  EXPECT_NE(settings.derived.coolerSetpointC, -5);
  EXPECT_FALSE(settings.guiderBin2x2);
  EXPECT_EQ(settings.derived.backgroundRed, 90);
  EXPECT_EQ(settings.derived.autosaveDirectory, "c:\\AUTOSAVE");
}

TEST_F(SettingsFileTest, EveryTruncatedLengthHasItsDocumentedResult) {
  ProgramSettings full;
  full.lastFileNumber = 321;
  const Bytes complete = EncodeSettings(full);
  for (std::size_t length = 0; length < complete.size(); ++length) {
    writeFile(Bytes(complete.begin(), complete.begin() + static_cast<long>(length)));
    ProgramSettings s;
    host.boxes.clear();
    EXPECT_EQ(LoadSettings(s, paths, host), SettingsStatus::LoadFailed) << length;
    const bool warned = length >= 1385 && length < 1399;
    ASSERT_EQ(host.boxes.size(), warned ? 1u : 0u) << length;
    if (warned) {
      EXPECT_EQ(host.boxes[0].caption, "");
      EXPECT_EQ(host.boxes[0].text, "Warning!\nNo INI file found, please set defaults...");
    }
    // Not even the fields before the end are taken.
    EXPECT_EQ(s.lastFileNumber, 0) << length;
    EXPECT_EQ(EncodeSettings(s), EncodeSettings(ProgramSettings{})) << length;
    // A short file is never rewritten.
    EXPECT_EQ(test::ReadBytes(file()).size(), length);
  }
}

TEST_F(SettingsFileTest, RandomFilesNeverCrash) {
  std::mt19937 random(7);
  for (int round = 0; round < 300; ++round) {
    Bytes bytes(random() % 1600);
    for (auto& b : bytes) b = static_cast<unsigned char>(random());
    if (round % 3 == 0 && bytes.size() > 44) bytes[44] = 'n';
    writeFile(bytes);
    ProgramSettings s;
    const SettingsStatus status = LoadSettings(s, paths, host);
    EXPECT_TRUE(status == SettingsStatus::Ok || status == SettingsStatus::LoadFailed);
    // Whatever was read, the texts stay inside their fields.
    EXPECT_LE(s.fits.object.size(), 69u);
    EXPECT_LE(s.fits.historyText.size(), 255u);
    EXPECT_LE(s.autosaveDirectory.size(), 99u);
  }
}

TEST_F(SettingsFileTest, FailedSaveKeepsThePreviousFile) {
  settings.lastFileNumber = 5;
  ASSERT_EQ(SaveSettings(settings, paths), SettingsStatus::Ok);
  const Bytes before = test::ReadBytes(file());

  // The disk fills part way through: the old file stays, and nothing but it
  // and its lock file is left in the folder.
  settings.lastFileNumber = 6;
  {
    const test::FileSizeLimit limit(1000);
    EXPECT_EQ(SaveSettings(settings, paths), SettingsStatus::SaveFailed);
  }
  EXPECT_EQ(test::ReadBytes(file()), before);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path() / "autosave"), {}), 2);

  // An unwritable folder, where permissions are enforced.
  if (::geteuid() != 0) {
    ::chmod((dir.path() / "autosave").c_str(), 0500);
    EXPECT_EQ(SaveSettings(settings, paths), SettingsStatus::SaveFailed);
    ::chmod((dir.path() / "autosave").c_str(), 0700);
    EXPECT_EQ(test::ReadBytes(file()), before);
  }
}

// The program and the INDI driver both rewrite the file: each change is
// read, merged and written under the file's lock, so two processes changing
// it at once lose nothing.
TEST_F(SettingsFileTest, TwoWritersLoseNoChange) {
  settings.lastFileNumber = 100;
  settings.savedCoolingSetpoint = -30;
  ASSERT_EQ(SaveSettings(settings, paths), SettingsStatus::Ok);
  constexpr int kChanges = 25;
  auto writer = [&](bool counter) {
    ProgramSettings own;  // each process keeps its own, soon stale, settings
    for (int i = 0; i < kChanges; ++i) {
      const auto status = SaveSettingsChange(own, paths, [counter](ProgramSettings& s) {
        if (counter)
          ++s.lastFileNumber;
        else
          ++s.savedCoolingSetpoint;
      });
      if (status != SettingsStatus::Ok) return 1;
    }
    return 0;
  };
  pid_t children[2];
  for (int c = 0; c < 2; ++c) {
    children[c] = ::fork();
    ASSERT_GE(children[c], 0);
    if (children[c] == 0) ::_exit(writer(c == 0));
  }
  for (const pid_t child : children) {
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  ProgramSettings merged;
  ASSERT_EQ(ReadSettingsFileOnly(merged, paths), SettingsStatus::Ok);
  EXPECT_EQ(merged.lastFileNumber, 100 + kChanges);
  EXPECT_EQ(merged.savedCoolingSetpoint, -30 + kChanges);

  // A file the driver cannot read is left as it is, and so are its settings.
  test::WriteBytes(file(), Bytes(40, 'x'));
  ProgramSettings own;
  EXPECT_EQ(SaveSettingsChange(own, paths, [](ProgramSettings& s) { s.filterCount = 3; }), SettingsStatus::LoadFailed);
  EXPECT_EQ(own.filterCount, 7);
  EXPECT_EQ(test::ReadBytes(file()), Bytes(40, 'x'));
}

TEST_F(SettingsFileTest, AQuoteEndsACardsText) {
  settings.fits.object = "M42 'Orion'";
  settings.autosaveDirectory = "/data/it's";
  ASSERT_EQ(SaveSettings(settings, paths), SettingsStatus::Ok);
  ProgramSettings loaded;
  ASSERT_EQ(LoadSettings(loaded, paths, host), SettingsStatus::Ok);
  EXPECT_EQ(loaded.fits.object, "M42 ");
  EXPECT_EQ(loaded.autosaveDirectory, "/data/it");
}

TEST_F(SettingsFileTest, TextsAreCutToTheirFields) {
  settings.fits.object = std::string(100, 'o');
  EXPECT_EQ(settings.fits.object.size(), 69u);
  ASSERT_EQ(SaveSettings(settings, paths), SettingsStatus::Ok);
  const Bytes b = test::ReadBytes(file());
  // The card keeps its closing quote inside its 80 bytes.
  EXPECT_EQ(b[45 + 79], '\'');
  EXPECT_EQ(b[125], 'T');
  settings.filterNames[0] = "A very long filter name";
  EXPECT_EQ(settings.filterNames[0], "A very lo");
}

}  // namespace
}  // namespace qv
