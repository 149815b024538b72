#pragma once
// Where the loaders put what they read before the file is accepted. The
// frame goes into the first file buffer and colour planes into the detail
// planes: neither holds anything between commands, while the work image,
// the colour planes, the second image (the merge keeps its base image
// there) and the plane work set do. A refused file is thus dropped without
// a trace, and an accepted one is copied into place in one last step.

#include <array>
#include <cstddef>
#include <cstdint>

#include "app/image_store.h"

namespace qv {

static_assert(ImageStore::kByteBufferCapacity >= ImageStore::kImageCapacity * 2, "a whole frame fits the file buffer");
static_assert(ImageStore::kByteBufferCapacity >= ImageStore::kHotPixelCapacity * 4,
              "a whole list fits the file buffer");

struct LoadScratch {
  std::uint8_t* frame = nullptr;                             // frame bytes as the file holds them
  std::array<std::uint16_t*, ImageStore::kPlanes> planes{};  // by colour plane index
};

inline LoadScratch LoadScratchOf(ImageStore& images) {
  LoadScratch scratch;
  scratch.frame = images.buffers.fileBuffers[0].data();
  for (std::size_t p = 0; p < scratch.planes.size(); ++p) scratch.planes[p] = images.buffers.detail[p].data();
  return scratch;
}

}  // namespace qv
