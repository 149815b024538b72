// The standard keywords other tools read: placed after the program's own
// cards and before END, every card of the program's layout where it was, and
// files with or without them read alike.

#include <gtest/gtest.h>

#include <cstring>

#include "colour/colour_synthesis.h"
#include "files/fits_file.h"
#include "files/fits_header.h"
#include "files/frame_facts.h"
#include "files/image_loader.h"
#include "files_fixture.h"

namespace qv::test {
namespace {

using FitsStandardCardsTest = FilesTest;

// The header the program wrote before the standard cards existed.
FitsHeader OldLayoutHeader(const ProgramState& state) {
  FitsHeaderShape shape;
  shape.width = state.geometry.width;
  shape.height = state.geometry.height;
  shape.binned = state.geometry.binned;
  shape.geometryMode = state.files.geometryMode;
  return ComposeFitsHeader(state.settings.fits, state.images.history, shape);
}

TEST_F(FitsStandardCardsTest, CardsGoBeforeEndAndEveryProgramCardKeepsItsPlace) {
  FillPattern(5);
  state.camera.coolingOn = true;
  state.camera.actualTemperatureC = -15;
  state.settings.derived.coolerSetpointC = -20;
  RecordReadoutFacts(state, 1, 1'700'000'000, 30);
  state.camera.actualTemperatureC = 5;  // the cooler moves on after the read-out
  state.files.frameKind = FrameKind::Dark;
  state.settings.fits.object = "M 31";
  ASSERT_EQ(WriteFitsFile(state, host, file("d.fit"), state.images.workImage), FitsWriteResult::Ok);
  const auto bytes = ReadBytes(file("d.fit"));
  ASSERT_EQ(bytes.size(), 2'901'120u);  // still two header blocks and the data
  // The start of the exposure as other programs read it, and in its own card.
  EXPECT_EQ(Card(bytes, 10), Padded("DATE-OBS= '2023-11-14T22:13:20'"));
  EXPECT_EQ(Card(bytes, 11), Padded("TIME-OBS= '22:13:20'"));

  const FitsHeader old = OldLayoutHeader(state);
  for (int i = 0; i < 45; ++i) EXPECT_EQ(Card(bytes, i), std::string(old[static_cast<std::size_t>(i)].data(), 80)) << i;
  EXPECT_EQ(std::string(old[45].data(), 80), Padded("END"));
  const char* const added[] = {
      "CCD-TEMP=                -15.0", "SET-TEMP=                -20.0", "XBINNING=                    1",
      "YBINNING=                    1", "XPIXSZ  =                6.450", "YPIXSZ  =                6.450",
      "BAYERPAT= 'RGGB    '",           "XBAYROFF=                    0", "YBAYROFF=                    0",
      "ROWORDER= 'TOP-DOWN'",           "IMAGETYP= 'Dark Frame'"};
  int at = 45;
  for (const char* card : added) EXPECT_EQ(Card(bytes, at++), Padded(card));
  EXPECT_EQ(Card(bytes, at++), Padded("END"));
  for (; at < 72; ++at) EXPECT_EQ(Card(bytes, at), std::string(80, ' ')) << at;

  // The program reads its file back as before.
  const FitsHeaderInfo info = state.settings.fits;
  const auto image = WorkCopy();
  FillPattern(1);
  state.settings.fits.object = "other";
  ASSERT_EQ(LoadImageFile(state, host, file("d.fit")), LoadResult::Loaded);
  EXPECT_EQ(WorkCopy(), image);
  EXPECT_EQ(state.settings.fits, info);

  // The loaded file is the frame now: the read-out's temperatures and kind
  // are not its to claim.
  ASSERT_EQ(WriteFitsFile(state, host, file("again.fit"), state.images.workImage), FitsWriteResult::Ok);
  const auto again = ReadBytes(file("again.fit"));
  EXPECT_EQ(Card(again, 10), Card(bytes, 10));
  EXPECT_EQ(Card(again, 45), Padded("XBINNING=                    1"));
  EXPECT_EQ(Card(again, 53), Padded("END"));
}

TEST_F(FitsStandardCardsTest, FilesOfTheOldLayoutLoadTheSame) {
  FillPattern(8);
  state.settings.fits.object = "NGC 891";
  state.settings.fits.exposureSeconds = 60;
  AddHistoryLine(state.images.history, "Gaussian Smoother");
  ASSERT_EQ(WriteFitsFile(state, host, file("new.fit"), state.images.workImage), FitsWriteResult::Ok);
  auto bytes = ReadBytes(file("new.fit"));
  const FitsHeader old = OldLayoutHeader(state);
  std::memcpy(bytes.data(), old.data(), sizeof old);
  WriteBytes(file("old.fit"), bytes);
  const auto image = WorkCopy();

  ASSERT_EQ(LoadImageFile(state, host, file("new.fit")), LoadResult::Loaded);
  const FitsHeaderInfo fromNew = state.settings.fits;
  const ProcessingHistory historyFromNew = state.images.history;
  FillPattern(2);
  ASSERT_EQ(LoadImageFile(state, host, file("old.fit")), LoadResult::Loaded);
  EXPECT_EQ(WorkCopy(), image);
  EXPECT_EQ(state.settings.fits, fromNew);
  EXPECT_EQ(state.images.history.lines, historyFromNew.lines);
  EXPECT_EQ(state.images.history.lines[0], "Gaussian Smoother");
}

TEST_F(FitsStandardCardsTest, BinningPixelSizeAndTheColourCardsFollowTheFrame) {
  auto cardsOf = [&](const std::string& name) {
    EXPECT_EQ(WriteFitsFile(state, host, file(name), state.images.workImage), FitsWriteResult::Ok);
    const auto bytes = ReadBytes(file(name));
    std::string cards;
    for (int i = 0; i < 72; ++i) cards += Card(bytes, i).substr(0, 30) + "|";
    return cards;
  };
  // No cooler report, no frame kind: no temperature or image type cards.
  std::string cards = cardsOf("full.fit");
  EXPECT_EQ(cards.find("CCD-TEMP"), std::string::npos);
  EXPECT_EQ(cards.find("SET-TEMP"), std::string::npos);
  EXPECT_EQ(cards.find("IMAGETYP"), std::string::npos);

  state.geometry.binned = 1;
  RecomputeFrameGeometry(state.geometry, state.camera.model);
  state.camera.monitoring = true;  // the temperature is known, the cooler off
  state.camera.actualTemperatureC = 12;
  RecordReadoutFacts(state, 2, 0, 1);
  state.files.frameKind = FrameKind::Flat;
  cards = cardsOf("binned.fit");
  EXPECT_NE(cards.find("XBINNING=                    2|"), std::string::npos);
  EXPECT_NE(cards.find("XPIXSZ  =               12.900|"), std::string::npos);
  EXPECT_NE(cards.find("CCD-TEMP=                 12.0|"), std::string::npos);
  EXPECT_EQ(cards.find("SET-TEMP"), std::string::npos);
  EXPECT_NE(cards.find("IMAGETYP= 'Flat Field'"), std::string::npos);
  EXPECT_EQ(cards.find("BAYERPAT"), std::string::npos);  // binning mixes the colours
  // 3x3 and 4x4 read-outs are resampled to the same half-size frame: the
  // cards give the image's scale, not the camera's binning.
  for (int mode : {3, 4}) {
    state.camera.readoutModeCode = mode;
    cards = cardsOf("binned34.fit");
    EXPECT_NE(cards.find("YBINNING=                    2|"), std::string::npos) << mode;
    EXPECT_NE(cards.find("YPIXSZ  =               12.900|"), std::string::npos) << mode;
  }

  // A sub-frame has whole pixels and keeps the colour matrix.
  state.files.geometryMode = kGeometrySubFrame;
  cards = cardsOf("sub.fit");
  EXPECT_NE(cards.find("XBINNING=                    1|"), std::string::npos);
  EXPECT_NE(cards.find("BAYERPAT"), std::string::npos);

  // A converted image has no colour matrix left.
  state.geometry.binned = 0;
  RecomputeFrameGeometry(state.geometry, state.camera.model);
  state.files.geometryMode = kGeometryFull;
  state.images.colourConverted = 1;
  cards = cardsOf("colour.fit");
  EXPECT_EQ(cards.find("BAYERPAT"), std::string::npos);
  EXPECT_NE(cards.find("XBINNING"), std::string::npos);
}

// For each line and pixel offset, the pattern the header names puts red
// where the program's own colour synthesis takes it from. With both offsets
// clear that is red, green / green, blue from the top-left pixel: the
// simulated camera's colour matrix.
TEST_F(FitsStandardCardsTest, BayerPatternIsWhereTheSynthesisTakesItsColours) {
  for (int line = 0; line < 2; ++line) {
    for (int pixel = 0; pixel < 2; ++pixel) {
      SCOPED_TRACE(testing::Message() << "line " << line << " pixel " << pixel);
      state.settings.lineOffset = line != 0;
      state.settings.pixelOffset = pixel != 0;
      ASSERT_EQ(WriteFitsFile(state, host, file("b.fit"), state.images.workImage), FitsWriteResult::Ok);
      const std::string card = Card(ReadBytes(file("b.fit")), 49);
      ASSERT_EQ(card.substr(0, 11), "BAYERPAT= '");
      const std::string pattern = card.substr(11, 4);
      if (line == 0 && pixel == 0) {
        EXPECT_EQ(pattern, "RGGB");
      }

      // A small raw frame lit only where the pattern says red.
      constexpr int kW = 8, kH = 6;
      std::vector<std::uint16_t> raw(kW * kH), red(kW * kH), blue(kW * kH), green(kW * kH), lum(kW * kH);
      for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
          if (pattern[static_cast<std::size_t>((y & 1) * 2 + (x & 1))] == 'R') raw[y * kW + x] = 900;
      const SynthesisFrame frame{raw.data(), {red.data(), blue.data(), green.data()}, lum.data(), kW, kH};
      SynthesizeFrame(RowLoops::Plain, frame, {line != 0, pixel != 0}, RedDivisor(false, false));
      for (int y = 0; y < kH - 1; ++y) {
        for (int x = 0; x < kW - 1; ++x) {
          EXPECT_EQ(red[y * kW + x], 900 * kColourMultiplier / 45) << x << ',' << y;
          EXPECT_EQ(blue[y * kW + x], 0) << x << ',' << y;
          EXPECT_EQ(green[y * kW + x], 0) << x << ',' << y;
        }
      }
    }
  }
}

}  // namespace
}  // namespace qv::test
