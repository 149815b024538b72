#pragma once
// The computer's own serial port (the telescope and AO unit when they are not
// on the camera's ports). The Linux layer drives a tty, the simulator wires
// it to the simulated mount and AO unit.

#include <cstdint>
#include <span>

namespace qv {

class SerialPort {
 public:
  virtual ~SerialPort() = default;
  // Opens COM port `port` + 1 at 9600 baud, 8 data bits, no parity, one stop
  // bit, DTR and RTS set. 0, or a negative error code.
  virtual int open(int port) = 0;
  // Bytes written, or a negative error code.
  virtual int write(std::span<const std::uint8_t> bytes) = 0;
  // Whatever has arrived within timeoutMs, up to buffer.size(): the count,
  // or a negative error code.
  virtual int read(std::span<std::uint8_t> buffer, std::uint32_t timeoutMs) = 0;
  virtual void clearReceive() = 0;
  virtual void close() = 0;
};

}  // namespace qv
