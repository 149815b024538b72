#pragma once
// What is known about the frame in the work image beyond its pixels: how it
// was read, when and for how long it was exposed, the cooler and the filter.
// A read-out records them and every save of that frame writes them, until
// another frame or a loaded file replaces it. The texts and the exposure go
// into the FITS header values, so the FITS details dialog can still change
// them before a save.

#include <ctime>

#include "app/program_state.h"

namespace qv {

// After a read-out in `readoutMode` (1 to 5) of an exposure that began at
// `start` (calendar seconds) and lasted `exposureSeconds` in all (a series
// counts every frame in it). The frame is dated by its start until it is
// finished and stamped with the middle.
void RecordReadoutFacts(ProgramState& state, int readoutMode, std::time_t start, double exposureSeconds);

// The observation time a save writes is the middle of the exposure: set once
// the frame is finished, `start` and `end` in calendar seconds.
void StampObservationMiddle(ProgramState& state, std::time_t start, std::time_t end);

// A loaded file replaces the frame: what the read-out knew no longer applies,
// the file's header values stand for it.
void FileReplacesFrameFacts(ProgramState& state);

// Whether the frame brought its own observation date and time (a read-out,
// or a loaded file that had them), so a save keeps them.
[[nodiscard]] bool FrameHasObservationTime(const ProgramState& state);

}  // namespace qv
