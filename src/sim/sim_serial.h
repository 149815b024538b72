#pragma once
// What hangs on the simulated serial lines: an LX200 mount, an
// adaptive-optics unit and a serial filter wheel. Every port, the camera's
// three and the computer's own, reaches all of them; each answers only the
// texts it knows, and replies wait on the port they were asked on.

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "app/clock.h"
#include "sim/sky_scene.h"

namespace qv::sim {

struct SimWheel {
  int positions = 7;  // what the wheel reports
  int position = 1;
  int moves = 0;
};

class SerialDevices {
 public:
  // Pixels per second of an LX200 move at the guide rate ("#:RG#").
  static constexpr double kLx200GuideRate = 2.0;

  SerialDevices(SkyScene& scene, SimWheel& wheel, Clock& clock) : scene_(scene), wheel_(wheel), clock_(clock) {}

  void write(int port, std::span<const std::uint8_t> bytes);
  // Fills `out` with the port's waiting reply, zeros after it.
  void read(int port, std::span<std::uint8_t> out);
  void clear(int port) { pending_[port].clear(); }

  std::vector<std::string> received;  // every text, as sent
  int aoNorthSouth = 0, aoEastWest = 0;  // AO element position in steps
  double aoStepPixels = 0.05;
  std::string lastObject;                 // selected by "#:LM", "#:LS", "#:LC"
  int gotoCount = 0;
  // A GoTo by coordinates slews the field: the scene's stars are the sky
  // round the first place the mount was sent, and each later GoTo moves them
  // by the distance to the new place at this scale.
  double slewArcsecPerPixel = 2.0;

 private:
  void lx200(const std::string& command, int port);
  void ao(const std::string& packet, int port);

  SkyScene& scene_;
  SimWheel& wheel_;
  Clock& clock_;
  double moveRatePerSecond_ = 2.0;
  // Coordinates set by ":Sr" (minutes of RA) and ":Sd" (arcminutes), and
  // where the mount points (unknown until the first GoTo).
  double targetRaMinutes_ = 0, targetDecArcmin_ = 0;
  bool pointed_ = false;
  double pointingRaMinutes_ = 0, pointingDecArcmin_ = 0;
  void slewToTarget();
  std::map<int, std::string> pending_;
};

}  // namespace qv::sim
