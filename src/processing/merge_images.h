#pragma once
// Merging two images on a marked point: the base image is marked, the second
// image opened and marked, and "Merge" adds (or averages) the second image,
// shifted so the marks meet, into the base image.

#include "app/host.h"
#include "app/program_state.h"

namespace qv {

// "Merge two Images &together": refused with messages 35 (photometry or row
// plot running), 30 (fitted or centred display) or 31 (already merging).
[[nodiscard]] bool StartMerge(ProgramState& state, Host& host);

// The open command calls this before it loads a file while merging: the
// first opening keeps the base image (and its colour planes) for the merge.
void KeepMergeBase(ProgramState& state);
// ... and this after the load, with whether it succeeded.
void MergeSecondImageOpened(ProgramState& state, bool loaded);

// A mark at an image position: on the base image until the second image is
// opened, on the second image after.
void MarkMergePoint(ProgramState& state, int imageX, int imageY);

// The dialog's check boxes: Average and Special Average exclude each other,
// as do Centre and Superimpose.
void SetMergeAverage(ProgramState& state, bool on);
void SetMergeSpecialAverage(ProgramState& state, bool on);
void SetMergeCentre(ProgramState& state, bool on);
void SetMergeSuperimpose(ProgramState& state, bool on);

// "Cancel".
void CancelMerge(ProgramState& state);

enum class [[nodiscard]] MergeResult{Merged, NotReady, Refused};

// "Merge": nothing while the second image has not been opened; refused
// (message shown, still merging) when the two images differ in size.
MergeResult MergeImages(ProgramState& state, Host& host);

// One merged value of base pixel `o` and partner `m`.
int MergedValue(int o, int m, bool average, bool specialAverage);

}  // namespace qv
