#include "processing/unsharp_mask.h"

#include <string>
#include <vector>

#include "processing/filter_support.h"
#include "processing/row_loop_builds.h"

namespace qv {

namespace {

// Sums of each column over the rows of the box; moved down one row at a
// time by adding the row that enters and subtracting the one that leaves.
[[gnu::always_inline]] inline void AddRowBody(std::int32_t* __restrict sums, const std::uint16_t* __restrict row,
                                              int width, int sign) {
  for (int x = 0; x < width; ++x) sums[x] += sign * row[x];
}
[[gnu::target("avx2")]] void AddRowAvx2(std::int32_t* __restrict sums, const std::uint16_t* __restrict row, int width,
                                        int sign) {
  AddRowBody(sums, row, width, sign);
}
void AddRowPlain(std::int32_t* __restrict sums, const std::uint16_t* __restrict row, int width, int sign) {
  AddRowBody(sums, row, width, sign);
}
void AddRow(std::int32_t* sums, const std::uint16_t* row, int width, int sign) {
  if (UseAvx2RowLoops()) {
    AddRowAvx2(sums, row, width, sign);
  } else {
    AddRowPlain(sums, row, width, sign);
  }
}

// One output row: box sums slide along the column sums, then the pixels are
// pushed away from their box mean.
[[gnu::always_inline]] inline void UnsharpRowBody(const std::int32_t* columnSums, std::int32_t* __restrict boxSums,
                                                  const std::uint16_t* __restrict in, std::uint16_t* __restrict out,
                                                  int width, int radius, int power) {
  const int last = width - radius - 2;
  std::int32_t box = 0;
  for (int x = 0; x <= 2 * radius; ++x) box += columnSums[x];
  for (int x = radius; x <= last; ++x) {
    boxSums[x] = box;
    box += columnSums[x + radius + 1] - columnSums[x - radius];
  }
  const double count = (2 * radius + 1) * (2 * radius + 1);
  for (int x = radius; x <= last; ++x) {
    const int mean = static_cast<int>(boxSums[x] / count);
    const int pixel = in[x];
    out[x] = ClampFilterResult(pixel + (pixel - mean) * power);
  }
}
[[gnu::target("avx2")]] void UnsharpRowAvx2(const std::int32_t* columnSums, std::int32_t* __restrict boxSums,
                                            const std::uint16_t* __restrict in, std::uint16_t* __restrict out,
                                            int width, int radius, int power) {
  UnsharpRowBody(columnSums, boxSums, in, out, width, radius, power);
}
void UnsharpRowPlain(const std::int32_t* columnSums, std::int32_t* __restrict boxSums,
                     const std::uint16_t* __restrict in, std::uint16_t* __restrict out, int width, int radius,
                     int power) {
  UnsharpRowBody(columnSums, boxSums, in, out, width, radius, power);
}
void UnsharpRow(const std::int32_t* columnSums, std::int32_t* boxSums, const std::uint16_t* in, std::uint16_t* out,
                int width, int radius, int power) {
  if (UseAvx2RowLoops()) {
    UnsharpRowAvx2(columnSums, boxSums, in, out, width, radius, power);
  } else {
    UnsharpRowPlain(columnSums, boxSums, in, out, width, radius, power);
  }
}

}  // namespace

void UnsharpMask(ProgramState& state, Host& host, int radius, int power, bool rebuild) {
  // Outside these ranges the box sums and results would overflow.
  if (radius < kUnsharpMinimum || radius > kUnsharpMaximum || power < kUnsharpMinimum || power > kUnsharpMaximum) {
    return;
  }
  WaitCursor wait(host);
  host.openProgress("UNSHARP MASK PROGRESS");
  ImageStore& images = state.images;
  const FrameGeometry& geometry = state.geometry;
  SaveUndo(images, geometry);

  const int width = geometry.width;
  const int first = FirstFilteredRow(images.workImage, radius);
  const int end = geometry.height - radius;
  if (radius >= 1 && width >= 2 * radius + 2 && first < end) {
    std::vector<std::int32_t> columnSums(width, 0), boxSums(width, 0);
    // A row goes back once the column sums have dropped it.
    RowWriteBack writeBack(images.workImage, images.scratchImage, width, radius, width - radius - 1, radius + 1);
    const std::uint16_t* work = images.workImage;
    const auto row = [&](int y) { return work + static_cast<std::size_t>(y) * width; };
    for (int y = first - radius; y <= first + radius; ++y) AddRow(columnSums.data(), row(y), width, 1);
    for (int y = first; y < end; ++y) {
      host.setProgress(FilterProgress(geometry, y));
      if (y > first) {
        AddRow(columnSums.data(), row(y + radius), width, 1);
        AddRow(columnSums.data(), row(y - radius - 1), width, -1);
      }
      UnsharpRow(columnSums.data(), boxSums.data(), row(y), images.scratchImage + static_cast<std::size_t>(y) * width,
                 width, radius, power);
      writeBack.filtered(y);
    }
    writeBack.finish(end - 1);
  }

  host.closeProgress();
  host.requestRepaint();
  if (rebuild) host.requestRebuildDisplay();
  AddHistoryLine(images.history, "Unsharp Mask : rad " + std::to_string(radius) + " ,power " + std::to_string(power));
}

}  // namespace qv
