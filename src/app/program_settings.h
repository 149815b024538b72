#pragma once
// The settings that survive between runs, with their defaults, and the
// run-time values derived from them when the settings file is loaded.

#include <array>
#include <cstdint>
#include <string>

#include "app/fits_header_info.h"
#include "app/fixed_text.h"

namespace qv {

struct ProgramSettings {
  std::uint16_t lastFileNumber = 0;  // the autosave counter, 1 to 65530
  std::int16_t utOffsetHours = 0;
  char telescopePort = '1';  // '1' Com1, '2' Com2, '3' the PC port
  std::int16_t reservedWord1 = 0;
  std::int16_t guideStarMaskRadius = 8;
  std::int16_t reservedWord2 = 1;
  char windowBackground = 'l';  // 'l' light grey, 'r' red, 'g' grey
  bool focusDelay = false;
  std::int16_t raRate = 2;
  std::int16_t decRate = 2;
  std::int16_t raBacklash = 0;
  std::int16_t decBacklash = 0;
  bool ignoreSmallDrift = true;
  char telescopeGuiding = 'n';  // 'n' none, 'l' LX200 serial, 'b' autoguider socket
  bool exposureOption = true;
  std::int16_t raHysteresis = 0;
  std::int16_t decHysteresis = 0;
  std::array<char, 4> driveDirections{'n', 's', 'e', 'w'};
  bool autoWeakStretch = false;
  bool autoStrongStretch = false;
  bool autoUserStretch = false;
  std::int16_t autoUserStretchLevel = 4;
  bool autoHighPassLowPower = false;
  bool autoUnsharpMask = false;
  std::int16_t unsharpRadius = 3;
  std::int16_t unsharpPower = 1;
  bool autoRemoveBackground = false;
  char reservedFlag = 'n';
  FitsHeaderInfo fits;  // object, telescope, instrument, observer, origin, texts, filter, optics
  bool unsignedFitsFormat = false;
  bool ShowInterfaceDetails = true;
  FixedText<100> autosaveDirectory;
  std::int16_t guiderRaRate = 6;
  std::int16_t guiderDecRate = 6;
  std::int16_t guiderRaBacklash = 0;
  std::int16_t guiderDecBacklash = 0;
  std::int16_t guiderRaHysteresis = 0;
  std::int16_t guiderDecHysteresis = 0;
  bool ignoreBacklash = true;
  bool filterWheelFitted = false;
  float guiderDefault5 = 0.0f;  // a whole number in the file
  bool ignoreRaAngle = true;
  std::int16_t filterCount = 7;
  std::array<FixedText<10>, 8> filterNames{
      FixedText<10>("Blank"),    FixedText<10>("Filter 2"), FixedText<10>("Filter 3"), FixedText<10>("Filter 4"),
      FixedText<10>("Filter 5"), FixedText<10>("Filter 6"), FixedText<10>("Filter 7"), FixedText<10>("Filter 8")};
  bool lineOffset = false;
  bool pixelOffset = false;
  bool autoAntiAlias = true;
  bool irFilterUsed = false;
  std::int16_t colourBalanceLevel = 3;
  bool colourSmoothing = true;
  bool IgnoreCameraVidPid = false;
  std::int16_t aoDefault1 = 6;
  std::int16_t aoDefault2 = 6;
  std::int16_t aoLatest1 = 6;
  std::int16_t aoLatest2 = 6;
  bool aoMode = false;
  std::int16_t aoPortChoice = 0;  // 1 "Ser 1", 0 "Ser 2", 3 "PC "
  char guidanceMode = 'T';        // 'T' telescope, 'A' adaptive optics unit
  std::array<char, 2> aoSwapUpDown{'n', 's'};
  std::array<char, 2> aoSwapLeftRight{'e', 'w'};
  bool aoUnitAvailable = false;
  bool aoHalfRate = true;
  std::int16_t aoComPort = 0;
  std::array<char, 2> mountNorthSouth{'N', 'S'};
  std::array<char, 2> mountEastWest{'T', 'W'};
  bool usePcPort = false;
  bool guiderBin2x2 = false;
  bool guiderClearCamera = false;
  bool northCorrectionsOff = false;
  bool southCorrectionsOff = false;
  std::int16_t driftThreshold = 1000;
  bool tiff16Bit = false;
  bool useUsbFilterWheel = false;
  bool maximumCooling = false;
  std::int16_t cameraType = 6;
  FixedText<5> cameraPid{"0612"};
  std::int16_t savedCoolingSetpoint = -40;
  bool useSavedCooling = false;
  char guiderCameraType = 's';  // 's' standard guider sensor, anything else the second type

  // Default guide training times in seconds (1, 2, 4 or 8), chosen in the
  // defaults dialog for this run; not stored.
  int trainingSeconds = 2;
  int guiderTrainingSeconds = 2;

  // Derived when the file is loaded; not stored.
  struct Derived {
    int backgroundRed = 192, backgroundGreen = 192, backgroundBlue = 192;
    int comPort = 1;  // serial port of the telescope link, 1 or 2
    int guiderColumns = 500;
    int guiderColumnOffset = 0;
    int guiderPixelCount = 145'000;
    std::string autosaveDirectory = "c:\\AUTOSAVE";  // the working autosave folder
    std::int16_t coolerSetpointC = 0;                // the cooler's current set point
    std::string timeZone = "PST8PDT";                // TZ value in force

    [[nodiscard]] bool operator==(const Derived&) const = default;
  } derived;
};

inline constexpr int kGuiderRows = 290;

}  // namespace qv
