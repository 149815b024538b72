#include "files/raw_file.h"

#include <cstdio>
#include <cstring>

#include "app/messages.h"
#include "files/file_geometry.h"
#include "files/file_io.h"
#include "files/load_scratch.h"

namespace qv {

namespace {

RawTag MakeTag(std::string_view kind, char digit) {
  RawTag tag;
  tag.fill(' ');
  std::memcpy(tag.data(), kind.data(), kind.size());
  tag[7] = digit;
  return tag;
}

using Piece = std::span<const std::uint8_t>;

// A frame's pixels as the file holds them: rows top down, low byte first,
// which is how they lie in memory.
Piece FrameBytes(const std::uint16_t* image, const FrameGeometry& g) {
  return {reinterpret_cast<const std::uint8_t*>(image), static_cast<std::size_t>(g.height) * g.rowBytes};
}

constexpr int kColourFileOrder[] = {ImageStore::kRed, ImageStore::kGreen, ImageStore::kBlue};

}  // namespace

RawTag RawFileTag(const ProgramState& state) {
  return state.geometry.binned ? MakeTag("SUBFRM ", '2') : MakeTag("HIRES  ", '1');
}

bool FlatFileTag(const ProgramState& state, RawTag& tag) {
  if (state.geometry.binned) {
    tag = MakeTag("FLAT B ", state.files.geometryDigit);
    return true;
  }
  if (state.files.geometryDigit == '1') {
    tag = MakeTag("FLATH  ", '1');
    return true;
  }
  return false;
}

RawResult WriteRawFile(ProgramState& state, Host& host, const std::string& path) {
  StagedFile staged(path);
  if (!staged.valid()) {
    ShowMessage(host, 17);
    return RawResult::Failed;
  }
  WaitCursor wait(host);
  const FrameGeometry& g = state.geometry;
  ImageStore& images = state.images;
  const RawTag tag = RawFileTag(state);
  const bool colour = images.colourConverted != 0;
  const auto plane = [&](int index) {
    return colour ? FrameBytes(images.colourPlanes[static_cast<std::size_t>(kColourFileOrder[index])], g) : Piece{};
  };
  const Piece pieces[] = {FrameBytes(images.workImage, g), plane(0), plane(1), plane(2),
                          Piece(reinterpret_cast<const std::uint8_t*>(tag.data()), tag.size())};
  if (!WriteAllPieces(staged.handle(), pieces) || !staged.commit()) {
    ShowMessage(host, 18);
    return RawResult::Failed;
  }
  return RawResult::Ok;
}

RawResult WriteFlatFile(ProgramState& state, Host& host, const std::string& path) {
  if (!state.images.colourConverted) {
    ShowMessage(host, 71);
    return RawResult::Failed;
  }
  StagedFile staged(path);
  if (!staged.valid()) {
    ShowMessage(host, 17);
    return RawResult::Failed;
  }
  RawTag tag;
  // An unbinned frame of another read-out mode leaves the file empty.
  if (!FlatFileTag(state, tag)) return staged.commit() ? RawResult::Ok : RawResult::Failed;
  const Piece pieces[] = {FrameBytes(state.images.workImage, state.geometry),
                          Piece(reinterpret_cast<const std::uint8_t*>(tag.data()), tag.size())};
  if (!WriteAllPieces(staged.handle(), pieces) || !staged.commit()) {
    ShowMessage(host, 18);
    return RawResult::Failed;
  }
  return RawResult::Ok;
}

namespace {

// What a raw file of a matched length holds: the frame to be, how it was
// read, and where its pixels lie in scratch once read.
struct RawLayout {
  FrameGeometry geometry;
  int geometryMode = kGeometryFull;
  int colour = 0;
  std::size_t frameBytes = 0;  // bytes read into the scratch frame
  // Colour planes: in the scratch planes, or packed after a binned frame in
  // the scratch frame.
  enum class Planes { None, Separate, Packed } planes = Planes::None;
};

FrameGeometry GeometryFor(const ProgramState& state, int binned) {
  FrameGeometry g = state.geometry;
  g.binned = binned;
  RecomputeFrameGeometry(g, state.camera.model);
  return g;
}

std::size_t RowsBytes(const FrameGeometry& g) {
  return static_cast<std::size_t>(g.height) * static_cast<std::size_t>(g.rowBytes);
}

bool ReadHeaderless(const FileHandle& file, std::uint8_t* bytes) {
  for (int block = 0; block < kHeaderlessBlocks; ++block) {
    if (!ReadExact(file, bytes + static_cast<std::size_t>(block) * kHeaderlessBlockBytes, kHeaderlessBlockBytes))
      return false;
  }
  return true;
}

// The three planes in the file's order, each `bytes` long.
bool ReadPlanes(const FileHandle& file, const LoadScratch& scratch, std::size_t bytes) {
  for (int plane : kColourFileOrder) {
    if (!ReadExact(file, scratch.planes[static_cast<std::size_t>(plane)], bytes)) return false;
  }
  return true;
}

// Reads the file of a matched length into scratch, in the order and sizes
// the file kinds have always been read, and works out its layout.
bool ReadRawLayout(const ProgramState& state, const FileHandle& file, long long length, const LoadScratch& scratch,
                   RawLayout& layout) {
  const FrameGeometry& g = state.geometry;
  RawTag tag{};
  if (length == kHeaderlessFrameLength) {
    layout.geometry = GeometryFor(state, 0);
    layout.frameBytes = static_cast<std::size_t>(kHeaderlessFrameLength);
    return ReadHeaderless(file, scratch.frame);
  }
  if (length == g.binnedRawFileLength) {
    layout.geometry = GeometryFor(state, 1);
    layout.geometryMode = kGeometrySubFrame;
    layout.frameBytes = RowsBytes(layout.geometry);
    return ReadExact(file, scratch.frame, layout.frameBytes) && ReadExact(file, tag.data(), tag.size());
  }
  if (length == g.rawFileLength) {
    layout.frameBytes = static_cast<std::size_t>(length - kRawTagBytes);
    if (!ReadExact(file, scratch.frame, layout.frameBytes) || !ReadExact(file, tag.data(), tag.size())) return false;
    if (tag[0] == 'H' || tag[1] == 'L') {
      layout.geometry = GeometryFor(state, 0);
      return true;
    }
    // A binned frame followed by its three colour planes.
    layout.geometry = GeometryFor(state, 1);
    layout.geometryMode = kGeometrySubFrame;
    layout.colour = 1;
    layout.planes = RawLayout::Planes::Packed;
    return true;
  }
  if (length == g.colourRawFileLength) {
    layout.geometry = GeometryFor(state, 0);
    layout.colour = 1;
    layout.planes = RawLayout::Planes::Separate;
    layout.frameBytes = RowsBytes(layout.geometry);
    return ReadExact(file, scratch.frame, layout.frameBytes) && ReadPlanes(file, scratch, layout.frameBytes);
  }
  return false;
}

void CommitRaw(ProgramState& state, const RawLayout& layout, const LoadScratch& scratch) {
  ImageStore& images = state.images;
  state.geometry = layout.geometry;
  SetGeometryMode(state, layout.geometryMode);
  images.colourConverted = layout.colour;
  images.colourUndoHeld = 0;
  std::memcpy(images.workImage, scratch.frame, layout.frameBytes);
  const auto planeBytes = static_cast<std::size_t>(layout.geometry.pixelCount) * 2;
  if (layout.planes == RawLayout::Planes::Packed) {
    for (int i = 0; i < 3; ++i) {
      std::memcpy(images.colourPlanes[static_cast<std::size_t>(kColourFileOrder[i])],
                  scratch.frame + planeBytes * static_cast<std::size_t>(i + 1), planeBytes);
    }
  } else if (layout.planes == RawLayout::Planes::Separate) {
    for (std::size_t p = 0; p < scratch.planes.size(); ++p) {
      std::memcpy(images.colourPlanes[p], scratch.planes[p], layout.frameBytes);
    }
  }
}

}  // namespace

RawResult ReadRawFile(ProgramState& state, const std::string& path, long long length) {
  const FileHandle file = OpenForReading(path);
  if (!file.valid()) return RawResult::Failed;
  if (FileLength(file) != length) return RawResult::Failed;
  const LoadScratch scratch = LoadScratchOf(state.images);
  RawLayout layout;
  if (!ReadRawLayout(state, file, length, scratch, layout)) return RawResult::Failed;
  CommitRaw(state, layout, scratch);
  return RawResult::Ok;
}

RawResult ReadSecondRawFile(ProgramState& state, Host& host, const std::string& path, SecondFilePurpose purpose) {
  WaitCursor wait(host);
  const FileHandle file = OpenForReading(path);
  if (!file.valid()) {
    ShowMessage(host, 11);
    return RawResult::Failed;
  }
  const long long length = FileLength(file);
  const FrameGeometry& g = state.geometry;
  if (length != g.binnedRawFileLength && length != g.rawFileLength && length != g.colourRawFileLength &&
      length != kHeaderlessFrameLength) {
    char text[160];
    std::snprintf(text, sizeof text, "filelenread = %5lld,filelen = %5d,filelenfullcol = %5d", length, g.rawFileLength,
                  g.colourRawFileLength);
    host.showMessage(MessageBoxRequest{"Qel_Vesk_USB", text, MessageIcon::None, -1});
    ShowMessage(host, 16);
    return RawResult::Failed;
  }
  // Everything is read into scratch and the tag checked before the second
  // image, the colour planes or the geometry change.
  const LoadScratch scratch = LoadScratchOf(state.images);
  FrameGeometry geometry = g;
  std::size_t frameBytes = static_cast<std::size_t>(length - kRawTagBytes);
  bool planes = false;
  bool read = true;
  RawTag tag;
  tag.fill(' ');
  if (length == kHeaderlessFrameLength) {
    frameBytes = static_cast<std::size_t>(kHeaderlessFrameLength);
    read = ReadHeaderless(file, scratch.frame);
  } else if (length == g.colourRawFileLength) {
    geometry = GeometryFor(state, 0);
    frameBytes = RowsBytes(geometry);
    planes = true;
    read = ReadExact(file, scratch.frame, frameBytes) && ReadPlanes(file, scratch, frameBytes) &&
           ReadExact(file, tag.data(), tag.size());
  } else {
    read = ReadExact(file, scratch.frame, frameBytes) && ReadExact(file, tag.data(), tag.size());
  }
  if (!read) {
    ShowMessage(host, 11);
    return RawResult::Failed;
  }
  if (purpose == SecondFilePurpose::Flat && !(tag[0] == 'F' && tag[1] == 'L')) {
    ShowMessage(host, 70);
    return RawResult::Failed;
  }
  state.geometry = geometry;
  std::memcpy(state.images.scratchImage, scratch.frame, frameBytes);
  // A dark or flat corrects the frame only: the colour planes of the image
  // being corrected are kept.
  if (planes && purpose == SecondFilePurpose::Merge) {
    for (std::size_t p = 0; p < scratch.planes.size(); ++p) {
      std::memcpy(state.images.colourPlanes[p], scratch.planes[p], frameBytes);
    }
  }
  return RawResult::Ok;
}

}  // namespace qv
