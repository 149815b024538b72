#include "app/command_table.h"

#include "app/app_command_runs.h"
#include "app/defaults_command_runs.h"
#include "app/mouse_command_runs.h"
#include "camera/camera_command_runs.h"
#include "camera/exposure_command_runs.h"
#include "colour/colour_command_runs.h"
#include "files/files_command_runs.h"
#include "guiding/guide_loop_command_runs.h"
#include "guiding/guiding_command_runs.h"
#include "processing/analysis_command_runs.h"
#include "processing/calibration_command_runs.h"
#include "processing/processing_command_runs.h"

namespace qv {

namespace {

using G = MenuGroup;

bool TelescopeGuidingChosen(const ProgramState& s) { return s.settings.telescopeGuiding != 'n'; }
bool HasBitmap(const ProgramState& s) { return s.display.hasBitmap(); }
bool FitToScreenOn(const ProgramState& s) { return s.display.fitToScreen; }
bool CentreImageOn(const ProgramState& s) { return s.display.centreImage; }
bool ShowCentreOn(const ProgramState& s) { return s.images.showCentre != 0; }
bool FalseColourOn(const ProgramState& s) { return s.images.falseColour != 0; }
bool AutoContrastOn(const ProgramState& s) { return s.images.autoContrast != 0; }
bool PhotometryOpen(const ProgramState& s) { return s.analysis.photometry.open; }
bool StarPickOn(const ProgramState& s) { return s.mouse.starPickMode != 0; }
bool MergeModeOn(const ProgramState& s) { return s.processing.merge.mergeMode != 0; }

// Menu order within each menu; a window command has no `run` here, a command
// without either is not built yet and shows greyed out. Key code 11 of the
// "Pick Guide Star" accelerator is the control character Ctrl+K types, which
// is what its menu text shows.
// clang-format off
constexpr CommandEntry kCommands[] = {
    {.id = CommandId::Open, .menuText = "&Open...     ", .hint = "Open an image file (FITS or raw)",
     .group = G::File, .cliName = "open", .cliUsage = "FILE",
     .cliHelp = "Open an image file: raw, FITS or the headerless frame by its length, or a hot pixel map.",
     .run = RunOpen, .keys = {"Ctl+O"}, .toolBarPlace = 4},
    {.id = CommandId::SaveRaw, .menuText = "&Save...   ", .hint = "Save the current image as a raw file",
     .group = G::File, .cliName = "save-raw", .cliUsage = "FILE",
     .cliHelp = "Save the image as a raw file (frame, colour planes when converted, tag).", .run = RunSaveRaw,
     .keys = {"CTL+S"}, .toolBarPlace = 1},
    {.id = CommandId::SaveTiff, .menuText = "Save as &Tiff file...",
     .hint = "Export the current image as a TIFF file", .group = G::File, .cliName = "save-tiff",
     .cliUsage = "FILE [sixteen-bit=0|1]",
     .cliHelp = "Export the image as a TIFF file (8 or 16 bits; the 16-bit choice is the stored setting).",
     .run = RunSaveTiff},
    {.id = CommandId::SaveFits, .menuText = "S&ave as FITS file...   ",
     .hint = "Save the current image as a FITS file", .group = G::File, .cliName = "save-fits",
     .cliUsage = "FILE [eight-bit=1]",
     .cliHelp = "Save the image as a FITS file with the current FITS details (8-bit: mono high bytes).",
     .run = RunSaveFits, .keys = {"Ctl+F"}, .toolBarPlace = 2},
    {.id = CommandId::SaveRgbFits, .menuText = "Save as RGB FITS File... ",
     .hint = "Save the colour image as a three-plane FITS file", .group = G::File, .cliName = "save-rgb-fits",
     .cliUsage = "FILE", .cliHelp = "Save a colour-converted image as a three-plane RGB FITS file.",
     .run = RunSaveRgbFits, .keys = {"Ctl+R"}, .toolBarPlace = 3},
    {.id = CommandId::QuickSave, .menuText = "&Quick Save as FITS...",
     .hint = "Save as the next numbered FITS file in the autosave folder", .group = G::File, .cliName = "quick-save",
     .cliHelp = "Quick Save as FITS: the next IMG<n>.FIT in the autosave folder.", .run = RunQuickSave,
     .keys = {"Ctl+Q "}},
    {.id = CommandId::LoadNextAutosaved, .menuText = "Load next &Autosaved File  ",
     .hint = "Load the next autosaved FITS file", .group = G::File, .cliName = "load-next-autosaved",
     .cliHelp = "Load the autosaved file after the one loaded last.", .run = RunLoadNextAutosaved,
     .keys = {"Ctl+A "}},
    {.id = CommandId::SaveFlat, .menuText = "Save Fl&at File", .hint = "Save the colour image as a flat-field file",
     .group = G::File, .cliName = "save-flat", .cliUsage = "FILE",
     .cliHelp = "Save a colour-converted image's frame as a flat-field raw file.", .run = RunSaveFlat},
    {.id = CommandId::DeleteFile, .menuText = "&Delete File...", .hint = "Delete a chosen file", .group = G::File,
     .separatorBefore = true, .cliName = "delete", .cliUsage = "FILE",
     .cliHelp = "Delete FILE (nothing is reported).", .run = RunDeleteFile},
    {.id = CommandId::EditAutosaveFitsText, .menuText = "&Load/Edit AutoSave FITS text",
     .hint = "Edit the texts written into autosaved FITS headers", .group = G::File, .separatorBefore = true,
     .cliName = "autosave-fits-text", .cliUsage = "[object=..] [observer=..] ... (the fields of fits-set)",
     .cliHelp = "Read the settings file, set the FITS texts given (as fits-set does) and save the settings.",
     .run = RunAutosaveFitsText},
    {.id = CommandId::SelectDarkFrame, .menuText = "Select Dark &Frame...", .hint = "Choose the dark frame file",
     .group = G::File, .separatorBefore = true, .cliName = "select-dark", .cliUsage = "FILE",
     .cliHelp = "Store FILE as the automatic dark frame (nothing is read).", .run = RunSelectDarkFrame},
    {.id = CommandId::SelectFlatField, .menuText = "Select Flatfield File...", .hint = "Choose the flat-field file",
     .group = G::File, .cliName = "select-flat", .cliUsage = "FILE",
     .cliHelp = "Store FILE as the automatic flat field (nothing is read).", .run = RunSelectFlatField},
    {.id = CommandId::LoadHotPixelMap, .menuText = "Load Hot Pixel Map File", .hint = "Load a hot pixel map file",
     .group = G::File, .cliName = "load-hot-pixel-map", .cliUsage = "FILE",
     .cliHelp = "Load a hot pixel map file (open takes one too).", .run = RunOpen},
    {.id = CommandId::SetProgramDefaults, .menuText = "Set Program Defa&ults", .hint = "Set the program defaults",
     .group = G::File, .separatorBefore = true, .cliName = "defaults-set", .cliUsage = "control=value ...",
     .cliHelp = "Set Program Defaults: set controls by name (as defaults-show names them) in order, with the\n"
         "dialog's checks; only defaults-save writes the file (a camera model is set up, and saved, at once).",
     .run = RunDefaultsSet, .toolBarPlace = 10, .toolBarGapBefore = true},
    {.id = CommandId::SetAutoProcessing, .menuText = "Set Auto &Processing",
     .hint = "Choose the processing applied to each new exposure", .group = G::File, .cliName = "auto-processing",
     .cliUsage = "weak|strong|user|none [power=..] [background=0|1] [high-pass=0|1] [unsharp=0|1]\n"
         "    [radius=..] [unsharp-power=..]",
     .cliHelp = "Set the automatic processing choices and save the settings (power 2-29, radius 2-6,\n"
         "unsharp-power 1-6; any number out of range changes nothing).",
     .run = RunSetAutoProcessing},
    {.id = CommandId::PrintSetup, .menuText = "P&rint setup...", .hint = "Choose the printer and page",
     .group = G::File, .separatorBefore = true, .windowOnly = true},
    {.id = CommandId::Print, .menuText = "&Print...", .hint = "Print the displayed image", .group = G::File,
     .windowOnly = true},
    {.id = CommandId::Exit, .menuText = "E&xit", .hint = "Quit the program", .group = G::File,
     .separatorBefore = true, .windowOnly = true, .keys = {"Alt+X", "Alt+Shift+X"}, .keysOffMenu = true},
    {.id = CommandId::UndoLastFilter, .menuText = "&Undo Last Filter",
     .hint = "Restore the image as it was before the last filter", .group = G::Edit, .cliName = "undo",
     .cliHelp = "Undo Last Filter: restore the image kept before the last filter.", .run = RunUndoLastFilter},
    {.id = CommandId::UndoLastColourFilter, .menuText = "Undo &Last Colour Filter",
     .hint = "Restore the colour image as it was before the last colour filter", .group = G::Edit,
     .cliName = "colour-undo",
     .cliHelp = "Undo Last Colour Filter: restore the colour planes kept before the last colour filter.",
     .run = RunUndoLastColourFilter, .keys = {"CTL+V"}},
    {.id = CommandId::Copy, .menuText = "&Copy", .hint = "Copy the displayed image to the clipboard",
     .group = G::Edit, .separatorBefore = true, .enabled = HasBitmap, .windowOnly = true, .keys = {"Shift+Ins"}},
    {.id = CommandId::Label, .menuText = "&Label    ", .hint = "Write a text label into the top of the image",
     .group = G::Edit, .separatorBefore = true, .cliName = "label", .cliUsage = "TEXT [date=0|1]",
     .cliHelp = "Label: write TEXT (at most 30 characters) into the top 10 rows, with a UT date stamp on date=1.",
     .run = RunLabel},
    {.id = CommandId::ProcessingHistory, .menuText = "Processing &History",
     .hint = "Show the processing steps applied to the image", .group = G::Edit, .cliName = "history",
     .cliHelp = "Print the processing history as the Processing History box shows it.", .run = RunProcessingHistory},
    {.id = CommandId::FitsDetails, .menuText = "&Show/Edit Current Image FITS details",
     .hint = "Show or edit the FITS details of the current image", .group = G::Edit, .cliName = "fits-set",
     .cliUsage = "object=.. observer=.. telescope=.. instrument=.. origin=.. filter=.. exptime=.. focallen=..\n"
         "    aperture=.. date=.. time=.. history=.. comment=.. ut-offset=..",
     .cliHelp = "Set FITS header values as the FITS details dialog does (texts cut to their fields;\n"
         "a number that does not parse keeps the old value; ut-offset within -11 to 11).",
     .run = RunFitsSet},
    {.id = CommandId::FitToScreen, .menuText = "&Fit to Screen",
     .hint = "Scale the image to the window height", .group = G::View, .checked = FitToScreenOn, .windowOnly = true,
     .keys = {"CTL+T"}},
    {.id = CommandId::CentreImage, .menuText = "&Centre Image", .hint = "Centre the image in the window",
     .group = G::View, .checked = CentreImageOn, .windowOnly = true},
    {.id = CommandId::ShowImageCentre, .menuText = "Show Image Centre",
     .hint = "Mark the centre of the image with a cross", .group = G::View, .cliName = "show-centre",
     .cliHelp = "Show Image Centre: switch the centre cross on or off.", .run = RunShowImageCentre,
     .checked = ShowCentreOn},
    {.id = CommandId::FalseColour, .menuText = "False Colour P&alette", .hint = "Show the image in false colour",
     .group = G::View, .separatorBefore = true, .cliName = "false-colour",
     .cliHelp = "False Colour Palette: switch it on or off and rebuild the display.", .run = RunFalseColour,
     .checked = FalseColourOn},
    {.id = CommandId::AutoContrast, .menuText = "&Auto contrast stretch image",
     .hint = "Stretch the display contrast from the sky level", .group = G::View, .cliName = "auto-contrast",
     .cliHelp = "Auto contrast stretch: switch it on or off and rebuild the display.", .run = RunAutoContrast,
     .checked = AutoContrastOn},
    {.id = CommandId::StretchDisplayDialog, .menuText = "Stretch Display",
     .hint = "Set the display stretch of mono images", .group = G::View, .windowOnly = true, .toolBarPlace = 9},
    {.id = CommandId::MirrorImage, .menuText = "&Mirror Image", .hint = "Reverse the image left to right",
     .group = G::View, .separatorBefore = true, .cliName = "mirror",
     .cliHelp = "Mirror Image: reverse every row left to right (the label band stays).", .run = RunMirrorImage},
    {.id = CommandId::FlipImage, .menuText = "Flip Image", .hint = "Turn the image upside down", .group = G::View,
     .cliName = "flip", .cliHelp = "Flip Image: turn the image upside down (the label band stays).",
     .run = RunFlipImage},
    {.id = CommandId::CameraInterface, .menuText = "Qel Vesk Camera &Interface",
     .hint = "Open the camera control", .group = G::Camera, .keys = {"CTL+Z"}, .toolBarPlace = 5,
     .toolBarGapBefore = true},
    {.id = CommandId::SubFrameSelection, .menuText = "Sub-Frame Selection",
     .hint = "Choose the sub-frame read from the sensor", .group = G::Camera, .separatorBefore = true,
     .cliName = "subframe-size", .cliUsage = "2|3|4",
     .cliHelp = "Sub-Frame Selection: centre the sub-frame and take the half, third or quarter frame size.",
     .run = RunSubFrameSelection},
    {.id = CommandId::PickSubFrame, .menuText = "Pick Sub-Frame", .hint = "Pick the sub-frame centre with the mouse",
     .group = G::Camera, .cliName = "subframe-pick", .cliHelp = "Pick Sub-Frame: the next left click picks its centre.",
     .run = RunPickSubFrame},
    {.id = CommandId::DefaultSubFrameCentre, .menuText = "Default Sub-Frame Centre",
     .hint = "Put the sub-frame centre at the sensor centre", .group = G::Camera,
     .cliName = "subframe-centre-default", .cliHelp = "Default Sub-Frame Centre: the centre of the frame.",
     .run = RunDefaultSubFrameCentre},
    {.id = CommandId::FocusFrameCentre, .menuText = "Focus Frame Centre",
     .hint = "Pick the focus frame centre with the mouse", .group = G::Camera, .separatorBefore = true,
     .cliName = "focus-pick", .cliHelp = "Focus Frame Centre: the next left click picks the focus frame.",
     .run = RunFocusFrameCentre},
    {.id = CommandId::DefaultFocusFrameCentre, .menuText = "Default Focus Frame Centre",
     .hint = "Put the focus frame centre at the sensor centre", .group = G::Camera,
     .cliName = "focus-centre-default", .cliHelp = "Default Focus Frame Centre: the focus frame round the centre.",
     .run = RunDefaultFocusFrameCentre},
    {.id = CommandId::CreateHotPixelMap, .menuText = "Create Hot Pixel Map",
     .hint = "Create a hot pixel map from a dark frame", .group = G::Camera, .separatorBefore = true,
     .cliName = "hot-pixels-find", .cliUsage = "[threshold=N]",
     .cliHelp = "Scan the image (a dark frame) for hot pixels at or above N (5000 to 65535; the last threshold).",
     .run = RunFindHotPixels},
    {.id = CommandId::AutoGuiderCamera, .menuText = "AutoGuider Camera ",
     .hint = "Open the autoguider camera", .group = G::Guiding, .keys = {"CTL+G"}, .toolBarPlace = 6},
    {.id = CommandId::PickGuideStar, .menuText = "Pic&k Guide Star",
     .hint = "Pick the guide star with the mouse", .group = G::Guiding, .separatorBefore = true,
     .cliName = "pick-star", .cliHelp = "Pick Guide Star: switch star picking on or off.", .run = RunPickGuideStar,
     .checked = StarPickOn, .keys = {"CTL+K"}},
    {.id = CommandId::StartAutoGuiding, .menuText = "Start Auto-Guiding",
     .hint = "Guide the telescope with the main camera", .group = G::Guiding, .enabled = TelescopeGuidingChosen},
    {.id = CommandId::TrainAutoGuiding, .menuText = "Train Auto-Guiding",
     .hint = "Measure the telescope drive rates for guiding", .group = G::Guiding, .enabled = TelescopeGuidingChosen},
    {.id = CommandId::TelescopeControl, .menuText = "Telescope &Control", .hint = "Move the telescope",
     .group = G::Guiding, .separatorBefore = true, .enabled = TelescopeGuidingChosen, .toolBarPlace = 27},
    {.id = CommandId::NormalStretch, .menuText = "&Normal Stretch   ",
     .hint = "Stretch the image linearly between its black and white levels", .group = G::Process,
     .cliName = "stretch-normal", .cliUsage = "black=B white=W",
     .cliHelp = "Normal Stretch: black level 0 to 255, white level 1 to 300.", .run = RunNormalStretch,
     .keys = {"Ctl+N"}, .toolBarPlace = 17, .toolBarGapBefore = true},
    {.id = CommandId::PowerLawStretch, .menuText = "&Power Law Stretch",
     .hint = "Stretch the image with a power law", .group = G::Process, .cliName = "stretch-power",
     .cliUsage = "p=P", .cliHelp = "Power Law Stretch with power 0.1 to 3.0.", .run = RunPowerLawStretch,
     .toolBarPlace = 19},
    {.id = CommandId::SineLawStretch, .menuText = "&Sine Law Stretch", .hint = "Stretch the image with a sine law",
     .group = G::Process, .cliName = "stretch-sine", .cliHelp = "Sine Law Stretch.", .run = RunSineLawStretch},
    {.id = CommandId::RemoveBackground, .menuText = "&Remove Background    ",
     .hint = "Remove the sky background gradient", .group = G::Process, .cliName = "remove-background",
     .cliHelp = "Remove Background below the display black level (the level of the last display).",
     .run = RunRemoveBackground, .keys = {"Ctl+B"}, .toolBarPlace = 20},
    {.id = CommandId::NonLinearStretch, .menuText = "N&on-Linear Stretch   ",
     .hint = "Stretch the faint parts of the image", .group = G::Process, .cliName = "stretch-nonlinear",
     .cliUsage = "power=X", .cliHelp = "Non-Linear Stretch with power 2 to 50.", .run = RunNonLinearStretch,
     .keys = {"Ctl+L"}, .toolBarPlace = 18},
    {.id = CommandId::LogarithmicStretch, .menuText = "&Logarithmic Stretch",
     .hint = "Stretch the image logarithmically", .group = G::Process, .cliName = "stretch-log",
     .cliHelp = "Logarithmic Stretch.", .run = RunLogarithmicStretch},
    {.id = CommandId::AntilogarithmicStretch, .menuText = "&Antilogarithmic Stretch",
     .hint = "Stretch the image antilogarithmically", .group = G::Process, .cliName = "stretch-antilog",
     .cliHelp = "Antilogarithmic Stretch.", .run = RunAntilogarithmicStretch},
    {.id = CommandId::InvertToNegative, .menuText = "&Invert image to Negative",
     .hint = "Make a negative of the image", .group = G::Process, .cliName = "invert",
     .cliHelp = "Invert image to Negative.", .run = RunInvertToNegative},
    {.id = CommandId::SubtractDarkFrame, .menuText = "&Subtract Image (Dark Frame)  ",
     .hint = "Subtract the dark frame", .group = G::Process, .separatorBefore = true, .cliName = "subtract-dark",
     .cliUsage = "FILE", .cliHelp = "Subtract the dark frame in raw FILE from the image (never below 0).",
     .run = RunSubtractDarkFrame, .keys = {"Ctl+D"},
     .toolBarPlace = 24, .toolBarGapBefore = true},
    {.id = CommandId::ApplyFlatField, .menuText = "Apply &Flat Field", .hint = "Divide the image by the flat field",
     .group = G::Process, .cliName = "flat-field", .cliUsage = "FILE",
     .cliHelp = "Divide the image by the flat field in raw flat FILE, scaled by the flat's mean.",
     .run = RunApplyFlatField, .toolBarPlace = 25},
    {.id = CommandId::MergeImages, .menuText = "Merge two Images &together   ",
     .hint = "Merge another image with this one", .group = G::Process, .cliName = "merge-start",
     .cliHelp = "Start merging: mark the image (merge-mark), open the second image, mark it, then merge.",
     .run = RunStartMerge, .checked = MergeModeOn, .keys = {"Ctl+M"}, .toolBarPlace = 26},
    {.id = CommandId::ApplyHotPixelMap, .menuText = "Apply Hot Pixel Map",
     .hint = "Repair the hot pixels of the map", .group = G::Process, .cliName = "hot-pixels-apply",
     .cliHelp = "Apply Hot Pixel Map: each listed pixel becomes the mean of its four neighbours.",
     .run = RunApplyHotPixelMap, .toolBarPlace = 22},
    {.id = CommandId::Photometry, .menuText = "&Photometry of Image",
     .hint = "Measure star brightness with the mouse", .group = G::Process, .separatorBefore = true,
     .cliName = "photometry", .cliUsage = "object=X,Y comparison=X,Y background=X,Y [radius=0|2|3|4|6|8]",
     .cliHelp = "Photometry: box sums around the three points (radius 4 unless given); prints the object,\n"
         "comparison and background means and the magnitude difference as the dialog shows them.",
     .run = RunPhotometry, .checked = PhotometryOpen, .toolBarPlace = 11, .toolBarGapBefore = true},
    {.id = CommandId::IntensityPlot3d, .menuText = "3-D &Intensity Plot",
     .hint = "Plot the intensity around a point in 3-D", .group = G::Process, .cliName = "plot-3d",
     .cliHelp = "3-D Intensity Plot: print each trace's k, image row, first x and the 696 plotted y values.",
     .run = RunPlot3d},
    {.id = CommandId::IntensityPlotRow, .menuText = "Intensity Plot of Current R&ow",
     .hint = "Plot the intensity along an image row", .group = G::Process, .cliName = "row-plot",
     .cliUsage = "[row=N]", .cliHelp = "Row plot of row N (250 unless given): print the row, then each point 'x y'.",
     .run = RunRowPlot},
    {.id = CommandId::Histogram, .menuText = "&Histogram", .hint = "Show the image histogram", .group = G::Process,
     .cliName = "histogram",
     .cliHelp = "Histogram of the displayed picture: print the dialog's listing and the 256 drawn bar heights.",
     .run = RunHistogram, .keys = {"Ctrl+H"}, .keysOffMenu = true},
    {.id = CommandId::ShowValues, .menuText = "Show &Values", .hint = "Show the pixel values under the mouse",
     .group = G::Process, .cliName = "values", .cliUsage = "x=N y=N",
     .cliHelp = "Show Values at column x, row y: print x, y, R, G, B and Lum as the dialog shows them.",
     .run = RunShowValues, .toolBarPlace = 12, .toolBarGapBefore = true},
    {.id = CommandId::UnsharpMask, .menuText = "&Unsharp masking HPF   ",
     .hint = "Sharpen the image by unsharp masking", .group = G::Filters, .cliName = "unsharp",
     .cliUsage = "radius=R power=P", .cliHelp = "Unsharp masking: radius 1 to 7, power 1 to 7.",
     .run = RunUnsharpMask, .keys = {"Ctl+U"}, .toolBarPlace = 21},
    {.id = CommandId::HighPassLowPower, .menuText = "&High Pass, Low Power", .hint = "Sharpen the image gently",
     .group = G::Filters, .cliName = "highpass-low", .cliHelp = "High Pass, Low Power.", .run = RunHighPassLowPower},
    {.id = CommandId::HighPassHighPower, .menuText = "High Pass, High &Power", .hint = "Sharpen the image strongly",
     .group = G::Filters, .cliName = "highpass-high", .cliHelp = "High Pass, High Power.",
     .run = RunHighPassHighPower},
    {.id = CommandId::SmootherSharper, .menuText = "&Smoother/Sharper Filter",
     .hint = "Smooth or sharpen the image by a chosen amount", .group = G::Filters, .cliName = "smoother-sharper",
     .cliHelp = "Smoother/Sharper Filter.", .run = RunSmootherSharper},
    {.id = CommandId::MedianFilter, .menuText = "&Median Filter - Noise Reduction",
     .hint = "Reduce noise with a median filter", .group = G::Filters, .separatorBefore = true, .cliName = "median",
     .cliUsage = "radius=R power=P", .cliHelp = "Median Filter: radius 1 to 3, power in tenths 1 to 10.",
     .run = RunMedianFilter, .toolBarPlace = 23},
    {.id = CommandId::GaussianSmoother, .menuText = "&Gaussian Smoother Filter",
     .hint = "Smooth the image with a Gaussian filter", .group = G::Filters, .cliName = "gaussian",
     .cliHelp = "Gaussian Smoother Filter.", .run = RunGaussianSmoother},
    {.id = CommandId::WeightedMeanSmoother, .menuText = "Low Pass &Weighted Mean &Smoother",
     .hint = "Smooth the image with a weighted mean", .group = G::Filters, .cliName = "lowpass-mean",
     .cliHelp = "Low Pass Weighted Mean Smoother.", .run = RunWeightedMeanSmoother},
    {.id = CommandId::BasRelief, .menuText = "&Bas Relief Generator", .hint = "Make a bas relief of the image",
     .group = G::Filters, .separatorBefore = true, .cliName = "bas-relief", .cliHelp = "Bas Relief Generator.",
     .run = RunBasRelief},
    {.id = CommandId::GradientFilter, .menuText = "Gradient &Filter", .hint = "Show the image gradient",
     .group = G::Filters, .cliName = "gradient",
     .cliHelp = "Gradient Filter: subtract the background estimated from four 40 x 40 corner patches (moved\n"
         "inside frames smaller than 640 x 490).",
     .run = RunGradientFilter},
    {.id = CommandId::SynthesizeColour, .menuText = "&Synthesize Colour Image",
     .hint = "Build the colour image from the colour-matrix frame", .group = G::Colour,
     .cliName = "synthesize", .cliUsage = "[daylight=0|1] [ir=0|1] [auto-process=0|1]",
     .cliHelp = "Synthesize Colour Image: the raw colour-matrix frame becomes colour planes and luminance,\n"
         "then the stored automatic processing and anti-alias unless auto-process=0.",
     .run = RunSynthesizeColour, .keys = {"CTL+C"}, .toolBarPlace = 13},
    {.id = CommandId::CreateMonoImage, .menuText = "Create Mono Image from Raw Data",
     .hint = "Make a single-filter image from the raw frame", .group = G::Colour, .cliName = "single-filter",
     .cliUsage = "1..4",
     .cliHelp = "Create Mono Image from Raw Data: keep one cell of each 2 x 2 cell (1 top left, 2 top right,\n"
         "3 bottom left, 4 bottom right) and fill the rest from it; full unbinned raw frames only.",
     .run = RunSingleFilter},
    {.id = CommandId::UseRedPixels, .menuText = "Use Red Pixels", .hint = "Make a mono image from the red pixels",
     .group = G::Colour, .cliName = "use-red-pixels",
     .cliHelp = "Use Red Pixels: the same as mono-extract red.", .run = RunUseRedPixels},
    {.id = CommandId::UseGreenPixels, .menuText = "Use Green Pixels",
     .hint = "Make a mono image from the green pixels", .group = G::Colour, .cliName = "use-green-pixels",
     .cliHelp = "Use Green Pixels: the same as mono-extract green.", .run = RunUseGreenPixels},
    {.id = CommandId::UseBluePixels, .menuText = "Use Blue Pixels", .hint = "Make a mono image from the blue pixels",
     .group = G::Colour, .cliName = "use-blue-pixels",
     .cliHelp = "Use Blue Pixels: the same as mono-extract blue.", .run = RunUseBluePixels},
    {.id = CommandId::SetColourBalance, .menuText = "Set Colour &Balance", .hint = "Set the colour balance",
     .group = G::Colour, .separatorBefore = true, .cliName = "colour-balance",
     .cliUsage = "[red=START,MIN,MAX] [green=...] [blue=...] [saturation=1..9]",
     .cliHelp = "Set Colour Balance: per colour a start (-10 to 100; not 0: the colour is lowered by 256 x start),\n"
         "else min (-10 to 254) and max (up to 255) in steps of 256; the saturation factor is stored.",
     .run = RunColourBalance, .keys = {"CTL+E"}, .toolBarPlace = 14},
    {.id = CommandId::AntiAliasFilter, .menuText = "&Apply Anti-Alias Filter",
     .hint = "Smooth colour artefacts of the colour matrix", .group = G::Colour, .cliName = "anti-alias",
     .cliHelp = "Apply Anti-Alias Filter to a colour-converted image.", .run = RunAntiAlias, .toolBarPlace = 15},
    {.id = CommandId::AdjustChromatism, .menuText = "Adjust Chroma&tism",
     .hint = "Shift the colour planes against each other", .group = G::Colour, .cliName = "chromatism",
     .cliUsage = "[red-x=N] [red-y=N] [blue-x=N] [blue-y=N]",
     .cliHelp = "Adjust Chromatism: each pixel of red (blue) takes the value N pixels right (x) or down (y),\n"
         "N from -3 to 3.",
     .run = RunChromatism},
    {.id = CommandId::ColourOverloadSmoothing, .menuText = "Colour &Overload Smoothing",
     .hint = "Smooth overloaded colour pixels", .group = G::Colour, .cliName = "colour-overload",
     .cliHelp = "Colour Overload Smoothing: rebuild the colour of saturated stars, then smooth the planes.",
     .run = RunColourOverload},
    {.id = CommandId::NonLinearColourStretch, .menuText = "Non-Linear Colour Stretch",
     .hint = "Stretch the faint parts of the colour image", .group = G::Colour,
     .cliName = "colour-stretch", .cliUsage = "power=X",
     .cliHelp = "Non-Linear Colour Stretch of a colour-converted image with power 2 to 50.",
     .run = RunNonLinearColourStretch},
    {.id = CommandId::LowPassColourFilter, .menuText = "&Low Pass Colour Filter ",
     .hint = "Smooth the colour planes", .group = G::Colour, .cliName = "colour-lowpass",
     .cliHelp = "Low Pass Colour Filter: the colour planes through the 3 x 3 smoothing kernel.",
     .run = RunLowPassColour, .toolBarPlace = 16},
    {.id = CommandId::BalanceColourHistogram, .menuText = "Balance Colour &Histogram",
     .hint = "Balance the colour histograms", .group = G::Colour, .cliName = "balance-histogram",
     .cliHelp = "Balance Colour Histogram: raise the colour whose histogram peak lies lowest.",
     .run = RunBalanceColourHistogram},
    {.id = CommandId::Help, .menuText = "Help in using Qel_Vesk_USB", .hint = "Show the manual", .group = G::Help,
     .windowOnly = true},
    {.id = CommandId::About, .menuText = "About Qel_Vesk_USB", .hint = "Show the program version", .group = G::Help,
     .windowOnly = true},
    {.id = CommandId::StartAutoGuidingPopup, .menuText = "Start AutoGuiding",
     .hint = "Guide the telescope with the autoguider camera", .group = G::Popup},
    {.id = CommandId::SetCameraType, .menuText = "Set Camera Type", .hint = "Set up the current camera model",
     .group = G::Popup, .cliName = "camera-type", .cliUsage = "[K1C|K2C|K3C|K4C|K5C|K7]",
     .cliHelp = "Set Camera Type: choose the sensor model, recompute the frame geometry, save the settings.",
     .run = RunSetCameraType},
    {.id = CommandId::RealizePalette, .menuText = "", .hint = "Realize the display palette and adjust the scroller",
     .group = G::Internal, .windowOnly = true},
    {.id = CommandId::RebuildDisplay, .menuText = "", .hint = "Rebuild the displayed bitmap", .group = G::Internal,
     .windowOnly = true},
    {.id = CommandId::StretchDisplayToggle, .menuText = "", .hint = "Switch the display stretch on or off",
     .group = G::Internal, .cliName = "stretch-display",
     .cliHelp = "Switch the display stretch on or off and rebuild the display.", .run = RunStretchDisplayToggle,
     .toolBarPlace = 7, .toolBarGapBefore = true},
    {.id = CommandId::StretchDisplayOn, .menuText = "", .hint = "Switch the display stretch on",
     .group = G::Internal, .cliName = "stretch-display-on", .cliHelp = "Switch the display stretch on.",
     .run = RunStretchDisplayOn, .toolBarPlace = 8},
    {.id = CommandId::StretchDisplayOff, .menuText = "", .hint = "Switch the display stretch off",
     .group = G::Internal, .cliName = "stretch-display-off", .cliHelp = "Switch the display stretch off.",
     .run = RunStretchDisplayOff},
    {.id = CommandId::StretchDisplayRefresh, .menuText = "", .hint = "Refresh the display stretch",
     .group = G::Internal, .cliName = "rebuild-display",
     .cliHelp = "Rebuild the display: write the temporary bitmap as the main window does and print its path.",
     .run = RunRebuildDisplay},
    {.id = CommandId::SettingsShow, .menuText = "", .hint = "Print every stored setting", .group = G::None,
     .cliName = "settings-show", .cliHelp = "Print every stored setting as name=value, in file order.",
     .run = RunSettingsShow},
    {.id = CommandId::SettingsSet, .menuText = "", .hint = "Set stored settings by name", .group = G::None,
     .cliName = "settings-set", .cliUsage = "name=value ...",
     .cliHelp = "Set settings by name (as settings-show names them), then save the settings file.\n"
         "Flags take y/n (or 1/0); filterNames takes eight names separated by commas.",
     .run = RunSettingsSet},
    {.id = CommandId::SettingsLoad, .menuText = "", .hint = "Read the settings file again", .group = G::None,
     .cliName = "settings-load", .cliHelp = "Read the settings file again.", .run = RunSettingsLoad},
    {.id = CommandId::SettingsSave, .menuText = "", .hint = "Write the settings file", .group = G::None,
     .cliName = "settings-save", .cliHelp = "Write the settings file from the current settings.",
     .run = RunSettingsSave},
    {.id = CommandId::ShowGeometry, .menuText = "", .hint = "Print the frame geometry", .group = G::None,
     .cliName = "geometry", .cliHelp = "Print every frame geometry value as name=value.", .run = RunShowGeometry},
    {.id = CommandId::ShowMessageNumber, .menuText = "", .hint = "Show a numbered message", .group = G::None,
     .cliName = "message", .cliUsage = "N [text=TEXT]", .cliHelp = "Show numbered message N (50 shows TEXT).",
     .run = RunShowMessage},
    {.id = CommandId::ExportDisplay, .menuText = "", .hint = "Write a copy of the displayed bitmap",
     .group = G::None, .cliName = "export-display", .cliUsage = "FILE",
     .cliHelp = "Write a copy of the displayed bitmap (rebuilt first when there is none) to FILE.",
     .run = RunExportDisplay},
    {.id = CommandId::ChannelView, .menuText = "", .hint = "Choose how a colour image is shown", .group = G::None,
     .cliName = "channel-view", .cliUsage = "N|L|R|G|B",
     .cliHelp = "Show a colour image in full colour (N), as luminance (L) or as one channel, and rebuild.",
     .run = RunChannelView},
    {.id = CommandId::DisplayStretchPower, .menuText = "", .hint = "Set the display stretch power", .group = G::None,
     .cliName = "display-stretch-power", .cliUsage = "K",
     .cliHelp = "Set the display stretch power (2 to 50) and rebuild a mono display.", .run = RunDisplayStretchPower},
    {.id = CommandId::DumpImage, .menuText = "", .hint = "Write the frame's pixels", .group = G::None,
     .cliName = "dump-image", .cliUsage = "FILE [plane=image|red|green|blue|luminance]",
     .cliHelp = "Write one buffer of the current frame as width x height 16-bit little-endian pixels, no header,\n"
         "and print 'width height'. The colour planes and luminance need a colour-converted image.",
     .run = RunDumpImage},
    {.id = CommandId::PixelValues, .menuText = "", .hint = "Print the values at one pixel", .group = G::None,
     .cliName = "pixels", .cliUsage = "x=N y=N",
     .cliHelp = "Print 'image=V red=V green=V blue=V' at column x, row y of the current frame.",
     .run = RunPixelValues},
    {.id = CommandId::FitsShow, .menuText = "", .hint = "Print the FITS header values", .group = G::None,
     .cliName = "fits-show", .cliHelp = "Print the FITS header values as name=value.", .run = RunFitsShow},
    {.id = CommandId::AutoProcessNow, .menuText = "", .hint = "Run the automatic processing", .group = G::None,
     .cliName = "auto-process",
     .cliHelp = "Run the automatic processing chosen in the settings (see auto-processing).",
     .run = RunAutoProcessNow},
    {.id = CommandId::CameraOpen, .menuText = "", .hint = "Open the camera", .group = G::None,
     .cliName = "camera-open",
     .cliHelp = "Search the USB bus (or the simulated devices) for the camera and the filter wheel, read the\n"
         "firmware version. Later camera commands open the camera themselves when needed.",
     .run = RunCameraOpen},
    {.id = CommandId::CameraInfo, .menuText = "", .hint = "Print the camera's details", .group = G::None,
     .cliName = "camera-info", .cliHelp = "Print the camera model, PID, firmware version, cooler and filter wheel.",
     .run = RunCameraInfo},
    {.id = CommandId::Firmware, .menuText = "", .hint = "Read the firmware version", .group = G::None,
     .cliName = "firmware", .cliHelp = "Read and print the camera's firmware version.", .run = RunFirmware},
    {.id = CommandId::ClearSensor, .menuText = "", .hint = "Clear the sensor", .group = G::None, .cliName = "clear",
     .cliHelp = "Clear the sensor.", .run = RunClearSensor},
    {.id = CommandId::Readout, .menuText = "", .hint = "Expose and read a frame", .group = G::None,
     .cliName = "readout", .cliUsage = "mode=1..5 exposure-ms=N",
     .cliHelp = "Clear, expose and read a frame into the image: 1 full resolution, 2 binned 2x2, 3 binned 3x3,\n"
         "4 binned 4x4, 5 the user sub-frame. Up to 1000 ms the camera times the exposure.",
     .run = RunReadout},
    {.id = CommandId::GuideBox, .menuText = "", .hint = "Expose and read the guide box", .group = G::None,
     .cliName = "guide-box", .cliUsage = "exposure-ms=N [bin-focus=0|1]",
     .cliHelp = "Clear, expose and read the 128 x 128 guide box into the first pixels of the image.",
     .run = RunGuideBox},
    {.id = CommandId::GuiderFrame, .menuText = "", .hint = "Expose and read the guider sensor", .group = G::None,
     .cliName = "guider-frame", .cliUsage = "exposure-ms=N [binned=0|1] [pgm=FILE]",
     .cliHelp = "Expose and read the guider sensor; the frame becomes the image, or goes to FILE as a 16-bit PGM.",
     .run = RunGuiderFrame},
    {.id = CommandId::Cooler, .menuText = "", .hint = "Set the cooler", .group = G::None, .cliName = "cooler",
     .cliUsage = "[on=0|1] [setpoint=N] [max=0|1]",
     .cliHelp = "Cooling On, the set point (-40 to 35) and Set Maximum Cooling, then send them to the camera\n"
         "and print the temperature. In maximum cooling the set point stays -40 and cooling stays on.",
     .run = RunCooler},
    {.id = CommandId::CoolerRead, .menuText = "", .hint = "Read the cooler", .group = G::None,
     .cliName = "cooler-read", .cliHelp = "Send the cooler command and print the temperature.", .run = RunCoolerRead},
    {.id = CommandId::CoolerMonitor, .menuText = "", .hint = "Monitor the cooler", .group = G::None,
     .cliName = "cooler-monitor", .cliUsage = "seconds=N",
     .cliHelp = "Monitor the cooler every half second for N seconds.", .run = RunCoolerMonitor},
    {.id = CommandId::Filter, .menuText = "", .hint = "Move the filter wheel", .group = G::None, .cliName = "filter",
     .cliUsage = "first|next|prev|N",
     .cliHelp = "Move the filter wheel (USB wheel, else the serial relay on the serial port setting).\n"
         "Positions above 7 have no wheel command: nothing is sent.",
     .run = RunFilter},
    {.id = CommandId::GuideOutputs, .menuText = "", .hint = "Set the guide outputs", .group = G::None,
     .cliName = "guide-outputs", .cliUsage = "bits=N",
     .cliHelp = "Set the four guide outputs (1, 2, 4, 8; 0 releases all).", .run = RunGuideOutputs},
    {.id = CommandId::SerialWrite, .menuText = "", .hint = "Write to the camera's serial port", .group = G::None,
     .cliName = "serial-write", .cliUsage = "port=0..2 text=TEXT",
     .cliHelp = "Send TEXT out of the camera's serial port.", .run = RunSerialWrite},
    {.id = CommandId::SerialRead, .menuText = "", .hint = "Read from the camera's serial port", .group = G::None,
     .cliName = "serial-read", .cliUsage = "port=0..2 count=N",
     .cliHelp = "Read N bytes from the camera's serial port and print them.", .run = RunSerialRead},
    {.id = CommandId::FindCentre, .menuText = "", .hint = "Find the centre of a star", .group = G::None,
     .cliName = "find-centre", .cliUsage = "x=N y=N [source=main|guider]",
     .cliHelp = "Find the star near (x, y) in the main image or the guider frame; print its centre with tenths.",
     .run = RunFindCentre},
    {.id = CommandId::GuideSubFrame, .menuText = "", .hint = "Place the guide sub-frame", .group = G::None,
     .cliName = "guide-subframe", .cliUsage = "x=N y=N",
     .cliHelp = "Place the 128 x 128 guide sub-frame round the star at (x, y); print its origin and offsets.",
     .run = RunGuideSubFrame},
    {.id = CommandId::ScopePulse, .menuText = "", .hint = "LX200 guide pulse", .group = G::None,
     .cliName = "scope-pulse", .cliUsage = "n|s|e|w ms=N",
     .cliHelp = "LX200 guide pulse: guide rate, move, N ms, quit.", .run = RunScopePulse},
    {.id = CommandId::ScopeRate, .menuText = "", .hint = "LX200 hand-slew rate", .group = G::None,
     .cliName = "scope-rate", .cliUsage = "slew|find|centre|guide",
     .cliHelp = "Rate of the following scope-move.", .run = RunScopeRate},
    {.id = CommandId::ScopeMove, .menuText = "", .hint = "Start an LX200 hand slew", .group = G::None,
     .cliName = "scope-move", .cliUsage = "n|s|e|w",
     .cliHelp = "Start a hand slew at the chosen rate (the drive direction letters apply).", .run = RunScopeMove},
    {.id = CommandId::ScopeStop, .menuText = "", .hint = "Stop the LX200 hand slew", .group = G::None,
     .cliName = "scope-stop", .cliHelp = "Stop the hand slew.", .run = RunScopeStop},
    {.id = CommandId::ScopeGoTo, .menuText = "", .hint = "LX200 GoTo a catalogue object", .group = G::None,
     .cliName = "scope-goto", .cliUsage = "messier=N|cngc=N|planet=NAME",
     .cliHelp = "GoTo Messier 1-110, CNGC 1-7815 or a planet; print the object information and the reply.",
     .run = RunScopeGoTo},
    {.id = CommandId::ScopeGoToCoords, .menuText = "", .hint = "LX200 GoTo coordinates", .group = G::None,
     .cliName = "scope-goto-coords", .cliUsage = "ra=HH:MM dec=sDD*MM",
     .cliHelp = "GoTo R.A. 0:00-23:59 and Dec. -89*59 to +89*59; print the object information and the reply.",
     .run = RunScopeGoToCoords},
    {.id = CommandId::AoStep, .menuText = "", .hint = "Step the AO unit", .group = G::None, .cliName = "ao-step",
     .cliUsage = "n|s|e|w count=N", .cliHelp = "Step the AO element N steps (the mount is bumped past 50).",
     .run = RunAoStep},
    {.id = CommandId::AoCentre, .menuText = "", .hint = "Centre the AO unit", .group = G::None,
     .cliName = "ao-centre", .cliHelp = "Re-centre the AO element and clear its counters.", .run = RunAoCentre},
    {.id = CommandId::AoCounters, .menuText = "", .hint = "Show the AO counters", .group = G::None,
     .cliName = "ao-counters", .cliHelp = "Print the AO unit's north-south and east-west step counters.",
     .run = RunAoCounters},
    {.id = CommandId::SocketPulse, .menuText = "", .hint = "Autoguider socket pulse", .group = G::None,
     .cliName = "socket-pulse", .cliUsage = "n|s|e|w ms=N",
     .cliHelp = "Pulse one relay of the autoguider socket for N ms.", .run = RunSocketPulse},
    {.id = CommandId::DefaultsShow, .menuText = "", .hint = "Print the program defaults dialog's controls",
     .group = G::None, .cliName = "defaults-show",
     .cliHelp = "Print every control of Set Program Defaults as control=value (the names defaults-set takes).",
     .run = RunDefaultsShow},
    {.id = CommandId::DefaultsSave, .menuText = "", .hint = "Save the program defaults", .group = G::None,
     .cliName = "defaults-save",
     .cliHelp = "Save Changes of Set Program Defaults: check the autosave folder, save the settings file and\n"
         "set up the telescope link again.",
     .run = RunDefaultsSave},
    {.id = CommandId::MonoExtract, .menuText = "", .hint = "Make a mono image from one filter colour",
     .group = G::None, .cliName = "mono-extract", .cliUsage = "red|green|blue",
     .cliHelp = "Use Red/Green/Blue Pixels: fill each cell of the raw frame from the pixels of one colour.",
     .run = RunMonoExtract},
    {.id = CommandId::ColourHistogram, .menuText = "", .hint = "Show the colour histogram peaks", .group = G::None,
     .cliName = "colour-histogram",
     .cliHelp = "Print each colour's histogram peak bin (512 values a bin) and the counts of the bins around it.",
     .run = RunColourHistogram},
    {.id = CommandId::AutoDark, .menuText = "", .hint = "Subtract the selected dark frame", .group = G::None,
     .cliName = "auto-dark",
     .cliHelp = "Subtract the selected dark frame as after each exposure (read once, again for a new path or size).",
     .run = RunAutoDark},
    {.id = CommandId::AutoFlat, .menuText = "", .hint = "Apply the selected flat field", .group = G::None,
     .cliName = "auto-flat",
     .cliHelp = "Apply the selected flat field as after each exposure (read once, again for a new path or size).",
     .run = RunAutoFlat},
    {.id = CommandId::MergeMark, .menuText = "", .hint = "Mark a merge point", .group = G::None,
     .cliName = "merge-mark", .cliUsage = "x=N y=N",
     .cliHelp = "Mark the merge point in image pixels: on the base image, or on the second image once opened.",
     .run = RunMergeMark},
    {.id = CommandId::MergeRun, .menuText = "", .hint = "Merge the two images", .group = G::None, .cliName = "merge",
     .cliUsage = "[average=1|special=1] [superimpose=1]",
     .cliHelp = "Merge the second image into the base image on the marks (sum, average or special average;\n"
         "superimpose: no shift).",
     .run = RunMergeImages},
    {.id = CommandId::MergeCancel, .menuText = "", .hint = "Stop merging", .group = G::None,
     .cliName = "merge-cancel", .cliHelp = "Stop merging without merging.", .run = RunCancelMerge},
    {.id = CommandId::HotPixelsSave, .menuText = "", .hint = "Save the hot pixel map", .group = G::None,
     .cliName = "hot-pixels-save", .cliUsage = "[FILE] [name=NAME]",
     .cliHelp = "Save the hot pixel map to FILE, or as NAME.HPM (the map name) in the autosave directory.",
     .run = RunSaveHotPixelMap},
    {.id = CommandId::MouseMode, .menuText = "", .hint = "Choose the mouse mode", .group = G::None,
     .cliName = "mode", .cliUsage = "star|focus|subframe|merge|photometry|none",
     .cliHelp = "Put the window's mouse in a mode (none leaves every mode, merging too).", .run = RunMouseMode},
    {.id = CommandId::Click, .menuText = "", .hint = "Click on the image", .group = G::None, .cliName = "click",
     .cliUsage = "x=N y=N [button=left|right] [scroll-x=N scroll-y=N]",
     .cliHelp = "A click in the window's client area at (x, y), with the view scrolled as given.",
     .run = RunClick},
    {.id = CommandId::Expose, .menuText = "", .hint = "Take pictures", .group = G::None, .cliName = "expose",
     .cliUsage = "[range=q|h|t|s|m] [value=N] [count=N] [average=0|1] [slew-sum=0|1] [alt-slew=0|1] [continuous=0|1]\n"
         "    [pause=N] [pause-unit=s|m] [autosave=0|1] [auto-dark=0|1] [auto-flat=0|1] [auto-process=0|1] [mode=1..5]\n"
         "    [cancel-after-ms=N] [guide=none|main|guider] [x=N y=N]",
     .cliHelp = "Take Photo with the camera dialog's settings and these changes: one frame, a series stacked on\n"
         "the picked star (averaged or summed), or a continuous run; one line per frame (mean, peak, saved file).\n"
         "guide=guider guides on the guider camera while the main camera exposes (the star at x, y of the guider\n"
         "frame); guide=main corrects on each frame read (the star at x, y of the frame); then the guided frames' RMS.",
     .run = RunExpose},
    {.id = CommandId::Focus, .menuText = "", .hint = "Run the focus loop", .group = G::None, .cliName = "focus",
     .cliUsage = "frames=N [stretch=1..50] [autochange=0|1]",
     .cliHelp = "Run N focus frames of the guide box; print the peak, the half level and the FWHM of each.",
     .run = RunFocus},
    {.id = CommandId::CameraDialogShow, .menuText = "", .hint = "Show the camera dialog's fields", .group = G::None,
     .cliName = "camera-dialog-show", .cliHelp = "Print every field the camera control dialog shows, name=value.",
     .run = RunCameraDialogShow},
    {.id = CommandId::GuideStep, .menuText = "", .hint = "Show one guiding decision", .group = G::None,
     .cliName = "guide-step", .cliUsage = "ref=X.T,Y.T star=X.T,Y.T [camera=main|guider]",
     .cliHelp = "The guiding decision for a star at `star` against `ref`: errors, directions, durations and the\n"
         "bytes a pulse would send; nothing is sent. The last direction of each axis carries to the next step.",
     .run = RunGuideStep},
    {.id = CommandId::GuideTrain, .menuText = "", .hint = "Train the guiding", .group = G::None, .cliName = "train",
     .cliUsage = "main|guider|ao [exposure-ms=N] [x=N y=N]",
     .cliHelp = "Train the guiding round the picked star (or the star at x, y): on the main camera or the guider\n"
         "the mount is pulsed each way and the rates and backlash found are kept; ao steps the AO element.",
     .run = RunTrain},
    {.id = CommandId::GuideRun, .menuText = "", .hint = "Guide the telescope", .group = G::None, .cliName = "guide",
     .cliUsage = "main|guider frames=N [exposure-ms=N] [x=N y=N] [target=mount|ao] [correct=0|1]",
     .cliHelp = "Guide on the main or the guider camera for N frames round the picked star (or the star at x, y;\n"
         "the guider's own pixels for the guider); the guider drives the mount or the AO unit. One line per frame\n"
         "(drift in pixels, pulses or AO steps sent), then the RMS drift. correct=0 measures without sending.",
     .run = RunGuide},
    {.id = CommandId::GuidingShow, .menuText = "", .hint = "Show the guiding state", .group = G::None,
     .cliName = "guiding-show",
     .cliHelp = "Print the guiding settings, the trained values and the last frame's errors and pulses, name=value.",
     .run = RunGuidingShow},
    {.id = CommandId::GuiderExpose, .menuText = "", .hint = "Take a guider frame", .group = G::None,
     .cliName = "guider-expose", .cliUsage = "range=h|t|s value=N",
     .cliHelp = "Set the guider exposure (hundredths 1..500, tenths 1..100, seconds 1..10) and take a guider frame,\n"
         "less the dark frame when it applies; print its peak and where it lies.",
     .run = RunGuiderExpose},
    {.id = CommandId::GuiderDark, .menuText = "", .hint = "Guider dark frame", .group = G::None,
     .cliName = "guider-dark", .cliUsage = "take|apply [on=0|1]",
     .cliHelp = "Take a guider dark frame with the guider exposure, or switch its subtraction on or off.",
     .run = RunGuiderDark},
};
// clang-format on

}  // namespace

std::span<const CommandEntry> Commands() { return kCommands; }

std::string MenuText(const CommandEntry& entry) {
  std::string text(entry.menuText);
  if (!entry.keysOffMenu && !entry.keys[0].empty()) (text += '\t') += entry.keys[0];
  return text;
}

std::string PortableKey(std::string_view shown) {
  while (!shown.empty() && shown.back() == ' ') shown.remove_suffix(1);
  std::string key(shown);
  if (key.size() >= 4 && (key.compare(0, 4, "Ctl+") == 0 || key.compare(0, 4, "CTL+") == 0)) key.replace(0, 3, "Ctrl");
  return key;
}

const CommandEntry* FindCommand(CommandId id) {
  for (const auto& entry : kCommands) {
    if (entry.id == id) return &entry;
  }
  return nullptr;
}

const CommandEntry* FindCommandByCliName(std::string_view name) {
  if (name.empty()) return nullptr;
  for (const auto& entry : kCommands) {
    if (entry.cliName == name) return &entry;
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
    case G::None:
      break;
  }
  return {};
}

bool CommandEnabled(const CommandEntry& entry, const ProgramState& state) {
  return entry.run && (!entry.enabled || entry.enabled(state));
}

CommandStatus RunCommand(const CommandEntry& entry, CommandContext& context, const CommandArgs& args) {
  if (!entry.run) {
    context.err << args.name << ": not available in this program yet\n";
    return CommandStatus::Refused;
  }
  // Whether the state allows the command is known only when it runs: an
  // earlier command may change it.
  if (!context.checkOnly && entry.enabled && !entry.enabled(context.state)) {
    context.err << args.name << ": not available in the program's current state\n";
    return CommandStatus::Refused;
  }
  return entry.run(context, args);
}

}  // namespace qv
