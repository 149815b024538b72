// A simulated full frame of the colour matrix with a red and a blue star,
// synthesized and saved as RGB FITS and colour TIFF, read back by astropy and
// Pillow: three planes of the frame's size, each star's colour where it lies.

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "colour/colour_synthesis.h"
#include "files/save_commands.h"
#include "interop/outside_reader_test.h"

namespace qv::test {
namespace {

constexpr int kRedStarX = 300, kRedStarY = 200, kBlueStarX = 1000, kBlueStarY = 800;

class ColourInteropTest : public OutsideReaderTest {
 protected:
  // Sky of 1000; each star lights the matrix pixels of its colour in a
  // 12 x 12 patch (red at even rows and columns, blue at odd ones).
  void SimulateAndSynthesize() {
    const int w = state.geometry.width, h = state.geometry.height;
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        std::uint16_t v = 1000;
        const bool red = y % 2 == 0 && x % 2 == 0, blue = y % 2 == 1 && x % 2 == 1;
        if (red && std::abs(x - kRedStarX) < 6 && std::abs(y - kRedStarY) < 6) v = 30000;
        if (blue && std::abs(x - kBlueStarX) < 6 && std::abs(y - kBlueStarY) < 6) v = 20000;
        state.images.workImage[static_cast<std::size_t>(y) * w + x] = v;
      }
    }
    ASSERT_TRUE(SynthesizeColour(state, host, nullptr, false));
  }
};

TEST_F(ColourInteropTest, AstropyAndPillowFindTheStarsInTheirColours) {
  const bool astropy = HavePythonModule("astropy") && HavePythonModule("numpy");
  const bool pillow = HavePythonModule("PIL");
  if (!astropy && !pillow) GTEST_SKIP() << "neither astropy nor Pillow installed";
  SimulateAndSynthesize();
  ASSERT_TRUE(SaveImageAs(state, host, file("rgb.fit"), SaveMode::RgbFits));
  ASSERT_TRUE(SaveImageAs(state, host, file("colour.tif"), SaveMode::Tiff));
  state.settings.tiff16Bit = true;
  ASSERT_TRUE(SaveImageAs(state, host, file("colour16.tif"), SaveMode::Tiff));
  const std::string stars = std::to_string(kRedStarX) + "," + std::to_string(kRedStarY) + " " +
                            std::to_string(kBlueStarX) + "," + std::to_string(kBlueStarY) + "\n";
  // Each file: its size, then where red most exceeds blue and where blue most
  // exceeds red, as x,y from the top of the image.
  if (astropy) {
    const std::string output = Python(
        "import warnings\nwarnings.simplefilter('ignore')\nimport numpy as np\nfrom astropy.io import fits\n"
        "d = fits.open('" +
        file("rgb.fit") +
        "')[0].data.astype(np.int64)\n"
        "print(d.shape)\n"
        "d = d[:, ::-1, :]\n"  // FITS rows run bottom up
        "def at(a):\n  ys, xs = np.nonzero(a > a.max() // 2)\n  return f'{round(xs.mean())},{round(ys.mean())}'\n"
        "print(at(d[0] - d[2]), at(d[2] - d[0]))\n");
    std::istringstream lines(output);
    std::string shape, found;
    std::getline(lines, shape);
    std::getline(lines, found);
    EXPECT_EQ(shape, "(3, 1040, 1392)");
    EXPECT_EQ(found + "\n", stars) << output;
  }
  if (pillow) {
    const std::string output = Python(
        "from PIL import Image\n"
        "def at(name):\n"
        "  im = Image.open(name).convert('RGB')\n"
        "  w, h = im.size\n"
        "  px = im.load()\n"
        "  def centre(f):\n"
        "    v = {(x, y): f(px[x, y]) for y in range(h) for x in range(w)}\n"
        "    top = max(v.values())\n"
        "    pts = [k for k, e in v.items() if e > top // 2]\n"
        "    return f'{round(sum(p[0] for p in pts) / len(pts))},{round(sum(p[1] for p in pts) / len(pts))}'\n"
        "  return f'{w}x{h} ' + centre(lambda p: p[0] - p[2]) + ' ' + centre(lambda p: p[2] - p[0])\n"
        "print(at('" +
        file("colour.tif") + "'))\nprint(at('" + file("colour16.tif") + "'))\n");
    EXPECT_EQ(output, "1392x1040 " + stars + "1392x1040 " + stars) << output;
  }
}

}  // namespace
}  // namespace qv::test
