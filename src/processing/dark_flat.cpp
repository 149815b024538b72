#include "processing/dark_flat.h"

#include <algorithm>
#include <cstring>

#include "app/messages.h"
#include "files/file_io.h"
#include "files/load_scratch.h"
#include "files/raw_file.h"
#include "processing/processing_pass.h"

namespace qv {

namespace {

constexpr int kFlatSampleFirstRow = 10;
constexpr int kFlatSampleLastRow = 19;
constexpr int kFlatSampleFirstColumn = 5;
constexpr int kManualSampleLastColumn = 504;
constexpr int kAutoSampleLastColumn = 604;
constexpr int kFlatUnchangedColumns = 3;
constexpr double kManualSampleScale = 0.0002;  // one over the 5,000 pixels of the full area

// Message numbers of the automatic corrections.
constexpr int kDarkCannotOpen = 7;
constexpr int kDarkWrongLength = 22;
constexpr int kFlatCannotOpen = 25;
constexpr int kFlatWrongLength = 26;
constexpr int kNotAFlatFile = 70;

struct SampleSum {
  double sum = 0;
  int count = 0;
};

SampleSum SumSampleArea(const std::uint16_t* flat, int width, int height, int lastColumn) {
  SampleSum s;
  const int lastRow = std::min(kFlatSampleLastRow, height - 1);
  const int last = std::min(lastColumn, width - 1);
  for (int y = kFlatSampleFirstRow; y <= lastRow; ++y) {
    const std::uint16_t* row = flat + static_cast<std::size_t>(y) * width;
    for (int x = kFlatSampleFirstColumn; x <= last; ++x) s.sum += row[x];
    s.count += std::max(0, last - kFlatSampleFirstColumn + 1);
  }
  return s;
}

// Pixels of the frame a raw file of `length` bytes holds, or -1 when the
// length is none of the raw lengths (the reader then gives its own message).
long long RawFilePixels(const FrameGeometry& g, long long length) {
  const long long sensor = static_cast<long long>(g.sensorWidth) * g.sensorHeight;
  if (length == g.rawFileLength || length == g.colourRawFileLength) return sensor;
  if (length == g.binnedRawFileLength) return sensor / 4;
  if (length == kHeaderlessFrameLength) return kHeaderlessFrameLength / 2;
  return -1;
}

// A second file of another frame size than the current image is refused
// before it is read, so nothing changes.
bool SecondFileFitsImage(const ProgramState& state, Host& host, const std::string& path, std::string_view what) {
  const FileHandle file = OpenForReading(path);
  if (!file.valid()) return true;  // the reader shows why
  const long long pixels = RawFilePixels(state.geometry, FileLength(file));
  if (pixels < 0 || pixels == state.geometry.pixelCount) return true;
  const std::string text = "Sorry, the " + std::string(what) + " is not the size of the current image";
  ShowMessage(host, kCallerTextMessage, text);
  return false;
}

// Reads `height` rows of the current geometry from a reference file into
// scratch, then into `reference`; for a flat the tag must say flat.
int ReadReference(ProgramState& state, const std::string& path, std::uint16_t* reference, bool flat) {
  const FileHandle file = OpenForReading(path);
  if (!file.valid()) return kAutoCannotOpen;
  const FrameGeometry& g = state.geometry;
  const long long length = FileLength(file);
  if (length != (g.binned ? g.binnedRawFileLength : g.rawFileLength)) return kAutoWrongLength;
  const std::size_t bytes = static_cast<std::size_t>(g.height) * static_cast<std::size_t>(g.rowBytes);
  if (bytes + kRawTagBytes > static_cast<std::size_t>(length)) return kAutoWrongLength;
  std::uint8_t* scratch = LoadScratchOf(state.images).frame;
  if (!ReadExact(file, scratch, bytes)) return kAutoCannotOpen;
  if (flat) {
    RawTag tag{};
    if (!SeekTo(file, length - kRawTagBytes) || !ReadExact(file, tag.data(), tag.size())) return kAutoCannotOpen;
    if (tag[0] != 'F' || tag[1] != 'L') return kAutoNotFlat;
  }
  std::memcpy(reference, scratch, bytes);
  return kAutoApplied;
}

bool ReferenceCurrent(int loaded, const ProcessingState::LoadedReference& ref, const std::string& path,
                      const FrameGeometry& g) {
  return loaded && ref.path == path && ref.width == g.width && ref.height == g.height;
}

// Reads the reference when it is not current; shows the failure's message.
int EnsureReference(ProgramState& state, Host& host, bool flat) {
  ImageStore& images = state.images;
  int& loaded = flat ? images.flatLoaded : images.darkLoaded;
  ProcessingState::LoadedReference& ref = flat ? state.processing.loadedFlat : state.processing.loadedDark;
  const std::string& path = flat ? state.files.flatFieldPath : state.files.darkFramePath;
  if (ReferenceCurrent(loaded, ref, path, state.geometry)) return kAutoApplied;
  loaded = 0;
  std::uint16_t* reference = flat ? images.buffers.flat.data() : DarkReference(images);
  const int result = ReadReference(state, path, reference, flat);
  if (result == kAutoCannotOpen) ShowMessage(host, flat ? kFlatCannotOpen : kDarkCannotOpen);
  if (result == kAutoWrongLength) ShowMessage(host, flat ? kFlatWrongLength : kDarkWrongLength);
  if (result == kAutoNotFlat) ShowMessage(host, kNotAFlatFile);
  if (result != kAutoApplied) return result;
  loaded = 1;
  ref = {path, state.geometry.width, state.geometry.height};
  return kAutoApplied;
}

}  // namespace

void SubtractDark(std::uint16_t* image, const std::uint16_t* dark, int pixelCount) {
  for (int i = 0; i < pixelCount; ++i)
    image[i] = dark[i] < image[i] ? static_cast<std::uint16_t>(image[i] - dark[i]) : 0;
}

void FlatFieldRow(std::uint16_t* image, const std::uint16_t* flat, double mean, int row, int width) {
  std::uint16_t* p = image + static_cast<std::size_t>(row) * width;
  const std::uint16_t* f = flat + static_cast<std::size_t>(row) * width;
  for (int x = kFlatUnchangedColumns; x < width; ++x) {
    double value = p[x];
    if (f[x] != 0) {
      value = value / f[x] * mean;
    } else if (p[x] == 0) {
      value = mean;
    }
    p[x] = value >= 65'535.0 ? 65'535 : static_cast<std::uint16_t>(value);
  }
}

double ManualFlatMean(const std::uint16_t* flat, int width, int height) {
  const SampleSum s = SumSampleArea(flat, width, height, kManualSampleLastColumn);
  if (s.count == 5'000) return s.sum * kManualSampleScale;
  return s.count > 0 ? s.sum / s.count : 0.0;
}

double AutoFlatMean(const std::uint16_t* flat, int width, int height) {
  const SampleSum s = SumSampleArea(flat, width, height, kAutoSampleLastColumn);
  return s.count > 0 ? s.sum / s.count : 0.0;
}

std::uint16_t* DarkReference(ImageStore& images) { return images.buffers.flat.data() + ImageStore::kImageCapacity; }

bool SubtractDarkFile(ProgramState& state, Host& host, const std::string& path) {
  ResetBufferPointers(state.images);
  if (!SecondFileFitsImage(state, host, path, "dark frame")) return false;
  if (ReadSecondRawFile(state, host, path, SecondFilePurpose::Dark) != RawResult::Ok) return false;
  RunProcessingPass(state, host, {}, [&] {
    SubtractDark(state.images.workImage, state.images.scratchImage, state.geometry.pixelCount);
    AddHistoryLine(state.images.history, "Dark Frame Subtracted");
  });
  return true;
}

bool ApplyFlatFieldFile(ProgramState& state, Host& host, const std::string& path) {
  ResetBufferPointers(state.images);
  if (!SecondFileFitsImage(state, host, path, "flat field")) return false;
  if (ReadSecondRawFile(state, host, path, SecondFilePurpose::Flat) != RawResult::Ok) return false;
  RunProcessingPass(state, host, {.progressCaption = "FLAT FIELD PROGRESS"}, [&] {
    const FrameGeometry& g = state.geometry;
    std::uint16_t* image = state.images.workImage;
    const std::uint16_t* flat = state.images.scratchImage;
    const double mean = ManualFlatMean(flat, g.width, g.height);
    const int first = HasHeaderBand(image) ? 11 : 7;
    for (int y = first; y < g.height; ++y) {
      FlatFieldRow(image, flat, mean, y, g.width);
      host.setProgress(std::min(10 + (y - first), Host::kProgressRange));
    }
    AddHistoryLine(state.images.history, "Flat Field Applied");
  });
  return true;
}

int ApplyAutoDark(ProgramState& state, Host& host, std::uint16_t* image) {
  const int result = EnsureReference(state, host, false);
  if (result != kAutoApplied) return result;
  SubtractDark(image, DarkReference(state.images), state.geometry.pixelCount);
  return kAutoApplied;
}

int ApplyAutoFlat(ProgramState& state, Host& host, std::uint16_t* image) {
  const int result = EnsureReference(state, host, true);
  if (result != kAutoApplied) return result;
  const FrameGeometry& g = state.geometry;
  const std::uint16_t* flat = state.images.buffers.flat.data();
  const double mean = AutoFlatMean(flat, g.width, g.height);
  for (int y = 2; y <= g.height - 2; ++y) FlatFieldRow(image, flat, mean, y, g.width);
  return kAutoApplied;
}

}  // namespace qv
