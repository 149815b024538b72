#include <cstring>

#include "app/messages.h"
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

// One converted plane, written one row per call.
bool WriteConvertedPlane(const FileHandle& file, const std::uint16_t* plane, const FrameGeometry& g,
                         std::uint8_t* buffer) {
  ToFitsRow(plane, g.pixelCount, buffer);
  for (int y = 0; y < g.height; ++y) {
    if (!WriteAll(file, buffer + static_cast<std::size_t>(y) * g.rowBytes, static_cast<std::size_t>(g.rowBytes)))
      return false;
  }
  return true;
}

bool WriteRawPlane(const FileHandle& file, const std::uint16_t* plane, const FrameGeometry& g) {
  for (int y = 0; y < g.height; ++y) {
    if (!WriteAll(file, plane + static_cast<std::size_t>(y) * g.width, static_cast<std::size_t>(g.rowBytes)))
      return false;
  }
  return true;
}

bool WriteEightBit(const FileHandle& file, const std::uint16_t* source, const FrameGeometry& g, std::uint8_t* buffer) {
  const auto count = static_cast<std::size_t>(g.pixelCount);
  for (std::size_t i = 0; i < count; ++i) buffer[i] = static_cast<std::uint8_t>(source[i] >> 8);
  const std::size_t padding = (kFitsBlockBytes - count % kFitsBlockBytes) % kFitsBlockBytes;
  std::memset(buffer + count, 0, padding);
  for (int y = 0; y < g.height; ++y) {
    if (!WriteAll(file, buffer + static_cast<std::size_t>(y) * g.width, static_cast<std::size_t>(g.width)))
      return false;
  }
  return padding == 0 || WriteAll(file, buffer + count, padding);
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

FitsWriteResult WriteFitsFile(ProgramState& state, Host& host, const std::string& path, const std::uint16_t* source) {
  StoreFitsPixelSize(state);
  FitsHeaderInfo& info = state.settings.fits;
  const FrameGeometry& g = state.geometry;
  ImageStore& images = state.images;

  const FileHandle file = CreateNew(path);
  if (!file.valid()) return FitsWriteResult::Failed;
  info.unsignedFormat = 0;

  FitsHeaderShape shape;
  shape.width = g.width;
  shape.height = g.height;
  shape.eightBit = info.eightBit != 0;
  // An 8-bit file holds the mono image only, so its header says so too.
  shape.colour = images.colourConverted != 0 && !shape.eightBit;
  shape.rgb = shape.colour && state.files.rgbFitsSave != 0;
  shape.binned = g.binned;
  shape.geometryMode = state.files.geometryMode;

  const FitsHeader header = ComposeFitsHeader(info, images.history, shape);
  for (const FitsCard& card : header) {
    if (!WriteAll(file, card.data(), card.size())) return FitsWriteResult::Failed;
  }

  std::uint8_t* buffer = images.buffers.fileBuffers[0].data();
  if (shape.eightBit) {
    return WriteEightBit(file, source, g, buffer) ? FitsWriteResult::Ok : FitsWriteResult::Failed;
  }
  if (shape.rgb) {
    for (int plane : {ImageStore::kRed, ImageStore::kGreen, ImageStore::kBlue}) {
      if (!WriteConvertedPlane(file, images.planeWorkSet[static_cast<std::size_t>(plane)], g, buffer)) {
        ShowMessage(host, 18);
        return FitsWriteResult::Failed;
      }
    }
    return FitsWriteResult::Ok;
  }
  if (!WriteConvertedPlane(file, source, g, buffer)) return FitsWriteResult::Failed;
  if (shape.colour) {
    for (int plane : {ImageStore::kRed, ImageStore::kGreen, ImageStore::kBlue}) {
      if (!WriteRawPlane(file, images.colourPlanes[static_cast<std::size_t>(plane)], g)) {
        ShowMessage(host, 18);
        return FitsWriteResult::Failed;
      }
    }
  }
  return FitsWriteResult::Ok;
}

}  // namespace qv
