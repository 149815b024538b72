#include "platform/tty_serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>

namespace qv {

namespace {

class TtySerialPort final : public SerialPort {
 public:
  ~TtySerialPort() override { close(); }

  int open(int port) override {
    close();
    fd_ = ::open(SerialDevicePath(port).c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd_ < 0) return -errno;
    termios tio{};
    if (tcgetattr(fd_, &tio) != 0) return Fail();
    cfmakeraw(&tio);
    if (cfsetispeed(&tio, B9600) != 0 || cfsetospeed(&tio, B9600) != 0) return Fail();
    tio.c_cflag &= ~static_cast<tcflag_t>(PARENB | CSTOPB | CSIZE | CRTSCTS);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    if (tcsetattr(fd_, TCSANOW, &tio) != 0) return Fail();
    int lines = TIOCM_DTR | TIOCM_RTS;
    // A line without modem controls (a pseudo-terminal, some adapters) is used as it is.
    if (ioctl(fd_, TIOCMBIS, &lines) != 0 && errno != ENOTTY && errno != EINVAL) return Fail();
    return 0;
  }

  int write(std::span<const std::uint8_t> bytes) override {
    if (fd_ < 0) return -EBADF;
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && errno == EAGAIN) {
        // The line's output queue is full: wait until it drains.
        const int ready = WaitFor(POLLOUT, kWriteWaitMs);
        if (ready < 0) return ready;
        if (ready == 0) return -ETIMEDOUT;
        continue;
      }
      if (n < 0) return -errno;
      done += static_cast<std::size_t>(n);
    }
    return static_cast<int>(done);
  }

  int read(std::span<std::uint8_t> buffer, std::uint32_t timeoutMs) override {
    if (fd_ < 0) return -EBADF;
    const int ready = WaitFor(POLLIN, static_cast<int>(timeoutMs));
    if (ready <= 0) return ready;
    for (;;) {
      const ssize_t n = ::read(fd_, buffer.data(), buffer.size());
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return errno == EAGAIN ? 0 : -errno;
      return static_cast<int>(n);
    }
  }

  void clearReceive() override {
    if (fd_ >= 0) tcflush(fd_, TCIFLUSH);
  }

  void close() override {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  static constexpr int kWriteWaitMs = 1000;

  // 1 when the line is ready for `events` within timeoutMs, 0 when the time
  // runs out, or a negative error code. A signal that interrupts the wait
  // does not end it: the wait goes on for the time that is left.
  int WaitFor(short events, int timeoutMs) const {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    int left = timeoutMs;
    for (;;) {
      pollfd p{fd_, events, 0};
      const int ready = poll(&p, 1, left);
      if (ready >= 0) return ready > 0 ? 1 : 0;
      if (errno != EINTR) return -errno;
      const auto now = std::chrono::steady_clock::now();
      left =
          now >= deadline ? 0 : static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(deadline - now).count());
    }
  }

  int Fail() {
    const int error = errno;
    close();
    return -error;
  }
  int fd_ = -1;
};

}  // namespace

std::string SerialDevicePath(int port) {
  const std::string name = "QELVESK_COM" + std::to_string(port + 1);
  if (const char* path = std::getenv(name.c_str()); path && *path) return path;
  return "/dev/ttyS" + std::to_string(port);
}

std::unique_ptr<SerialPort> MakeTtySerialPort() { return std::make_unique<TtySerialPort>(); }

}  // namespace qv
