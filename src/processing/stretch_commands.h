#pragma once
// The contrast stretch commands: each fills the stretch table by its formula,
// applies it to the image and records one history line. A command whose
// input range is empty changes nothing and records nothing (false).

#include "app/host.h"
#include "app/program_state.h"

namespace qv {

[[nodiscard]] bool NormalStretch(ProgramState& state, Host& host, int black, int white);
[[nodiscard]] bool PowerLawStretch(ProgramState& state, Host& host, double exponent);
void SineLawStretch(ProgramState& state, Host& host);
void LogarithmicStretch(ProgramState& state, Host& host);
void AntilogarithmicStretch(ProgramState& state, Host& host);
void InvertToNegative(ProgramState& state, Host& host);
void NonLinearStretch(ProgramState& state, Host& host, int power, bool rebuild = true);
// Refused with "Image Not Colour Converted" (false) on an image that is not
// colour converted.
[[nodiscard]] bool NonLinearColourStretch(ProgramState& state, Host& host, int power);

// "&Remove Background" from the black level in state.processing. With
// `apply` clear only the table is filled. False when the level is below 3.
[[nodiscard]] bool FillBackgroundTable(ProgramState& state, Host& host, bool apply, bool rebuild = true);

}  // namespace qv
