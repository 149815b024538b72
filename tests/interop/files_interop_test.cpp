// Files written here, read by readers this project did not write: astropy
// and cfitsio for FITS, fitsverify, libtiff's tools and Pillow for TIFF.
// A missing reader skips its test.

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "colour/colour_export.h"
#include "files/fits_file.h"
#include "files/frame_facts.h"
#include "files/save_commands.h"
#include "files/tiff_file.h"
#include "interop/outside_reader_test.h"

namespace qv::test {
namespace {

class InteropTest : public OutsideReaderTest {
 protected:
  void WriteMonoFits() {
    FillPattern(11);
    state.images.workImage[0] = 0;
    state.images.workImage[1] = 32768;
    state.images.workImage[2] = 65535;
    state.settings.fits.object = "NGC 7000";
    state.settings.fits.filterName = "Ha";
    state.settings.fits.exposureSeconds = 120;
    state.settings.fits.dateObs = "2024-05-06";  // as every save fills it
    state.settings.fits.timeObs = "21:03:04";
    ASSERT_EQ(WriteFitsFile(state, host, file("mono.fit"), state.images.workImage), FitsWriteResult::Ok);
  }
  // The pixels the readers print: a few positions across the frame.
  std::string ExpectedSamples() const {
    std::ostringstream text;
    for (int i : {0, 1, 2, 3, 1392, 700'001, 1392 * 1040 - 1}) text << state.images.workImage[i] << ' ';
    return text.str();
  }
};

TEST_F(InteropTest, AstropyReadsTheMonoFitsFile) {
  if (!HavePythonModule("astropy")) GTEST_SKIP() << "astropy not installed";
  WriteMonoFits();
  const std::string output = Python(
      "import warnings\nwarnings.simplefilter('ignore')\nfrom astropy.io import fits\n"
      "h = fits.open('" +
      file("mono.fit") +
      "')\nd = h[0].data.ravel()\n"
      "print(' '.join(str(int(d[i])) for i in (0, 1, 2, 3, 1392, 700001, 1392 * 1040 - 1)) + ' ')\n"
      "print(h[0].data.shape, h[0].header['OBJECT'], h[0].header['FILTER'], h[0].header['EXPTIME'], "
      "h[0].header['PIXWIDTH'])\n"
      "from astropy.time import Time\nprint(Time(h[0].header['DATE-OBS'], scale='utc').isot)\n");
  std::istringstream lines(output);
  std::string samples, header, start;
  std::getline(lines, samples);
  std::getline(lines, header);
  std::getline(lines, start);
  EXPECT_EQ(samples, ExpectedSamples());
  EXPECT_EQ(header, "(1040, 1392) NGC 7000 Ha 120.0 0.00645");
  EXPECT_EQ(start, "2024-05-06T21:03:04.000");
}

TEST_F(InteropTest, AstropyReadsTheStandardCardsWithTheirTypes) {
  if (!HavePythonModule("astropy")) GTEST_SKIP() << "astropy not installed";
  state.camera.coolingOn = true;
  state.camera.actualTemperatureC = -9;
  state.settings.derived.coolerSetpointC = -10;
  RecordReadoutFacts(state, 1, 0, 1);
  state.files.frameKind = FrameKind::Light;
  state.settings.pixelOffset = true;
  WriteMonoFits();
  const std::string output = Python(
      "import warnings\nwarnings.simplefilter('ignore')\nfrom astropy.io import fits\n"
      "h = fits.open('" +
      file("mono.fit") +
      "')[0].header\n"
      "for k in ('CCD-TEMP', 'SET-TEMP', 'XBINNING', 'YBINNING', 'XPIXSZ', 'YPIXSZ', 'BAYERPAT', 'XBAYROFF', "
      "'YBAYROFF', 'ROWORDER', 'IMAGETYP', 'OBJECT', 'EXPTIME'):\n"
      "    print(k, type(h[k]).__name__, repr(h[k]))\n"
      "print(len(h.cards))\n");
  EXPECT_EQ(output,
            "CCD-TEMP float -9.0\nSET-TEMP float -10.0\nXBINNING int 1\nYBINNING int 1\n"
            "XPIXSZ float 6.45\nYPIXSZ float 6.45\nBAYERPAT str 'GRBG'\nXBAYROFF int 0\nYBAYROFF int 0\n"
            "ROWORDER str 'TOP-DOWN'\nIMAGETYP str 'Light Frame'\nOBJECT str 'NGC 7000'\nEXPTIME float 120.0\n56\n");
}

TEST_F(InteropTest, CfitsioReadsTheMonoFitsFile) {
  std::string ignored;
  if (!Run(std::string(kPython) + " -c \"import ctypes; ctypes.CDLL('libcfitsio.so.10')\"", ignored))
    GTEST_SKIP() << "cfitsio not installed";
  WriteMonoFits();
  const std::string output = Python(
      "import ctypes\nlib = ctypes.CDLL('libcfitsio.so.10')\nf = ctypes.c_void_p()\nst = ctypes.c_int(0)\n"
      "lib.ffopen(ctypes.byref(f), b'" +
      file("mono.fit") +
      "', 0, ctypes.byref(st))\n"
      "n = 1392 * 1040\na = (ctypes.c_ushort * n)()\nnul = ctypes.c_ushort(0)\nany = ctypes.c_int(0)\n"
      "lib.ffgpv(f, 20, ctypes.c_longlong(1), ctypes.c_longlong(n), ctypes.byref(nul), a, ctypes.byref(any), "
      "ctypes.byref(st))\n"
      "v = ctypes.create_string_buffer(81)\nc = ctypes.create_string_buffer(81)\n"
      "lib.ffgkys(f, b'OBJECT', v, c, ctypes.byref(st))\n"
      "print(' '.join(str(a[i]) for i in (0, 1, 2, 3, 1392, 700001, n - 1)) + ' ')\n"
      "print(st.value, v.value.decode())\n");
  EXPECT_EQ(output, ExpectedSamples() + "\n0 NGC 7000\n");
}

TEST_F(InteropTest, FitsverifyAcceptsTheHeader) {
  if (!HaveTool("fitsverify")) GTEST_SKIP() << "fitsverify not installed";
  WriteMonoFits();
  std::string output;
  Run("{ fitsverify '" + file("mono.fit") + "' 2>&1; }", output);
  EXPECT_NE(output.find("54 header keywords"), std::string::npos) << output;
  EXPECT_NE(output.find("16-bit integer pixels,  2 axes (1392 x 1040)"), std::string::npos) << output;
  // The data are not padded to a whole block (the program's layout); that
  // is the only thing it may report.
  EXPECT_NE(output.find("0 warning(s) and 1 error(s)"), std::string::npos) << output;
  EXPECT_NE(output.find("checking data fill"), std::string::npos) << output;
}

TEST_F(InteropTest, LibtiffAndPillowReadEveryTiffKind) {
  const bool tiffinfo = HaveTool("tiffinfo") && HaveTool("tiffdump");
  const bool pillow = HavePythonModule("PIL");
  if (!tiffinfo && !pillow) GTEST_SKIP() << "neither libtiff tools nor Pillow installed";
  FillPattern(5);
  FillPlanes();
  std::uint8_t* exportBytes = state.images.buffers.saveImage.data();
  for (int colour = 0; colour < 2; ++colour) {
    for (int sixteen = 0; sixteen < 2; ++sixteen) {
      state.images.colourConverted = colour;
      if (colour) {
        ExportAllColourPlanes(state);
        ExportAllColourBytes(state, exportBytes, 0);
      }
      const char title[] = {'k', static_cast<char>('0' + colour), static_cast<char>('0' + sixteen), '.', 't', 'i', 'f',
                            '\0'};
      const std::string name = file(title);
      ASSERT_EQ(WriteTiffFile(state, name, state.images.workImage, sixteen != 0, exportBytes), TiffResult::Ok);
      if (tiffinfo) {
        std::string output;
        EXPECT_TRUE(Run("tiffinfo -D '" + name + "'", output)) << name;
        EXPECT_NE(output.find("Image Width: 1392 Image Length: 1040"), std::string::npos) << output;
        EXPECT_EQ(output.find("Error"), std::string::npos) << output;
        EXPECT_TRUE(Run("tiffdump '" + name + "'", output)) << name;
      }
    }
  }
  if (!pillow) return;
  // 8-bit mono: high bytes; 8-bit colour: the export bytes, upright, red first.
  const std::string output =
      Python("from PIL import Image\nm = Image.open('" + file("k00.tif") + "')\nc = Image.open('" + file("k10.tif") +
             "')\nprint(m.mode, m.getpixel((10, 3)), c.mode, *c.getpixel((10, 3)))\n");
  const std::size_t exportPixel = (static_cast<std::size_t>(1039 - 3) * 1392 + 10) * 3;
  std::ostringstream expected;
  expected << "L " << (state.images.workImage[3 * 1392 + 10] >> 8) << " RGB " << int(exportBytes[exportPixel + 2])
           << ' ' << int(exportBytes[exportPixel + 1]) << ' ' << int(exportBytes[exportPixel]) << '\n';
  EXPECT_EQ(output, expected.str());
}

}  // namespace
}  // namespace qv::test
