#include "processing/pixel_values.h"

#include <cstdio>
#include <string>

namespace qv {

bool PointerInsideFrame(const FrameGeometry& geometry, int x, int y) {
  return x > 1 && x < geometry.widthMinus1 && y > 1 && y < geometry.heightMinus1;
}

PixelValues PixelValuesAt(const ImageStore& images, const FrameGeometry& geometry, int x, int y) {
  const std::size_t at =
      static_cast<std::size_t>(y) * static_cast<std::size_t>(geometry.width) + static_cast<std::size_t>(x);
  PixelValues v;
  v.x = x;
  v.y = y;
  v.luminance = images.workImage[at];
  if (images.colourConverted) {
    v.red = images.colourPlanes[ImageStore::kRed][at];
    v.green = images.colourPlanes[ImageStore::kGreen][at];
    v.blue = images.colourPlanes[ImageStore::kBlue][at];
  }
  return v;
}

bool RecordPixelValuesPointer(PixelValuesView& view, const ImageStore& images, const FrameGeometry& geometry, int x,
                              int y) {
  if (!PointerInsideFrame(geometry, x, y)) return false;
  view.values = PixelValuesAt(images, geometry, x, y);
  if (view.changed) view.changed();
  return true;
}

std::string LuminanceText(const PixelValues& values) {
  char text[16];
  std::snprintf(text, sizeof text, "%6u", static_cast<unsigned>(values.luminance));
  return text;
}

}  // namespace qv
