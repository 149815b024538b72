#pragma once
// The computer's serial port on a tty: COM n is /dev/ttyS<n-1> unless the
// environment variable QELVESK_COM<n> names another device.

#include <memory>
#include <string>

#include "camera/serial_port.h"

namespace qv {

std::string SerialDevicePath(int port);
std::unique_ptr<SerialPort> MakeTtySerialPort();

}  // namespace qv
