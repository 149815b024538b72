#include "camera/frame_rebuild.h"

#include <algorithm>
#include <array>

namespace qv {

void DecodeLe16(const std::uint8_t* bytes, std::uint16_t* pixels, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    pixels[i] = static_cast<std::uint16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
  }
}

void Resample3x3(const std::uint16_t* src, int srcW, int srcH, std::uint16_t* dst, int dstW, int dstH) {
  if (srcW <= 0 || srcH <= 0) return;
  const float fx = static_cast<float>(dstW) / static_cast<float>(srcW);
  const float fy = static_cast<float>(dstH) / static_cast<float>(srcH);
  // Source columns and weights are the same on every row: worked out once.
  constexpr int kMaxColumns = 4096;  // twice the widest half-size frame
  if (dstW > kMaxColumns) return;
  std::array<int, kMaxColumns> x0s, x1s;
  std::array<float, kMaxColumns> wxs;
  for (int c = 0; c < dstW; ++c) {
    const float sx = static_cast<float>(c) / fx;
    x0s[c] = std::min(static_cast<int>(sx), srcW - 1);
    x1s[c] = std::min(x0s[c] + 1, srcW - 1);
    wxs[c] = sx - static_cast<float>(x0s[c]);
  }
  for (int r = 0; r < dstH; ++r) {
    const float sy = static_cast<float>(r) / fy;
    const int y0 = std::min(static_cast<int>(sy), srcH - 1);
    const int y1 = std::min(y0 + 1, srcH - 1);
    const float wy = sy - static_cast<float>(y0);
    const std::uint16_t* row0 = src + static_cast<std::size_t>(y0) * srcW;
    const std::uint16_t* row1 = src + static_cast<std::size_t>(y1) * srcW;
    std::uint16_t* out = dst + static_cast<std::size_t>(r) * dstW;
    for (int c = 0; c < dstW; ++c) {
      const int x0 = x0s[c], x1 = x1s[c];
      const float wx = wxs[c];
      const float top = row0[x0] + (row0[x1] - row0[x0]) * wx;
      const float bottom = row1[x0] + (row1[x1] - row1[x0]) * wx;
      const float v = top + (bottom - top) * wy;
      out[c] = v >= 65535.0f ? 65535 : static_cast<std::uint16_t>(std::max(v, 0.0f));
    }
  }
}

void Enlarge4x4(const std::uint8_t* reply, int qw, int qh, std::uint16_t* dst, int dstW, int dstH) {
  const int rows = std::min(qh, (dstH + 1) / 2);
  const int cols = std::min(qw, (dstW + 1) / 2);
  for (int k = 0; k < rows; ++k) {
    const std::uint8_t* in = reply + static_cast<std::size_t>(k) * qw * 2;
    std::uint16_t* out = dst + static_cast<std::size_t>(2 * k) * dstW;
    for (int i = 0; i < cols; ++i) out[2 * i] = static_cast<std::uint16_t>(in[2 * i] | (in[2 * i + 1] << 8));
    for (int i = 0; i + 1 < cols; ++i) out[2 * i + 1] = static_cast<std::uint16_t>(out[2 * i] / 2 + out[2 * i + 2] / 2);
    // Columns past the last pair have no right neighbour: they repeat the last pixel.
    for (int c = 2 * cols - 1; c < dstW; ++c) out[c] = out[2 * cols - 2];
  }
  for (int k = 0; 2 * k + 2 < 2 * rows; ++k) {
    const std::uint16_t* above = dst + static_cast<std::size_t>(2 * k) * dstW;
    const std::uint16_t* below = above + 2 * static_cast<std::size_t>(dstW);
    std::uint16_t* out = dst + static_cast<std::size_t>(2 * k + 1) * dstW;
    // The mean of the rows above and below, summed in int so the sum cannot wrap.
    for (int c = 0; c < dstW; ++c) out[c] = static_cast<std::uint16_t>((int{above[c]} + int{below[c]}) / 2);
  }
  // The rows after the last even row are copies of the row above them.
  for (int r = std::max(2 * rows - 1, 1); r < dstH; ++r) {
    std::copy_n(dst + static_cast<std::size_t>(r - 1) * dstW, dstW, dst + static_cast<std::size_t>(r) * dstW);
  }
}

void PlaceWindowCentred(const std::uint8_t* reply, int cw, int ch, std::uint16_t* dst, int width, int height) {
  cw = std::min(cw, width);
  ch = std::min(ch, height);
  const int pl = (width - cw) / 2;
  const int pt = (height - ch) / 2;
  std::fill_n(dst, static_cast<std::size_t>(width) * height, std::uint16_t{0});
  for (int r = 0; r < ch; ++r) {
    DecodeLe16(reply + static_cast<std::size_t>(r) * cw * 2, dst + static_cast<std::size_t>(pt + r) * width + pl, cw);
  }
}

void ColumnPairCorrection(std::uint16_t* image, int width, int height) {
  if (width < 16) return;
  for (int r = 0; r < height; ++r) {
    std::uint16_t* row = image + static_cast<std::size_t>(r) * width;
    int sums[2] = {0, 0};
    for (int c = 0; c < 16; ++c) sums[c & 1] += row[c];
    const int level[2] = {sums[0] / 8, sums[1] / 8};
    for (int c = 16; c < width; ++c) {
      const int a = level[c & 1];
      const int v = row[c];
      // The shifted value is kept to 0..65535: a level below 500 or above 1000
      // would otherwise wrap bright pixels to dark and dark ones to bright.
      row[c] =
          v < 1000 - a ? 0 : (v > 65535 - a ? 65535 : static_cast<std::uint16_t>(std::clamp(v - a + 1000, 0, 65535)));
    }
  }
}

void GuiderUnbinned(const std::uint8_t* reply, std::size_t count, std::uint16_t* dst) {
  for (std::size_t i = 0; i < count; ++i) dst[i] = static_cast<std::uint16_t>(reply[i] * 256);
}

void GuiderBinned(const std::uint8_t* reply, int columns, int rows, std::uint16_t* dst) {
  const int binnedColumns = columns / 2;
  for (int r = 0; r + 1 < rows; r += 2) {
    const std::uint8_t* in = reply + static_cast<std::size_t>(r / 2) * binnedColumns;
    std::uint16_t* out = dst + static_cast<std::size_t>(r) * columns;
    for (int k = 0; k < binnedColumns; ++k) {
      const int b = in[k];
      // The last pixel of a row has no right neighbour: it repeats itself.
      const int next = k + 1 < binnedColumns ? in[k + 1] : b;
      out[2 * k] = static_cast<std::uint16_t>(b * 256);
      out[2 * k + 1] = static_cast<std::uint16_t>((b / 2 + next / 2) * 256);
    }
  }
  for (int r = 1; r + 1 < rows; r += 2) {
    const std::uint16_t* above = dst + static_cast<std::size_t>(r - 1) * columns;
    const std::uint16_t* below = dst + static_cast<std::size_t>(r + 1) * columns;
    std::uint16_t* out = dst + static_cast<std::size_t>(r) * columns;
    // Byte by byte: the halved sum of the two rows' bytes, back in the high byte.
    for (int c = 0; c < columns; ++c) {
      out[c] = static_cast<std::uint16_t>(((int{above[c]} >> 8) + (int{below[c]} >> 8)) / 2 * 256);
    }
  }
  // With an even row count the last row has no row below it: it copies the
  // row above rather than keep whatever an earlier frame left there.
  if (rows >= 2 && rows % 2 == 0) {
    std::copy_n(dst + static_cast<std::size_t>(rows - 2) * columns, columns,
                dst + static_cast<std::size_t>(rows - 1) * columns);
  }
}

}  // namespace qv
