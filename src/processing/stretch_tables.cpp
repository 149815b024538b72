#include "processing/stretch_tables.h"

#include <cmath>

namespace qv {

namespace {

// Truncates toward zero and keeps the result within the table's range.
std::uint16_t Entry(double value) {
  if (!(value < kStretchTop)) return kStretchTop;  // also catches NaN
  if (value <= 0) return 0;
  return static_cast<std::uint16_t>(static_cast<int>(value));
}

}  // namespace

bool FillNormalStretchTable(std::uint16_t* table, int black, int white) {
  if (white <= black) return false;
  const double scale = 255.0 / (white - black);
  const int low = 128 * black;
  const int high = 128 * white;
  for (int i = 0; i < kStretchEntries; ++i) {
    if (i < low) {
      table[i] = 0;
    } else if (i < high) {
      table[i] = Entry((i - low) * scale);
    } else {
      table[i] = kStretchTop;
    }
  }
  return true;
}

bool FillPowerStretchTable(std::uint16_t* table, double exponent) {
  if (exponent == 1.0) return false;
  const double k = 1.0 / std::pow(32768.0, exponent - 1.0);
  for (int i = 0; i < kStretchEntries; ++i) table[i] = Entry(std::pow(static_cast<double>(i), exponent) * k);
  return true;
}

void FillSineStretchTable(std::uint16_t* table) {
  for (int i = 0; i < kStretchEntries; ++i) table[i] = Entry((std::sin((i - 16384) / 10432.0) + 1.0) * 16383.0);
}

void FillLogStretchTable(std::uint16_t* table) {
  for (int i = 0; i < kStretchEntries; ++i) table[i] = Entry(std::log(i + 1.0) * 3151.0);
}

void FillAntilogStretchTable(std::uint16_t* table) {
  // The base is the five-place constant the program has always used, not e.
  for (int i = 0; i < kStretchEntries; ++i) table[i] = Entry(std::pow(2.71828, i / 3151.0) - 1.0);
}

void FillInvertTable(std::uint16_t* table) {
  for (int i = 0; i < kStretchEntries; ++i) table[i] = static_cast<std::uint16_t>(kStretchTop - i);
}

void FillNonLinearStretchTable(std::uint16_t* table, int power) {
  const double x = power;
  for (int i = 0; i < kStretchEntries; ++i) {
    const double d = i / 32768.0;
    table[i] = Entry(x * 32768.0 * d / (d * (x - 1.0) + 1.0));
  }
}

int FillBackgroundStretchTable(std::uint16_t* table, int blackLevel) {
  if (blackLevel < 3) return -1;
  const double scale = 255.0 / (257 - blackLevel);
  const int cut = 128 * blackLevel - 256;
  for (int i = 0; i < kStretchEntries; ++i) table[i] = i < cut ? 0 : Entry((i - cut) * scale);
  return cut;
}

}  // namespace qv
