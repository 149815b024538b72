#pragma once
// The values under the pointer: the image value and, for a colour-converted
// image, the red, green and blue planes.

#include <string>

#include "app/frame_geometry.h"
#include "app/image_store.h"
#include "processing/analysis_state.h"

namespace qv {

// Whether (x, y) is at least two pixels inside the frame, where pointer
// moves are shown.
[[nodiscard]] bool PointerInsideFrame(const FrameGeometry& geometry, int x, int y);

PixelValues PixelValuesAt(const ImageStore& images, const FrameGeometry& geometry, int x, int y);

// A pointer move at image position (x, y): stores the values there and tells
// the dialog; nothing outside the shown area.
[[nodiscard]] bool RecordPixelValuesPointer(PixelValuesView& view, const ImageStore& images,
                                            const FrameGeometry& geometry, int x, int y);

// The "Lum" field, "%6u".
std::string LuminanceText(const PixelValues& values);

}  // namespace qv
