#pragma once
// Pieces every spatial filter shares: the rows it may change, its progress
// positions and the clamp of a result to a pixel value.

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "app/frame_geometry.h"
#include "app/host.h"
#include "app/image_store.h"

namespace qv {

// Results from this value up all become white.
inline constexpr int kFilterWhiteFrom = 65'281;

inline std::uint16_t ClampFilterResult(int value) {
  if (value >= kFilterWhiteFrom) return 65'535;
  if (value < 0) return 0;
  return static_cast<std::uint16_t>(value);
}

// Progress of a filter at row y: y / 2 for binned frames, y / 4 otherwise,
// kept within the progress range.
inline int FilterProgress(const FrameGeometry& geometry, int y) {
  return std::min(geometry.binned ? y / 2 : y / 4, Host::kProgressRange);
}

// First row a filter of the given radius changes: the radius, ten rows
// further down when the image carries a header band.
inline int FirstFilteredRow(const std::uint16_t* image, int radius) { return radius + FirstProcessedRow(image); }

inline void CopyFrame(std::uint16_t* to, const std::uint16_t* from, const FrameGeometry& geometry) {
  std::memcpy(to, from, static_cast<std::size_t>(std::max(geometry.pixelCount, 0)) * sizeof(std::uint16_t));
}

}  // namespace qv
