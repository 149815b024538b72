#pragma once
// A small program state for display tests: a frame of the given size whose
// temporary bitmaps go under a fresh data root.

#include <memory>

#include "app/frame_geometry.h"
#include "app/program_state.h"
#include "support/temp_dir.h"

namespace qv::test {

inline std::unique_ptr<ProgramState> SmallFrameState(const TempDir& root, int width, int height, int blocks = 4) {
  auto state = std::make_unique<ProgramState>();
  state->paths.root = root.str();
  auto& g = state->geometry;
  g.fileBlockCount = blocks;
  g.bitmapName = "c:\\Autosave\\Qel_K1C.bmp";
  g.focusBitmapName = "c:\\Autosave\\Qel_K1Cf.bmp";
  SetFrameSize(g, width, height);
  ResetBufferPointers(state->images);
  return state;
}

inline std::uint32_t Le32(const std::vector<unsigned char>& b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

inline std::uint16_t Le16(const std::vector<unsigned char>& b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

}  // namespace qv::test
