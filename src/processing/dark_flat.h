#pragma once
// Dark frame subtraction and flat field division, on the current image from a
// chosen raw file ("&Subtract Image (Dark Frame)", "Apply &Flat Field") and
// automatically on each new frame from the selected reference files.

#include <cstdint>
#include <string>

#include "app/host.h"
#include "app/program_state.h"

namespace qv {

// Each pixel less the dark, 0 where the dark is not below the image.
void SubtractDark(std::uint16_t* image, const std::uint16_t* dark, int pixelCount);

// One row divided by the flat and scaled by the flat's mean: p / f * mean;
// where f is 0 a black pixel becomes the mean and any other keeps its value.
// Columns 0 to 2 are left alone; 65535 and above give 65535, the rest are
// truncated.
void FlatFieldRow(std::uint16_t* image, const std::uint16_t* flat, double mean, int row, int width);

// Mean of the flat over rows 10 to 19 and columns 5 to 504 (the menu
// command), or 5 to 604 (the automatic correction). On a frame too small for
// the area the part inside it is averaged.
double ManualFlatMean(const std::uint16_t* flat, int width, int height);
double AutoFlatMean(const std::uint16_t* flat, int width, int height);

// The menu commands on the current image, with the second image read from
// `path`. False (the message shown) when the file is refused; the image is
// then unchanged.
[[nodiscard]] bool SubtractDarkFile(ProgramState& state, Host& host, const std::string& path);
[[nodiscard]] bool ApplyFlatFieldFile(ProgramState& state, Host& host, const std::string& path);

// Results of the automatic corrections.
enum [[nodiscard]] AutoReferenceResult : int{
    kAutoApplied = 0,
    kAutoCannotOpen = 11,
    kAutoWrongLength = 12,
    kAutoNotFlat = 13,
};

// The automatic correction of `image` (a frame of the current geometry) with
// the dark at the selected dark path or the flat at the selected flat path.
// The reference is read when it is not loaded, or was read from another path
// or for another frame size; a failure shows its message, marks the reference
// not loaded and leaves the image alone.
int ApplyAutoDark(ProgramState& state, Host& host, std::uint16_t* image);
int ApplyAutoFlat(ProgramState& state, Host& host, std::uint16_t* image);

// Where the automatic dark reference is kept: the upper half of the flat
// buffer, so a filter's undo copy never replaces it.
std::uint16_t* DarkReference(ImageStore& images);

}  // namespace qv
