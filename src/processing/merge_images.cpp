#include "processing/merge_images.h"

#include <algorithm>
#include <cstring>

#include "app/messages.h"
#include "processing/analysis_views.h"

namespace qv {

namespace {

constexpr int kMergeModeConflict = 35;
constexpr int kMergeNeedsStandardGeometry = 30;
constexpr int kAlreadyMerging = 31;

void UpdateMouseOwnership(ProgramState& state) { state.display.mouseModeActive = AnalysisMouseModeActive(state); }

void CopyPixels(std::uint16_t* to, const std::uint16_t* from, int count) {
  std::memcpy(to, from, static_cast<std::size_t>(count) * sizeof(std::uint16_t));
}

}  // namespace

bool StartMerge(ProgramState& state, Host& host) {
  ProcessingState::Merge& merge = state.processing.merge;
  if (state.analysis.photometry.open || state.analysis.rowPlot.open) {
    ShowMessage(host, kMergeModeConflict);
    return false;
  }
  if (state.display.fitToScreen || state.display.centreImage) {
    ShowMessage(host, kMergeNeedsStandardGeometry);
    return false;
  }
  if (merge.mergeMode) {
    ShowMessage(host, kAlreadyMerging);
    return false;
  }
  merge.pickingBase = 1;
  merge.baseX = merge.baseY = merge.mergeX = merge.mergeY = 0;
  merge.mergeMode = 1;
  merge.merged = 0;
  UpdateMouseOwnership(state);
  return true;
}

// Only the first opening keeps the base: a second image opened again
// replaces the second image, never the kept base.
void KeepMergeBase(ProgramState& state) {
  ProcessingState::Merge& merge = state.processing.merge;
  if (!merge.mergeMode || !merge.pickingBase) return;
  ImageStore& images = state.images;
  ResetBufferPointers(images);
  CopyPixels(images.scratchImage, images.workImage, state.geometry.pixelCount);
  merge.baseWidth = state.geometry.width;
  merge.baseHeight = state.geometry.height;
  merge.baseColour = images.colourConverted;
  if (images.colourConverted) {
    SaveColourUndo(images, state.geometry);
    CopyColourToWorkSet(images, state.geometry);
  }
}

void MergeSecondImageOpened(ProgramState& state, bool loaded) {
  ProcessingState::Merge& merge = state.processing.merge;
  if (merge.mergeMode && loaded) merge.pickingBase = 0;
}

void MarkMergePoint(ProgramState& state, int imageX, int imageY) {
  ProcessingState::Merge& merge = state.processing.merge;
  if (merge.pickingBase) {
    merge.baseX = imageX;
    merge.baseY = imageY;
  } else {
    merge.mergeX = imageX;
    merge.mergeY = imageY;
  }
}

void SetMergeAverage(ProgramState& state, bool on) {
  state.processing.merge.average = on;
  if (on) state.processing.merge.specialAverage = 0;
}
void SetMergeSpecialAverage(ProgramState& state, bool on) {
  state.processing.merge.specialAverage = on;
  if (on) state.processing.merge.average = 0;
}
void SetMergeCentre(ProgramState& state, bool on) {
  state.processing.merge.centre = on;
  if (on) state.processing.merge.superimpose = 0;
}
void SetMergeSuperimpose(ProgramState& state, bool on) {
  state.processing.merge.superimpose = on;
  if (on) state.processing.merge.centre = 0;
}

void CancelMerge(ProgramState& state) {
  state.processing.merge.mergeMode = 0;
  state.processing.merge.average = 0;
  UpdateMouseOwnership(state);
}

int MergedValue(int o, int m, bool average, bool specialAverage) {
  int value = m + o;
  if (specialAverage) {
    if (2 * m < o) {
      value = o;
    } else if (2 * o < m) {
      value = m;
    } else {
      value = (m + o) / 2;
    }
  }
  if (average) return value / 2;
  return std::min(value, 65'535);
}

MergeResult MergeImages(ProgramState& state, Host& host) {
  ProcessingState::Merge& merge = state.processing.merge;
  if (merge.pickingBase) return MergeResult::NotReady;
  const FrameGeometry& g = state.geometry;
  if (g.width != merge.baseWidth || g.height != merge.baseHeight) {
    ShowMessage(host, kCallerTextMessage, "Sorry, the two images to merge are not the same size");
    return MergeResult::Refused;
  }
  merge.mergeMode = 0;
  UpdateMouseOwnership(state);

  ImageStore& images = state.images;
  ResetBufferPointers(images);
  std::uint16_t* base = images.scratchImage;
  const std::uint16_t* partner = images.workImage;
  const int dx = merge.superimpose ? 0 : merge.mergeX - merge.baseX;
  const int dy = merge.superimpose ? 0 : merge.mergeY - merge.baseY;
  const int first = HasHeaderBand(base) || HasHeaderBand(partner) ? kHeaderBandRows : 0;
  // The planes are averaged only when both images are colour images: a mono
  // image's planes hold nothing of it.
  const bool planes = merge.baseColour && images.colourConverted;
  for (int y = first; y < g.height; ++y) {
    const int py = y + dy;
    if (py <= first || py >= g.height) continue;
    for (int x = 0; x < g.width; ++x) {
      const int px = x + dx;
      if (px <= 0 || px >= g.width) continue;
      const std::size_t at = static_cast<std::size_t>(y) * g.width + x;
      const std::size_t from = static_cast<std::size_t>(py) * g.width + px;
      base[at] = static_cast<std::uint16_t>(MergedValue(base[at], partner[from], merge.average, merge.specialAverage));
      if (!planes) continue;
      for (int p = 0; p < ImageStore::kPlanes; ++p) {
        std::uint16_t& kept = images.planeWorkSet[static_cast<std::size_t>(p)][at];
        kept = static_cast<std::uint16_t>((kept + images.colourPlanes[static_cast<std::size_t>(p)][from]) / 2);
      }
    }
  }
  CopyPixels(images.workImage, base, g.pixelCount);
  if (merge.baseColour) {
    for (int p = 0; p < ImageStore::kPlanes; ++p) {
      CopyPixels(images.colourPlanes[static_cast<std::size_t>(p)], images.planeWorkSet[static_cast<std::size_t>(p)],
                 g.pixelCount);
    }
  }
  images.colourConverted = merge.baseColour;
  merge.superimpose = 0;
  merge.merged = 1;
  host.requestRebuildDisplay();
  return MergeResult::Merged;
}

}  // namespace qv
