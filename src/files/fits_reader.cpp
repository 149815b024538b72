#include <cstring>

#include "files/file_geometry.h"
#include "files/file_io.h"
#include "files/fits_file.h"
#include "files/fits_header.h"
#include "files/load_scratch.h"

namespace qv {

namespace {

const char* CardAt(const std::uint8_t* header, int index) {
  return reinterpret_cast<const char*>(header) + static_cast<std::ptrdiff_t>(index) * kFitsCardBytes;
}

bool StartsWith(const char* card, std::string_view text) { return std::memcmp(card, text.data(), text.size()) == 0; }

// Values of the first three cards appended whole, of the fourth at most 51
// characters: 255 in all. The writer pads the pieces with spaces; they are
// dropped from the end so the text reads back as it was written.
void ReadLongText(const std::uint8_t* header, int first, FixedText<257>& text) {
  std::string value;
  for (int i = 0; i < 4; ++i) {
    std::string_view piece = CardValue(CardAt(header, first + i));
    if (i == 3) piece = piece.substr(0, 51);
    value += piece;
  }
  value.erase(value.find_last_not_of(' ') + 1);
  text = value;
}

}  // namespace

void ResetFitsHeaderValues(FitsHeaderInfo& info, ProcessingHistory& history) {
  history.clear();
  info.dateObs.clear();
  info.timeObs.clear();
  info.object.clear();
  info.observer.clear();
  info.telescope.clear();
  info.commentText.clear();
  info.historyText.clear();
  info.instrument = "Corvane CCD";
  info.filterName = "None";
  info.focalLength = 0;
  info.aperture = 0;
  info.exposureSeconds = 0;
}

namespace {

// What a header says: the frame its data fill and every value the program
// takes from it, worked out before anything changes.
struct FitsLayout {
  int headerBytes = kFitsHeaderBytes;
  bool colour = false;
  std::uint16_t offset = 0x8000;
  FrameGeometry geometry;  // the frame to be
  int geometryMode = 0;    // 0 when the file does not record it
  FitsHeaderInfo header;   // the header values to be
  ProcessingHistory history;
};

FitsReadResult ParseFitsHeader(const ProgramState& state, const std::uint8_t* header, bool oneBlock,
                               long long fileLength, FitsLayout& layout) {
  // Shape checks.
  if (std::memcmp(CardAt(header, 1) + 28, "16", 2) != 0) return FitsReadResult::NotOurShape;
  const char naxis = CardAt(header, 2)[29];
  if (naxis != '2' && naxis != '3' && naxis != '6') return FitsReadResult::NotOurShape;
  const bool naxis3 = naxis == '3';
  const int sensorW = state.geometry.sensorWidth;
  const int sensorH = state.geometry.sensorHeight;
  const int fileWidth = CardInteger(CardAt(header, 3), 27, 30);
  if (fileWidth != sensorW && fileWidth != sensorW / 2) return FitsReadResult::NotOurShape;
  const int fileHeight = CardInteger(CardAt(header, 4), 27, 30);
  if (fileHeight != sensorH && fileHeight != sensorH / 2) return FitsReadResult::NotOurShape;
  const int binned = fileWidth == sensorW ? 0 : 1;

  // The frame the data fill follows the width; the file must hold it.
  const long long width = binned ? sensorW / 2 : sensorW;
  const long long height = binned ? sensorH / 2 : sensorH;
  const long long pixelCount = width * height;
  layout.headerBytes = oneBlock ? kFitsBlockBytes : kFitsHeaderBytes;
  layout.colour = fileLength > 2 * pixelCount + 8000;
  const long long needed = layout.headerBytes + pixelCount * 2 * (layout.colour ? 4 : 1);
  if (pixelCount <= 0 || pixelCount > static_cast<long long>(ImageStore::kImageCapacity) || needed > fileLength)
    return FitsReadResult::Unreadable;

  layout.geometry = state.geometry;
  layout.geometry.binned = binned;
  RecomputeFrameGeometry(layout.geometry, state.camera.model);
  layout.header = state.settings.fits;
  ResetFitsHeaderValues(layout.header, layout.history);
  FitsHeaderInfo& info = layout.header;
  int card = naxis3 ? 6 : 5;
  if (oneBlock) {
    const bool unsignedData = StartsWith(CardAt(header, card), kUnsignedBzeroCard);
    info.unsignedFormat = unsignedData ? 1 : 0;
    layout.offset = unsignedData ? 0 : 0x8000;
    card += 3;
    const ObservationDate observed = SplitDateObs(CardValue(CardAt(header, card)));
    info.dateObs = observed.date;
    info.timeObs = observed.time;
    return FitsReadResult::Ok;
  }
  info.object = CardValue(CardAt(header, card++));
  info.telescope = CardValue(CardAt(header, card++));
  info.instrument = CardValue(CardAt(header, card++));
  info.observer = CardValue(CardAt(header, card++));
  info.origin = CardValue(CardAt(header, card++));
  // DATE-OBS may carry the time too; TIME-OBS is the program's own place for it.
  const ObservationDate observed = SplitDateObs(CardValue(CardAt(header, card++)));
  info.dateObs = observed.date;
  info.timeObs = CardValue(CardAt(header, card++));
  if (info.timeObs.empty()) info.timeObs = observed.time;

  // The geometry line sets `binned` over the frame the width chose.
  const std::string_view geometry = CardValue(CardAt(header, card++));
  const char letter = geometry.empty() ? ' ' : geometry[0];
  if (letter == 'F') {
    layout.geometry.binned = 0;
    layout.geometryMode = kGeometryFull;
  } else {
    layout.geometry.binned = 1;
    layout.geometryMode = letter == 'B' ? kGeometryBinned : kGeometrySubFrame;
  }
  for (auto& line : layout.history.lines) line = CardValue(CardAt(header, card++));
  ReadLongText(header, card, info.historyText);
  card += 4;
  ReadLongText(header, card, info.commentText);
  card += 4;

  const bool unsignedData = StartsWith(CardAt(header, card++), kUnsignedBzeroCard);
  info.unsignedFormat = unsignedData ? 1 : 0;
  layout.offset = unsignedData ? 0 : 0x8000;
  ++card;  // BSCALE
  info.pixelWidth = CardReal(CardAt(header, card++), 0.0);
  info.pixelHeight = CardReal(CardAt(header, card++), 0.0);
  ++card;  // SATURATE
  info.exposureSeconds = CardReal(CardAt(header, card++), 0.0);
  info.focalLength = CardReal(CardAt(header, card++), 0.0);
  info.aperture = CardReal(CardAt(header, card++), 0.0);
  info.filterName = CardValue(CardAt(header, card++));
  return FitsReadResult::Ok;
}

std::size_t DataBytes(const FrameGeometry& g) {
  return static_cast<std::size_t>(g.height) * static_cast<std::size_t>(g.rowBytes);
}

// The frame, then the red, green and blue planes of a colour file.
bool ReadFitsData(const FileHandle& file, const FitsLayout& layout, const LoadScratch& scratch) {
  const std::size_t dataBytes = DataBytes(layout.geometry);
  if (!ReadExact(file, scratch.frame, dataBytes)) return false;
  if (layout.colour) {
    for (int plane : {ImageStore::kRed, ImageStore::kGreen, ImageStore::kBlue}) {
      if (!ReadExact(file, scratch.planes[static_cast<std::size_t>(plane)], dataBytes)) return false;
    }
  }
  return true;
}

void CommitFits(ProgramState& state, const FitsLayout& layout, const LoadScratch& scratch, std::uint16_t* destination) {
  state.geometry = layout.geometry;
  if (layout.geometryMode != 0) SetGeometryMode(state, layout.geometryMode);
  state.settings.fits = layout.header;
  state.images.history = layout.history;
  state.images.colourConverted = layout.colour ? 1 : 0;
  state.images.colourUndoHeld = 0;
  // Big-endian values plus the offset, truncated to 16 bits.
  const std::uint8_t* bytes = scratch.frame;
  const auto count = static_cast<std::size_t>(layout.geometry.pixelCount);
  for (std::size_t i = 0; i < count; ++i) {
    destination[i] = static_cast<std::uint16_t>((bytes[2 * i] << 8 | bytes[2 * i + 1]) + layout.offset);
  }
  if (layout.colour) {
    for (std::size_t p = 0; p < scratch.planes.size(); ++p) {
      std::memcpy(state.images.colourPlanes[p], scratch.planes[p], DataBytes(layout.geometry));
    }
  }
}

}  // namespace

FitsReadResult ReadFitsFile(ProgramState& state, const std::string& path, std::uint16_t* destination,
                            long long fileLength) {
  const FileHandle file = OpenForReading(path);
  if (!file.valid()) return FitsReadResult::Unreadable;
  const bool oneBlock = fileLength == kOneBlockFitsLength;
  const int headerBytes = oneBlock ? kFitsBlockBytes : kFitsHeaderBytes;
  std::uint8_t header[kFitsHeaderBytes];
  if (fileLength < headerBytes || !ReadExact(file, header, static_cast<std::size_t>(headerBytes)))
    return FitsReadResult::Unreadable;

  FitsLayout layout;
  if (const FitsReadResult parsed = ParseFitsHeader(state, header, oneBlock, fileLength, layout);
      parsed != FitsReadResult::Ok)
    return parsed;
  const LoadScratch scratch = LoadScratchOf(state.images);
  if (!ReadFitsData(file, layout, scratch)) return FitsReadResult::Unreadable;
  CommitFits(state, layout, scratch, destination);
  return FitsReadResult::Ok;
}

}  // namespace qv
