#include "platform/linux_usb_bus.h"

#include <hidapi.h>
#include <libusb.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/tty_serial_port.h"

namespace qv {

namespace {

int ErrnoOf(int libusbError) {
  switch (libusbError) {
    case LIBUSB_ERROR_TIMEOUT:
      return ETIMEDOUT;
    case LIBUSB_ERROR_NO_DEVICE:
      return ENODEV;
    case LIBUSB_ERROR_ACCESS:
      return EACCES;
    case LIBUSB_ERROR_PIPE:
      return EPIPE;
    case LIBUSB_ERROR_OVERFLOW:
      return EOVERFLOW;
    case LIBUSB_ERROR_BUSY:
      return EBUSY;
    case LIBUSB_ERROR_NO_MEM:
      return ENOMEM;
    default:
      return EIO;
  }
}

std::optional<std::string> StringDescriptor(libusb_device_handle* handle, std::uint8_t index) {
  if (index == 0) return std::nullopt;
  unsigned char text[256] = {};
  const int n = libusb_get_string_descriptor_ascii(handle, index, text, sizeof text);
  if (n < 0) return std::nullopt;
  return std::string(reinterpret_cast<char*>(text), static_cast<std::size_t>(n));
}

class LibusbCamera final : public CameraTransport {
 public:
  LibusbCamera(libusb_device_handle* handle, const libusb_device_descriptor& descriptor, int number,
               bool driverDetached)
      : handle_(handle), descriptor_(descriptor), number_(number), driverDetached_(driverDetached) {}
  ~LibusbCamera() override {
    libusb_release_interface(handle_, 0);
    // Give the interface back to the kernel driver that had it.
    if (driverDetached_) libusb_attach_kernel_driver(handle_, 0);
    libusb_close(handle_);
  }

  TransferResult write(std::span<const std::uint8_t> block) override {
    int done = 0;
    const int rc = libusb_bulk_transfer(handle_, kCameraBulkOut, const_cast<unsigned char*>(block.data()),
                                        static_cast<int>(block.size()), &done, kCameraWriteTimeoutMs);
    const auto bytes = static_cast<std::size_t>(done);
    if (rc != 0) return {false, ErrnoOf(rc), bytes};
    return {bytes == block.size(), bytes == block.size() ? 0 : EIO, bytes};
  }

  TransferResult read(std::span<std::uint8_t> reply, std::uint32_t timeoutMs) override {
    std::size_t total = 0;
    // One transfer normally brings the whole reply; a device that sends it in
    // pieces is read until it is complete or the time-out strikes.
    while (total < reply.size()) {
      int done = 0;
      const int rc = libusb_bulk_transfer(handle_, kCameraBulkIn, reply.data() + total,
                                          static_cast<int>(reply.size() - total), &done, timeoutMs);
      total += static_cast<std::size_t>(done);
      if (rc != 0) return {false, ErrnoOf(rc), total};
      if (done == 0) return {false, EIO, total};
    }
    return {true, 0, total};
  }

  std::uint16_t vendorId() const override { return descriptor_.idVendor; }
  std::uint16_t productId() const override { return descriptor_.idProduct; }
  std::optional<std::string> manufacturerText() override {
    return StringDescriptor(handle_, descriptor_.iManufacturer);
  }
  std::optional<std::string> productText() override { return StringDescriptor(handle_, descriptor_.iProduct); }
  int handleNumber() const override { return number_; }

 private:
  libusb_device_handle* handle_;
  libusb_device_descriptor descriptor_;
  int number_;
  bool driverDetached_;
};

class HidWheel final : public FilterWheelPort {
 public:
  explicit HidWheel(hid_device* device) : device_(device) {}
  ~HidWheel() override { hid_close(device_); }

  // The first byte of a report is the report id slot (0); hidapi sends it as
  // written and leaves it out of what it reads, so it is put back in front.
  TransferResult write(std::span<const std::uint8_t> report) override {
    const int n = hid_write(device_, report.data(), report.size());
    if (n < 0) return {false, EIO, 0};
    // Part of a report is no report: the wheel would act on a cut command.
    const auto bytes = static_cast<std::size_t>(n);
    return {bytes == report.size(), bytes == report.size() ? 0 : EIO, bytes};
  }

  TransferResult read(std::span<std::uint8_t> report, std::uint32_t timeoutMs) override {
    if (report.empty()) return {true, 0, 0};
    report[0] = 0;
    const int n = hid_read_timeout(device_, report.data() + 1, report.size() - 1, static_cast<int>(timeoutMs));
    if (n < 0) return {false, EIO, 0};
    if (n == 0) return {false, ETIMEDOUT, 0};
    const auto bytes = static_cast<std::size_t>(n) + 1;
    return {bytes >= report.size(), bytes >= report.size() ? 0 : EIO, bytes};
  }

 private:
  hid_device* device_;
};

// What the search's message box cannot say: the library's own reason.
void Report(const char* what, int libusbError) {
  std::fprintf(stderr, "qelvesk: %s (%s)\n", what, libusb_error_name(libusbError));
}

std::string PathText(const char* kind, std::uint16_t vid, std::uint16_t pid, const std::string& location) {
  char text[64];
  std::snprintf(text, sizeof text, "%s#vid_%04x&pid_%04x#", kind, vid, pid);
  return text + location;
}

class LinuxUsbBus final : public UsbBus {
 public:
  LinuxUsbBus() = default;
  ~LinuxUsbBus() override {
    if (context_) libusb_exit(context_);
  }

  bool listInterfaces(InterfaceClass cls) override {
    auto& list = cls == InterfaceClass::Camera ? cameras_ : wheels_;
    list.clear();
    if (cls == InterfaceClass::Camera) {
      if (!startLibusb()) return false;
      libusb_device** devices = nullptr;
      const ssize_t count = libusb_get_device_list(context_, &devices);
      if (count < 0) return false;
      // Only the camera maker's devices: the search looks at 20 members at most.
      for (ssize_t i = 0; i < count; ++i) {
        libusb_device_descriptor d{};
        if (libusb_get_device_descriptor(devices[i], &d) != 0) continue;
        if (d.idVendor != kCameraVendorId || d.idProduct == kFilterWheelProductId) continue;
        const std::string location = std::to_string(libusb_get_bus_number(devices[i])) + "-" +
                                     std::to_string(libusb_get_device_address(devices[i]));
        list.push_back(PathText("usb", d.idVendor, d.idProduct, location));
      }
      libusb_free_device_list(devices, 1);
      return true;
    }
    if (!startHidapi()) return false;
    hid_device_info* all = hid_enumerate(kCameraVendorId, 0);
    for (hid_device_info* d = all; d; d = d->next) {
      list.push_back(PathText("hid", d->vendor_id, d->product_id, d->path ? d->path : ""));
    }
    hid_free_enumeration(all);
    return true;
  }

  BusMember member(InterfaceClass cls, int index) override {
    const auto& list = cls == InterfaceClass::Camera ? cameras_ : wheels_;
    if (index < 0 || static_cast<std::size_t>(index) >= list.size()) return {};
    return BusMember{BusMember::Kind::Present, list[static_cast<std::size_t>(index)]};
  }

  std::unique_ptr<CameraTransport> openCamera(const std::string& path) override {
    const auto at = path.rfind('#');
    int busNumber = -1, address = -1;
    if (!context_ || at == std::string::npos || std::sscanf(path.c_str() + at + 1, "%d-%d", &busNumber, &address) != 2)
      return nullptr;
    libusb_device** devices = nullptr;
    const ssize_t count = libusb_get_device_list(context_, &devices);
    std::unique_ptr<CameraTransport> camera;
    for (ssize_t i = 0; i < count && !camera; ++i) {
      if (libusb_get_bus_number(devices[i]) != busNumber || libusb_get_device_address(devices[i]) != address) continue;
      libusb_device_descriptor d{};
      libusb_device_handle* handle = nullptr;
      if (libusb_get_device_descriptor(devices[i], &d) != 0 || libusb_open(devices[i], &handle) != 0) break;
      // A kernel driver that keeps the interface would make every transfer
      // fail later; the open fails now instead.
      bool detached = false;
      if (libusb_kernel_driver_active(handle, 0) == 1) {
        const int rc = libusb_detach_kernel_driver(handle, 0);
        if (rc != 0 && rc != LIBUSB_ERROR_NOT_FOUND) {
          Report("could not detach the kernel driver from the camera", rc);
          libusb_close(handle);
          break;
        }
        detached = rc == 0;
      }
      if (const int rc = libusb_claim_interface(handle, 0); rc != 0) {
        Report("could not claim the camera's interface", rc);
        if (detached) libusb_attach_kernel_driver(handle, 0);
        libusb_close(handle);
        break;
      }
      camera = std::make_unique<LibusbCamera>(handle, d, busNumber * 1000 + address, detached);
    }
    if (count >= 0) libusb_free_device_list(devices, 1);
    return camera;
  }

  std::unique_ptr<FilterWheelPort> openFilterWheel(const std::string& path) override {
    const auto at = path.find('#', path.find('#') + 1);
    if (at == std::string::npos) return nullptr;
    hid_device* device = hid_open_path(path.c_str() + at + 1);
    if (!device) return nullptr;
    return std::make_unique<HidWheel>(device);
  }

  std::unique_ptr<SerialPort> openPcSerialPort() override { return MakeTtySerialPort(); }

 private:
  // The libraries start at the first search and again at each later one
  // until they do; a search without them is not attempted (the search then
  // reports that the bus cannot be listed).
  bool startLibusb() {
    if (context_) return true;
    if (const int rc = libusb_init(&context_); rc != 0) {
      context_ = nullptr;
      Report("libusb could not start, so no camera can be found", rc);
      return false;
    }
    return true;
  }
  bool startHidapi() {
    if (!hidReady_) hidReady_ = hid_init() == 0;
    if (!hidReady_) std::fprintf(stderr, "qelvesk: hidapi could not start, so no filter wheel can be found\n");
    return hidReady_;
  }

  libusb_context* context_ = nullptr;
  bool hidReady_ = false;
  std::vector<std::string> cameras_, wheels_;
};

}  // namespace

std::unique_ptr<UsbBus> MakeLinuxUsbBus() { return std::make_unique<LinuxUsbBus>(); }

std::shared_ptr<UsbBus> MakeRealDevices(int, Clock&) { return MakeLinuxUsbBus(); }

}  // namespace qv
