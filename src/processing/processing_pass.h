#pragma once
// The frame every processing pass over the current image runs in: the wait
// cursor for its length, the undo copy, the progress dialog under the pass's
// caption, and at the end the repaint and, when asked, the display rebuild.

#include <string_view>

#include "app/host.h"
#include "app/program_state.h"

namespace qv {

// Which undo copy a pass takes before it changes anything.
enum class PassUndo {
  WorkImage,     // the work image into the undo image
  ColourPlanes,  // the three colour planes into the colour undo store
  KeptByPass,    // the pass keeps the old values itself as it goes
};

struct PassSetup {
  std::string_view progressCaption = {};  // no progress dialog when empty
  PassUndo undo = PassUndo::WorkImage;
  bool rebuild = true;  // ask for a display rebuild at the end
};

// Runs `work()` inside the pass's frame. The buffer pointers are reset first.
template <typename Work>
void RunProcessingPass(ProgramState& state, Host& host, const PassSetup& setup, Work&& work) {
  WaitCursor wait(host);
  ResetBufferPointers(state.images);
  if (setup.undo == PassUndo::WorkImage) SaveUndo(state.images, state.geometry);
  if (setup.undo == PassUndo::ColourPlanes) SaveColourUndo(state.images, state.geometry);
  const bool progress = !setup.progressCaption.empty();
  if (progress) host.openProgress(setup.progressCaption);
  work();
  if (progress) host.closeProgress();
  host.requestRepaint();
  if (setup.rebuild) host.requestRebuildDisplay();
}

}  // namespace qv
