#pragma once
// Every command of the program by name. The values are the command numbers
// the menus, tool bar, accelerators and the window's own messages use; the
// command table (app/command_table.h) holds what each one is and does.

namespace qv {

enum class CommandId : int {
  // File
  Open = 24332,
  SaveRaw = 24333,
  SaveTiff = 24334,
  SaveFits = 24335,
  SaveRgbFits = 133,
  QuickSave = 24336,
  LoadNextAutosaved = 24337,
  SaveFlat = 127,
  DeleteFile = 13,
  EditAutosaveFitsText = 19,
  SelectDarkFrame = 104,
  SelectFlatField = 122,
  LoadHotPixelMap = 32102,
  SetProgramDefaults = 121,
  SetAutoProcessing = 24324,
  PrintSetup = 114,
  Print = 116,
  Exit = 24310,

  // Edit
  UndoLastFilter = 9,
  UndoLastColourFilter = 810,
  Copy = 17999,
  Label = 8,
  ProcessingHistory = 17,
  FitsDetails = 20,

  // View
  FitToScreen = 301,
  CentreImage = 303,
  ShowImageCentre = 129,
  FalseColour = 118,
  AutoContrast = 119,
  StretchDisplayDialog = 123,
  MirrorImage = 302,
  FlipImage = 304,

  // Camera
  CameraInterface = 12,
  SubFrameSelection = 124,
  PickSubFrame = 125,
  DefaultSubFrameCentre = 126,
  FocusFrameCentre = 25,
  DefaultFocusFrameCentre = 26,
  CreateHotPixelMap = 32101,

  // Guiding
  AutoGuiderCamera = 27,
  PickGuideStar = 21,
  StartAutoGuiding = 22,
  TrainAutoGuiding = 23,
  TelescopeControl = 24,

  // Process
  NormalStretch = 1,
  PowerLawStretch = 2,
  SineLawStretch = 172,
  RemoveBackground = 120,
  NonLinearStretch = 117,
  LogarithmicStretch = 102,
  AntilogarithmicStretch = 103,
  InvertToNegative = 105,
  SubtractDarkFrame = 110,
  ApplyFlatField = 115,
  MergeImages = 111,
  ApplyHotPixelMap = 101,
  Photometry = 14,
  IntensityPlot3d = 15,
  IntensityPlotRow = 16,
  Histogram = 6,
  ShowValues = 8124,

  // Filters
  UnsharpMask = 106,
  HighPassLowPower = 107,
  HighPassHighPower = 108,
  SmootherSharper = 109,
  MedianFilter = 3,
  GaussianSmoother = 4,
  WeightedMeanSmoother = 5,
  BasRelief = 7,
  GradientFilter = 18,

  // Colour
  SynthesizeColour = 8115,
  CreateMonoImage = 8117,
  UseRedPixels = 1101,
  UseGreenPixels = 1102,
  UseBluePixels = 1103,
  SetColourBalance = 8116,
  AntiAliasFilter = 8114,
  AdjustChromatism = 8119,
  ColourOverloadSmoothing = 8128,
  NonLinearColourStretch = 128,
  LowPassColourFilter = 8129,
  BalanceColourHistogram = 8130,

  // Help
  Help = 112,
  About = 113,

  // Pop-up menu 2
  StartAutoGuidingPopup = 171,
  SetCameraType = 16102,

  // Sent by the program to itself
  RealizePalette = 891,
  RebuildDisplay = 899,
  StretchDisplayToggle = 1901,
  StretchDisplayOn = 1902,
  StretchDisplayOff = 1906,
  StretchDisplayRefresh = 1907,

  // Commands of the command-line tool only: the settings file, frame
  // geometry, numbered messages, pixel access and the camera's single
  // operations. Numbered above every window command.
  SettingsShow = 40001,
  SettingsSet,
  SettingsLoad,
  SettingsSave,
  ShowGeometry,
  ShowMessageNumber,
  ExportDisplay,
  ChannelView,
  DisplayStretchPower,
  DumpImage,
  PixelValues,
  FitsShow,
  FitsSet,
  AutoProcessNow,
  CameraOpen,
  CameraInfo,
  Firmware,
  ClearSensor,
  Readout,
  GuideBox,
  GuiderFrame,
  Cooler,
  CoolerRead,
  CoolerMonitor,
  Filter,
  GuideOutputs,
  SerialWrite,
  SerialRead,
  FindCentre,
  GuideSubFrame,
  ScopePulse,
  ScopeRate,
  ScopeMove,
  ScopeStop,
  ScopeGoTo,
  ScopeGoToCoords,
  AoStep,
  AoCentre,
  AoCounters,
  SocketPulse,
  DefaultsShow,
  DefaultsSave,
  MonoExtract,
  ColourHistogram,
  AutoDark,
  AutoFlat,
  MergeMark,
  MergeRun,
  MergeCancel,
  HotPixelsSave,
  MouseMode,
  Click,
  Expose,
  Focus,
  CameraDialogShow,
  GuideStep,
  GuideTrain,
  GuideRun,
  GuidingShow,
  GuiderExpose,
  GuiderDark,
};

constexpr int ToInt(CommandId id) { return static_cast<int>(id); }

}  // namespace qv
