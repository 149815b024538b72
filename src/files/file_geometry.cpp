#include "files/file_geometry.h"

namespace qv {

void SetFileBinning(ProgramState& state, int binned) {
  state.geometry.binned = binned;
  RecomputeFrameGeometry(state.geometry, state.camera.model);
}

void SetGeometryMode(ProgramState& state, int mode) {
  state.files.geometryMode = mode;
  state.files.geometryDigit = static_cast<char>('0' + mode);
}

}  // namespace qv
