#include "sim/sky_scene.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace qv::sim {

namespace {

// xorshift64*: small, fast and the same on every machine.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 0x2545F4914F6CDD1Dull) {
    if (state_ == 0) state_ = 1;
  }
  std::uint64_t next() {
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    return state_ * 0x2545F4914F6CDD1Dull;
  }
  double uniform() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }
  // Close to a standard normal: the sum of four 16-bit uniforms, rescaled.
  float normal() {
    const std::uint64_t r = next();
    const int sum = static_cast<int>((r & 0xFFFF) + ((r >> 16) & 0xFFFF) + ((r >> 32) & 0xFFFF) + (r >> 48));
    return (static_cast<float>(sum) * (1.0f / 65536.0f) - 2.0f) * 1.7320508f;
  }

 private:
  std::uint64_t state_;
};

double Seconds(std::uint32_t fromMs, std::uint32_t toMs) { return static_cast<double>(toMs - fromMs) / 1000.0; }

}  // namespace

// --- Mount -------------------------------------------------------------------

void Mount::advanceTo(std::uint32_t ms) {
  if (!started_) {
    started_ = true;
    startMs_ = lastMs_ = ms;
    record();
    return;
  }
  const double dt = Seconds(lastMs_, ms);
  if (dt <= 0 || dt > 1e6) return;
  guidedX_ += rateX() * dt;
  moveDec(rateY() * dt);
  lastMs_ = ms;
  record();
}

void Mount::record() {
  constexpr std::size_t kPlacesKept = 4096;
  path_.push_back({lastMs_, guidedX_, decActual_});
  if (path_.size() > kPlacesKept) path_.pop_front();
}

Mount::PathPoint Mount::pastPlace(std::uint32_t ms) const {
  // Times as offsets back from the latest advance, so the clock may wrap.
  const auto back = [this](std::uint32_t t) {
    return static_cast<std::int64_t>(static_cast<std::int32_t>(lastMs_ - t));
  };
  const std::int64_t want = back(ms);
  if (path_.empty() || want <= 0) return {ms, guidedX_, decActual_};
  for (std::size_t i = path_.size(); i-- > 0;) {
    const PathPoint& p = path_[i];
    if (back(p.ms) < want) continue;
    if (i + 1 == path_.size()) return p;
    const PathPoint& q = path_[i + 1];
    const double span = static_cast<double>(back(p.ms) - back(q.ms));
    const double f = span > 0 ? static_cast<double>(back(p.ms) - want) / span : 1.0;
    return {ms, p.guidedX + (q.guidedX - p.guidedX) * f, p.decActual + (q.decActual - p.decActual) * f};
  }
  return path_.front();
}

double Mount::rateX() const {
  double rate = moveRateX_;
  if (relayBits_ & kEast) rate += guideRatePerSecond;
  if (relayBits_ & kWest) rate -= guideRatePerSecond;
  return rate;
}

double Mount::rateY() const {
  double rate = moveRateY_;
  if (relayBits_ & kSouth) rate += guideRatePerSecond;
  if (relayBits_ & kNorth) rate -= guideRatePerSecond;
  return rate;
}

void Mount::moveDec(double dy) {
  decCommanded_ += dy;
  const double half = decBacklash / 2;
  if (decCommanded_ - decActual_ > half) decActual_ = decCommanded_ - half;
  if (decActual_ - decCommanded_ > half) decActual_ = decCommanded_ + half;
}

void Mount::setRelayBits(std::uint8_t bits, std::uint32_t ms) {
  advanceTo(ms);
  relayBits_ = bits;
}

void Mount::startMove(char direction, double ratePerSecond, std::uint32_t ms) {
  advanceTo(ms);
  switch (direction) {
    case 'e': moveRateX_ = ratePerSecond; break;
    case 'w': moveRateX_ = -ratePerSecond; break;
    case 's': moveRateY_ = ratePerSecond; break;
    case 'n': moveRateY_ = -ratePerSecond; break;
    default: break;
  }
}

void Mount::stopMove(char direction, std::uint32_t ms) {
  advanceTo(ms);
  if (direction == 'e' || direction == 'w') moveRateX_ = 0;
  if (direction == 'n' || direction == 's') moveRateY_ = 0;
}

void Mount::nudge(double dx, double dy) {
  guidedX_ += dx;
  moveDec(dy);
  record();
}

double Mount::driftX(std::uint32_t ms) const {
  const double t = started_ ? Seconds(startMs_, ms) : 0;
  return driftXPerSecond * t + periodicErrorAmplitude * std::sin(2 * std::numbers::pi * t / periodicErrorPeriodS);
}

double Mount::driftY(std::uint32_t ms) const {
  const double t = started_ ? Seconds(startMs_, ms) : 0;
  return driftYPerSecond * t;
}

double Mount::shiftX(std::uint32_t ms) const { return driftX(ms) + guidedX_; }
double Mount::shiftY(std::uint32_t ms) const { return driftY(ms) + decActual_; }
double Mount::pastShiftX(std::uint32_t ms) const { return driftX(ms) + pastPlace(ms).guidedX; }
double Mount::pastShiftY(std::uint32_t ms) const { return driftY(ms) + pastPlace(ms).decActual; }

// --- Cooler ------------------------------------------------------------------

void Cooler::advanceTo(std::uint32_t ms) {
  if (!started_) {
    started_ = true;
    lastMs_ = ms;
    temperatureC_ = ambientC;
    return;
  }
  const double dt = Seconds(lastMs_, ms);
  if (dt <= 0 || dt > 1e6) return;
  lastMs_ = ms;
  const double target = on_ ? std::max<double>(setpointC_, ambientC - maximumDeltaC) : ambientC;
  const double step = ratePerSecond * dt;
  if (temperatureC_ > target) temperatureC_ = std::max(target, temperatureC_ - step);
  else temperatureC_ = std::min(target, temperatureC_ + step);
}

void Cooler::set(bool on, int setpointC, std::uint32_t ms) {
  advanceTo(ms);
  on_ = on;
  setpointC_ = setpointC;
}

// --- Scene -------------------------------------------------------------------

SkyScene::SkyScene(std::uint64_t seed, int sensorWidth, int sensorHeight)
    : seed_(seed), width_(sensorWidth), height_(sensorHeight) {
  Random random(seed);
  const double marginX = sensorWidth * 0.1, marginY = sensorHeight * 0.1;
  const int count = std::max(20, sensorWidth * sensorHeight / 15000);
  stars_.reserve(count + 1);
  // A bright star near the middle, where the guider looks, so guiding always has one.
  stars_.push_back(Star{sensorWidth / 2 + 20.3, sensorHeight / 2 - 10.7, 200000, 0.9, 1.0, 0.8});
  for (int i = 0; i < count; ++i) {
    Star s;
    s.x = -marginX + random.uniform() * (sensorWidth + 2 * marginX);
    s.y = -marginY + random.uniform() * (sensorHeight + 2 * marginY);
    s.flux = std::pow(10.0, 2.0 + 2.5 * random.uniform());
    const double temperature = random.uniform();  // blue to red
    s.red = 0.5 + temperature;
    s.green = 1.0;
    s.blue = 1.5 - temperature;
    stars_.push_back(s);
  }
  for (int i = 0; i < 30; ++i) {
    hotPixels_.push_back(HotPixel{static_cast<int>(random.uniform() * sensorWidth),
                                  static_cast<int>(random.uniform() * sensorHeight), 50 + 2000 * random.uniform()});
  }
}

double SkyScene::darkPerSecond() const { return darkAtZeroC * std::pow(2.0, cooler.temperatureC() / 6.3); }

void SkyScene::expectedSignal(const SensorWindow& w, double seconds, std::uint32_t endMs, bool colourMatrix) {
  const int outW = w.width / w.binX, outH = w.height / w.binY;
  signal_.assign(static_cast<std::size_t>(outW) * outH, 0.0f);
  if (outW <= 0 || outH <= 0) return;
  const double dark = darkPerSecond();
  // Per colour-matrix cell (row parity, column parity): red, green / green, blue.
  double weight[2][2] = {{skyRed, skyGreen}, {skyGreen, skyBlue}};
  if (!colourMatrix) weight[0][0] = weight[0][1] = weight[1][0] = weight[1][1] = 1.0;
  float base[2][2];
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 2; ++c) base[r][c] = static_cast<float>((skyPerSecond * weight[r][c] + dark) * seconds);

  for (int oy = 0; oy < outH; ++oy) {
    float* row = signal_.data() + static_cast<std::size_t>(oy) * outW;
    for (int by = 0; by < w.binY; ++by) {
      const int y = w.y + oy * w.binY + by;
      const float* cells = base[y & 1];
      if (w.binX == 1) {
        const int parity = w.x & 1;
        for (int ox = 0; ox < outW; ++ox) row[ox] += cells[(ox + parity) & 1];
      } else {
        for (int ox = 0; ox < outW; ++ox) {
          float sum = 0;
          for (int bx = 0; bx < w.binX; ++bx) sum += cells[(w.x + ox * w.binX + bx) & 1];
          row[ox] += sum;
        }
      }
    }
  }
  auto add = [&](int x, int y, float electrons) {
    const int ox = (x - w.x) / w.binX, oy = (y - w.y) / w.binY;
    if (x < w.x || y < w.y || ox >= outW || oy >= outH) return;
    signal_[static_cast<std::size_t>(oy) * outW + ox] += electrons;
  };
  if (colourMatrix) {
    for (const auto& h : hotPixels_) add(h.x, h.y, static_cast<float>(h.electronsPerSecond * seconds));
  }
  const double sigma = seeingSigma;
  const int radius = static_cast<int>(std::ceil(4 * sigma));
  const double norm = 1.0 / (2 * std::numbers::pi * sigma * sigma);
  for (const Trail& part : TrailOf(seconds, endMs)) {
    for (const auto& s : stars_) {
      const double sx = s.x + part.dx, sy = s.y + part.dy;
      if (sx < w.x - radius || sy < w.y - radius || sx > w.x + w.width + radius || sy > w.y + w.height + radius) {
        continue;
      }
      const double starWeight[2][2] = {{s.red, s.green}, {s.green, s.blue}};
      const int x0 = std::max(w.x, static_cast<int>(sx) - radius);
      const int x1 = std::min(w.x + w.width - 1, static_cast<int>(sx) + radius);
      const int y0 = std::max(w.y, static_cast<int>(sy) - radius);
      const int y1 = std::min(w.y + w.height - 1, static_cast<int>(sy) + radius);
      const double electrons = s.flux * part.seconds * norm;
      for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
          const double dx = x - sx, dy = y - sy;
          const double cell = colourMatrix ? starWeight[y & 1][x & 1] : 1.0;
          add(x, y, static_cast<float>(electrons * cell * std::exp(-(dx * dx + dy * dy) / (2 * sigma * sigma))));
        }
      }
    }
  }
}

std::vector<SkyScene::Trail> SkyScene::TrailOf(double seconds, std::uint32_t endMs) const {
  // The exposure in up to 64 slices; neighbouring slices less than a tenth
  // of a pixel apart are drawn as one, so a still mount costs one drawing.
  constexpr int kSlices = 64;
  constexpr double kSamePlace = 0.1;
  const double totalMs = seconds * 1000.0;
  const int slices = std::clamp(static_cast<int>(totalMs / 250.0), 1, kSlices);
  std::vector<Trail> trail;
  for (int i = 0; i < slices; ++i) {
    const double back = totalMs * (1.0 - (i + 0.5) / slices);
    const auto at = endMs - static_cast<std::uint32_t>(std::lround(back));
    const double dx = mount.pastShiftX(at) + aoShiftX, dy = mount.pastShiftY(at) + aoShiftY;
    const double part = seconds / slices;
    if (!trail.empty() && std::abs(trail.back().dx - dx) < kSamePlace && std::abs(trail.back().dy - dy) < kSamePlace) {
      trail.back().seconds += part;
    } else {
      trail.push_back({dx, dy, part});
    }
  }
  return trail;
}

void SkyScene::renderMain(const SensorWindow& window, std::uint32_t exposureMs, std::uint32_t endMs, std::uint16_t* out) {
  mount.advanceTo(endMs);
  cooler.advanceTo(endMs);
  expectedSignal(window, exposureMs / 1000.0, endMs, true);
  Random random(seed_ * 7919 + ++frames_);
  const float biasLevel = static_cast<float>(bias), noise = static_cast<float>(readNoise);
  for (std::size_t i = 0; i < signal_.size(); ++i) {
    const float s = signal_[i];
    const float v = biasLevel + s + std::sqrt(s) * random.normal() + noise * random.normal();
    out[i] = v <= 0 ? 0 : (v >= 65535.0f ? 65535 : static_cast<std::uint16_t>(v));
  }
}

void SkyScene::renderGuider(int columns, int rows, int bin, std::uint32_t exposureMs, std::uint32_t endMs,
                            std::uint8_t* out) {
  mount.advanceTo(endMs);
  cooler.advanceTo(endMs);
  const SensorWindow window{guiderOriginX(columns), guiderOriginY(rows), columns, rows, bin, bin};
  expectedSignal(window, exposureMs / 1000.0, endMs, false);
  Random random(seed_ * 104729 + ++frames_);
  for (std::size_t i = 0; i < signal_.size(); ++i) {
    const float s = signal_[i];
    const float v = 4.0f + (s + std::sqrt(s) * random.normal()) / 64.0f + 0.5f * random.normal();
    out[i] = v <= 0 ? 0 : (v >= 255.0f ? 255 : static_cast<std::uint8_t>(v));
  }
}

}  // namespace qv::sim
