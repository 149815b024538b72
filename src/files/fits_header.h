#pragma once
// The 72-card header of the program's FITS files: composing it card by card
// and reading values back from fixed columns.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "app/fits_header_info.h"
#include "app/processing_history.h"

namespace qv {

inline constexpr int kFitsCardBytes = 80;
inline constexpr int kFitsHeaderCards = 72;
inline constexpr int kFitsHeaderBytes = kFitsCardBytes * kFitsHeaderCards;  // 5760
inline constexpr int kFitsBlockBytes = 2880;
inline constexpr int kFitsCardValueRoom = 68;  // characters between the quotes
inline constexpr std::string_view kUnsignedBzeroCard = "BZERO   =   +0.0000000000E+00";

using FitsCard = std::array<char, kFitsCardBytes>;
using FitsHeader = std::array<FitsCard, kFitsHeaderCards>;

// What decides the header's shape.
struct FitsHeaderShape {
  int width = 0;
  int height = 0;
  bool colour = false;  // NAXIS 3
  bool rgb = false;     // three planes (else four) and the FILTERn cards
  bool eightBit = false;
  int binned = 0;
  int geometryMode = 1;
};

// Every card in order; blank cards fill the header to 72.
FitsHeader ComposeFitsHeader(const FitsHeaderInfo& info, const ProcessingHistory& history,
                             const FitsHeaderShape& shape);

// The geometry line's fixed text.
std::string_view GeometryLineText(int binned, int geometryMode);

// Piece `index` (0 to 3) of a long text cut into 68-character fields,
// padded with spaces.
std::string LongTextPiece(std::string_view text, int index);

// "%11.10E" of a value: one digit, the point, ten digits and the exponent.
// Always with a decimal point, whatever the process locale.
std::string FitsNumber(double value);

// The number at the start of `text` as "%lf" reads it in the C locale
// (leading white space and sign allowed, trailing text ignored); false when
// there is none. A decimal comma is never taken for a point.
bool ParseReal(std::string_view text, double& value);

// The characters from column 12 up to the first quote (or the card's end).
std::string_view CardValue(const char* card);
// Columns `first` to `last` (counted from 1) read as a decimal number;
// -1 when they hold no number.
int CardInteger(const char* card, int first, int last);
// Columns 14 to 29 read as a floating-point number; `fallback` when they
// hold none.
double CardReal(const char* card, double fallback);

}  // namespace qv
