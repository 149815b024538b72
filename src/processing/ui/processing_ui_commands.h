#pragma once
// The menu commands of the contrast stretches and spatial filters: each asks
// for its parameters where it has a dialog, then runs the core operation.
// ProcessingUiCommands() pairs each with its command id for the menu.

#include <QWidget>
#include <vector>

#include "app/program_state.h"
#include "app/ui/qt_host.h"

namespace qv {

using ProcessingUiCommand = void (*)(ProgramState& state, QtHost& host, QWidget* parent);

struct ProcessingUiCommandEntry {
  int id;
  ProcessingUiCommand run;
};

// Command ids of the stretch and filter menu items.
enum ProcessingCommandId {
  kCmdNormalStretch = 1,
  kCmdPowerLawStretch = 2,
  kCmdMedianFilter = 3,
  kCmdGaussianSmoother = 4,
  kCmdWeightedMeanSmoother = 5,
  kCmdBasRelief = 7,
  kCmdGradientFilter = 18,
  kCmdLogarithmicStretch = 102,
  kCmdAntilogarithmicStretch = 103,
  kCmdInvertToNegative = 105,
  kCmdUnsharpMask = 106,
  kCmdHighPassLowPower = 107,
  kCmdHighPassHighPower = 108,
  kCmdSmootherSharper = 109,
  kCmdNonLinearStretch = 117,
  kCmdRemoveBackground = 120,
  kCmdNonLinearColourStretch = 128,
  kCmdSineLawStretch = 172,
};

void RunNormalStretchCommand(ProgramState& state, QtHost& host, QWidget* parent);
void RunPowerLawStretchCommand(ProgramState& state, QtHost& host, QWidget* parent);
void RunSineLawStretchCommand(ProgramState& state, QtHost& host, QWidget* parent);
void RunLogarithmicStretchCommand(ProgramState& state, QtHost& host, QWidget* parent);
void RunAntilogarithmicStretchCommand(ProgramState& state, QtHost& host, QWidget* parent);
void RunInvertToNegativeCommand(ProgramState& state, QtHost& host, QWidget* parent);
void RunNonLinearStretchCommand(ProgramState& state, QtHost& host, QWidget* parent);
void RunNonLinearColourStretchCommand(ProgramState& state, QtHost& host, QWidget* parent);
void RunRemoveBackgroundCommand(ProgramState& state, QtHost& host, QWidget* parent);
void RunUnsharpMaskCommand(ProgramState& state, QtHost& host, QWidget* parent);
void RunMedianFilterCommand(ProgramState& state, QtHost& host, QWidget* parent);
void RunGaussianSmootherCommand(ProgramState& state, QtHost& host, QWidget* parent);
void RunWeightedMeanSmootherCommand(ProgramState& state, QtHost& host, QWidget* parent);
void RunHighPassLowPowerCommand(ProgramState& state, QtHost& host, QWidget* parent);
void RunHighPassHighPowerCommand(ProgramState& state, QtHost& host, QWidget* parent);
void RunSmootherSharperCommand(ProgramState& state, QtHost& host, QWidget* parent);
void RunBasReliefCommand(ProgramState& state, QtHost& host, QWidget* parent);
void RunGradientFilterCommand(ProgramState& state, QtHost& host, QWidget* parent);

const std::vector<ProcessingUiCommandEntry>& ProcessingUiCommands();

}  // namespace qv
