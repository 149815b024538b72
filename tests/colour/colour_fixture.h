#pragma once
// A processing fixture whose settings file lives in a temporary data root, and
// helpers for colour-converted states.

#include <string>
#include <vector>

#include "processing/processing_fixture.h"
#include "support/temp_dir.h"

namespace qv::test {

struct ColourFixture : ProcessingFixture {
  TempDir root;

  ColourFixture(int width, int height, RowLoops loops = RowLoops::Fastest) : ProcessingFixture(width, height, loops) {
    state->paths.root = root.str();
  }

  std::uint16_t* plane(int p) { return state->images.colourPlanes[p]; }
  std::vector<std::uint16_t> planePixels(int p) const { return pixels(state->images.colourPlanes[p]); }
  std::uint16_t& planeAt(int p, int x, int y) { return plane(p)[static_cast<std::size_t>(y) * width() + x]; }

  // A colour-converted image with random planes in [low, high].
  void randomColour(unsigned seed, int low = 0, int high = 65'535) {
    for (int p = 0; p < 3; ++p) fillRandom(seed + p, low, high, plane(p));
    fillRandom(seed + 9, low, high);
    state->images.colourConverted = 1;
  }

  std::string lastMessage() const { return host.boxes.empty() ? std::string() : host.boxes.back().text; }
};

}  // namespace qv::test
