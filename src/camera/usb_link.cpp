#include "camera/usb_link.h"

#include <sys/resource.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cstdio>

#include "app/messages.h"
#include "camera/camera_state.h"
#include "camera/set_camera_type.h"
#include "camera/usb_trace.h"

namespace qv {

namespace {

constexpr std::uint32_t kWheelTimeoutMs = 1000;

void KernelVersion(int& major, int& minor) {
  major = minor = 0;
  utsname name{};
  if (uname(&name) == 0) std::sscanf(name.release, "%d.%d", &major, &minor);
}

// Whether a read-out may ask for real-time scheduling here.
bool CanRaisePriority() {
  rlimit limit{};
  return geteuid() == 0 || (getrlimit(RLIMIT_RTPRIO, &limit) == 0 && limit.rlim_cur > 0);
}

// A device text as the enumeration record keeps it: at most 255 characters.
std::string RecordText(std::optional<std::string> text) {
  return text ? text->substr(0, kRecordTextBytes - 1) : std::string("- not present -");
}

// Takes the VID and PID texts from a path; a path without them keeps the previous ones.
void TakeVidPid(UsbLink& link, const std::string& path) {
  const auto texts = ParseVidPid(path);
  if (texts.vid) link.vidText = *texts.vid;
  if (texts.pid) link.pidText = *texts.pid;
}

std::string FormatErrorNumber(const char* format, int error) {
  char text[128];
  std::snprintf(text, sizeof text, format, error);
  return text;
}

}  // namespace

void ShowPlainBox(Host& host, std::string text) {
  host.showMessage(MessageBoxRequest{std::string(kMessageCaption), std::move(text), MessageIcon::None, -1});
}

void ShowErrorBox(Host& host, std::string text) {
  host.showMessage(MessageBoxRequest{"Error", std::move(text), MessageIcon::Stop, -1});
}

int OpenCameraDevice(UsbLink& link, UsbBus& bus, UsbSearchContext& context, EnumerationRecord& record) {
  int result = 0;
  if (!bus.listInterfaces(InterfaceClass::Camera)) {
    ShowPlainBox(context.host, "Could not attach to PnP node");
    return 0;
  }
  std::unique_ptr<CameraTransport> opened;
  for (int index = 0; index < kEnumerationSlots && !opened; ++index) {
    EnumerationSlot& slot = record[index];
    slot.vendorId = 0;
    const BusMember member = bus.member(InterfaceClass::Camera, index);
    if (member.kind == BusMember::Kind::Missing) continue;
    result = 1;
    if (member.kind == BusMember::Kind::NoPath) {
      ShowErrorBox(context.host, "Could not find the system name for this HID device");
      return 0;
    }
    TakeVidPid(link, member.path);
    if (link.vidText != kCameraVid) continue;
    if (const auto type = CameraTypeForPid(link.pidText)) {
      // The settings file is written only when the camera found differs
      // from the one it names, so a search alone never rewrites it.
      const bool known = context.settings.cameraPid == link.pidText && context.settings.cameraType == *type;
      context.settings.cameraPid = FixedText<5>(link.pidText);
      context.settings.cameraType = static_cast<std::int16_t>(*type);
      if (known) {
        ApplyCameraType(context.settings, context.camera, context.geometry);
      } else {
        if (SetCameraType(context.settings, context.camera, context.geometry, context.paths) != SettingsStatus::Ok) {
          ShowMessage(context.host, 24);
        }
      }
    } else {
      if (!context.settings.IgnoreCameraVidPid) continue;
      ShowPlainBox(context.host, "Attached Camera is not supported");
    }
    opened = bus.openCamera(member.path);
    if (!opened) {
      ShowErrorBox(context.host, "Could not open HID device");
      return 0;
    }
    slot.vendorId = opened->vendorId();
    slot.productId = opened->productId();
    slot.manufacturer = RecordText(opened->manufacturerText());
    slot.product = RecordText(opened->productText());
  }
  if (!opened) {
    ShowPlainBox(context.host, "USB QelIO device not found");
    link.cameraAttached = false;
    return result;
  }
  if (!link.traceUsbPath.empty()) opened = TraceCameraTransport(std::move(opened), link.traceUsbPath);
  link.camera = std::move(opened);
  link.newerWindows = CanRaisePriority();
  if (context.settings.ShowInterfaceDetails) {
    int major = 0, minor = 0;
    KernelVersion(major, minor);
    char text[160];
    std::snprintf(text, sizeof text, "Camera Found, \nQelIO = %6d\nO/S = %4d.%4d\nPID = %s",
                  link.camera->handleNumber(), major, minor, context.settings.cameraPid.str().c_str());
    ShowPlainBox(context.host, text);
  }
  link.cameraAttached = true;
  return result;
}

int OpenFilterWheelDevice(UsbLink& link, UsbBus& bus, ProgramSettings& settings, Host& host, Clock& clock) {
  int result = 0;
  if (!bus.listInterfaces(InterfaceClass::Hid)) {
    ShowPlainBox(host, "Could not attach to PnP node");
    return 0;
  }
  for (int index = 0; index < kEnumerationSlots; ++index) {
    const BusMember member = bus.member(InterfaceClass::Hid, index);
    if (member.kind == BusMember::Kind::Missing) continue;
    result = 1;
    if (member.kind == BusMember::Kind::NoPath) {
      ShowErrorBox(host, "Could not find the system name for this HID device");
      return 0;
    }
    TakeVidPid(link, member.path);
    if (link.pidText != kFilterWheelPid || link.vidText != kCameraVid) continue;
    auto wheel = bus.openFilterWheel(member.path);
    if (!wheel) {
      ShowErrorBox(host, "Could not open HID Filterwheel device");
      return 0;
    }
    if (!link.traceUsbPath.empty()) wheel = TraceFilterWheelPort(std::move(wheel), link.traceUsbPath);
    link.filterWheel = std::move(wheel);
    link.filterWheelAttached = true;
    // Probe: an empty report asks the wheel for its number of positions.
    std::array<std::uint8_t, 3> probe{0, 0, 0};
    if (!link.filterWheel->write(probe).ok) {
      ShowPlainBox(host, "Could not write to USB Filterwheel - try rebooting USB device");
    }
    clock.sleepMs(1);
    std::array<std::uint8_t, 3> answer{0, 0, 0};
    const TransferResult read = link.filterWheel->read(answer, kWheelTimeoutMs);
    if (!read.ok) {
      ShowPlainBox(host, FormatErrorNumber("Error %d trying to read data from USB Filterwheel\n", read.error));
    } else if (answer[2] > 0 && answer[2] < settings.filterCount) {
      // A wheel that reports no positions at all is not believed: a count of
      // 0 would leave "Prev" on a position no wheel has.
      settings.filterCount = answer[2];
    }
  }
  return result;
}

bool WriteCamera(UsbLink& link, Host& host) {
  TransferResult r;
  if (link.camera && link.transferLength <= link.block.size()) {
    r = link.camera->write(std::span<const std::uint8_t>(link.block.data(), link.transferLength));
  } else {
    r.error = kUsbErrorNoDevice;
  }
  link.bytesWritten = r.bytes;
  if (!r.ok) ShowPlainBox(host, "Could not write QelIO Output - try rebooting USB device");
  return r.ok;
}

bool ReadCamera(UsbLink& link, Host& host, std::uint32_t timeoutMs) {
  TransferResult r;
  if (link.camera && link.transferLength <= link.reply.capacity()) {
    r = link.camera->read(std::span<std::uint8_t>(link.reply.data(), link.transferLength), timeoutMs);
  } else {
    r.error = link.camera ? kUsbErrorIo : kUsbErrorNoDevice;
  }
  link.bytesRead = r.bytes;
  if (!r.ok) ShowPlainBox(host, FormatErrorNumber("Error %d trying to read QelIO data from USB\n", r.error));
  return r.ok;
}

bool WriteFilterWheel(UsbLink& link, Host& host) {
  TransferResult r;
  if (link.filterWheel && link.transferLength <= link.block.size()) {
    r = link.filterWheel->write(std::span<const std::uint8_t>(link.block.data(), link.transferLength));
  } else {
    r.error = kUsbErrorNoDevice;
  }
  link.bytesWritten = r.bytes;
  if (!r.ok) ShowPlainBox(host, "Could not write QelIO Output - try rebooting USB device");
  return r.ok;
}

bool ReadFilterWheel(UsbLink& link, Host& host) {
  TransferResult r;
  if (link.filterWheel && link.transferLength <= link.reply.capacity()) {
    r = link.filterWheel->read(std::span<std::uint8_t>(link.reply.data(), link.transferLength), kWheelTimeoutMs);
  } else {
    r.error = kUsbErrorNoDevice;
  }
  link.bytesRead = r.bytes;
  if (!r.ok) {
    ShowPlainBox(host, FormatErrorNumber("Error %d trying to read QelIO data from USB Filterwheel\n", r.error));
  }
  return r.ok;
}

void CloseUsbDevices(UsbLink& link) {
  link.camera.reset();
  link.cameraAttached = false;
}

}  // namespace qv
