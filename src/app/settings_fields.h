#pragma once
// The settings file's fields in file order: where each lies, how it is
// encoded, and which variable it holds. Reading, writing, listing and setting
// the settings all walk this one list.

#include <array>
#include <cstdint>
#include <string_view>
#include <variant>
#include <vector>

#include "app/program_settings.h"

namespace qv {

inline constexpr int kSettingsFileBytes = 1447;
inline constexpr int kCardBytes = 80;
inline constexpr int kCardValueStart = 11;  // after the keyword prefix "OBJECT  = '"
inline constexpr int kLongTextCards = 4;
inline constexpr int kCardPieceLength = 68;     // characters of a long text per card
inline constexpr int kLastPieceMaxLength = 51;  // the fourth card gives at most this many

enum class FieldKind {
  Int16,         // signed 16-bit little-endian
  UInt16,        // unsigned 16-bit little-endian
  WholeFloat,    // a float in memory, a 16-bit whole number in the file
  YesNo,         // "y"/"n"
  OneZero,       // "1"/"0"
  AlwaysNo,      // a flag always written "n"
  Letters,       // bytes kept as they are
  LayoutMarker,  // one letter whose absence marks the earlier layout
  Card,          // one 80-byte FITS card
  LongText,      // four 80-byte FITS cards
  Double,        // IEEE 754 little-endian
  Path,          // 100 bytes: zero-terminated text, then spaces
  FilterNames,   // eight zero-terminated names of 10 bytes
  Pid,           // four digits and a zero byte
};

enum class WriteClamp { None, TenFrom50, ZeroFrom50 };

using SettingsTarget =
    std::variant<std::int16_t*, std::uint16_t*, float*, bool*, char*, FixedText<70>*, FixedText<257>*, double*,
                 FixedText<100>*, std::array<FixedText<10>, 8>*, FixedText<5>*>;

struct SettingsField {
  std::string_view name;
  int offset = 0;  // in the current layout
  int size = 0;
  FieldKind kind = FieldKind::Int16;
  SettingsTarget target;
  std::string_view cardPrefix;  // for cards
  WriteClamp clamp = WriteClamp::None;
  // Consistency check run right after the field is read; false makes the
  // load stop and rewrite the file. It may correct the variable first.
  bool (*check)(ProgramSettings&) = nullptr;
  bool repeat = false;  // a second copy of a variable that appears earlier
  bool strict = false;  // a flag byte other than its two letters fails the check
};

std::vector<SettingsField> SettingsFields(ProgramSettings& settings);

}  // namespace qv
