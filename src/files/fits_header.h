#pragma once
// The 72-card header of the program's FITS files: composing it card by card
// and reading values back from fixed columns.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "app/fits_header_info.h"
#include "app/processing_history.h"
#include "files/files_state.h"

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

// The keywords other astronomy tools read (stacking, calibration, debayering),
// where the program knows them. They go after the program's own cards, just
// before END, into the blank cards that pad the header; every card of the
// program's layout keeps its position.
struct FitsStandardCards {
  std::optional<double> ccdTemperatureC;  // CCD-TEMP
  std::optional<double> setTemperatureC;  // SET-TEMP
  int binningX = 0;                       // XBINNING, YBINNING; 0 writes none
  int binningY = 0;
  double pixelSizeXUm = 0;  // XPIXSZ, YPIXSZ in micrometres, binning included; 0 writes none
  double pixelSizeYUm = 0;
  // BAYERPAT of file pixel (0, 0) with zero XBAYROFF/YBAYROFF; empty for
  // anything but a raw colour-matrix frame.
  std::string_view bayerPattern;
  bool rowsTopDown = false;             // ROWORDER
  FrameKind kind = FrameKind::Unknown;  // IMAGETYP
};

// Every card in order, the standard cards after the program's own and before
// END; blank cards fill the header to 72.
FitsHeader ComposeFitsHeader(const FitsHeaderInfo& info, const ProcessingHistory& history, const FitsHeaderShape& shape,
                             const FitsStandardCards& standard = {});

// The colour-matrix pattern of file pixel (0, 0) as "RGGB", "GRBG", "GBRG" or
// "BGGR", when red sits on rows of parity `redRow` and columns of parity
// `redColumn`.
std::string_view BayerPatternWithRedAt(int redRow, int redColumn);

// DATE-OBS holds the date and, when both are whole, the time as well
// ("YYYY-MM-DDThh:mm:ss"), since other programs take the time of the
// exposure from it; its first ten characters stay the date. TIME-OBS keeps
// the time alone.
std::string DateObsValue(std::string_view date, std::string_view time);

// A DATE-OBS value read back: the date, and the time when it has one.
struct ObservationDate {
  std::string_view date;
  std::string_view time;
};
ObservationDate SplitDateObs(std::string_view value);

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
[[nodiscard]] bool ParseReal(std::string_view text, double& value);

// The characters from column 12 up to the first quote (or the card's end).
std::string_view CardValue(const char* card);
// Columns `first` to `last` (counted from 1) read as a decimal number;
// -1 when they hold no number.
int CardInteger(const char* card, int first, int last);
// Columns 14 to 29 read as a floating-point number; `fallback` when they
// hold none.
double CardReal(const char* card, double fallback);

}  // namespace qv
