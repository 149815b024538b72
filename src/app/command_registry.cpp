#include "app/command_registry.h"

#include <array>

namespace qv {

namespace {

using G = MenuGroup;

// clang-format off
constexpr CommandInfo kCommands[] = {
  // File
  {24332, "&Open...     \tCtl+O", "Open an image file (FITS or raw)", G::File},
  {24333, "&Save...   \tCTL+S", "Save the current image as a raw file", G::File},
  {24334, "Save as &Tiff file...", "Export the current image as a TIFF file", G::File},
  {24335, "S&ave as FITS file...   \tCtl+F", "Save the current image as a FITS file", G::File},
  {133, "Save as RGB FITS File... \tCtl+R", "Save the colour image as a three-plane FITS file", G::File},
  {24336, "&Quick Save as FITS...\tCtl+Q ", "Save as the next numbered FITS file in the autosave folder", G::File},
  {24337, "Load next &Autosaved File  \tCtl+A ", "Load the next autosaved FITS file", G::File},
  {127, "Save Fl&at File", "Save the colour image as a flat-field file", G::File},
  {13, "&Delete File...", "Delete a chosen file", G::File, true},
  {19, "&Load/Edit AutoSave FITS text", "Edit the texts written into autosaved FITS headers", G::File, true},
  {104, "Select Dark &Frame...", "Choose the dark frame file", G::File, true},
  {122, "Select Flatfield File...", "Choose the flat-field file", G::File},
  {32102, "Load Hot Pixel Map File", "Load a hot pixel map file", G::File},
  {121, "Set Program Defa&ults", "Set the program defaults", G::File, true},
  {24324, "Set Auto &Processing", "Choose the processing applied to each new exposure", G::File},
  {114, "P&rint setup...", "Choose the printer and page", G::File, true},
  {116, "&Print...", "Print the displayed image", G::File},
  {24310, "E&xit", "Quit the program", G::File, true},

  // Edit
  {9, "&Undo Last Filter", "Restore the image as it was before the last filter", G::Edit, false, false, "undo"},
  {810, "Undo &Last Colour Filter\tCTL+V", "Restore the colour image as it was before the last colour filter", G::Edit},
  {17999, "&Copy\tShift+Ins", "Copy the displayed image to the clipboard", G::Edit, true},
  {8, "&Label    ", "Write a text label into the top of the image", G::Edit, true},
  {17, "Processing &History", "Show the processing steps applied to the image", G::Edit, false, false, "history"},
  {20, "&Show/Edit Current Image FITS details", "Show or edit the FITS details of the current image", G::Edit},

  // View
  {301, "&Fit to Screen\tCTL+T", "Scale the image to the window height", G::View, false, true},
  {303, "&Centre Image", "Centre the image in the window", G::View, false, true},
  {129, "Show Image Centre", "Mark the centre of the image with a cross", G::View, false, true, "toggle show-centre"},
  {118, "False Colour P&alette", "Show the image in false colour", G::View, true, true, "toggle false-colour"},
  {119, "&Auto contrast stretch image", "Stretch the display contrast from the sky level", G::View, false, true,
   "toggle auto-contrast"},
  {123, "Stretch Display", "Set the display stretch of mono images", G::View},
  {302, "&Mirror Image", "Reverse the image left to right", G::View, true, false, "mirror"},
  {304, "Flip Image", "Turn the image upside down", G::View, false, false, "flip"},

  // Camera
  {12, "Qel Vesk Camera &Interface\tCTL+Z", "Open the camera control", G::Camera},
  {124, "Sub-Frame Selection", "Choose the sub-frame read from the sensor", G::Camera, true},
  {125, "Pick Sub-Frame", "Pick the sub-frame centre with the mouse", G::Camera},
  {126, "Default Sub-Frame Centre", "Put the sub-frame centre at the sensor centre", G::Camera},
  {25, "Focus Frame Centre", "Pick the focus frame centre with the mouse", G::Camera, true},
  {26, "Default Focus Frame Centre", "Put the focus frame centre at the sensor centre", G::Camera},
  {32101, "Create Hot Pixel Map", "Create a hot pixel map from a dark frame", G::Camera, true},

  // Guiding
  {27, "AutoGuider Camera \tCTL+G", "Open the autoguider camera", G::Guiding},
  {21, "Pic&k Guide Star\tCTL+K", "Pick the guide star with the mouse", G::Guiding, true},
  {22, "Start Auto-Guiding", "Guide the telescope with the main camera", G::Guiding},
  {23, "Train Auto-Guiding", "Measure the telescope drive rates for guiding", G::Guiding},
  {24, "Telescope &Control", "Move the telescope", G::Guiding, true},

  // Process: stretches, analysis and filters
  {1, "&Normal Stretch   \tCtl+N", "Stretch the image linearly between its black and white levels", G::Process},
  {2, "&Power Law Stretch", "Stretch the image with a power law", G::Process},
  {172, "&Sine Law Stretch", "Stretch the image with a sine law", G::Process},
  {120, "&Remove Background    \tCtl+B", "Remove the sky background gradient", G::Process},
  {117, "N&on-Linear Stretch   \tCtl+L", "Stretch the faint parts of the image", G::Process},
  {102, "&Logarithmic Stretch", "Stretch the image logarithmically", G::Process},
  {103, "&Antilogarithmic Stretch", "Stretch the image antilogarithmically", G::Process},
  {105, "&Invert image to Negative", "Make a negative of the image", G::Process},
  {110, "&Subtract Image (Dark Frame)  \tCtl+D", "Subtract the dark frame", G::Process, true},
  {115, "Apply &Flat Field", "Divide the image by the flat field", G::Process},
  {111, "Merge two Images &together   \tCtl+M", "Merge another image with this one", G::Process},
  {101, "Apply Hot Pixel Map", "Repair the hot pixels of the map", G::Process},
  {14, "&Photometry of Image", "Measure star brightness with the mouse", G::Process, true},
  {15, "3-D &Intensity Plot", "Plot the intensity around a point in 3-D", G::Process},
  {16, "Intensity Plot of Current R&ow", "Plot the intensity along an image row", G::Process},
  {6, "&Histogram", "Show the image histogram", G::Process},
  {8124, "Show &Values", "Show the pixel values under the mouse", G::Process},

  {106, "&Unsharp masking HPF   \tCtl+U", "Sharpen the image by unsharp masking", G::Filters},
  {107, "&High Pass, Low Power", "Sharpen the image gently", G::Filters},
  {108, "High Pass, High &Power", "Sharpen the image strongly", G::Filters},
  {109, "&Smoother/Sharper Filter", "Smooth or sharpen the image by a chosen amount", G::Filters},
  {3, "&Median Filter - Noise Reduction", "Reduce noise with a median filter", G::Filters, true},
  {4, "&Gaussian Smoother Filter", "Smooth the image with a Gaussian filter", G::Filters},
  {5, "Low Pass &Weighted Mean &Smoother", "Smooth the image with a weighted mean", G::Filters},
  {7, "&Bas Relief Generator", "Make a bas relief of the image", G::Filters, true},
  {18, "Gradient &Filter", "Show the image gradient", G::Filters},

  // Colour
  {8115, "&Synthesize Colour Image\tCTL+C", "Build the colour image from the colour-matrix frame", G::Colour},
  {8117, "Create Mono Image from Raw Data", "Make a single-filter image from the raw frame", G::Colour},
  {1101, "Use Red Pixels", "Make a mono image from the red pixels", G::Colour},
  {1102, "Use Green Pixels", "Make a mono image from the green pixels", G::Colour},
  {1103, "Use Blue Pixels", "Make a mono image from the blue pixels", G::Colour},
  {8116, "Set Colour &Balance\tCTL+E", "Set the colour balance", G::Colour, true},
  {8114, "&Apply Anti-Alias Filter", "Smooth colour artefacts of the colour matrix", G::Colour},
  {8119, "Adjust Chroma&tism", "Shift the colour planes against each other", G::Colour},
  {8128, "Colour &Overload Smoothing", "Smooth overloaded colour pixels", G::Colour},
  {128, "Non-Linear Colour Stretch", "Stretch the faint parts of the colour image", G::Colour},
  {8129, "&Low Pass Colour Filter ", "Smooth the colour planes", G::Colour},
  {8130, "Balance Colour &Histogram", "Balance the colour histograms", G::Colour},

  // Help
  {112, "Help in using Qel_Vesk_USB", "Show the manual", G::Help},
  {113, "About Qel_Vesk_USB", "Show the program version", G::Help},

  // Pop-up menu 2
  {171, "Start AutoGuiding", "Guide the telescope with the autoguider camera", G::Popup},
  {16102, "Set Camera Type", "Set up the current camera model", G::Popup, false, false, "camera-type"},

  // Sent by the program to itself
  {891, "", "Realize the display palette and adjust the scroller", G::Internal},
  {899, "", "Rebuild the displayed bitmap", G::Internal, false, false, "rebuild-display"},
  {1901, "", "Switch the display stretch on or off", G::Internal, false, false, "toggle stretch-display"},
  {1902, "", "Switch the display stretch on", G::Internal},
  {1906, "", "Switch the display stretch off", G::Internal},
  {1907, "", "Refresh the display stretch", G::Internal},
};

constexpr int kToolBar[] = {24333, 24335, 133, 24332, 0, 12, 27, 0, 1901, 1902, 123, 0, 121, 0, 14, 0,
                            8124, 8115, 8116, 8114, 8129, 0, 1, 117, 2, 120, 106, 101, 3, 0, 110, 115, 111, 24};

// Key code 11 of the "Pick Guide Star" entry is the control character that
// Ctrl+K types, which is what the menu text shows.
constexpr Accelerator kAccelerators[] = {
  {"Ctrl+Z", 12},    {"Alt+X", 24310},   {"Alt+Shift+X", 24310}, {"Ctrl+H", 6},     {"Ctrl+Q", 24336},
  {"Ctrl+K", 21},    {"Ctrl+A", 24337},  {"Ctrl+G", 27},         {"Ctrl+O", 24332}, {"Ctrl+F", 24335},
  {"Ctrl+S", 24333}, {"Ctrl+N", 1},      {"Ctrl+B", 120},        {"Ctrl+L", 117},   {"Ctrl+U", 106},
  {"Ctrl+D", 110},   {"Ctrl+M", 111},    {"Ctrl+V", 810},        {"Ctrl+R", 133},   {"Ctrl+C", 8115},
  {"Ctrl+E", 8116},  {"Ctrl+T", 301},
};
// clang-format on

}  // namespace

std::span<const CommandInfo> Commands() { return kCommands; }

const CommandInfo* FindCommandInfo(int id) {
  for (const auto& command : kCommands) {
    if (command.id == id) return &command;
  }
  return nullptr;
}

std::string_view MenuTitle(MenuGroup group) {
  switch (group) {
    case G::File:
      return "&File";
    case G::Edit:
      return "&Edit";
    case G::View:
      return "&View";
    case G::Camera:
      return "&Camera";
    case G::Guiding:
      return "&Guiding";
    case G::Process:
      return "&Process";
    case G::Filters:
      return "F&ilters";
    case G::Colour:
      return "C&olour";
    case G::Help:
      return "&Help";
    case G::Popup:
    case G::Internal:
      break;
  }
  return {};
}

std::span<const int> ToolBarLayout() { return kToolBar; }

std::span<const Accelerator> Accelerators() { return kAccelerators; }

}  // namespace qv
