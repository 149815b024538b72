#include "files/raw_file.h"

#include <cstdio>
#include <cstring>

#include "app/messages.h"
#include "files/file_geometry.h"
#include "files/file_io.h"

namespace qv {

namespace {

RawTag MakeTag(std::string_view kind, char digit) {
  RawTag tag;
  tag.fill(' ');
  std::memcpy(tag.data(), kind.data(), kind.size());
  tag[7] = digit;
  return tag;
}

bool WriteRows(const FileHandle& file, const std::uint16_t* image, const FrameGeometry& g) {
  for (int y = 0; y < g.height; ++y) {
    if (!WriteAll(file, image + static_cast<std::size_t>(y) * g.width, static_cast<std::size_t>(g.rowBytes)))
      return false;
  }
  return true;
}

bool ReadRows(const FileHandle& file, std::uint16_t* image, const FrameGeometry& g) {
  return ReadExact(file, image, static_cast<std::size_t>(g.height) * static_cast<std::size_t>(g.rowBytes));
}

bool ReadHeaderless(const FileHandle& file, std::uint16_t* image) {
  auto* bytes = reinterpret_cast<std::uint8_t*>(image);
  for (int block = 0; block < kHeaderlessBlocks; ++block) {
    if (!ReadExact(file, bytes + static_cast<std::size_t>(block) * kHeaderlessBlockBytes, kHeaderlessBlockBytes))
      return false;
  }
  return true;
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
  const FileHandle file = CreateNew(path);
  if (!file.valid()) {
    ShowMessage(host, 17);
    return RawResult::Failed;
  }
  WaitCursor wait(host);
  const FrameGeometry& g = state.geometry;
  ImageStore& images = state.images;
  bool written = WriteRows(file, images.workImage, g);
  if (written && images.colourConverted) {
    for (int plane : kColourFileOrder) {
      if (!(written = WriteRows(file, images.colourPlanes[static_cast<std::size_t>(plane)], g))) break;
    }
  }
  const RawTag tag = RawFileTag(state);
  if (!written || !WriteAll(file, tag.data(), tag.size())) {
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
  const FileHandle file = CreateNew(path);
  if (!file.valid()) {
    ShowMessage(host, 17);
    return RawResult::Failed;
  }
  RawTag tag;
  // An unbinned frame of another read-out mode leaves the file empty.
  if (!FlatFileTag(state, tag)) return RawResult::Ok;
  if (!WriteRows(file, state.images.workImage, state.geometry) || !WriteAll(file, tag.data(), tag.size())) {
    ShowMessage(host, 18);
    return RawResult::Failed;
  }
  return RawResult::Ok;
}

RawResult ReadRawFile(ProgramState& state, const std::string& path, long long length) {
  const FileHandle file = OpenForReading(path);
  if (!file.valid()) return RawResult::Failed;
  if (FileLength(file) != length) return RawResult::Failed;
  ImageStore& images = state.images;
  const FrameGeometry& g = state.geometry;
  RawTag tag{};

  if (length == kHeaderlessFrameLength) {
    if (!ReadHeaderless(file, images.workImage)) return RawResult::Failed;
    SetFileBinning(state, 0);
    SetGeometryMode(state, kGeometryFull);
    images.colourConverted = 0;
    return RawResult::Ok;
  }
  if (length == g.binnedRawFileLength) {
    SetFileBinning(state, 1);
    if (!ReadRows(file, images.workImage, g) || !ReadExact(file, tag.data(), tag.size())) return RawResult::Failed;
    SetGeometryMode(state, kGeometrySubFrame);
    images.colourConverted = 0;
    return RawResult::Ok;
  }
  if (length == g.rawFileLength) {
    if (!ReadExact(file, images.workImage, static_cast<std::size_t>(length - kRawTagBytes)) ||
        !ReadExact(file, tag.data(), tag.size()))
      return RawResult::Failed;
    if (tag[0] == 'H' || tag[1] == 'L') {
      SetFileBinning(state, 0);
      SetGeometryMode(state, kGeometryFull);
      images.colourConverted = 0;
      return RawResult::Ok;
    }
    // A binned frame followed by its three colour planes.
    SetFileBinning(state, 1);
    SetGeometryMode(state, kGeometrySubFrame);
    images.colourConverted = 1;
    const auto planePixels = static_cast<std::size_t>(g.pixelCount);
    for (int i = 0; i < 3; ++i) {
      std::memcpy(images.colourPlanes[static_cast<std::size_t>(kColourFileOrder[i])],
                  images.workImage + planePixels * static_cast<std::size_t>(i + 1), planePixels * 2);
    }
    return RawResult::Ok;
  }
  if (length == g.colourRawFileLength) {
    SetFileBinning(state, 0);
    SetGeometryMode(state, kGeometryFull);
    if (!ReadRows(file, images.workImage, g)) return RawResult::Failed;
    for (int plane : kColourFileOrder) {
      if (!ReadRows(file, images.colourPlanes[static_cast<std::size_t>(plane)], g)) return RawResult::Failed;
    }
    images.colourConverted = 1;
    return RawResult::Ok;
  }
  return RawResult::Failed;
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
  ImageStore& images = state.images;
  if (length != g.binnedRawFileLength && length != g.rawFileLength && length != g.colourRawFileLength &&
      length != kHeaderlessFrameLength) {
    char text[160];
    std::snprintf(text, sizeof text, "filelenread = %5lld,filelen = %5d,filelenfullcol = %5d", length, g.rawFileLength,
                  g.colourRawFileLength);
    host.showMessage(MessageBoxRequest{"Qel_Vesk_USB", text, MessageIcon::None, -1});
    ShowMessage(host, 16);
    return RawResult::Failed;
  }
  RawTag tag;
  tag.fill(' ');
  if (length == kHeaderlessFrameLength) {
    if (!ReadHeaderless(file, images.scratchImage)) {
      ShowMessage(host, 11);
      return RawResult::Failed;
    }
  } else if (length == g.colourRawFileLength) {
    SetFileBinning(state, 0);
    bool read = ReadRows(file, images.scratchImage, g);
    for (int plane : kColourFileOrder) {
      read = read && ReadRows(file, images.colourPlanes[static_cast<std::size_t>(plane)], g);
    }
    if (!read || !ReadExact(file, tag.data(), tag.size())) {
      ShowMessage(host, 11);
      return RawResult::Failed;
    }
  } else if (!ReadExact(file, images.scratchImage, static_cast<std::size_t>(length - kRawTagBytes)) ||
             !ReadExact(file, tag.data(), tag.size())) {
    ShowMessage(host, 11);
    return RawResult::Failed;
  }
  if (purpose == SecondFilePurpose::Flat && !(tag[0] == 'F' && tag[1] == 'L')) {
    ShowMessage(host, 70);
    return RawResult::Failed;
  }
  return RawResult::Ok;
}

}  // namespace qv
