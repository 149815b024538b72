#include "colour/colour_checks.h"

#include "app/messages.h"

namespace qv {

namespace {

bool SizeAllowed(const ProgramState& state, Host& host) {
  if (ColourPlanesFitFrame(state.geometry)) return true;
  ShowMessage(host, kCallerTextMessage, kColourFrameSizeRefusal);
  return false;
}

}  // namespace

bool ColourFilterAllowed(const ProgramState& state, Host& host) {
  if (!state.images.colourConverted) {
    ShowMessage(host, 69);
    return false;
  }
  return SizeAllowed(state, host);
}

bool RawColourAllowed(const ProgramState& state, Host& host) {
  if (state.images.colourConverted) {
    ShowMessage(host, 68);
    return false;
  }
  return SizeAllowed(state, host);
}

}  // namespace qv
