#pragma once
// The fixed image buffers every part of the program reads and writes, the
// pointers through which operations reach them, and the flags that say what
// the current image is.

#include <array>
#include <cstddef>
#include <cstdint>

#include "app/fixed_buffer.h"
#include "app/processing_history.h"

namespace qv {

struct FrameGeometry;

struct ImageStore {
  static constexpr std::size_t kImageCapacity = 10'000'004;
  static constexpr std::size_t kFlatCapacity = 20'000'008;
  static constexpr std::size_t kColourUndoCapacity = 12'000'004;
  static constexpr std::size_t kGuideCapacity = 290'160;
  static constexpr std::size_t kGuideAuxCapacity = 145'080;
  static constexpr std::size_t kByteBufferCapacity = 28'000'004;
  static constexpr std::size_t kStretchTableSize = 65'536;
  static constexpr std::size_t kHotPixelCapacity = 100'000;
  static constexpr std::size_t kHistogramBins = 257;

  static constexpr int kGuideColumns = 500;
  static constexpr int kGuideRows = 290;
  static constexpr int kPreviewPixels = 16'384;  // the 128 x 128 focus or guide frame
  static constexpr int kPlanes = 3;              // red, blue, green in index order

  // Colour plane indices.
  static constexpr int kRed = 0;
  static constexpr int kBlue = 1;
  static constexpr int kGreen = 2;

  ImageStore();
  ImageStore(const ImageStore&) = delete;
  ImageStore& operator=(const ImageStore&) = delete;

  // The fixed buffers, allocated once.
  struct Buffers {
    Buffers();
    FixedBuffer<std::uint16_t> work, scratch, undo, flat, guide, guideAux;
    std::array<FixedBuffer<std::uint16_t>, kPlanes> colourPlanes, planeWorkSet, colourUndo, detail;
    FixedBuffer<std::uint8_t> displayBytes, bitmapImage, saveImage;
    std::array<FixedBuffer<std::uint8_t>, 2> fileBuffers;
    FixedBuffer<std::uint16_t> stretchTable;
    FixedBuffer<std::int32_t> hotPixelList;
  } buffers;

  // Current buffer per role; operations address the images only through
  // these. ResetBufferPointers points them back at the fixed buffers.
  std::uint16_t* workImage = nullptr;
  std::uint16_t* scratchImage = nullptr;
  std::uint16_t* undoImage = nullptr;
  std::uint16_t* flatImage = nullptr;
  std::uint16_t* guideImage = nullptr;
  std::uint16_t* guideImageAux = nullptr;
  std::array<std::uint16_t*, kPlanes> colourPlanes{};
  std::array<std::uint16_t*, kPlanes> planeWorkSet{};

  // Display histogram, counted in 32 bits: one bin of a real frame can hold
  // hundreds of thousands of pixels.
  std::array<std::uint32_t, kHistogramBins> displayHistogram{};
  ProcessingHistory history;

  // What the current image is (0 or 1).
  int colourConverted = 0;
  // What the colour undo store holds for the current image: nothing
  // (kColourUndoNone), the planes as they were before its last colour filter
  // (kColourUndoKept), or those planes already put back (kColourUndoTaken).
  int colourUndoHeld = 0;
  int focusPreview = 0;
  int guideView = 0;
  int darkLoaded = 0;
  int flatLoaded = 0;
  int autoContrast = 0;
  int falseColour = 0;
  int showCentre = 0;
};

inline constexpr int kColourUndoNone = 0;
inline constexpr int kColourUndoKept = 1;
inline constexpr int kColourUndoTaken = 2;

void ResetBufferPointers(ImageStore& store);

// The start-up picture: a vertical grey ramp (y * 62) in the work, scratch and
// undo images, black colour planes, a ramp of y * 200 in the guider frame.
void StartupFill(ImageStore& store, const FrameGeometry& geometry);

// A frame whose fifth and sixth pixels add up to exactly 34 carries a 10-row
// label band that whole-image operations leave alone.
inline constexpr int kHeaderBandRows = 10;
[[nodiscard]] inline bool HasHeaderBand(const std::uint16_t* image) { return image[4] + image[5] == 34; }
// First row a whole-image operation may change.
inline int FirstProcessedRow(const std::uint16_t* image) { return HasHeaderBand(image) ? kHeaderBandRows : 0; }

// High byte of every pixel into the display bytes; only the 128 x 128 preview
// while a focus or guide run shows its small frame.
void ToDisplayBytes(ImageStore& store, const FrameGeometry& geometry);

void SaveUndo(ImageStore& store, const FrameGeometry& geometry);
void RestoreUndo(ImageStore& store, const FrameGeometry& geometry);
void SaveColourUndo(ImageStore& store, const FrameGeometry& geometry);
void RestoreColourUndo(ImageStore& store, const FrameGeometry& geometry);
void CopyColourToWorkSet(ImageStore& store, const FrameGeometry& geometry);

}  // namespace qv
