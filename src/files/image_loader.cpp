#include "files/image_loader.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "app/messages.h"
#include "files/autosave.h"
#include "files/fits_file.h"
#include "files/frame_facts.h"
#include "files/load_scratch.h"
#include "files/raw_file.h"

namespace qv {

namespace {

void ShowLengthMessage(Host& host, long long length, const FrameGeometry& g) {
  char text[160];
  std::snprintf(text, sizeof text, "filelenread = %5lld,filelenfitpad = %5d,filelenfit = %5d", length,
                g.fitsFileLength + g.fitsPadding, g.fitsFileLength);
  host.showMessage(MessageBoxRequest{"Qel_Vesk_USB", text, MessageIcon::None, -1});
  ShowMessage(host, 12);
}

}  // namespace

int AutosaveNumberOf(const std::string& path) {
  const std::string name = std::filesystem::path(path).filename().string();
  if (name.size() < 3) return 0;
  for (int i = 0; i < 3; ++i) {
    if (std::toupper(static_cast<unsigned char>(name[static_cast<std::size_t>(i)])) != "IMG"[i]) return 0;
  }
  int number = 0;
  for (std::size_t i = 3; i < name.size() && name[i] != '.'; ++i) {
    if (!std::isdigit(static_cast<unsigned char>(name[i]))) break;
    number = number * 10 + (name[i] - '0');
    if (number > 1'000'000) break;
  }
  return number;
}

bool LoadHotPixelMap(ProgramState& state, Host& host, const FileHandle& file, long long length) {
  char magic[15];
  if (length < kHotPixelMapMinimumLength || !SeekTo(file, 0) || !ReadExact(file, magic, sizeof magic) ||
      std::memcmp(magic, kHotPixelMapMagic.data(), sizeof magic) != 0)
    return false;
  std::int32_t claimed = 0;
  if (!ReadExact(file, &claimed, sizeof claimed)) return false;
  // The stored count is not bounded by the format: keep to the list and the file.
  long long count = claimed < 0 ? 0 : claimed;
  count = std::min<long long>(count, static_cast<long long>(ImageStore::kHotPixelCapacity));
  count = std::min<long long>(count, (length - 19) / 4);
  // The indices go through scratch, so a read that fails leaves the list as it was.
  std::uint8_t* indices = LoadScratchOf(state.images).frame;
  const auto bytes = static_cast<std::size_t>(count) * sizeof(std::int32_t);
  if (!ReadExact(file, indices, bytes)) count = 0;
  std::memcpy(state.images.buffers.hotPixelList.data(), indices,
              static_cast<std::size_t>(count) * sizeof(std::int32_t));
  state.files.hotPixelCount = static_cast<int>(count);
  state.files.hotPixelMapValid = 1;
  ShowMessage(host, kCallerTextMessage, "Hot Pixel Map Loaded");
  return true;
}

LoadResult LoadImageFile(ProgramState& state, Host& host, const std::string& path) {
  ResetBufferPointers(state.images);
  WaitCursor wait(host);
  FileHandle file = OpenForReading(path);
  if (!file.valid()) {
    ShowMessage(host, 11);
    return LoadResult::Failed;
  }
  const long long length = FileLength(file);
  const FrameGeometry& g = state.geometry;
  const bool fits = length == g.fitsFileLength || length == static_cast<long long>(g.fitsFileLength) + g.fitsPadding ||
                    length == g.binnedFitsFileLength ||
                    length == static_cast<long long>(g.binnedFitsFileLength) + g.binnedFitsPadding ||
                    length == g.colourFitsFileLength;
  const bool raw = length == g.rawFileLength || length == g.binnedRawFileLength || length == g.colourRawFileLength ||
                   length == kHeaderlessFrameLength;

  if (!fits && !raw) {
    if (LoadHotPixelMap(state, host, file, length)) return LoadResult::HotPixelMap;
    ShowLengthMessage(host, length, g);
    return LoadResult::Failed;
  }
  file.close();

  if (fits) {
    // The reader checks and reads the whole file before it changes anything.
    const FitsReadResult result = ReadFitsFile(state, path, state.images.workImage, length);
    if (result != FitsReadResult::Ok) {
      ShowMessage(host, result == FitsReadResult::Unreadable ? 13 : 14);
      return LoadResult::Failed;
    }
    if (const int number = AutosaveNumberOf(path); number > 0) state.files.autosaveLoadIndex = number;
  } else if (ReadRawFile(state, path, length) != RawResult::Ok) {
    ShowMessage(host, 11);
    return LoadResult::Failed;
  }
  FileReplacesFrameFacts(state);
  state.files.imageTitle = std::filesystem::path(path).filename().string();
  host.requestRebuildDisplay();
  host.requestRepaint();
  return LoadResult::Loaded;
}

LoadResult LoadNextAutosavedFile(ProgramState& state, Host& host) {
  const int counter = state.settings.lastFileNumber;
  if (state.files.autosaveLoadIndex == 0 || state.files.autosaveLoadIndex >= counter) {
    ShowMessage(host, 40);
    return LoadResult::Failed;
  }
  ++state.files.autosaveLoadIndex;
  return LoadImageFile(state, host, AutosaveFilePath(state, state.files.autosaveLoadIndex));
}

}  // namespace qv
