#include "processing/hot_pixel_map.h"

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "app/messages.h"
#include "files/file_io.h"
#include "files/image_loader.h"
#include "processing/processing_pass.h"

namespace qv {

namespace {

constexpr int kBorderColumns = 5;
constexpr int kTopRows = 5;
constexpr int kTopRowsOverLabel = 15;
constexpr int kBottomRows = 4;
constexpr std::size_t kMaximumNameLength = 40;

void ShowText(Host& host, std::string_view text) { ShowMessage(host, kCallerTextMessage, text); }

}  // namespace

bool FindHotPixels(ProgramState& state, Host& host, const std::uint16_t* source) {
  const FrameGeometry& g = state.geometry;
  std::int32_t* list = state.images.buffers.hotPixelList.data();
  const int threshold = state.processing.hotPixelThreshold;
  const int first = HasHeaderBand(source) ? kTopRowsOverLabel : kTopRows;
  int count = 0;
  for (int r = first; r < g.height - kBottomRows; ++r) {
    const std::uint16_t* row = source + static_cast<std::size_t>(r) * g.width;
    for (int c = kBorderColumns; c < g.width - kBorderColumns; ++c) {
      if (row[c] < threshold) continue;
      list[count++] = r * g.width + c;
      if (count > kHotPixelScanLimit) {
        state.files.hotPixelCount = count;
        // A cut-off list is no map of the frame.
        state.files.hotPixelMapValid = 0;
        ShowText(host, "Too many hot pixels found - ensure you have a darkframe loaded.");
        return false;
      }
    }
  }
  state.files.hotPixelCount = count;
  state.files.hotPixelMapValid = 1;
  return true;
}

std::string HotPixelMapName(const ProgramState& state) {
  const std::string& chosen = state.processing.hotPixelMapName;
  return chosen.empty() ? state.geometry.hotPixelMapName : chosen;
}

std::string HotPixelMapPath(const ProgramState& state) {
  return NativePath(state.paths, state.settings.derived.autosaveDirectory + "\\" + HotPixelMapName(state) + ".HPM");
}

bool SaveHotPixelMap(ProgramState& state, Host& host, const std::string& path) {
  StagedFile staged(path);
  if (!staged.valid()) {
    ShowText(host, "Failed to create Hot Pixel Map file");
    return false;
  }
  const std::int32_t count = state.files.hotPixelCount;
  using Piece = std::span<const std::uint8_t>;
  const Piece pieces[] = {
      Piece(reinterpret_cast<const std::uint8_t*>(kHotPixelMapMagic.data()), kHotPixelMapMagic.size()),
      Piece(reinterpret_cast<const std::uint8_t*>(&count), sizeof count),
      Piece(reinterpret_cast<const std::uint8_t*>(state.images.buffers.hotPixelList.data()),
            static_cast<std::size_t>(count) * sizeof(std::int32_t))};
  if (!WriteAllPieces(staged.handle(), pieces) || !staged.commit()) {
    ShowText(host, "Hot Pixel Map file write failed");
    return false;
  }
  host.requestRepaint();
  return true;
}

bool ApplyHotPixelMap(ProgramState& state, Host& host) {
  ResetBufferPointers(state.images);
  if (!state.files.hotPixelMapValid) {
    ShowText(host, "Sorry, you haven't loaded a hot pixel map");
    return false;
  }
  RunProcessingPass(state, host, {}, [&] {
    const FrameGeometry& g = state.geometry;
    std::uint16_t* image = state.images.workImage;
    const std::int32_t* list = state.images.buffers.hotPixelList.data();
    const int w = g.width;
    for (int i = 0; i < state.files.hotPixelCount; ++i) {
      const std::int32_t k = list[i];
      // A map from another frame can name positions off this one.
      if (k < w || k >= g.pixelCount - w || k % w == 0 || k % w == w - 1) continue;
      const unsigned sum = image[k - 1] + image[k + 1] + image[k - w] + image[k + w];
      image[k] = static_cast<std::uint16_t>(sum >> 2);
    }
  });
  return true;
}

bool ChangeHotPixelMapName(ProgramState& state, Host& host, std::string_view name) {
  name = name.substr(0, kMaximumNameLength);
  std::string& current = state.processing.hotPixelMapName;
  if (name == HotPixelMapName(state)) return true;
  if (name.find_first_of("*/:?\\") != std::string_view::npos) {
    ShowText(host, "Sorry, a file name cannot contain * / : ? or \\");
    return false;
  }
  if (name.empty()) {
    current = kDefaultHotPixelMapName;
    return true;
  }
  current = name;
  state.settings.lastFileNumber = 0;
  return true;
}

int StepHotPixelThreshold(int threshold, ScrollStep step) {
  switch (step) {
    case ScrollStep::LineLeft:
      return threshold > kHotPixelThresholdMinimum ? threshold - 1 : threshold;
    case ScrollStep::LineRight:
      return threshold < kHotPixelThresholdMaximum ? threshold + 1 : threshold;
    case ScrollStep::PageLeft:
      return threshold > kHotPixelThresholdMinimum + 100 ? threshold - 100 : threshold;
    case ScrollStep::PageRight:
      return threshold < kHotPixelThresholdMaximum - 100 ? threshold + 100 : threshold;
  }
  return threshold;
}

}  // namespace qv
