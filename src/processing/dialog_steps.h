#pragma once
// How the scroll bars of the stretch and filter dialogs move their values.
// The dialogs only translate scroll actions into these steps and show the
// results.

#include <charconv>
#include <string_view>

namespace qv {

// Normal stretch levels on the display scale: black 0 to 255, white 1 to 300,
// white kept above black.
struct NormalStretchLevels {
  int black = 0;
  int white = 255;

  void whiteLineDown() {
    if (white > black + 1) white -= 1;
  }
  void whiteLineUp() {
    if (white < 300) white += 1;
  }
  void whitePageDown() {
    if (white > 9 && white > black + 10) white -= 10;
  }
  void whiteThumb(int position) {
    if (position > black) white = position;
  }
  void blackLineDown() {
    if (black > 0) black -= 1;
  }
  void blackLineUp() {
    if (black < 255 && black < white - 1) black += 1;
  }
  void blackPageDown() {
    if (black > 9) black -= 10;
  }
  void blackThumb(int position) { black = position; }
};

// Power law exponent from 0.1 to 3.0 in steps of 0.1. It is counted in
// whole tenths so that repeated steps land exactly on 1.0 and never drift
// past the ends of the range.
struct PowerLawStep {
  int tenths = 10;

  void lineUp() {
    if (tenths < 30) tenths += 1;
  }
  void lineDown() {
    if (tenths > 1) tenths -= 1;
  }
  void thumb(int position) {
    if (position >= 1 && position <= 30) tenths = position;
  }
  double exponent() const { return tenths / 10.0; }
  int position() const { return tenths; }
};

// Non-linear power 2 to 50. Before each step a typed value from 1 to 50 is
// taken over.
struct NonLinearPowerStep {
  int power = 25;

  void adoptTyped(std::string_view text) {
    int typed = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), typed);
    if (error == std::errc() && end == text.data() + text.size() && typed >= 1 && typed <= 50) power = typed;
  }
  void lineUp(std::string_view typed) {
    adoptTyped(typed);
    if (power < 50) power += 1;
  }
  void lineDown(std::string_view typed) {
    adoptTyped(typed);
    if (power > 2) power -= 1;
  }
};

// A whole number stepped by 1 within [low, high].
struct BoundedStep {
  int value;
  int low;
  int high;

  void lineUp() {
    if (value < high) value += 1;
  }
  void lineDown() {
    if (value > low) value -= 1;
  }
};

}  // namespace qv
