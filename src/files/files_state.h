#pragma once
// What the file commands keep between commands: how the current frame was
// read, whether the save in progress is an RGB FITS save, the autosave load sequence,
// the file dialogs' memory, the loaded hot pixel map and the reference paths.

#include <ctime>
#include <optional>
#include <string>

namespace qv {

// How the current frame was read. Files record full frame, binned or
// sub-frame; 3 and 4 are further read-out modes of the camera control.
enum GeometryModeValue : int { kGeometryFull = 1, kGeometryBinned = 2, kGeometrySubFrame = 5 };

// What kind of exposure a frame is, for the FITS image type card; Unknown
// writes no such card.
enum class FrameKind { Unknown, Light, Dark, Flat };

// Which writer a save runs; none set writes a raw file.
enum class SaveMode { Raw, Fits, RgbFits, Tiff, Flat };

// Where the frame in the work image came from, for what its saves may claim.
enum class FrameSource { None, Readout, File };

// What a read-out knew of its frame that the header values do not hold.
struct FrameFacts {
  FrameSource source = FrameSource::None;
  std::optional<double> ccdTemperatureC;
  std::optional<double> setTemperatureC;
};

struct FilesState {
  int geometryMode = kGeometryFull;
  char geometryDigit = '1';  // the same value as a digit, for the raw file tag

  // Set only for the duration of an RGB FITS save: the FITS writer then
  // writes the three planes of the plane work set.
  int rgbFitsSave = 0;

  int autosaveLoadIndex = 0;  // number of the autosaved file loaded last, 0 for none
  std::string imageTitle;     // file title shown in the window caption

  // File dialogs: the filter to preselect next time and the folder last used.
  int filterIndex = 1;
  std::string lastDirectory;

  // The hot pixel map in HotPixelList.
  int hotPixelCount = 0;
  int hotPixelMapValid = 0;

  // Start and end of the last exposure in calendar seconds, kept by the
  // exposure sequencer; the frame's observation time is their middle.
  std::time_t exposureStart = 0;
  std::time_t exposureEnd = 0;
  FrameFacts frameFacts;
  // What the current frame was taken as, for the FITS image type; set by
  // whatever takes the frame, Unknown when not known (a loaded file).
  FrameKind frameKind = FrameKind::Unknown;

  // Reference files of the automatic dark subtraction and flat correction.
  std::string darkFramePath;
  std::string flatFieldPath;
};

}  // namespace qv
