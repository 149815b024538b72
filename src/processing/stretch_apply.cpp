#include "processing/stretch_apply.h"

#include <algorithm>

#include "app/messages.h"

namespace qv {

__attribute__((target_clones("avx2", "default"))) void MapThroughStretchTable(std::uint16_t* pixels, std::size_t count, const std::uint16_t* table) {
  for (std::size_t i = 0; i < count; ++i) pixels[i] = static_cast<std::uint16_t>(table[pixels[i] >> 1] << 1);
}

void MapImageThroughStretchTable(std::uint16_t* image, const FrameGeometry& geometry, const std::uint16_t* table,
                                 Host& host) {
  const std::size_t total = static_cast<std::size_t>(std::max(geometry.pixelCount, 0));
  const std::size_t head = std::min<std::size_t>(static_cast<std::size_t>(std::max(geometry.widthTimes10, 0)), total);
  if (!HasHeaderBand(image)) MapThroughStretchTable(image, head, table);
  const std::size_t rest = total - head;
  const std::size_t step = rest / kStretchProgressSteps;
  for (int s = 0; s < kStretchProgressSteps; ++s) {
    host.setProgress(kStretchProgressStride * s);
    const std::size_t from = head + step * s;
    const std::size_t count = s + 1 < kStretchProgressSteps ? step : total - from;
    MapThroughStretchTable(image + from, count, table);
  }
}

void ApplyStretchTable(ProgramState& state, Host& host, bool rebuild) {
  WaitCursor wait(host);
  host.openProgress("CONTRAST STRETCH");
  SaveUndo(state.images, state.geometry);
  MapImageThroughStretchTable(state.images.workImage, state.geometry, state.images.buffers.stretchTable.data(), host);
  host.closeProgress();
  host.requestRepaint();
  if (rebuild) host.requestRebuildDisplay();
}

bool ApplyStretchTableColour(ProgramState& state, Host& host, bool rebuild) {
  if (!state.images.colourConverted) {
    ShowMessage(host, 69);
    return false;
  }
  WaitCursor wait(host);
  SaveColourUndo(state.images, state.geometry);
  static constexpr const char* kCaptions[ImageStore::kPlanes] = {"CONTRAST STRETCH RED", "CONTRAST STRETCH BLUE",
                                                                 "CONTRAST STRETCH GREEN"};
  for (int p = 0; p < ImageStore::kPlanes; ++p) {
    host.openProgress(kCaptions[p]);
    MapImageThroughStretchTable(state.images.colourPlanes[p], state.geometry,
                                state.images.buffers.stretchTable.data(), host);
    host.closeProgress();
  }
  host.requestRepaint();
  if (rebuild) host.requestRebuildDisplay();
  return true;
}

}  // namespace qv
