#pragma once
// Pieces every spatial filter shares: the rows it may change, its progress
// positions, the clamp of a result to a pixel value and the row loop that
// writes the filtered rows back.

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "app/frame_geometry.h"
#include "app/host.h"
#include "app/image_store.h"
#include "app/program_state.h"

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

// Filters write each row into the scratch image and copy it back into the
// work image as soon as no later row reads it (`lag` rows later), so the
// frame is not copied whole twice. Only columns [left, right) are copied
// back: the border keeps its values, exactly as with whole-frame copies.
class RowWriteBack {
 public:
  RowWriteBack(std::uint16_t* work, const std::uint16_t* scratch, int width, int left, int right, int lag)
      : work_(work), scratch_(scratch), width_(width), left_(left), right_(right), lag_(lag) {}

  // Row y has just been filtered; rows up to y - lag may go back.
  void filtered(int y) {
    if (next_ < 0) next_ = y;
    while (next_ <= y - lag_) copy(next_++);
  }
  // Every filtered row goes back.
  void finish(int lastFiltered) {
    if (next_ < 0) return;
    while (next_ <= lastFiltered) copy(next_++);
  }

 private:
  void copy(int y) {
    if (right_ <= left_) return;
    const std::size_t row = static_cast<std::size_t>(y) * width_;
    std::memcpy(work_ + row + left_, scratch_ + row + left_, static_cast<std::size_t>(right_ - left_) * 2);
  }

  std::uint16_t* work_;
  const std::uint16_t* scratch_;
  int width_, left_, right_, lag_;
  int next_ = -1;
};

// The row loop of a spatial filter: `filterRow(y)` writes row y of the
// scratch image, for rows first to end - 1, with the progress position of
// each row; rows go back to the work image (columns [left, right)) `lag`
// rows later and all of them at the end.
template <typename FilterRow>
void FilterRows(ProgramState& state, Host& host, int first, int end, int left, int right, int lag,
                FilterRow&& filterRow) {
  ImageStore& images = state.images;
  RowWriteBack writeBack(images.workImage, images.scratchImage, state.geometry.width, left, right, lag);
  for (int y = first; y < end; ++y) {
    host.setProgress(FilterProgress(state.geometry, y));
    filterRow(y);
    writeBack.filtered(y);
  }
  writeBack.finish(end - 1);
}

}  // namespace qv
