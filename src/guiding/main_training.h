#pragma once
// Training on the main camera: the mount is pulsed north, north, south,
// south, then east, east, west, west for the training time, a guide
// sub-frame is read after each pulse, and the star's moves give the drive
// rates and the backlash in whole pixels per second.

#include <array>
#include <cstdint>
#include <string>

#include "app/clock.h"
#include "app/host.h"
#include "app/operation.h"
#include "app/program_state.h"
#include "guiding/guide_subframe.h"
#include "guiding/guiding_state.h"

namespace qv {

// The star's nine places: the start, after each Dec move, after each RA move.
struct MainTrainingPositions {
  std::array<StarPosition, 9> p;
};

struct MainTrainingResult {
  int raRate = 0, decRate = 0, raBacklash = 0, decBacklash = 0;
};

// Rates and backlash from the places, training time `seconds`. The RA moves
// start from the place the Dec moves ended.
MainTrainingResult ComputeMainTraining(const MainTrainingPositions& positions, int seconds);
// "slewx = ..., slewy = ...\nbacklashx = ..., backlashy = ..."
std::string MainTrainingText(const MainTrainingResult& result);

class MainTrainingOperation final : public Operation {
 public:
  MainTrainingOperation(ProgramState& state, Host& host, Clock& clock, std::uint32_t exposureMs);

  WakeTime start(std::uint32_t nowMs) override;
  WakeTime step(std::uint32_t nowMs) override;
  void cancel() override;
  void input(OperationInput) override {}

  [[nodiscard]] bool succeeded() const { return succeeded_; }
  // The results were measured but the settings file could not be written
  // (message 24 shown): they hold until the program ends.
  [[nodiscard]] bool settingsSaved() const { return settingsSaved_; }
  const MainTrainingResult& result() const { return result_; }
  const MainTrainingPositions& positions() const { return positions_; }

 private:
  WakeTime exposeNext();
  WakeTime finish();

  ProgramState& state_;
  Host& host_;
  Clock& clock_;
  std::uint32_t exposureMs_;
  SubFramePlacement placement_;
  MainTrainingPositions positions_;
  MainTrainingResult result_;
  int measured_ = 0;  // places found so far
  bool running_ = false;
  bool succeeded_ = false;
  bool settingsSaved_ = false;
};

}  // namespace qv
