#pragma once
// Training on the guider camera: the mount is pulsed west, east, north and
// south (or the AO element stepped each way) and the guider star measured
// after each move, giving the drift vectors, backlash and rotation of the
// guider frame against the mount, or the AO steps per pixel.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/clock.h"
#include "app/host.h"
#include "app/operation.h"
#include "app/program_state.h"
#include "guiding/guiding_state.h"

namespace qv {

inline constexpr std::string_view kGuiderCaption = "Auto Guider Camera Control";
inline constexpr int kAoTrainingSteps = 25;

// The star's places: the start, then one after each move.
using GuiderPlaces = std::array<StarPosition, 9>;

// Vectors, magnitudes, backlash and rotation from the nine places of a mount
// training of `seconds`.
GuiderTraining ComputeGuiderTraining(const GuiderPlaces& p, int seconds);
std::string GuiderTrainingText(const GuiderTraining& t);

struct AoTrainingResult {
  int raX = 0, raY = 0, decX = 0, decY = 0;  // tenths of a pixel per 25 steps, as shown
  int raRate = 1, decRate = 1;               // steps per pixel
};
// From the start and four places of an AO training; nothing when a move
// measured no displacement (the rate would be undefined).
std::optional<AoTrainingResult> ComputeAoTraining(const GuiderPlaces& p);

enum class GuiderTrainingKind { Mount, Ao };

class GuiderTrainingOperation final : public Operation {
 public:
  GuiderTrainingOperation(ProgramState& state, Host& host, Clock& clock, GuiderTrainingKind kind,
                          std::uint32_t exposureMs);

  WakeTime start(std::uint32_t nowMs) override;
  WakeTime step(std::uint32_t nowMs) override;
  void cancel() override;
  void input(OperationInput) override {}

  [[nodiscard]] bool succeeded() const { return succeeded_; }
  // The results were measured but the settings file could not be written
  // (message 24 shown): they hold until the program ends.
  [[nodiscard]] bool settingsSaved() const { return settingsSaved_; }
  const GuiderPlaces& places() const { return places_; }
  const AoTrainingResult& aoResult() const { return ao_; }
  // The guider dialog's caption, naming each move while it runs.
  const std::string& caption() const { return caption_; }

 private:
  int moves() const;
  WakeTime moveNext();
  [[nodiscard]] bool measure(int index);
  WakeTime complete();
  WakeTime finish();

  ProgramState& state_;
  Host& host_;
  Clock& clock_;
  GuiderTrainingKind kind_;
  std::uint32_t exposureMs_;
  GuiderPlaces places_{};
  AoTrainingResult ao_;
  bool startMeasured_ = false;
  int done_ = 0;                           // places measured after the start
  bool pausing_ = false, paused_ = false;  // the half-second rest before the Dec moves
  bool running_ = false;
  bool succeeded_ = false;
  bool settingsSaved_ = false;
  std::string caption_{kGuiderCaption};
};

}  // namespace qv
