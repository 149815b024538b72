#include "app/image_store.h"

#include <algorithm>
#include <cstring>

#include "app/frame_geometry.h"

namespace qv {

namespace {

template <typename T, std::size_t N>
std::array<FixedBuffer<T>, N> MakeArray(std::size_t capacity) {
  return [&]<std::size_t... I>(std::index_sequence<I...>) {
    return std::array<FixedBuffer<T>, N>{((void)I, FixedBuffer<T>(capacity))...};
  }
  (std::make_index_sequence<N>{});
}

std::size_t Pixels(const FrameGeometry& geometry, std::size_t capacity) {
  return std::min<std::size_t>(static_cast<std::size_t>(std::max(geometry.pixelCount, 0)), capacity);
}

void CopyPixels(std::uint16_t* to, const std::uint16_t* from, std::size_t count) {
  std::memcpy(to, from, count * sizeof(std::uint16_t));
}

}  // namespace

ImageStore::Buffers::Buffers()
    : work(kImageCapacity),
      scratch(kImageCapacity),
      undo(kImageCapacity),
      flat(kFlatCapacity),
      guide(kGuideCapacity),
      guideAux(kGuideAuxCapacity),
      colourPlanes(MakeArray<std::uint16_t, kPlanes>(kImageCapacity)),
      planeWorkSet(MakeArray<std::uint16_t, kPlanes>(kImageCapacity)),
      colourUndo(MakeArray<std::uint16_t, kPlanes>(kColourUndoCapacity)),
      detail(MakeArray<std::uint16_t, kPlanes>(kImageCapacity)),
      displayBytes(kByteBufferCapacity),
      bitmapImage(kByteBufferCapacity),
      saveImage(kByteBufferCapacity),
      fileBuffers(MakeArray<std::uint8_t, 2>(kByteBufferCapacity)),
      stretchTable(kStretchTableSize),
      hotPixelList(kHotPixelCapacity) {}

ImageStore::ImageStore() { ResetBufferPointers(*this); }

void ResetBufferPointers(ImageStore& store) {
  auto& b = store.buffers;
  store.workImage = b.work.data();
  store.scratchImage = b.scratch.data();
  store.undoImage = b.undo.data();
  store.flatImage = b.flat.data();
  store.guideImage = b.guide.data();
  store.guideImageAux = b.guideAux.data();
  for (int p = 0; p < ImageStore::kPlanes; ++p) {
    store.colourPlanes[p] = b.colourPlanes[p].data();
    store.planeWorkSet[p] = b.planeWorkSet[p].data();
  }
}

void StartupFill(ImageStore& store, const FrameGeometry& geometry) {
  std::fill_n(store.displayHistogram.begin(), 256, 0u);
  const int width = geometry.width;
  const int height = geometry.height;
  if (static_cast<std::size_t>(geometry.pixelCount) <= ImageStore::kImageCapacity) {
    auto& b = store.buffers;
    for (int y = 0; y < height; ++y) {
      const auto value = static_cast<std::uint16_t>(y * 62);
      const std::size_t row = static_cast<std::size_t>(y) * width;
      std::fill_n(b.work.data() + row, width, value);
      std::fill_n(b.scratch.data() + row, width, value);
      std::fill_n(b.undo.data() + row, width, value);
      for (auto& plane : b.colourPlanes) std::fill_n(plane.data() + row, width, std::uint16_t{0});
    }
  }
  for (int y = 0; y < ImageStore::kGuideRows; ++y) {
    std::fill_n(store.buffers.guide.data() + y * ImageStore::kGuideColumns, ImageStore::kGuideColumns,
                static_cast<std::uint16_t>(y * 200));
  }
  ResetBufferPointers(store);
}

void ToDisplayBytes(ImageStore& store, const FrameGeometry& geometry) {
  std::size_t count = Pixels(geometry, ImageStore::kImageCapacity);
  if (store.focusPreview || store.guideView) count = std::min<std::size_t>(count, ImageStore::kPreviewPixels);
  const std::uint16_t* from = store.workImage;
  std::uint8_t* to = store.buffers.displayBytes.data();
  for (std::size_t i = 0; i < count; ++i) to[i] = static_cast<std::uint8_t>(from[i] >> 8);
}

void SaveUndo(ImageStore& store, const FrameGeometry& geometry) {
  ResetBufferPointers(store);
  CopyPixels(store.undoImage, store.workImage, Pixels(geometry, ImageStore::kImageCapacity));
}

void RestoreUndo(ImageStore& store, const FrameGeometry& geometry) {
  ResetBufferPointers(store);
  CopyPixels(store.workImage, store.undoImage, Pixels(geometry, ImageStore::kImageCapacity));
}

void SaveColourUndo(ImageStore& store, const FrameGeometry& geometry) {
  ResetBufferPointers(store);
  store.colourUndoHeld = kColourUndoKept;
  for (int p = 0; p < ImageStore::kPlanes; ++p) {
    CopyPixels(store.buffers.colourUndo[p].data(), store.colourPlanes[p], Pixels(geometry, ImageStore::kImageCapacity));
  }
}

void RestoreColourUndo(ImageStore& store, const FrameGeometry& geometry) {
  ResetBufferPointers(store);
  for (int p = 0; p < ImageStore::kPlanes; ++p) {
    CopyPixels(store.colourPlanes[p], store.buffers.colourUndo[p].data(), Pixels(geometry, ImageStore::kImageCapacity));
  }
}

void CopyColourToWorkSet(ImageStore& store, const FrameGeometry& geometry) {
  ResetBufferPointers(store);
  for (int p = 0; p < ImageStore::kPlanes; ++p) {
    CopyPixels(store.planeWorkSet[p], store.colourPlanes[p], Pixels(geometry, ImageStore::kImageCapacity));
  }
}

}  // namespace qv
