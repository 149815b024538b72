#pragma once
// Aperture photometry: box sums of the image around an object, a comparison
// star and the sky background, their means and the magnitude difference of
// the object against the comparison.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "app/frame_geometry.h"
#include "app/host.h"
#include "app/image_store.h"
#include "processing/analysis_state.h"

namespace qv {

// The box radius behind each "Diameter of Mask" button, in button order
// (controls 114 to 119): 5, 7 and 9 pixels, one pixel, 13 and 17 pixels.
inline constexpr std::array<int, 6> kPhotometryRadii = {2, 3, 4, 0, 6, 8};
inline constexpr int kPhotometryOtherRadiusButton = 3;  // shown checked for any other radius

// The button index that shows `radius` as checked.
int PhotometryRadiusButton(int radius);

// Opening the photometry mode: radius 4, sums cleared, the background shows
// the black level again.
void OpenPhotometry(PhotometryPicks& picks);
// A new box size clears every position and sum.
void ChoosePhotometryRadius(PhotometryPicks& picks, int radius);
// 'o', 'c' or 'b': what the next click measures.
void ChoosePhotometryMeasure(PhotometryPicks& picks, char choice);

// Whether the whole box of radius r around (x, y) lies inside the frame.
[[nodiscard]] bool PhotometryBoxInside(const FrameGeometry& geometry, int x, int y, int r);
// The total of the image values over columns x - r to x + r and rows y - r to
// y + r; the box must lie inside the frame.
std::int32_t PhotometryBoxSum(const std::uint16_t* image, const FrameGeometry& geometry, int x, int y, int r);

// A click at image position (x, y): stores it and its box sum for the current
// choice. A box reaching past the frame is refused with message 2 and changes
// nothing.
[[nodiscard]] bool RecordPhotometryClick(PhotometryPicks& picks, const ImageStore& images,
                                         const FrameGeometry& geometry, Host& host, int x, int y);
// The pointer at image position (x, y): stored with the value under it when
// it is at least two pixels inside the frame.
[[nodiscard]] bool RecordPhotometryPointer(PhotometryPicks& picks, const ImageStore& images,
                                           const FrameGeometry& geometry, int x, int y);

// Mean of a box sum: the sum over the number of pixels of the box.
double PhotometryMean(std::int32_t sum, int radius);
// -2.5 log10((Obj - Bkg) / (Cmp - Bkg)), when both sums are not 0 and the
// background sum is below both; nothing otherwise.
std::optional<double> MagnitudeDifference(std::int32_t object, std::int32_t comparison, std::int32_t background);

// The dialog's fields as it shows them.
struct PhotometryFields {
  std::string objectX, objectY, comparisonX, comparisonY, backgroundX, backgroundY;
  std::string objectMean, comparisonMean, background;  // "%7.0f"
  std::string magnitude;                               // "%2.2f", or empty
  std::string pointerX, pointerY, pointerValue;        // the value "%6.0f"
};
PhotometryFields PhotometryDisplay(const PhotometryPicks& picks, int blackLevel);

}  // namespace qv
