#include "processing/stretch_commands.h"

#include <cstdio>
#include <string>

#include "processing/stretch_apply.h"
#include "processing/stretch_tables.h"

namespace qv {

namespace {

std::uint16_t* Table(ProgramState& state) { return state.images.buffers.stretchTable.data(); }

void ApplyWithHistory(ProgramState& state, Host& host, const std::string& line, bool rebuild = true) {
  ApplyStretchTable(state, host, rebuild);
  AddHistoryLine(state.images.history, line);
}

}  // namespace

bool NormalStretch(ProgramState& state, Host& host, int black, int white) {
  if (!FillNormalStretchTable(Table(state), black, white)) return false;
  ApplyWithHistory(state, host,
                   "Normal Stretch : max " + std::to_string(2 * white) + " , min : " + std::to_string(2 * black));
  return true;
}

bool PowerLawStretch(ProgramState& state, Host& host, double exponent) {
  if (!FillPowerStretchTable(Table(state), exponent)) return false;
  char number[32];
  std::snprintf(number, sizeof number, "%1.1f", exponent);
  ApplyWithHistory(state, host, std::string("Power Stretch :  ") + number);
  return true;
}

void SineLawStretch(ProgramState& state, Host& host) {
  FillSineStretchTable(Table(state));
  ApplyWithHistory(state, host, "Sine Stretch");
}

void LogarithmicStretch(ProgramState& state, Host& host) {
  FillLogStretchTable(Table(state));
  ApplyWithHistory(state, host, "Log Stretch");
}

void AntilogarithmicStretch(ProgramState& state, Host& host) {
  FillAntilogStretchTable(Table(state));
  ApplyWithHistory(state, host, "Antilog Stretch");
}

void InvertToNegative(ProgramState& state, Host& host) {
  FillInvertTable(Table(state));
  ApplyWithHistory(state, host, "Invert Image to Negative");
}

void NonLinearStretch(ProgramState& state, Host& host, int power, bool rebuild) {
  FillNonLinearStretchTable(Table(state), power);
  ApplyWithHistory(state, host, "Non-Linear Stretch : power " + std::to_string(power), rebuild);
}

bool NonLinearColourStretch(ProgramState& state, Host& host, int power) {
  if (!state.images.colourConverted) return ApplyStretchTableColour(state, host, true);
  FillNonLinearStretchTable(Table(state), power);
  if (!ApplyStretchTableColour(state, host, true)) return false;
  AddHistoryLine(state.images.history, "Non-Linear Colour : power " + std::to_string(power));
  return true;
}

bool FillBackgroundTable(ProgramState& state, Host& host, bool apply, bool rebuild) {
  const int cut = FillBackgroundStretchTable(Table(state), state.display.blackLevel);
  if (cut < 0) return false;
  if (apply) ApplyWithHistory(state, host, "Background Removed : min " + std::to_string(cut / 64), rebuild);
  return true;
}

}  // namespace qv
