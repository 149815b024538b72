#include <cstring>

#include "app/messages.h"
#include "colour/colour_checks.h"
#include "files/file_geometry.h"
#include "files/file_io.h"
#include "files/fits_file.h"
#include "files/fits_header.h"

namespace qv {

namespace {

// Pixel value minus 32768 as a big-endian two's complement number.
void ToFitsRow(const std::uint16_t* pixels, int count, std::uint8_t* out) {
  for (int i = 0; i < count; ++i) {
    const std::uint16_t v = static_cast<std::uint16_t>(pixels[i] ^ 0x8000u);
    out[2 * i] = static_cast<std::uint8_t>(v >> 8);
    out[2 * i + 1] = static_cast<std::uint8_t>(v & 0xFF);
  }
}

using Piece = std::span<const std::uint8_t>;

Piece Bytes(const void* data, std::size_t length) { return {static_cast<const std::uint8_t*>(data), length}; }

// The 8-bit data: high bytes, zero-padded to whole blocks.
std::size_t ToEightBit(const std::uint16_t* source, const FrameGeometry& g, std::uint8_t* buffer) {
  const auto count = static_cast<std::size_t>(g.pixelCount);
  for (std::size_t i = 0; i < count; ++i) buffer[i] = static_cast<std::uint8_t>(source[i] >> 8);
  const std::size_t padding = (kFitsBlockBytes - count % kFitsBlockBytes) % kFitsBlockBytes;
  std::memset(buffer + count, 0, padding);
  return count + padding;
}

// The cards other tools read, from what the program knows of the frame.
FitsStandardCards StandardCardsFor(const ProgramState& state, const FitsHeaderShape& shape) {
  const FrameGeometry& g = state.geometry;
  const CameraState& camera = state.camera;
  FitsStandardCards cards;
  // The temperatures of the read-out that took the frame, not the cooler's now.
  cards.ccdTemperatureC = state.files.frameFacts.ccdTemperatureC;
  cards.setTemperatureC = state.files.frameFacts.setTemperatureC;
  // Every binned read-out ends as a half-size frame: 3x3 and 4x4 are
  // resampled to it, so each image pixel covers 2 x 2 sensor pixels whatever
  // the camera binned. The cards give that scale, which plate solvers and
  // stackers take from them.
  // Read as the geometry line reads it: a half-size frame is binned unless
  // it is a sub-frame.
  const bool binnedFrame = g.binned != 0 && state.files.geometryMode != kGeometrySubFrame;
  const int binning = binnedFrame ? 2 : 1;
  cards.binningX = cards.binningY = binning;
  cards.pixelSizeXUm = camera.model.pixelSizeXMm * 1000.0 * binning;
  cards.pixelSizeYUm = camera.model.pixelSizeYMm * 1000.0 * binning;
  // A raw colour-matrix frame: unbinned, not converted, plain colour cells.
  // The synthesis puts red where the line and pixel offsets say, counted
  // from row 0 (the header band has an even number of rows); an odd width
  // turns the column phase from row to row, which no pattern card describes.
  const bool rawMatrix = !shape.colour && !shape.eightBit && state.images.colourConverted == 0 && !binnedFrame &&
                         ColourPlanesFitFrame(g) && g.width % 2 == 0;
  static_assert(kHeaderBandRows % 2 == 0);
  if (rawMatrix) cards.bayerPattern = BayerPatternWithRedAt(state.settings.lineOffset, state.settings.pixelOffset);
  // Row 0 is the top of the picture in every file the program writes.
  cards.rowsTopDown = true;
  cards.kind = state.files.frameKind;
  return cards;
}

}  // namespace

void StoreFitsPixelSize(ProgramState& state) {
  const FrameGeometry& g = state.geometry;
  double factor = 1.0;
  if (g.binned) {
    factor = g.colourCellMode == kColourCellThird ? 3.0 : (g.colourCellMode == kColourCellHalf ? 4.0 : 2.0);
  }
  state.settings.fits.pixelWidth = state.camera.model.pixelSizeXMm * factor;
  state.settings.fits.pixelHeight = state.camera.model.pixelSizeYMm * factor;
}

namespace {

// The header's shape for the current image and header settings; marks the
// header as signed and stores the pixel size it records.
FitsHeaderShape PrepareFitsHeader(ProgramState& state) {
  StoreFitsPixelSize(state);
  FitsHeaderInfo& info = state.settings.fits;
  const FrameGeometry& g = state.geometry;
  info.unsignedFormat = 0;
  FitsHeaderShape shape;
  shape.width = g.width;
  shape.height = g.height;
  shape.eightBit = info.eightBit != 0;
  // An 8-bit file holds the mono image only, so its header says so too.
  shape.colour = state.images.colourConverted != 0 && !shape.eightBit;
  shape.rgb = shape.colour && state.files.rgbFitsSave != 0;
  shape.binned = g.binned;
  shape.geometryMode = state.files.geometryMode;
  return shape;
}

}  // namespace

FitsWriteResult WriteFitsFile(ProgramState& state, Host& host, const std::string& path, const std::uint16_t* source) {
  StoreFitsPixelSize(state);  // recorded even when the file cannot be made
  StagedFile staged(path);
  if (!staged.valid()) return FitsWriteResult::Failed;
  const FileHandle& file = staged.handle();
  const FitsHeaderShape shape = PrepareFitsHeader(state);
  const FrameGeometry& g = state.geometry;
  ImageStore& images = state.images;

  // The header and the data already in file byte order go out in as few
  // calls as possible; the file takes its name only once all of it is there.
  const FitsHeader header =
      ComposeFitsHeader(state.settings.fits, images.history, shape, StandardCardsFor(state, shape));
  const Piece headerBytes = Bytes(header.data(), sizeof header);
  std::uint8_t* buffer = images.buffers.fileBuffers[0].data();
  const auto planeBytes = static_cast<std::size_t>(g.pixelCount) * 2;
  bool written = false;
  if (shape.eightBit) {
    const std::size_t length = ToEightBit(source, g, buffer);
    const Piece pieces[] = {headerBytes, Bytes(buffer, length)};
    written = WriteAllPieces(file, pieces);
  } else if (shape.rgb) {
    // The file buffer holds one converted plane at a time.
    written = WriteAll(file, headerBytes.data(), headerBytes.size());
    for (int plane : {ImageStore::kRed, ImageStore::kGreen, ImageStore::kBlue}) {
      if (!written) break;
      ToFitsRow(images.planeWorkSet[static_cast<std::size_t>(plane)], g.pixelCount, buffer);
      written = WriteAll(file, buffer, planeBytes);
    }
  } else {
    ToFitsRow(source, g.pixelCount, buffer);
    const auto& planes = images.colourPlanes;
    const Piece pieces[] = {headerBytes, Bytes(buffer, planeBytes),
                            Bytes(planes[ImageStore::kRed], shape.colour ? planeBytes : 0),
                            Bytes(planes[ImageStore::kGreen], shape.colour ? planeBytes : 0),
                            Bytes(planes[ImageStore::kBlue], shape.colour ? planeBytes : 0)};
    written = WriteAllPieces(file, pieces);
  }
  if (written && staged.commit()) return FitsWriteResult::Ok;
  if (shape.colour) ShowMessage(host, 18);
  return FitsWriteResult::Failed;
}

void ComposeFitsImage(ProgramState& state, const std::uint16_t* source, std::vector<std::uint8_t>& out) {
  const FitsHeaderShape shape = PrepareFitsHeader(state);
  const FrameGeometry& g = state.geometry;
  const ImageStore& images = state.images;
  const FitsHeader header =
      ComposeFitsHeader(state.settings.fits, images.history, shape, StandardCardsFor(state, shape));
  const auto pixels = static_cast<std::size_t>(g.pixelCount);
  const std::size_t planeBytes = pixels * 2;
  std::size_t dataBytes = planeBytes;
  if (shape.eightBit) dataBytes = pixels + (kFitsBlockBytes - pixels % kFitsBlockBytes) % kFitsBlockBytes;
  if (shape.colour) dataBytes = planeBytes * (shape.rgb ? 3 : 4);
  // Other programs read the image with general FITS readers, which expect
  // the data padded with zeros to whole blocks.
  const std::size_t padding = (kFitsBlockBytes - dataBytes % kFitsBlockBytes) % kFitsBlockBytes;
  // Capacity stays from frame to frame, so only the first frame allocates.
  out.resize(sizeof header + dataBytes + padding);
  std::memset(out.data() + sizeof header + dataBytes, 0, padding);
  std::memcpy(out.data(), header.data(), sizeof header);
  std::uint8_t* data = out.data() + sizeof header;
  // Each pixel is converted straight into place: the one pass over the frame.
  if (shape.eightBit) {
    ToEightBit(source, g, data);
  } else if (shape.rgb) {
    for (int plane : {ImageStore::kRed, ImageStore::kGreen, ImageStore::kBlue}) {
      ToFitsRow(images.planeWorkSet[static_cast<std::size_t>(plane)], g.pixelCount, data);
      data += planeBytes;
    }
  } else {
    ToFitsRow(source, g.pixelCount, data);
    if (shape.colour) {
      for (int plane : {ImageStore::kRed, ImageStore::kGreen, ImageStore::kBlue}) {
        data += planeBytes;
        std::memcpy(data, images.colourPlanes[static_cast<std::size_t>(plane)], planeBytes);
      }
    }
  }
}

}  // namespace qv
