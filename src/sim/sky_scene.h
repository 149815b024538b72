#pragma once
// The simulated sky and sensor: a seeded star field seen through the mount,
// with sky background, seeing, the RGGB colour matrix, shot and read noise,
// bias, dark current that grows with temperature and a few hot pixels, plus
// the cooler's and the mount's physics. Plain code: tests use it directly.

#include <cstdint>
#include <deque>
#include <vector>

namespace qv::sim {

struct Star {
  double x = 0, y = 0;                  // sky position in main-sensor pixels, before any mount motion
  double flux = 0;                      // electrons per second, all colours
  double red = 1, green = 1, blue = 1;  // colour weights
};

struct HotPixel {
  int x = 0, y = 0;
  double electronsPerSecond = 0;
};

// Relay bits of the autoguider socket.
enum GuideBits : std::uint8_t { kWest = 1, kSouth = 2, kNorth = 4, kEast = 8 };

// The mount: drift, periodic error, motion by relay bits and LX200 moves,
// and declination backlash. Positions are image shifts in main-sensor pixels.
class Mount {
 public:
  double driftXPerSecond = 0.05;
  double driftYPerSecond = -0.02;
  double periodicErrorAmplitude = 1.5;  // pixels
  double periodicErrorPeriodS = 480;
  double guideRatePerSecond = 2.0;  // pixels per second at the guide rate
  double decBacklash = 3.0;         // pixels of play when Dec reverses

  // Brings the mount to `ms` with the motions that were active.
  void advanceTo(std::uint32_t ms);
  void setRelayBits(std::uint8_t bits, std::uint32_t ms);
  // LX200 continuous move in 'n', 's', 'e' or 'w' at `ratePerSecond`; stop ends it.
  void startMove(char direction, double ratePerSecond, std::uint32_t ms);
  void stopMove(char direction, std::uint32_t ms);
  // An instantaneous nudge (AO mount bump), in pixels.
  void nudge(double dx, double dy);

  double shiftX(std::uint32_t ms) const;  // total image shift at a time already advanced to
  double shiftY(std::uint32_t ms) const;
  // The shift at an earlier time, for a star trailed over an exposure: the
  // drift and periodic error are known at any time, the guided motion is
  // taken between the places recorded at each advance.
  double pastShiftX(std::uint32_t ms) const;
  double pastShiftY(std::uint32_t ms) const;
  std::uint8_t relayBits() const { return relayBits_; }

 private:
  void moveDec(double dy);
  void record();
  struct PathPoint {
    std::uint32_t ms = 0;
    double guidedX = 0, decActual = 0;
  };
  // Linear between the recorded places: the guided X and the actual Dec.
  PathPoint pastPlace(std::uint32_t ms) const;
  double driftX(std::uint32_t ms) const;
  double driftY(std::uint32_t ms) const;
  double rateX() const;
  double rateY() const;

  bool started_ = false;
  std::uint32_t startMs_ = 0, lastMs_ = 0;
  std::uint8_t relayBits_ = 0;
  double moveRateX_ = 0, moveRateY_ = 0;  // LX200 moves
  double guidedX_ = 0;
  double decCommanded_ = 0, decActual_ = 0;
  std::deque<PathPoint> path_;  // the latest places, oldest first
};

// The cooler moves toward its set point at a finite rate, and back toward
// the ambient temperature when off.
class Cooler {
 public:
  double ambientC = 20;
  double maximumDeltaC = 45;
  double ratePerSecond = 0.1;

  void advanceTo(std::uint32_t ms);
  void set(bool on, int setpointC, std::uint32_t ms);
  double temperatureC() const { return temperatureC_; }
  [[nodiscard]] bool on() const { return on_; }
  int setpointC() const { return setpointC_; }

 private:
  bool started_ = false;
  std::uint32_t lastMs_ = 0;
  bool on_ = false;
  int setpointC_ = 0;
  double temperatureC_ = 20;
};

struct SensorWindow {
  int x = 0, y = 0, width = 0, height = 0, binX = 1, binY = 1;
};

class SkyScene {
 public:
  // A sky for a sensor of this size (stars cover it with a margin).
  SkyScene(std::uint64_t seed, int sensorWidth, int sensorHeight);

  double skyPerSecond = 40;  // electrons per pixel per second through green
  double seeingSigma = 1.4;  // PSF sigma in pixels
  double bias = 1000;
  double readNoise = 8;
  double darkAtZeroC = 0.2;  // electrons per second at 0 C, doubling every 6.3 C
  // Colour matrix response to the sky: red, green, blue.
  double skyRed = 0.6, skyGreen = 1.0, skyBlue = 0.45;

  Mount mount;
  Cooler cooler;
  double aoShiftX = 0, aoShiftY = 0;  // image shift by the adaptive-optics element

  const std::vector<Star>& stars() const { return stars_; }
  const std::vector<HotPixel>& hotPixels() const { return hotPixels_; }
  int sensorWidth() const { return width_; }
  int sensorHeight() const { return height_; }
  // Where a star is on the sensor at a time (mount and AO shifts applied).
  double starX(const Star& s, std::uint32_t ms) const { return s.x + mount.shiftX(ms) + aoShiftX; }
  double starY(const Star& s, std::uint32_t ms) const { return s.y + mount.shiftY(ms) + aoShiftY; }
  double darkPerSecond() const;

  // Renders a main-sensor window after an exposure of exposureMs that ended
  // at endMs: (width / binX) x (height / binY) 16-bit pixels.
  void renderMain(const SensorWindow& window, std::uint32_t exposureMs, std::uint32_t endMs, std::uint16_t* out);
  // The guider sensor sees the middle of the same sky at the same scale:
  // columns x rows 8-bit pixels, binned by `bin`.
  void renderGuider(int columns, int rows, int bin, std::uint32_t exposureMs, std::uint32_t endMs, std::uint8_t* out);
  // Top-left of the guider field in main-sensor pixels.
  int guiderOriginX(int columns) const { return width_ / 2 - columns / 2; }
  int guiderOriginY(int rows) const { return height_ / 2 - rows / 2; }

 private:
  // Electrons per output pixel, without noise, into signal_.
  // Stars are spread along their trail from endMs - seconds to endMs.
  void expectedSignal(const SensorWindow& window, double seconds, std::uint32_t endMs, bool colourMatrix);

  struct Trail {
    double dx = 0, dy = 0;  // the image shift
    double seconds = 0;     // how long the stars stood there
  };
  std::vector<Trail> TrailOf(double seconds, std::uint32_t endMs) const;

  std::uint64_t seed_;
  std::uint64_t frames_ = 0;
  int width_, height_;
  std::vector<Star> stars_;
  std::vector<HotPixel> hotPixels_;
  std::vector<float> signal_;  // reused between frames
};

}  // namespace qv::sim
