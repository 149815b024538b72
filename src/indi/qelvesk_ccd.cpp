#include "indi/qelvesk_ccd.h"

#include <libindi/indicom.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>

#include "app/program_defaults.h"
#include "app/settings_file.h"
#include "camera/camera_commands.h"
#include "camera/device_bus.h"
#include "camera/set_camera_type.h"
#include "files/fits_header.h"
#include "guiding/guide_socket.h"
#include "platform/linux_usb_bus.h"
#include "sim/sim_world.h"

namespace qv {

namespace {

constexpr const char* kModelProperty = "CAMERA_MODEL";
constexpr const char* kCoolerProperty = "CCD_COOLER";
constexpr std::uint32_t kDefaultExposureMs = 1000;

// Device traffic logs, named by the environment as the command line names
// them by option.
std::string EnvironmentText(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

}  // namespace

QelveskCcd::QelveskCcd() : INDI::FilterInterface(this), state_(std::make_unique<ProgramState>()) {
  state_->paths.root = DefaultDataRoot();
  host_.say = [this](const std::string& text, bool fault) {
    if (fault) {
      LOGF_WARN("%s", text.c_str());
    } else {
      LOGF_INFO("%s", text.c_str());
    }
  };
  guide_[0].self = guide_[1].self = this;
  guide_[0].axis = AXIS_DE;
  guide_[1].axis = AXIS_RA;
  setVersion(0, 1);
}

QelveskCcd::~QelveskCcd() {
  stopExposure();
  // The filter names property is the driver's own storage, not the interface's.
  if (FilterNameTP == &FilterNamesTP) FilterNameTP = nullptr;
}

const char* QelveskCcd::getDefaultName() { return "QelVesk CCD"; }

// ------------------------------------------------------------------ settings

void QelveskCcd::readSharedSettings() {
  const SettingsStatus status = ReadSettingsFileOnly(state_->settings, state_->paths);
  std::error_code ec;
  const bool exists = std::filesystem::exists(SettingsFilePath(state_->paths), ec);
  settingsReadable_ = status == SettingsStatus::Ok || !exists;
  if (!settingsReadable_) {
    LOGF_WARN(
        "The settings file %s could not be read; the driver uses the program's defaults and leaves the file "
        "as it is",
        SettingsFilePath(state_->paths).c_str());
  }
  ApplyCameraType(state_->settings, state_->camera, state_->geometry);
}

bool QelveskCcd::settingsWritable() {
  if (settingsReadable_) return true;
  alert("The settings file could not be read, so it is not changed; fix it in the program first");
  return false;
}

// One change made through INDI goes into the settings file as it is on disk
// now, under the file's lock, so whatever the program saved there stays; the
// driver's own settings take the change too. False, with the reason, when the
// file cannot be read (it is then left alone) or written.
bool QelveskCcd::saveSettingsChange(const std::function<void(ProgramSettings&)>& change) {
  if (!settingsWritable()) return false;
  switch (SaveSettingsChange(state_->settings, state_->paths, change)) {
    case SettingsStatus::Ok:
      return true;
    case SettingsStatus::LoadFailed:
      alert("The settings file could not be read, so it is not changed");
      return false;
    case SettingsStatus::SaveFailed:
      break;
  }
  alert("The settings file could not be written");
  return false;
}

void QelveskCcd::alert(const std::string& text) { LOGF_ERROR("%s", text.c_str()); }

void QelveskCcd::buildModelProperty() {
  modelCodes_.clear();
  modelCount_ = 0;
  for (const auto& choice : RadioGroup(DefaultsRadio::CameraModel).choices) {
    IUFillSwitch(&ModelS[modelCount_], std::string(choice.cliValue).c_str(), std::string(choice.text).c_str(), ISS_OFF);
    modelCodes_.push_back(choice.value);
    ++modelCount_;
  }
  // The program offers the K7 only when the settings file names it.
  if (const auto k7 = FindCameraModelByName("K7"); k7 && state_->settings.cameraType == k7->code) {
    IUFillSwitch(&ModelS[modelCount_], "K7", "Qel_K7", ISS_OFF);
    modelCodes_.push_back(k7->code);
    ++modelCount_;
  }
  for (int i = 0; i < modelCount_; ++i) {
    if (modelCodes_[static_cast<std::size_t>(i)] == state_->settings.cameraType) ModelS[i].s = ISS_ON;
  }
  IUFillSwitchVector(&ModelSP, ModelS, modelCount_, getDeviceName(), kModelProperty, "Camera model", OPTIONS_TAB, IP_RW,
                     ISR_ATMOST1, 0, IPS_IDLE);
}

// ---------------------------------------------------------------- properties

bool QelveskCcd::initProperties() {
  INDI::CCD::initProperties();
  INDI::FilterInterface::initProperties(FILTER_TAB);
  readSharedSettings();
  buildModelProperty();
  IUFillSwitch(&CoolerS[0], "COOLER_ON", "On", ISS_OFF);
  IUFillSwitch(&CoolerS[1], "COOLER_OFF", "Off", ISS_ON);
  IUFillSwitchVector(&CoolerSP, CoolerS, 2, getDeviceName(), kCoolerProperty, "Cooler", MAIN_CONTROL_TAB, IP_RW,
                     ISR_1OFMANY, 0, IPS_IDLE);
  SetCCDCapability(CCD_CAN_ABORT | CCD_CAN_BIN | CCD_CAN_SUBFRAME | CCD_HAS_ST4_PORT | CCD_HAS_BAYER | CCD_HAS_COOLER);
  addAuxControls();
  return true;
}

void QelveskCcd::ISGetProperties(const char* dev) {
  INDI::CCD::ISGetProperties(dev);
  defineProperty(&ModelSP);
}

void QelveskCcd::describeCamera() {
  const CameraState& camera = state_->camera;
  const CameraModel& model = camera.model;
  SetCCDParams(model.sensorWidth, model.sensorHeight, 16, static_cast<float>(model.pixelSizeXMm * 1000.0),
               static_cast<float>(model.pixelSizeYMm * 1000.0));
  const int maxBinning = BinningFactors(model).back();
  PrimaryCCD.setMinMaxStep("CCD_BINNING", "HOR_BIN", 1, maxBinning, 1, false);
  PrimaryCCD.setMinMaxStep("CCD_BINNING", "VER_BIN", 1, maxBinning, 1, false);
  PrimaryCCD.setMinMaxStep("CCD_EXPOSURE", "CCD_EXPOSURE_VALUE", 0.001, kLongestExposureMs / 1000.0, 0.001, false);
  PrimaryCCD.setFrame(0, 0, model.sensorWidth, model.sensorHeight);
  PrimaryCCD.setBin(1, 1);
  // The colour matrix as the program's colour synthesis reads it.
  IUSaveText(&BayerT[0], "0");
  IUSaveText(&BayerT[1], "0");
  const std::string pattern(BayerPatternWithRedAt(state_->settings.lineOffset, state_->settings.pixelOffset));
  IUSaveText(&BayerT[2], pattern.c_str());
  // The cooler's range is the set point's.
  TemperatureN[0].min = kLowestSetpointC;
  TemperatureN[0].max = kHighestSetpointC;
  TemperatureN[0].value = camera.actualTemperatureC;
  CoolerS[0].s = camera.coolingOn ? ISS_ON : ISS_OFF;
  CoolerS[1].s = camera.coolingOn ? ISS_OFF : ISS_ON;
  FilterSlotN[0].min = 1;
  FilterSlotN[0].max = std::max<int>(1, state_->settings.filterCount);
  FilterSlotN[0].value = camera.filterPosition;
}

bool QelveskCcd::updateProperties() {
  if (isConnected()) describeCamera();
  INDI::CCD::updateProperties();
  if (isConnected()) {
    if (HasCooler()) defineProperty(&CoolerSP);
    GetFilterNames();  // the names come from the settings, before the wheel's properties are defined
  } else {
    deleteProperty(CoolerSP.name);
  }
  INDI::FilterInterface::updateProperties();
  return true;
}

bool QelveskCcd::ISNewNumber(const char* dev, const char* name, double values[], char* names[], int n) {
  // A value that is not a number passes every range check (each comparison
  // with it is false) and turns into any integer; several handlers take the
  // first value whatever its element is called. Both are refused here, before
  // they can become a set point, an exposure or a pulse length.
  if (dev && !strcmp(dev, getDeviceName())) {
    INDI::Property property = getProperty(name, INDI_NUMBER);
    for (int i = 0; property.isValid() && i < n; ++i) {
      const bool known = IUFindNumber(property.getNumber(), names[i]) != nullptr;
      if (known && std::isfinite(values[i])) continue;
      property.setState(IPS_ALERT);
      property.apply(known ? "%s: %s is not a number" : "%s has no element %s", name, names[i]);
      return true;
    }
  }
  if (dev && !strcmp(dev, getDeviceName()) && !strcmp(name, FilterSlotNP.name)) {
    return INDI::FilterInterface::processNumber(dev, name, values, names, n);
  }
  return INDI::CCD::ISNewNumber(dev, name, values, names, n);
}

bool QelveskCcd::ISNewText(const char* dev, const char* name, char* texts[], char* names[], int n) {
  if (dev && !strcmp(dev, getDeviceName()) && FilterNameTP && !strcmp(name, FilterNameTP->name)) {
    return INDI::FilterInterface::processText(dev, name, texts, names, n);
  }
  return INDI::CCD::ISNewText(dev, name, texts, names, n);
}

bool QelveskCcd::ISNewSwitch(const char* dev, const char* name, ISState* states, char* names[], int n) {
  if (!dev || strcmp(dev, getDeviceName()) != 0) return INDI::CCD::ISNewSwitch(dev, name, states, names, n);

  if (!strcmp(name, kModelProperty)) {
    if (isConnected()) {
      ModelSP.s = IPS_ALERT;
      IDSetSwitch(&ModelSP, "Disconnect before changing the camera model");
      return true;
    }
    readSharedSettings();     // the program may have changed the file meanwhile
    IUResetSwitch(&ModelSP);  // one model at most: the one asked for
    if (!settingsWritable() || IUUpdateSwitch(&ModelSP, states, names, n) < 0) {
      buildModelProperty();
      ModelSP.s = IPS_ALERT;
      IDSetSwitch(&ModelSP, nullptr);
      return true;
    }
    const int index = IUFindOnSwitchIndex(&ModelSP);
    const auto& choices = RadioGroup(DefaultsRadio::CameraModel).choices;
    bool saved = true;
    if (index >= 0 && index < static_cast<int>(choices.size()) &&
        choices[static_cast<std::size_t>(index)].value != state_->settings.cameraType) {
      saved = saveSettingsChange([index](ProgramSettings& settings) { ChooseCameraModel(settings, index); });
      ApplyCameraType(state_->settings, state_->camera, state_->geometry);
    }
    if (!saved) {
      buildModelProperty();
      ModelSP.s = IPS_ALERT;
      IDSetSwitch(&ModelSP, nullptr);
      return true;
    }
    ModelSP.s = IPS_OK;
    IDSetSwitch(&ModelSP, "Camera model %s", state_->camera.model.name.data());
    return true;
  }

  if (!strcmp(name, kCoolerProperty)) {
    if (!isConnected() || IUUpdateSwitch(&CoolerSP, states, names, n) < 0) {
      CoolerSP.s = IPS_ALERT;
      IDSetSwitch(&CoolerSP, nullptr);
      return true;
    }
    CameraState& camera = state_->camera;
    const bool on = CoolerS[0].s == ISS_ON;
    if (on != camera.coolingOn) ToggleCooling(*state_);
    const bool ok = UpdateCooler(*state_, host_);
    CoolerS[0].s = camera.coolingOn ? ISS_ON : ISS_OFF;
    CoolerS[1].s = camera.coolingOn ? ISS_OFF : ISS_ON;
    CoolerSP.s = ok ? IPS_OK : IPS_ALERT;
    IDSetSwitch(&CoolerSP, ok ? nullptr : host_.lastMessage.c_str());
    return true;
  }

  if (!strcmp(name, "SIMULATION") && isConnected()) {
    // The devices are chosen when the camera is opened.
    INDI::Property simulation = getProperty("SIMULATION", INDI_SWITCH);
    if (simulation.isValid()) {
      simulation.setState(IPS_ALERT);
      simulation.apply("Disconnect before switching between the simulator and the camera");
    }
    return true;
  }

  return INDI::CCD::ISNewSwitch(dev, name, states, names, n);
}

bool QelveskCcd::saveConfigItems(FILE* fp) {
  // Filter names and the slot live in the program's settings file, not in
  // the INDI configuration.
  return INDI::CCD::saveConfigItems(fp);
}

// ---------------------------------------------------------------- connection

bool QelveskCcd::Connect() {
  readSharedSettings();
  deleteProperty(kModelProperty);
  buildModelProperty();
  defineProperty(&ModelSP);
  closeDevices();
  UsbLink& link = state_->camera.link;
  link.makeBus = isSimulation() ? sim::MakeSimulatedDevices : MakeRealDevices;
  link.traceUsbPath = EnvironmentText("QELVESK_TRACE_USB");
  link.traceSerialPath = EnvironmentText("QELVESK_TRACE_SERIAL");
  host_.lastMessage.clear();
  if (!OpenCameraInterface(*state_, host_, clock_, SettingsReload::Never)) {
    alert("No camera: " + host_.lastMessage);
    return false;
  }
  CameraState& camera = state_->camera;
  uint32_t abilities = CCD_CAN_ABORT | CCD_CAN_BIN | CCD_CAN_SUBFRAME | CCD_HAS_ST4_PORT | CCD_HAS_BAYER;
  if (camera.model.hasCooler && camera.coolerAvailable) abilities |= CCD_HAS_COOLER;
  SetCCDCapability(abilities);
  // A failed first read is logged; the cooler is read again every half second.
  if (HasCooler()) static_cast<void>(UpdateCooler(*state_, host_));

  // One plain copy of a full frame, the unit the frame delivery is reported in.
  const std::size_t frameBytes =
      static_cast<std::size_t>(camera.model.sensorWidth) * static_cast<std::size_t>(camera.model.sensorHeight) * 2;
  blob_.assign(frameBytes + kFitsHeaderBytes + kFitsBlockBytes, 1);
  std::vector<std::uint8_t> copy(frameBytes, 2);
  frameCopyMs_ = 1e9;
  for (int i = 0; i < 3; ++i) {
    const auto start = std::chrono::steady_clock::now();
    std::memcpy(copy.data(), blob_.data(), frameBytes);
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    frameCopyMs_ = std::min(frameCopyMs_, took.count());
  }
  LOGF_INFO("%s camera%s connected%s", camera.model.name.data(), isSimulation() ? " (simulated)" : "",
            link.filterWheelAttached ? ", USB filter wheel found" : "");
  startCoolerMonitor();
  return true;
}

// Every device of the last connection let go; the next connection searches
// afresh, on the bus that SIMULATION then chooses.
void QelveskCcd::closeDevices() {
  UsbLink& link = state_->camera.link;
  CloseUsbDevices(link);
  link.filterWheel.reset();
  link.filterWheelAttached = false;
  link.pcSerial.reset();
  link.pcSerialOpen = false;
  link.bus.reset();
}

bool QelveskCcd::Disconnect() {
  // An exposure cut short ends as failed: its property would otherwise stay
  // busy, and come back busy with the next connection, with no frame coming.
  if (exposure_) {
    alert("The exposure was cut short by the disconnection");
    PrimaryCCD.setExposureFailed();
  }
  stopExposure();
  stopCoolerMonitor();
  releaseGuideOutputs();
  closeDevices();
  LOG_INFO("Camera disconnected");
  return true;
}

// ------------------------------------------------------------------ exposure

bool QelveskCcd::UpdateCCDFrame(int x, int y, int w, int h) {
  std::string why;
  if (!PlanReadout(state_->camera.model, FrameRequest{x, y, w, h, PrimaryCCD.getBinX()}, why)) {
    alert("Frame refused: " + why);
    return false;
  }
  PrimaryCCD.setFrame(x, y, w, h);
  return true;
}

bool QelveskCcd::UpdateCCDBin(int hor, int ver) {
  const auto factors = BinningFactors(state_->camera.model);
  if (hor != ver || std::find(factors.begin(), factors.end(), hor) == factors.end()) {
    alert("Binning refused: the camera bins 1x1 to " + std::to_string(factors.back()) + "x" +
          std::to_string(factors.back()) + ", the same both ways");
    return false;
  }
  PrimaryCCD.setBin(hor, ver);
  return true;
}

bool QelveskCcd::UpdateCCDFrameType(INDI::CCDChip::CCD_FRAME type) {
  switch (type) {
    case INDI::CCDChip::LIGHT_FRAME:
      frameKind_ = FrameKind::Light;
      break;
    case INDI::CCDChip::DARK_FRAME:
    case INDI::CCDChip::BIAS_FRAME:
      frameKind_ = FrameKind::Dark;
      break;
    case INDI::CCDChip::FLAT_FRAME:
      frameKind_ = FrameKind::Flat;
      break;
  }
  PrimaryCCD.setFrameType(type);
  return true;
}

bool QelveskCcd::StartExposure(float duration) {
  if (exposure_ || state_->camera.exposureRunning) {
    alert("An exposure is already under way");
    return false;
  }
  std::string why;
  const FrameRequest request{PrimaryCCD.getSubX(), PrimaryCCD.getSubY(), PrimaryCCD.getSubW(), PrimaryCCD.getSubH(),
                             PrimaryCCD.getBinX()};
  const auto plan = PlanReadout(state_->camera.model, request, why);
  if (!plan) {
    alert("Exposure refused: " + why);
    return false;
  }
  const double asked = std::isfinite(duration) && duration > 0 ? duration * 1000.0 : kDefaultExposureMs;
  exposureMs_ = PrepareSingleFrame(*state_, *plan, static_cast<std::uint32_t>(std::lround(asked)));
  PrimaryCCD.setExposureDuration(exposureMs_ / 1000.0);
  host_.lastMessage.clear();
  exposure_ = std::make_unique<ExposureOperation>(*state_, host_, clock_);
  exposure_->onFrameRead([this] { readoutEnd_ = std::chrono::steady_clock::now(); });
  exposureStartMs_ = clock_.milliseconds();
  const WakeTime wake = exposure_->start(exposureStartMs_);
  if (!wake) {
    exposure_.reset();
    alert("The exposure could not start");
    return false;
  }
  scheduleExposure(*wake);
  return true;
}

void QelveskCcd::scheduleExposure(std::uint32_t wakeMs) {
  exposureWakeMs_ = wakeMs;
  // Wake at least once a second to tell the clients the time left.
  const std::uint32_t wait = std::min<std::uint32_t>(MsUntil(wakeMs, clock_.milliseconds()), 1000);
  exposureTimer_ = IEAddTimer(static_cast<int>(wait), ExposureTimer, this);
}

void QelveskCcd::ExposureTimer(void* self) {
  auto* driver = static_cast<QelveskCcd*>(self);
  driver->exposureTimer_ = -1;
  driver->exposureTick();
}

void QelveskCcd::exposureTick() {
  if (!exposure_) return;
  const std::uint32_t now = clock_.milliseconds();
  const WakeTime wake = MsUntil(exposureWakeMs_, now) > 0 ? WakeTime(exposureWakeMs_) : exposure_->step(now);
  if (wake) {
    const std::uint32_t elapsed = now - exposureStartMs_;
    PrimaryCCD.setExposureLeft(elapsed < exposureMs_ ? (exposureMs_ - elapsed) / 1000.0 : 0.0);
    scheduleExposure(*wake);
    return;
  }
  const bool read = exposure_->framesRead() > 0 && !exposure_->readoutFailed();
  exposure_.reset();
  if (read) {
    sendFrame();
  } else {
    alert("The read-out failed" + (host_.lastMessage.empty() ? std::string() : ": " + host_.lastMessage));
    PrimaryCCD.setExposureFailed();
  }
}

void QelveskCcd::sendFrame() {
  FinishedFrameAsFits(*state_, exposureMs_, frameKind_, blob_);
  const auto built = std::chrono::steady_clock::now();
  INDI::Property property = getProperty("CCD1", INDI_BLOB);
  IBLOBVectorProperty* image = property.isValid() ? property.getBLOB() : nullptr;
  if (!image || image->nbp < 1) {
    PrimaryCCD.setExposureFailed();
    return;
  }
  // The BLOB points at the image in place; libindi encodes it as it sends.
  IBLOB& blob = image->bp[0];
  blob.blob = blob_.data();
  blob.bloblen = blob.size = static_cast<int>(blob_.size());
  std::snprintf(blob.format, sizeof blob.format, ".fits");
  image->s = IPS_OK;
  IDSetBLOB(image, nullptr);
  blob.blob = nullptr;
  blob.bloblen = blob.size = 0;
  PrimaryCCD.setExposureComplete();
  const auto sent = std::chrono::steady_clock::now();
  const std::chrono::duration<double, std::milli> building = built - readoutEnd_, sending = sent - built;
  const double copy = frameCopyMs_ > 0 ? frameCopyMs_ : 1;
  LOGF_INFO(
      "Frame %d x %d sent: %.1f ms from the end of the read-out (%.1f frame copies: FITS image %.1f, "
      "encoding and sending %.1f)",
      state_->geometry.width, state_->geometry.height, (building + sending).count(),
      (building + sending).count() / copy, building.count() / copy, sending.count() / copy);
}

bool QelveskCcd::AbortExposure() {
  stopExposure();
  LOG_INFO("Exposure aborted");
  return true;
}

void QelveskCcd::stopExposure() {
  if (exposureTimer_ >= 0) IERmTimer(exposureTimer_);
  exposureTimer_ = -1;
  if (exposure_) exposure_->cancel();
  exposure_.reset();
}

// -------------------------------------------------------------------- cooler

int QelveskCcd::SetTemperature(double temperature) {
  CameraState& camera = state_->camera;
  const int setpoint = static_cast<int>(std::lround(temperature));
  if (state_->settings.maximumCooling) {
    alert("Maximum cooling holds the set point at " + std::to_string(kMaximumCoolingSetpointC));
    return -1;
  }
  // A file that holds maximum cooling by now keeps its own set point.
  if (!saveSettingsChange(
          [setpoint](ProgramSettings& settings) { static_cast<void>(ChooseSetpoint(settings, setpoint)); })) {
    return -1;
  }
  if (!camera.coolingOn) ToggleCooling(*state_);
  if (!UpdateCooler(*state_, host_)) return -1;
  CoolerS[0].s = ISS_ON;
  CoolerS[1].s = ISS_OFF;
  CoolerSP.s = IPS_OK;
  IDSetSwitch(&CoolerSP, nullptr);
  return camera.actualTemperatureC == state_->settings.derived.coolerSetpointC ? 1 : 0;
}

void QelveskCcd::startCoolerMonitor() {
  if (!HasCooler()) return;
  monitor_ = std::make_unique<CoolerMonitorOperation>(*state_, host_);
  state_->camera.monitoring = false;
  const WakeTime wake = monitor_->start(clock_.milliseconds());
  if (wake) coolerTimer_ = IEAddTimer(static_cast<int>(MsUntil(*wake, clock_.milliseconds())), CoolerTimer, this);
}

void QelveskCcd::stopCoolerMonitor() {
  if (coolerTimer_ >= 0) IERmTimer(coolerTimer_);
  coolerTimer_ = -1;
  if (monitor_) monitor_->cancel();
  monitor_.reset();
}

void QelveskCcd::CoolerTimer(void* self) {
  auto* driver = static_cast<QelveskCcd*>(self);
  driver->coolerTimer_ = -1;
  driver->coolerTick();
}

void QelveskCcd::coolerTick() {
  if (!monitor_) return;
  const std::uint32_t now = clock_.milliseconds();
  // The camera is busy with a frame: look again once it is done.
  WakeTime wake = now + kMonitorIntervalMs;
  if (!state_->camera.exposureRunning) {
    host_.lastMessage.clear();
    wake = monitor_->step(now);
    if (!host_.lastMessage.empty()) {
      // The camera did not answer (unplugged, or its transfers fail): say so
      // once and stop asking until the next connection.
      monitor_->cancel();
      monitor_.reset();
      TemperatureNP.s = IPS_ALERT;
      IDSetNumber(&TemperatureNP, "The cooler stopped answering: %s", host_.lastMessage.c_str());
      return;
    }
  }
  if (!wake) return;
  const double reading = state_->camera.actualTemperatureC;
  IPState shown = TemperatureNP.s;
  if (shown == IPS_BUSY && std::abs(reading - state_->settings.derived.coolerSetpointC) < 1) shown = IPS_OK;
  if (reading != TemperatureN[0].value || shown != TemperatureNP.s) {
    TemperatureN[0].value = reading;
    TemperatureNP.s = shown;
    IDSetNumber(&TemperatureNP, nullptr);
  }
  coolerTimer_ = IEAddTimer(static_cast<int>(MsUntil(*wake, clock_.milliseconds())), CoolerTimer, this);
}

// ---------------------------------------------------------------- guiding

IPState QelveskCcd::GuideNorth(uint32_t ms) { return guidePulse(SocketBit(SkyDirection::North), AXIS_DE, ms); }
IPState QelveskCcd::GuideSouth(uint32_t ms) { return guidePulse(SocketBit(SkyDirection::South), AXIS_DE, ms); }
IPState QelveskCcd::GuideEast(uint32_t ms) { return guidePulse(SocketBit(SkyDirection::East), AXIS_RA, ms); }
IPState QelveskCcd::GuideWest(uint32_t ms) { return guidePulse(SocketBit(SkyDirection::West), AXIS_RA, ms); }

IPState QelveskCcd::guidePulse(std::uint8_t bit, INDI_EQ_AXIS axis, uint32_t ms) {
  if (!isConnected()) return IPS_ALERT;
  GuidePulse& pulse = guide_[axis == AXIS_DE ? 0 : 1];
  if (pulse.timer >= 0) IERmTimer(pulse.timer);  // a new pulse replaces the one under way on this axis
  pulse.timer = -1;
  pulse.bits = bit;
  // Both axes' relays can be held at once: the outputs are one set of bits.
  const std::uint8_t held = static_cast<std::uint8_t>(guide_[0].bits | guide_[1].bits);
  if (!SetGuideOutputs(*state_, host_, held)) {
    pulse.bits = 0;
    alert("The guide outputs could not be set: " + host_.lastMessage);
    return IPS_ALERT;
  }
  pulse.timer = IEAddTimer(static_cast<int>(ms), GuideTimer, &pulse);
  return IPS_BUSY;
}

void QelveskCcd::GuideTimer(void* data) {
  auto* pulse = static_cast<GuidePulse*>(data);
  pulse->timer = -1;
  pulse->self->endGuidePulse(*pulse);
}

void QelveskCcd::endGuidePulse(GuidePulse& pulse) {
  pulse.bits = 0;
  host_.lastMessage.clear();
  if (!SetGuideOutputs(*state_, host_, static_cast<std::uint8_t>(guide_[0].bits | guide_[1].bits))) {
    // The relay may still be held (the camera stopped answering): the pulse
    // is not reported as done.
    guideAlert(pulse.axis, "The guide outputs could not be released: " + host_.lastMessage);
    return;
  }
  GuideComplete(pulse.axis);
}

// The axis's pulse property in the alert state, with the reason.
void QelveskCcd::guideAlert(INDI_EQ_AXIS axis, const std::string& text) {
  INDI::Property property =
      getProperty(axis == AXIS_DE ? "TELESCOPE_TIMED_GUIDE_NS" : "TELESCOPE_TIMED_GUIDE_WE", INDI_NUMBER);
  if (!property.isValid()) return;
  property.setState(IPS_ALERT);
  property.apply("%s", text.c_str());
}

void QelveskCcd::releaseGuideOutputs() {
  bool held = false;
  for (GuidePulse& pulse : guide_) {
    if (pulse.timer >= 0) {
      // The pulse will not complete: its property says so instead of staying busy.
      IERmTimer(pulse.timer);
      guideAlert(pulse.axis, "The guide pulse was cut short by the disconnection");
    }
    pulse.timer = -1;
    held = held || pulse.bits != 0;
    pulse.bits = 0;
  }
  // Releasing the relays on the way out: a failure is logged by the link.
  if (held && state_->camera.link.cameraAttached) static_cast<void>(SetGuideOutputs(*state_, host_, 0));
}

// -------------------------------------------------------------- filter wheel

int QelveskCcd::QueryFilter() { return state_->camera.filterPosition; }

bool QelveskCcd::SelectFilter(int position) {
  if (position < 1 || position > state_->settings.filterCount) {
    alert("Filter slot " + std::to_string(position) + " is not among the " +
          std::to_string(state_->settings.filterCount) + " the settings name");
    return false;
  }
  state_->camera.filterPosition = position;
  host_.lastMessage.clear();
  if (!qv::SelectFilter(*state_, host_, clock_)) {
    alert("The filter wheel did not take slot " + std::to_string(position) +
          (host_.lastMessage.empty() ? std::string() : ": " + host_.lastMessage));
    return false;
  }
  SelectFilterDone(position);
  return true;
}

bool QelveskCcd::GetFilterNames() {
  // The names are the settings file's, kept in the driver's own property
  // (the wheel interface only points at it).
  const int count = std::clamp<int>(state_->settings.filterCount, 1, static_cast<int>(std::size(FilterNamesT)));
  FilterSlotN[0].max = count;
  // Built anew whenever the settings name another number of filters (the
  // program may change it between connections); each element is set up once.
  if (FilterNameTP != &FilterNamesTP || FilterNamesTP.ntp != count) {
    for (int i = 0; i < count; ++i) {
      if (FilterNamesT[i].name[0] != '\0') continue;
      const std::string element = "FILTER_SLOT_NAME_" + std::to_string(i + 1);
      const std::string label = "Filter#" + std::to_string(i + 1);
      IUFillText(&FilterNamesT[i], element.c_str(), label.c_str(), "");
    }
    IUFillTextVector(&FilterNamesTP, FilterNamesT, count, getDeviceName(), "FILTER_NAME", "Filter", FILTER_TAB, IP_RW,
                     0, IPS_IDLE);
    FilterNameTP = &FilterNamesTP;
    FilterNameT = FilterNamesT;
  }
  for (int i = 0; i < FilterNamesTP.ntp; ++i) {
    IUSaveText(&FilterNamesT[i], state_->settings.filterNames[static_cast<std::size_t>(i)].str().c_str());
  }
  return true;
}

bool QelveskCcd::SetFilterNames() {
  if (loadingFromConfig) return GetFilterNames();  // the names are the settings file's, not the INDI config's
  auto names = state_->settings.filterNames;
  for (int i = 0; i < FilterNameTP->ntp && i < static_cast<int>(names.size()); ++i) {
    names[static_cast<std::size_t>(i)] = FixedText<10>(FilterNameT[i].text);
  }
  if (names == state_->settings.filterNames) return true;
  const bool saved = saveSettingsChange([&names](ProgramSettings& settings) { settings.filterNames = names; });
  GetFilterNames();  // the names kept: cut to what the settings file holds, or as they were
  return saved;
}

}  // namespace qv

// The one device of this driver; libindi's driver main dispatches to it.
static std::unique_ptr<qv::QelveskCcd> gDriver(new qv::QelveskCcd());
