#pragma once
// Values the processing commands share for the whole run: the parameters the
// stretch and filter dialogs work on, the flag that tells the unsharp mask it
// runs unattended, and which build of the row loops runs.

#include <cstdint>
#include <string>

namespace qv {

// Which build of the whole-image row loops runs: the fastest the processor
// can run, or the plain one (so tests check it on any machine).
enum class RowLoops { Fastest, Plain };

struct ProcessingState {
  // Shared dialog parameters. Normal stretch: black and white level.
  // Non-linear stretches: power in highParam. Unsharp mask: radius and power.
  // Median filter: radius and ten times the power.
  std::uint16_t lowParam = 0;
  std::uint16_t highParam = 255;
  double powerLawExponent = 1.0;

  // Set while the automatic processing runs the unsharp mask: its radius and
  // power then come from the settings and no dialog is shown.
  bool autoProcessingRunning = false;

  RowLoops rowLoops = RowLoops::Fastest;

  // Merging two images: the mode spans the base-image mark, the opening of
  // the second image, its mark and the "Merge" or "Cancel".
  struct Merge {
    int mergeMode = 0;    // the merge dialog is open
    int pickingBase = 0;  // the next mark is on the base image
    int baseX = 0, baseY = 0, mergeX = 0, mergeY = 0;
    int average = 0, specialAverage = 0, centre = 0, superimpose = 0;
    int merged = 0;
    // Taken when the second image is opened: the base image's size and
    // whether it was a colour image (its planes are in the plane work set).
    int baseWidth = 0, baseHeight = 0;
    int baseColour = 0;
  } merge;

  // The reference file the automatic dark or flat correction holds, and the
  // frame size it was read for: a new path or a new size reads it again.
  struct LoadedReference {
    std::string path;
    int width = 0, height = 0;
  };
  LoadedReference loadedDark, loadedFlat;

  int hotPixelThreshold = 65'535;  // a pixel at or above it is hot
  // The hot pixel map name chosen with "Change"; empty: the camera model's.
  // Kept here because the frame geometry is recomputed with every frame.
  std::string hotPixelMapName;
  int labelAutoDate = 0;  // the Label dialog's "Auto Date" box
};

}  // namespace qv
