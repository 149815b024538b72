#include "sim/sim_serial.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>

namespace qv::sim {

namespace {

constexpr double kGuideRate = SerialDevices::kLx200GuideRate, kCentreRate = 16.0, kFindRate = 64.0, kSlewRate = 256.0;

}  // namespace

void SerialDevices::write(int port, std::span<const std::uint8_t> bytes) {
  const std::string text(bytes.begin(), bytes.end());
  received.push_back(text);
  if (text.empty()) return;
  const auto first = static_cast<std::uint8_t>(text[0]);
  if (first == 0xA5 && text.size() >= 4 && text[1] == 1) {
    const int p = static_cast<std::uint8_t>(text[2]);
    if (static_cast<std::uint8_t>(text[3]) == 0xA6 + p && p >= 1 && p <= wheel_.positions) {
      wheel_.position = p;
      ++wheel_.moves;
    }
    return;
  }
  if (text[0] == '#' || text[0] == ':') {
    // LX200 commands run together; each starts with ":" and ends at "#" or at the next ":".
    std::size_t at = 0;
    while ((at = text.find(':', at)) != std::string::npos) {
      // The RA text carries a colon of its own ("Sr 05:35.0"): it ends at "#" only.
      const bool rightAscension = text.compare(at + 1, 2, "Sr") == 0;
      std::size_t end = rightAscension ? text.find('#', at + 1) : text.find_first_of("#:", at + 1);
      if (end == std::string::npos) end = text.size();
      lx200(text.substr(at + 1, end - at - 1), port);
      at = end;
    }
    return;
  }
  ao(text, port);
}

void SerialDevices::read(int port, std::span<std::uint8_t> out) {
  std::fill(out.begin(), out.end(), std::uint8_t{0});
  std::string& reply = pending_[port];
  const std::size_t n = std::min(reply.size(), out.size());
  std::copy_n(reply.begin(), n, out.begin());
  reply.erase(0, n);
}

void SerialDevices::lx200(const std::string& command, int port) {
  if (command.size() < 2) return;
  Mount& mount = scene_.mount;
  const std::uint32_t now = clock_.milliseconds();
  const char op = command[0], arg = command[1];
  if (op == 'R') {
    moveRatePerSecond_ = arg == 'G' ? kGuideRate : arg == 'C' ? kCentreRate : arg == 'M' ? kFindRate : kSlewRate;
  } else if (op == 'M' && (arg == 'n' || arg == 's' || arg == 'e' || arg == 'w')) {
    mount.startMove(arg, moveRatePerSecond_, now);
  } else if (op == 'Q') {
    mount.stopMove(arg, now);
  } else if (op == 'L' && (arg == 'M' || arg == 'S' || arg == 'C')) {
    const int number = std::atoi(command.c_str() + 2);
    lastObject = std::string(arg == 'M' ? "M" : arg == 'S' ? "STAR " : "CNGC ") + std::to_string(number);
    // Each catalogue object has its own place on the sky, so a GoTo to it
    // moves the field like a GoTo by coordinates.
    const int key = number * 3 + (arg == 'M' ? 0 : arg == 'S' ? 1 : 2);
    targetRaMinutes_ = (key * 7) % 1440;
    targetDecArcmin_ = ((key * 13) % 170 - 85) * 60.0;
  } else if (op == 'L' && arg == 'I') {
    pending_[port] = (lastObject.empty() ? std::string("NO OBJECT") : lastObject) + " MAG 5.0#";
  } else if (op == 'S' && arg == 'r') {
    int hours = 0, minutes = 0;
    if (std::sscanf(command.c_str() + 2, "%d:%d", &hours, &minutes) == 2) targetRaMinutes_ = hours * 60.0 + minutes;
  } else if (op == 'S' && arg == 'd') {
    char sign = '+';
    int degrees = 0, minutes = 0;
    if (std::sscanf(command.c_str() + 2, " %c%d*%d", &sign, &degrees, &minutes) == 3) {
      targetDecArcmin_ = (sign == '-' ? -1 : 1) * (degrees * 60.0 + minutes);
    }
  } else if (op == 'M' && arg == 'S') {
    ++gotoCount;
    slewToTarget();
    pending_[port].assign(1, '0');
  }
  // Set-coordinate and focus commands need no answer here.
}

void SerialDevices::slewToTarget() {
  if (pointed_) {
    // The same directions as the mount's guided and LX200 moves: east +x, north -y.
    const double cosDec = std::cos(pointingDecArcmin_ / 60.0 * std::numbers::pi / 180.0);
    const double eastArcsec = (targetRaMinutes_ - pointingRaMinutes_) * 15.0 * 60.0 * cosDec;
    const double northArcsec = (targetDecArcmin_ - pointingDecArcmin_) * 60.0;
    scene_.mount.nudge(eastArcsec / slewArcsecPerPixel, -northArcsec / slewArcsecPerPixel);
  }
  pointed_ = true;
  pointingRaMinutes_ = targetRaMinutes_;
  pointingDecArcmin_ = targetDecArcmin_;
}

void SerialDevices::ao(const std::string& packet, int port) {
  const char op = packet[0];
  if (op == 'H') {
    pending_[port].assign(1, 'H');
  } else if (op == 'K') {
    aoNorthSouth = aoEastWest = 0;
  } else if ((op == 'G' || op == 'M') && packet.size() >= 7) {
    const char direction = packet[1];
    const int count = std::atoi(packet.substr(2, 5).c_str());
    const int sign = direction == 'T' || direction == 'S' ? 1 : -1;
    const bool eastWest = direction == 'T' || direction == 'W';
    if (op == 'G') {
      (eastWest ? aoEastWest : aoNorthSouth) += sign * count;
    } else {
      // A mount bump: count milliseconds at the guide rate.
      const double pixels = sign * count * scene_.mount.guideRatePerSecond / 1000.0;
      scene_.mount.nudge(eastWest ? pixels : 0, eastWest ? 0 : pixels);
    }
  }
  scene_.aoShiftX = aoEastWest * aoStepPixels;
  scene_.aoShiftY = aoNorthSouth * aoStepPixels;
}

}  // namespace qv::sim
