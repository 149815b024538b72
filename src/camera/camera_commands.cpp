#include "camera/camera_commands.h"

#include <algorithm>

#include "camera/camera_protocol.h"
#include "camera/frame_rebuild.h"
#include "camera/serial_trace.h"
#include "camera/usb_link.h"

namespace qv {

namespace {

// Writes the block of `length` bytes, then reads `count` bytes when asked.
bool Exchange(CameraState& camera, Host& host, std::size_t length, std::size_t count, std::uint32_t timeoutMs) {
  UsbLink& link = camera.link;
  link.transferLength = length;
  bool ok = WriteCamera(link, host);
  if (count > 0) {
    link.transferLength = count;
    ok = ReadCamera(link, host, timeoutMs) && ok;
  }
  return ok;
}

std::uint32_t ReadoutTimeout(std::uint32_t exposureMs) {
  return (exposureMs <= kCameraTimedMaxMs ? exposureMs : 0) + kTransferMarginMs;
}

// Keeps a window's origin on the sensor.
int ClampOrigin(int origin, int size, int sensor) { return std::clamp(origin, 0, std::max(0, sensor - size)); }

bool ReadSubFrame(ProgramState& state, Host& host, std::uint32_t exposureMs) {
  CameraState& camera = state.camera;
  const int w = camera.model.sensorWidth, h = camera.model.sensorHeight;
  const int width = state.geometry.width, height = state.geometry.height;
  int cw = width, ch = height;
  if (camera.focusWindowMode == 3) {
    cw = w / 3;
    ch = h / 3;
  } else if (camera.focusWindowMode != 2) {
    cw = w >> 2;
    ch = h >> 2;
  }
  // Window mode 2 is the whole half-size frame round the centre; the smaller
  // windows keep the offset of their padding in the frame.
  const int offsetX = camera.focusWindowMode == 2 ? width / 2 : (width - cw) / 2;
  const int offsetY = camera.focusWindowMode == 2 ? height / 2 : (height - ch) / 2;
  const FrameWindow window{ClampOrigin(camera.subFrameCentreX - offsetX, cw, w),
                           ClampOrigin(camera.subFrameCentreY - offsetY, ch, h),
                           cw,
                           ch,
                           1,
                           1};
  const std::size_t length = BuildMainReadout(camera.link.block, window, exposureMs);
  const bool ok = Exchange(camera, host, length, static_cast<std::size_t>(cw) * ch * 2, ReadoutTimeout(exposureMs));
  if (camera.focusWindowMode == 2) {
    DecodeLe16(camera.link.reply.data(), state.images.workImage, static_cast<std::size_t>(cw) * ch);
  } else {
    PlaceWindowCentred(camera.link.reply.data(), cw, ch, state.images.workImage, width, height);
  }
  camera.readoutModeCode = 0;
  return ok;
}

}  // namespace

void SetGeometryForReadout(ProgramState& state, int mode) {
  state.geometry.binned = mode == kFullResolution ? 0 : 1;
  RecomputeFrameGeometry(state.geometry, state.camera.model);
}

void WaitComputerTimedExposure(Clock& clock, std::uint32_t exposureMs) {
  if (exposureMs > kCameraTimedMaxMs) SleepPreciseMs(clock, exposureMs);
}

bool ClearSensor(ProgramState& state, Host& host) {
  bool ok = SendFirstClearStep(state, host);
  CameraState& camera = state.camera;
  ok = Exchange(camera, host, BuildClear(camera.link.block, 0), 0, 0) && ok;
  return ok;
}

bool SendFirstClearStep(ProgramState& state, Host& host) {
  CameraState& camera = state.camera;
  return Exchange(camera, host, BuildClear(camera.link.block, 8), 0, 0);
}

bool ReadFrame(ProgramState& state, Host& host, int mode, std::uint32_t exposureMs) {
  CameraState& camera = state.camera;
  const int w = camera.model.sensorWidth, h = camera.model.sensorHeight;
  const std::uint8_t* reply = camera.link.reply.data();
  std::uint16_t* work = state.images.workImage;
  const std::uint32_t timeout = ReadoutTimeout(exposureMs);
  // A binning the model cannot do is not asked of it.
  const int binning = mode >= kBinned2x2 && mode <= kBinned4x4 ? mode : 1;
  if (binning > camera.model.maxBinning) return false;
  switch (mode) {
    case kFullResolution: {
      const std::size_t pixels = static_cast<std::size_t>(w) * h;
      const bool ok = Exchange(camera, host, BuildMainReadout(camera.link.block, {0, 0, w, h, 1, 1}, exposureMs),
                               pixels * 2, timeout);
      DecodeLe16(reply, work, pixels);
      camera.readoutModeCode = 0;
      if (camera.model.columnPairCorrection) ColumnPairCorrection(work, w, h);
      return ok;
    }
    case kBinned2x2: {
      const std::size_t pixels = static_cast<std::size_t>(w / 2) * (h / 2);
      const bool ok = Exchange(camera, host, BuildMainReadout(camera.link.block, {0, 0, w, h, 2, 2}, exposureMs),
                               pixels * 2, timeout);
      DecodeLe16(reply, work, pixels);
      camera.readoutModeCode = 2;
      return ok;
    }
    case kBinned3x3: {
      const int tw = w / 3, th = h / 3;
      const bool ok =
          Exchange(camera, host, BuildMainReadout(camera.link.block, {0, 0, tw * 3, th * 3, 3, 3}, exposureMs),
                   static_cast<std::size_t>(tw) * th * 2, timeout);
      DecodeLe16(reply, state.images.scratchImage, static_cast<std::size_t>(tw) * th);
      Resample3x3(state.images.scratchImage, tw, th, work, w / 2, h / 2);
      camera.readoutModeCode = 3;
      return ok;
    }
    case kBinned4x4: {
      const int qw = w / 4, qh = h / 4;
      const bool ok = Exchange(camera, host, BuildMainReadout(camera.link.block, {0, 0, w, h, 4, 4}, exposureMs),
                               static_cast<std::size_t>(qw) * qh * 2, timeout);
      Enlarge4x4(reply, qw, qh, work, w / 2, h / 2);
      camera.readoutModeCode = 4;
      return ok;
    }
    case kUserSubFrame:
      return ReadSubFrame(state, host, exposureMs);
    default:
      return false;
  }
}

bool ReadGuideBox(ProgramState& state, Host& host, std::uint32_t exposureMs, bool binFocusFrame) {
  CameraState& camera = state.camera;
  FrameWindow window{camera.guideBoxOriginX, camera.guideBoxOriginY, kGuideBoxSize, kGuideBoxSize, 1, 1};
  if (binFocusFrame) {
    window = {std::max(camera.guideBoxOriginX - 64, 0),
              std::max(camera.guideBoxOriginY - 64, 0),
              2 * kGuideBoxSize,
              2 * kGuideBoxSize,
              2,
              2};
  }
  constexpr std::size_t kPixels = kGuideBoxSize * kGuideBoxSize;
  const bool ok = Exchange(camera, host, BuildMainReadout(camera.link.block, window, exposureMs), kPixels * 2,
                           ReadoutTimeout(exposureMs));
  DecodeLe16(camera.link.reply.data(), state.images.workImage, kPixels);
  return ok;
}

bool ReadMainWindow128(ProgramState& state, Host& host, int originX, int originY, std::uint32_t exposureMs) {
  CameraState& camera = state.camera;
  const FrameWindow window{originX, originY, kGuideBoxSize, kGuideBoxSize, 1, 1};
  constexpr std::size_t kPixels = kGuideBoxSize * kGuideBoxSize;
  const bool ok = Exchange(camera, host, BuildMainReadout(camera.link.block, window, exposureMs), kPixels * 2,
                           ReadoutTimeout(exposureMs));
  DecodeLe16(camera.link.reply.data(), state.images.workImage, kPixels);
  return ok;
}

bool FlushGuider(ProgramState& state, Host& host) {
  CameraState& camera = state.camera;
  if (!camera.model.hasGuiderChannel) return false;
  return Exchange(camera, host, BuildGuiderReadout(camera.link.block, {0, 0, kGuiderFlushColumns, 1, 1, 1}, 0),
                  kGuiderFlushColumns, kTransferMarginMs);
}

int GuiderColumns(const ProgramSettings& settings) { return settings.guiderCameraType == 's' ? 500 : 376; }

bool ReadGuiderFrame(ProgramState& state, Host& host, std::uint32_t exposureMs) {
  CameraState& camera = state.camera;
  if (!camera.model.hasGuiderChannel) return false;
  const int columns = GuiderColumns(state.settings);
  const bool binned = state.settings.guiderBin2x2;
  const std::size_t pixels = static_cast<std::size_t>(columns) * kGuiderRows;
  const int bin = binned ? 2 : 1;
  const bool ok =
      Exchange(camera, host, BuildGuiderReadout(camera.link.block, {0, 0, columns, kGuiderRows, bin, bin}, exposureMs),
               binned ? pixels / 4 : pixels, kTransferMarginMs);
  if (binned) {
    GuiderBinned(camera.link.reply.data(), columns, kGuiderRows, state.images.guideImage);
  } else {
    GuiderUnbinned(camera.link.reply.data(), pixels, state.images.guideImage);
  }
  return ok;
}

bool SetGuideOutputs(ProgramState& state, Host& host, std::uint8_t bits) {
  state.camera.guideOutputs = bits;
  return Exchange(state.camera, host, BuildGuideOutputs(state.camera.link.block, bits), 0, 0);
}

bool SerialWrite(ProgramState& state, Host& host, int port, std::span<const std::uint8_t> text) {
  TraceSerial(state.camera.link, "sent", port, text);
  return Exchange(state.camera, host, BuildSerialWrite(state.camera.link.block, port, text), 0, 0);
}

bool SerialWrite(ProgramState& state, Host& host, int port, std::string_view text) {
  return SerialWrite(state, host, port,
                     std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

bool SerialRead(ProgramState& state, Host& host, int port, std::size_t count) {
  CameraState& camera = state.camera;
  const bool ok = Exchange(camera, host, BuildSerialRead(camera.link.block, port, count), count, kTransferMarginMs);
  TraceSerial(camera.link, "recv", port, {camera.link.reply.data(), count});
  if (count == kTelescopeReplyBytes) {
    camera.telescopeReply = TelescopeReplyText({camera.link.reply.data(), count});
  }
  return ok;
}

bool UpdateCooler(ProgramState& state, Host& host) {
  CameraState& camera = state.camera;
  if (!camera.coolerAvailable) return true;
  // Maximum cooling holds the set point at -40 however the program started
  // (a settings file can switch it on without the set point following), and
  // a set point from a damaged settings file is kept to -40..35, so the
  // cooler is never sent a code outside its range.
  std::int16_t& setpoint = state.settings.derived.coolerSetpointC;
  if (state.settings.maximumCooling) setpoint = kLowestSetpointC;
  setpoint = static_cast<std::int16_t>(std::clamp<int>(setpoint, kLowestSetpointC, kHighestSetpointC));
  const std::size_t length = !camera.coolingOn && state.settings.maximumCooling
                                 ? BuildReadCooler(camera.link.block)
                                 : BuildSetCooler(camera.link.block, camera.coolingOn, setpoint);
  const bool ok = Exchange(camera, host, length, kCoolerReplyBytes, kTransferMarginMs);
  camera.actualTemperatureC = DecodeCoolerTemperature({camera.link.reply.data(), kCoolerReplyBytes});
  return ok;
}

bool ReadFirmwareVersion(ProgramState& state, Host& host) {
  CameraState& camera = state.camera;
  const bool ok = Exchange(camera, host, BuildFirmwareRead(camera.link.block), kFirmwareReplyBytes, kTransferMarginMs);
  camera.firmware = DecodeFirmwareVersion({camera.link.reply.data(), kFirmwareReplyBytes});
  if (!FirmwareAllowsCooler(camera.firmware, camera.model)) camera.coolerAvailable = false;
  return ok;
}

}  // namespace qv
