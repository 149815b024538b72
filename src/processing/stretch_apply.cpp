#include "processing/stretch_apply.h"

#include <algorithm>

#include "app/messages.h"
#include "processing/processing_pass.h"
#include "processing/row_loop_builds.h"

namespace qv {

namespace {

[[gnu::always_inline]] inline void MapBody(std::uint16_t* pixels, std::size_t count, const std::uint16_t* table) {
  for (std::size_t i = 0; i < count; ++i) pixels[i] = static_cast<std::uint16_t>(table[pixels[i] >> 1] << 1);
}
#if QV_AVX2_ROW_LOOPS
[[gnu::target("avx2")]] void MapAvx2(std::uint16_t* pixels, std::size_t count, const std::uint16_t* table) {
  MapBody(pixels, count, table);
}
#endif
void MapPlain(std::uint16_t* pixels, std::size_t count, const std::uint16_t* table) { MapBody(pixels, count, table); }

// Maps pixels and keeps their old values in `undo` in the same pass.
[[gnu::always_inline]] inline void MapKeepingUndoBody(std::uint16_t* __restrict pixels, std::uint16_t* __restrict undo,
                                                      std::size_t count, const std::uint16_t* __restrict table) {
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint16_t v = pixels[i];
    undo[i] = v;
    pixels[i] = static_cast<std::uint16_t>(table[v >> 1] << 1);
  }
}
#if QV_AVX2_ROW_LOOPS
[[gnu::target("avx2")]] void MapKeepingUndoAvx2(std::uint16_t* __restrict pixels, std::uint16_t* __restrict undo,
                                                std::size_t count, const std::uint16_t* __restrict table) {
  MapKeepingUndoBody(pixels, undo, count, table);
}
#endif
void MapKeepingUndoPlain(std::uint16_t* __restrict pixels, std::uint16_t* __restrict undo, std::size_t count,
                         const std::uint16_t* __restrict table) {
  MapKeepingUndoBody(pixels, undo, count, table);
}
void MapKeepingUndo([[maybe_unused]] RowLoops loops, std::uint16_t* pixels, std::uint16_t* undo, std::size_t count,
                    const std::uint16_t* table) {
#if QV_AVX2_ROW_LOOPS
  if (UseAvx2RowLoops(loops)) return MapKeepingUndoAvx2(pixels, undo, count, table);
#endif
  MapKeepingUndoPlain(pixels, undo, count, table);
}

// The head block (unless the frame has a header band) and the rest in 20
// progress steps. With `undo` set the old values are kept there, every pixel
// of the frame, as the undo copy would keep them.
void MapImage(RowLoops loops, std::uint16_t* image, std::uint16_t* undo, const FrameGeometry& geometry,
              const std::uint16_t* table, Host& host, bool headerBand) {
  const std::size_t total = static_cast<std::size_t>(std::max(geometry.pixelCount, 0));
  const std::size_t head = std::min<std::size_t>(static_cast<std::size_t>(std::max(geometry.widthTimes10, 0)), total);
  const auto map = [&](std::size_t from, std::size_t count) {
    if (undo) {
      MapKeepingUndo(loops, image + from, undo + from, count, table);
    } else {
      MapThroughStretchTable(loops, image + from, count, table);
    }
  };
  if (!headerBand) {
    map(0, head);
  } else if (undo) {
    std::copy_n(image, head, undo);
  }
  const std::size_t rest = total - head;
  const std::size_t step = rest / kStretchProgressSteps;
  for (int s = 0; s < kStretchProgressSteps; ++s) {
    host.setProgress(kStretchProgressStride * s);
    const std::size_t from = head + step * s;
    map(from, s + 1 < kStretchProgressSteps ? step : total - from);
  }
}

}  // namespace

void MapThroughStretchTable([[maybe_unused]] RowLoops loops, std::uint16_t* pixels, std::size_t count,
                            const std::uint16_t* table) {
#if QV_AVX2_ROW_LOOPS
  if (UseAvx2RowLoops(loops)) return MapAvx2(pixels, count, table);
#endif
  MapPlain(pixels, count, table);
}

void MapImageThroughStretchTable(RowLoops loops, std::uint16_t* image, const FrameGeometry& geometry,
                                 const std::uint16_t* table, Host& host, bool headerBand) {
  MapImage(loops, image, nullptr, geometry, table, host, headerBand);
}

void ApplyStretchTable(ProgramState& state, Host& host, bool rebuild) {
  // The undo copy is taken in the same pass as the mapping.
  const PassSetup setup{.progressCaption = "CONTRAST STRETCH", .undo = PassUndo::KeptByPass, .rebuild = rebuild};
  RunProcessingPass(state, host, setup, [&] {
    MapImage(state.processing.rowLoops, state.images.workImage, state.images.undoImage, state.geometry,
             state.images.buffers.stretchTable.data(), host, HasHeaderBand(state.images.workImage));
  });
}

bool ApplyStretchTableColour(ProgramState& state, Host& host, bool rebuild) {
  if (!state.images.colourConverted) {
    ShowMessage(host, 69);
    return false;
  }
  static constexpr const char* kCaptions[ImageStore::kPlanes] = {"CONTRAST STRETCH RED", "CONTRAST STRETCH BLUE",
                                                                 "CONTRAST STRETCH GREEN"};
  // Each plane has a progress dialog of its own. The label band belongs to
  // the frame: the synthesis never writes it into the planes, so only the
  // luminance image can say whether there is one.
  RunProcessingPass(state, host, {.undo = PassUndo::ColourPlanes, .rebuild = rebuild}, [&] {
    const bool headerBand = HasHeaderBand(state.images.workImage);
    for (int p = 0; p < ImageStore::kPlanes; ++p) {
      host.openProgress(kCaptions[p]);
      MapImageThroughStretchTable(state.processing.rowLoops, state.images.colourPlanes[p], state.geometry,
                                  state.images.buffers.stretchTable.data(), host, headerBand);
      host.closeProgress();
    }
  });
  return true;
}

}  // namespace qv
