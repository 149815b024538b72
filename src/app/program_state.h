#pragma once
// Everything the program keeps for the whole run, created once by main().

#include "app/display_state.h"
#include "app/frame_geometry.h"
#include "app/image_store.h"
#include "app/mouse_state.h"
#include "app/paths.h"
#include "app/program_settings.h"
#include "camera/camera_state.h"
#include "colour/colour_state.h"
#include "files/files_state.h"
#include "guiding/guiding_state.h"
#include "processing/analysis_state.h"
#include "processing/processing_state.h"

namespace qv {

struct ProgramState {
  DataPaths paths;
  ImageStore images;
  FrameGeometry geometry;
  ProgramSettings settings;
  CameraState camera;
  DisplayState display;
  FilesState files;
  ProcessingState processing;
  GuidingState guiding;
  AnalysisState analysis;
  ColourState colour;
  MouseState mouse;
};

}  // namespace qv
