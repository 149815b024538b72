#pragma once
// A program state with a small odd-sized frame of random pixels, for the
// processing tests.

#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "app/program_state.h"
#include "processing/row_loop_builds.h"
#include "support/recording_host.h"

namespace qv::test {

struct ProcessingFixture {
  std::unique_ptr<ProgramState> state = std::make_unique<ProgramState>();
  RecordingHost host;

  ProcessingFixture(int width, int height, RowLoops loops = RowLoops::Fastest) {
    SetFrameSize(state->geometry, width, height);
    state->processing.rowLoops = loops;
  }

  int width() const { return state->geometry.width; }
  int height() const { return state->geometry.height; }
  std::uint16_t* work() { return state->images.workImage; }
  std::uint16_t& at(int x, int y) { return work()[static_cast<std::size_t>(y) * width() + x]; }

  // Uniform random values in [low, high].
  void fillRandom(unsigned seed, int low = 0, int high = 65'535, std::uint16_t* image = nullptr) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> value(low, high);
    std::uint16_t* to = image ? image : work();
    for (int i = 0; i < width() * height(); ++i) to[i] = static_cast<std::uint16_t>(value(random));
  }
  void fill(std::uint16_t value) { std::fill_n(work(), width() * height(), value); }

  // Elements 4 and 5 adding up to 34 mark a label band.
  void markHeaderBand(std::uint16_t* image = nullptr) {
    std::uint16_t* to = image ? image : work();
    to[4] = 20;
    to[5] = 14;
  }

  std::vector<std::uint16_t> pixels(const std::uint16_t* image = nullptr) const {
    const std::uint16_t* from = image ? image : state->images.workImage;
    return std::vector<std::uint16_t>(from, from + state->geometry.pixelCount);
  }

  std::string historyLine(int i) const { return state->images.history.lines[i].str(); }
};

// The two builds of the row loops: the bit-for-bit tests run under both, so
// the plain build is checked on machines with AVX2 too.
inline constexpr RowLoops kRowLoopBuilds[] = {RowLoops::Fastest, RowLoops::Plain};
inline const char* RowLoopsName(RowLoops loops) {
  return loops == RowLoops::Plain ? "plain row loops" : "row loops the processor chooses";
}

// Index of the first differing pixel, or -1.
inline long FirstDifference(const std::vector<std::uint16_t>& a, const std::vector<std::uint16_t>& b) {
  if (a.size() != b.size()) return 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i]) return static_cast<long>(i);
  }
  return -1;
}

}  // namespace qv::test
