// FITS files: the header card by card, the data encodings of the four
// kinds, and reading back what the writer wrote.

#include "files/fits_file.h"

#include <clocale>

#include "files/fits_details.h"
#include "files/fits_header.h"
#include "files/image_loader.h"
#include "files/save_commands.h"
#include "files_fixture.h"

namespace qv::test {
namespace {

using FitsTest = FilesTest;

TEST_F(FitsTest, MonoFileHasTheFixedHeaderAndBigEndianOffsetData) {
  state.images.workImage[0] = 0;
  state.images.workImage[1] = 32768;
  state.images.workImage[2] = 65535;
  state.settings.fits.filterName = "Red";
  ASSERT_EQ(WriteFitsFile(state, host, file("m.fit"), state.images.workImage), FitsWriteResult::Ok);
  const auto bytes = ReadBytes(file("m.fit"));
  ASSERT_EQ(bytes.size(), 2'901'120u);
  EXPECT_EQ(Card(bytes, 0), Padded("SIMPLE  =                    T /"));
  EXPECT_EQ(Card(bytes, 1), Padded("BITPIX  =                   16 /"));
  EXPECT_EQ(Card(bytes, 2), Padded("NAXIS   =                    2 /"));
  EXPECT_EQ(Card(bytes, 3), Padded("NAXIS1  =                 1392 /"));
  EXPECT_EQ(Card(bytes, 4), Padded("NAXIS2  =                 1040 /"));
  EXPECT_EQ(Card(bytes, 5), "OBJECT  = ''" + std::string(68, ' '));
  EXPECT_EQ(Card(bytes, 7), Padded("INSTRUME= 'Corvane CCD'"));
  EXPECT_EQ(Card(bytes, 12), Padded("HISTORY = 'Fullframe Image''"));
  EXPECT_EQ(Card(bytes, 13), Padded("HISTORY = ''"));
  EXPECT_EQ(Card(bytes, 36), Padded("BZERO   =   +3.2768000000E+04"));
  EXPECT_EQ(Card(bytes, 37), Padded("BSCALE  =   +1.0000000000E+00"));
  EXPECT_EQ(Card(bytes, 38), Padded("PIXWIDTH=    6.4500000000E-03"));
  EXPECT_EQ(Card(bytes, 40), Padded("SATURATE=                32768"));
  EXPECT_EQ(Card(bytes, 41), Padded("EXPTIME =    0.0000000000E+00"));
  EXPECT_EQ(Card(bytes, 44), Padded("FILTER  = 'Red'"));
  // The standard cards follow (tested on their own); END moves down by as many.
  EXPECT_EQ(Card(bytes, 45).substr(0, 9), "XBINNING=");
  EXPECT_EQ(Card(bytes, 53), Padded("END"));
  for (int i = 54; i < 72; ++i) EXPECT_EQ(Card(bytes, i), std::string(80, ' ')) << i;
  for (int i = 0; i < 5760; ++i) ASSERT_NE(bytes[static_cast<std::size_t>(i)], 0) << i;
  const std::vector<unsigned char> data(bytes.begin() + 5760, bytes.begin() + 5766);
  EXPECT_EQ(data, (std::vector<unsigned char>{0x80, 0x00, 0x00, 0x00, 0x7F, 0xFF}));
  EXPECT_EQ(state.settings.fits.unsignedFormat, 0);
}

TEST_F(FitsTest, NumbersAndLongTextsAreCutAsTheCardsNeedThem) {
  EXPECT_EQ(FitsNumber(0.0074), "7.4000000000E-03");
  EXPECT_EQ(FitsNumber(1234.5), "1.2345000000E+03");
  const std::string seventy = std::string(68, 'a') + "bc";
  EXPECT_EQ(LongTextPiece(seventy, 0), std::string(68, 'a'));
  EXPECT_EQ(LongTextPiece(seventy, 1), "bc" + std::string(66, ' '));
  EXPECT_EQ(LongTextPiece(seventy, 2), std::string(68, ' '));
  EXPECT_EQ(LongTextPiece(seventy, 3), std::string(68, ' '));

  state.settings.fits.historyText = seventy;
  state.settings.fits.object = std::string(69, 'x');  // longer than the card holds
  ASSERT_EQ(WriteFitsFile(state, host, file("h.fit"), state.images.workImage), FitsWriteResult::Ok);
  const auto bytes = ReadBytes(file("h.fit"));
  EXPECT_EQ(Card(bytes, 28), "HISTORY = '" + std::string(68, 'a') + "'");
  EXPECT_EQ(Card(bytes, 29), "HISTORY = 'bc" + std::string(66, ' ') + "'");
  EXPECT_EQ(Card(bytes, 5), "OBJECT  = '" + std::string(68, 'x') + "'");
}

TEST_F(FitsTest, HeaderHoldsOnlyPrintableCharactersWhateverTheTexts) {
  // The dialog's multi-line boxes give line breaks; typed names may hold
  // bytes beyond ASCII.
  state.settings.fits.historyText = "first line\r\nsecond\tline";
  state.settings.fits.object = "M 42 \xC3\xA9";
  ASSERT_EQ(WriteFitsFile(state, host, file("p.fit"), state.images.workImage), FitsWriteResult::Ok);
  const auto bytes = ReadBytes(file("p.fit"));
  for (int i = 0; i < 5760; ++i) {
    ASSERT_GE(bytes[static_cast<std::size_t>(i)], 0x20) << i;
    ASSERT_LE(bytes[static_cast<std::size_t>(i)], 0x7E) << i;
  }
  EXPECT_EQ(Card(bytes, 28), Padded("HISTORY = 'first line  second line" + std::string(45, ' ') + "'"));
  EXPECT_EQ(Card(bytes, 5), Padded("OBJECT  = 'M 42   '"));
}

// The desktop toolkit takes the user's locale for the whole process; a
// decimal comma must reach neither the header nor the dialog's numbers.
TEST_F(FitsTest, NumbersKeepTheirDecimalPointUnderACommaLocale) {
  const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
  struct Restore {
    const std::string& locale;
    ~Restore() { std::setlocale(LC_NUMERIC, locale.c_str()); }
  } restore{previous};
  bool found = false;
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8", "de_DE"})
    if (std::setlocale(LC_NUMERIC, name)) {
      found = true;
      break;
    }
  if (!found) GTEST_SKIP() << "no locale with a decimal comma installed";

  EXPECT_EQ(FitsNumber(0.0074), "7.4000000000E-03");
  state.settings.fits.exposureSeconds = 12.5;
  ASSERT_EQ(WriteFitsFile(state, host, file("l.fit"), state.images.workImage), FitsWriteResult::Ok);
  const auto bytes = ReadBytes(file("l.fit"));
  EXPECT_EQ(Card(bytes, 38), Padded("PIXWIDTH=    6.4500000000E-03"));
  EXPECT_EQ(Card(bytes, 41), Padded("EXPTIME =    1.2500000000E+01"));
  state.settings.fits.exposureSeconds = 0;
  ASSERT_EQ(LoadImageFile(state, host, file("l.fit")), LoadResult::Loaded);
  EXPECT_DOUBLE_EQ(state.settings.fits.pixelWidth, 0.00645);
  EXPECT_DOUBLE_EQ(state.settings.fits.exposureSeconds, 12.5);

  FitsDialogFields fields = FitsDialogFromSettings(state.settings);
  EXPECT_EQ(fields.exposure, "12.5");
  fields.aperture = "3.25";
  ApplyFitsDialogFields(state.settings, fields);
  EXPECT_DOUBLE_EQ(state.settings.fits.exposureSeconds, 12.5);
  EXPECT_DOUBLE_EQ(state.settings.fits.aperture, 3.25);
}

TEST_F(FitsTest, RealNumbersAreReadAsTheCLocaleReadsThem) {
  double value = -1;
  EXPECT_TRUE(ParseReal("  +1.5e2xyz", value));
  EXPECT_DOUBLE_EQ(value, 150.0);
  EXPECT_TRUE(ParseReal("-0.25", value));
  EXPECT_DOUBLE_EQ(value, -0.25);
  value = 7;
  EXPECT_FALSE(ParseReal("", value));
  EXPECT_FALSE(ParseReal("abc", value));
  EXPECT_FALSE(ParseReal("+-3", value));
  EXPECT_FALSE(ParseReal("+", value));
  EXPECT_DOUBLE_EQ(value, 7.0);
  EXPECT_EQ(FitsNumber(-1234.5), "-1.2345000000E+03");
  EXPECT_EQ(FitsNumber(1e-100), "1.0000000000E-100");
}

TEST_F(FitsTest, GeometryLineAndPixelSizeFollowTheBinning) {
  EXPECT_EQ(GeometryLineText(0, 5), "Fullframe Image'");
  EXPECT_EQ(GeometryLineText(1, 2), "Binned Image   '");
  EXPECT_EQ(GeometryLineText(1, 5), "Subframe Image '");
  state.geometry.binned = 1;
  RecomputeFrameGeometry(state.geometry, state.camera.model);
  state.geometry.colourCellMode = kColourCellThird;
  StoreFitsPixelSize(state);
  EXPECT_DOUBLE_EQ(state.settings.fits.pixelWidth, 0.00645 * 3);
  state.geometry.colourCellMode = kColourCellHalf;
  StoreFitsPixelSize(state);
  EXPECT_DOUBLE_EQ(state.settings.fits.pixelHeight, 0.00645 * 4);
  state.geometry.colourCellMode = 0;
  StoreFitsPixelSize(state);
  EXPECT_DOUBLE_EQ(state.settings.fits.pixelWidth, 0.00645 * 2);
}

TEST_F(FitsTest, ColourKindsHaveTheirHeadersAndDataLayouts) {
  FillPattern();
  FillPlanes();
  state.images.colourConverted = 1;
  ASSERT_EQ(WriteFitsFile(state, host, file("c.fit"), state.images.workImage), FitsWriteResult::Ok);
  auto bytes = ReadBytes(file("c.fit"));
  const std::size_t n = static_cast<std::size_t>(state.geometry.pixelCount);
  ASSERT_EQ(bytes.size(), 5760 + n * 8);
  EXPECT_EQ(Card(bytes, 0), Padded("SIMPLE  =                    F /"));
  EXPECT_EQ(Card(bytes, 2), Padded("NAXIS   =                    3 /"));
  EXPECT_EQ(Card(bytes, 5), Padded("NAXIS3  =                    4 /"));
  EXPECT_EQ(Card(bytes, 45), Padded("FILTER  = 'None'"));
  // Binning, pixel size and row order; no colour-matrix cards.
  EXPECT_EQ(Card(bytes, 50), Padded("ROWORDER= 'TOP-DOWN'"));
  EXPECT_EQ(Card(bytes, 51), Padded("END"));
  // Planes follow the mono plane as in memory (low byte first), red, green, blue.
  const std::uint16_t green1 = state.images.colourPlanes[ImageStore::kGreen][1];
  EXPECT_EQ(bytes[5760 + 2 * n * 2 + 2], green1 & 0xFF);
  EXPECT_EQ(bytes[5760 + 2 * n * 2 + 3], green1 >> 8);

  // RGB: three converted planes from the plane work set and the filter cards.
  for (int p = 0; p < 3; ++p)
    state.images.planeWorkSet[static_cast<std::size_t>(p)][0] = static_cast<std::uint16_t>(100 * (p + 1));
  state.files.rgbFitsSave = 1;
  ASSERT_EQ(WriteFitsFile(state, host, file("rgb.fit"), state.images.workImage), FitsWriteResult::Ok);
  bytes = ReadBytes(file("rgb.fit"));
  ASSERT_EQ(bytes.size(), 5760 + n * 6);
  EXPECT_EQ(Card(bytes, 0), Padded("SIMPLE  =                    T /"));
  EXPECT_EQ(Card(bytes, 5), Padded("NAXIS3  =                    3 /"));
  EXPECT_EQ(Card(bytes, 46), Padded("FILTER1 = 'RED'"));
  EXPECT_EQ(Card(bytes, 48), Padded("FILTER3 = 'BLU'"));
  EXPECT_EQ(Card(bytes, 53), Padded("ROWORDER= 'TOP-DOWN'"));
  EXPECT_EQ(Card(bytes, 54), Padded("END"));
  EXPECT_EQ(Card(bytes, 55), std::string(80, ' '));
  // Red 100, then green (index 2) 300, then blue (index 1) 200, each minus 32768, high byte first.
  EXPECT_EQ(bytes[5760], (100 ^ 0x8000) >> 8);
  EXPECT_EQ(bytes[5761], 100 & 0xFF);
  EXPECT_EQ(bytes[5760 + n * 2 + 1], 300 & 0xFF);
  EXPECT_EQ(bytes[5760 + n * 4 + 1], 200 & 0xFF);
}

TEST_F(FitsTest, EightBitFileHoldsHighBytesPaddedToWholeBlocks) {
  FillPattern();
  state.images.colourConverted = 1;  // an 8-bit file holds the mono image only
  state.settings.fits.eightBit = 1;
  ASSERT_EQ(WriteFitsFile(state, host, file("e.fit"), state.images.workImage), FitsWriteResult::Ok);
  const auto bytes = ReadBytes(file("e.fit"));
  const std::size_t n = static_cast<std::size_t>(state.geometry.pixelCount);
  EXPECT_EQ(bytes.size() % 2880, 0u);
  EXPECT_EQ(bytes.size(), 5760 + (n + 2879) / 2880 * 2880);
  EXPECT_EQ(Card(bytes, 1), Padded("BITPIX  =                    8 /"));
  EXPECT_EQ(Card(bytes, 2), Padded("NAXIS   =                    2 /"));
  EXPECT_EQ(bytes[5760 + 1000], state.images.workImage[1000] >> 8);
  EXPECT_EQ(bytes.back(), 0);
}

TEST_F(FitsTest, ReadingBackRestoresImageGeometryHistoryAndTexts) {
  state.geometry.binned = 1;
  RecomputeFrameGeometry(state.geometry, state.camera.model);
  state.files.geometryMode = kGeometryBinned;
  FillPattern(3);
  FitsHeaderInfo& info = state.settings.fits;
  info.object = "M 42";
  info.observer = "Someone";
  info.historyText = std::string(100, 'h');
  info.commentText = "a comment";
  info.filterName = "Ha";
  info.exposureSeconds = 30.5;
  info.focalLength = 80;
  AddHistoryLine(state.images.history, "Unsharp Mask : rad 3 ,power 2");
  const auto image = WorkCopy();
  ASSERT_EQ(WriteFitsFile(state, host, file("IMG17.FIT"), state.images.workImage), FitsWriteResult::Ok);
  const double pixelWidth = info.pixelWidth;

  // Another state of the program: unbinned, other values.
  state.geometry.binned = 0;
  RecomputeFrameGeometry(state.geometry, state.camera.model);
  FillPattern(99);
  info.object = "other";
  info.pixelWidth = 1;
  state.images.history.clear();

  ASSERT_EQ(LoadImageFile(state, host, file("IMG17.FIT")), LoadResult::Loaded) << MessageNumbers().size();
  EXPECT_EQ(state.geometry.binned, 1);
  EXPECT_EQ(state.geometry.width, 696);
  EXPECT_EQ(state.files.geometryMode, kGeometryBinned);
  EXPECT_EQ(state.files.geometryDigit, '2');
  EXPECT_EQ(WorkCopy(), image);
  EXPECT_EQ(info.object, "M 42");
  EXPECT_EQ(info.observer, "Someone");
  EXPECT_EQ(info.historyText, std::string(100, 'h'));
  EXPECT_EQ(info.commentText, "a comment");
  EXPECT_EQ(info.filterName, "Ha");
  EXPECT_DOUBLE_EQ(info.pixelWidth, pixelWidth);
  EXPECT_DOUBLE_EQ(info.exposureSeconds, 30.5);
  EXPECT_DOUBLE_EQ(info.focalLength, 80);
  EXPECT_EQ(state.images.history.lines[0], "Unsharp Mask : rad 3 ,power 2");
  EXPECT_EQ(state.images.history.lines[1], "");
  EXPECT_EQ(state.images.colourConverted, 0);
  EXPECT_EQ(state.files.autosaveLoadIndex, 17);
  EXPECT_EQ(host.rebuilds, 1);
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(FitsTest, FourPlaneColourFileReadsBackItsPlanes) {
  FillPattern();
  FillPlanes();
  state.images.colourConverted = 1;
  const auto image = WorkCopy();
  const auto red = PlaneCopy(0), blue = PlaneCopy(1), green = PlaneCopy(2);
  ASSERT_EQ(WriteFitsFile(state, host, file("c.fit"), state.images.workImage), FitsWriteResult::Ok);
  state.images.colourConverted = 0;
  FillPattern(1);
  for (int p = 0; p < 3; ++p) std::memset(state.images.colourPlanes[static_cast<std::size_t>(p)], 0, 100);
  ASSERT_EQ(LoadImageFile(state, host, file("c.fit")), LoadResult::Loaded);
  EXPECT_EQ(state.images.colourConverted, 1);
  EXPECT_EQ(WorkCopy(), image);
  EXPECT_EQ(PlaneCopy(0), red);
  EXPECT_EQ(PlaneCopy(1), blue);
  EXPECT_EQ(PlaneCopy(2), green);
}

TEST_F(FitsTest, UnsignedFilesAreReadWithoutTheOffset) {
  state.images.workImage[0] = 1234;
  ASSERT_EQ(WriteFitsFile(state, host, file("u.fit"), state.images.workImage), FitsWriteResult::Ok);
  auto bytes = ReadBytes(file("u.fit"));
  const std::string unsignedCard = Padded("BZERO   =   +0.0000000000E+00");
  std::memcpy(bytes.data() + 36 * 80, unsignedCard.data(), 80);
  bytes[5760] = 0x12;
  bytes[5761] = 0x34;
  WriteBytes(file("u.fit"), bytes);
  ASSERT_EQ(LoadImageFile(state, host, file("u.fit")), LoadResult::Loaded);
  EXPECT_EQ(state.images.workImage[0], 0x1234);
  EXPECT_EQ(state.settings.fits.unsignedFormat, 1);
}

TEST_F(FitsTest, FilesOfAnotherShapeAreRefusedAndChangeNothing) {
  FillPattern();
  ASSERT_EQ(WriteFitsFile(state, host, file("w.fit"), state.images.workImage), FitsWriteResult::Ok);
  auto good = ReadBytes(file("w.fit"));
  FillPattern(5);
  const auto image = WorkCopy();

  auto refused = [&](std::vector<unsigned char> bytes, int card, const std::string& text) {
    const std::string padded = Padded(text);
    std::memcpy(bytes.data() + card * 80, padded.data(), 80);
    WriteBytes(file("bad.fit"), bytes);
    host.boxes.clear();
    EXPECT_EQ(LoadImageFile(state, host, file("bad.fit")), LoadResult::Failed) << text;
    EXPECT_EQ(MessageNumbers(), std::vector<int>{14}) << text;
    EXPECT_EQ(WorkCopy(), image) << text;
    EXPECT_EQ(state.geometry.width, 1392) << text;
  };
  refused(good, 3, "NAXIS1  =                  640 /");  // a sub-frame of another size
  refused(good, 4, "NAXIS2  =                  999 /");
  refused(good, 1, "BITPIX  =                    8 /");
  refused(good, 2, "NAXIS   =                    4 /");
  refused(good, 3, "NAXIS1  =                 ABCD /");

  // An RGB file has none of the accepted lengths.
  state.images.colourConverted = 1;
  state.files.rgbFitsSave = 1;
  ASSERT_EQ(WriteFitsFile(state, host, file("rgb.fit"), state.images.workImage), FitsWriteResult::Ok);
  host.boxes.clear();
  EXPECT_EQ(LoadImageFile(state, host, file("rgb.fit")), LoadResult::Failed);
  ASSERT_EQ(host.boxes.size(), 2u);
  EXPECT_EQ(host.boxes[0].caption, "Qel_Vesk_USB");
  EXPECT_EQ(host.boxes[0].text, "filelenread = 8691840,filelenfitpad = 2903040,filelenfit = 2901120");
  EXPECT_EQ(host.boxes[1].number, 12);
}

TEST_F(FitsTest, OneBlockFilesOfTheEarlierLayoutAreRead) {
  std::vector<unsigned char> bytes;
  auto card = [&](const std::string& text) {
    const std::string padded = Padded(text);
    bytes.insert(bytes.end(), padded.begin(), padded.end());
  };
  card("SIMPLE  =                    T /");
  card("BITPIX  =                   16 /");
  card("NAXIS   =                    2 /");
  card("NAXIS1  =                 1392 /");
  card("NAXIS2  =                 1040 /");
  card("BZERO   =   +0.0000000000E+00");
  card("BSCALE  =   +1.0000000000E+00");
  card("COMMENT");
  card("DATE-OBS= '2001-02-03'");
  bytes.resize(2880, ' ');
  bytes.resize(2'898'240, 0);
  bytes[2880] = 0x01;
  bytes[2881] = 0x02;
  WriteBytes(file("old.fit"), bytes);
  ASSERT_EQ(ReadFitsFile(state, file("old.fit"), state.images.workImage, 2'898'240), FitsReadResult::Ok);
  EXPECT_EQ(state.images.workImage[0], 0x0102);  // unsigned: no offset
  EXPECT_EQ(state.settings.fits.dateObs, "2001-02-03");
  EXPECT_EQ(state.settings.fits.unsignedFormat, 1);
}

TEST_F(FitsTest, MenuSaveFillsAnIncompleteDateAndClearsEightBit) {
  struct FixedClock final : Clock {
    std::uint32_t milliseconds() override { return 0; }
    void sleepMs(std::uint32_t) override {}
    std::time_t now() override { return 1'700'000'000; }  // 14 November 2023
  } clock;
  state.settings.fits.eightBit = 1;
  state.settings.fits.dateObs = "2023-1";
  PrepareFitsSave(state, clock);
  EXPECT_EQ(state.settings.fits.eightBit, 0);
  EXPECT_EQ(state.settings.fits.dateObs.view().substr(0, 8), "2023-11-");
  state.settings.fits.dateObs = "1999-12-31";
  PrepareFitsSave(state, clock);
  EXPECT_EQ(state.settings.fits.dateObs, "1999-12-31");

  EXPECT_FALSE(CheckRgbFitsSave(state, host));
  EXPECT_EQ(MessageNumbers(), std::vector<int>{72});
}

TEST_F(FitsTest, WriterReportsAFileItCannotCreate) {
  EXPECT_EQ(WriteFitsFile(state, host, file("missing/dir/x.fit"), state.images.workImage), FitsWriteResult::Failed);
  EXPECT_FALSE(SaveImageAs(state, host, file("missing/dir/x.fit"), SaveMode::Fits));
  EXPECT_EQ(MessageNumbers(), std::vector<int>{29});
  EXPECT_EQ(state.files.rgbFitsSave, 0);
}

}  // namespace
}  // namespace qv::test
