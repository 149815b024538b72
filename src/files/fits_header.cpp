#include "files/fits_header.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace qv {

namespace {

class CardWriter {
 public:
  explicit CardWriter(FitsHeader& header) : header_(header) {}

  void fixed(std::string_view text) { put(text, {}); }
  void withValue(std::string_view key, std::string_view value) { put(key, value); }
  // Key ending in an opening quote, the value cut to the card, a closing quote.
  void string(std::string_view key, std::string_view value) {
    std::string text(value.substr(0, kFitsCardValueRoom));
    text += '\'';
    put(key, text);
  }
  int used() const { return next_; }

 private:
  void put(std::string_view key, std::string_view value) {
    FitsCard& card = header_[static_cast<std::size_t>(next_++)];
    std::size_t at = 0;
    for (std::string_view part : {key, value}) {
      const std::size_t n = std::min(part.size(), card.size() - at);
      if (n > 0) std::memcpy(card.data() + at, part.data(), n);
      at += n;
    }
    // A header holds printable characters only: the line breaks of the
    // multi-line texts and any byte outside printable ASCII become spaces.
    for (char& c : card) {
      if (c < ' ' || c > '~') c = ' ';
    }
  }

  FitsHeader& header_;
  int next_ = 0;
};

// Standard fixed-format values: numbers right-aligned to column 30, strings
// quoted from column 11 and padded to at least eight characters.
std::string KeyField(std::string_view key) {
  std::string text(key);
  text.resize(8, ' ');
  return text + "= ";
}
std::string IntegerCard(std::string_view key, int value) {
  char text[32];
  std::snprintf(text, sizeof text, "%20d", value);
  return KeyField(key) + text;
}
std::string RealCard(std::string_view key, double value, int decimals) {
  // to_chars keeps the decimal point whatever the process locale.
  char number[32];
  const auto end = std::to_chars(number, number + sizeof number, value, std::chars_format::fixed, decimals).ptr;
  std::string text(number, end);
  if (text.size() < 20) text.insert(0, 20 - text.size(), ' ');
  return KeyField(key) + text;
}
std::string StringCard(std::string_view key, std::string_view value) {
  std::string text(value);
  if (text.size() < 8) text.resize(8, ' ');
  return KeyField(key) + "'" + text + "'";
}

std::string_view FrameKindText(FrameKind kind) {
  switch (kind) {
    case FrameKind::Light:
      return "Light Frame";
    case FrameKind::Dark:
      return "Dark Frame";
    case FrameKind::Flat:
      return "Flat Field";
    case FrameKind::Unknown:
      break;
  }
  return {};
}

void WriteStandardCards(CardWriter& w, const FitsStandardCards& c) {
  if (c.ccdTemperatureC) w.fixed(RealCard("CCD-TEMP", *c.ccdTemperatureC, 1));
  if (c.setTemperatureC) w.fixed(RealCard("SET-TEMP", *c.setTemperatureC, 1));
  if (c.binningX > 0 && c.binningY > 0) {
    w.fixed(IntegerCard("XBINNING", c.binningX));
    w.fixed(IntegerCard("YBINNING", c.binningY));
  }
  if (c.pixelSizeXUm > 0 && c.pixelSizeYUm > 0) {
    w.fixed(RealCard("XPIXSZ", c.pixelSizeXUm, 3));
    w.fixed(RealCard("YPIXSZ", c.pixelSizeYUm, 3));
  }
  if (!c.bayerPattern.empty()) {
    w.fixed(StringCard("BAYERPAT", c.bayerPattern));
    w.fixed(IntegerCard("XBAYROFF", 0));
    w.fixed(IntegerCard("YBAYROFF", 0));
  }
  if (c.rowsTopDown) w.fixed(StringCard("ROWORDER", "TOP-DOWN"));
  if (const std::string_view kind = FrameKindText(c.kind); !kind.empty()) w.fixed(StringCard("IMAGETYP", kind));
}

std::string Printf4d(int value) {
  char text[32];
  std::snprintf(text, sizeof text, "%4d /", value);
  return text;
}

}  // namespace

std::string FitsNumber(double value) {
  // The conversion of "%11.10E" in the C locale: a point, whatever the user's
  // locale (a decimal comma would make the card unreadable elsewhere).
  char text[64];
  const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::scientific, 10);
  std::string number(text, result.ptr);
  for (char& c : number) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (number.size() < 11) number.insert(0, 11 - number.size(), ' ');  // "INF", "NAN"
  return number;
}

bool ParseReal(std::string_view text, double& value) {
  std::size_t at = 0;
  while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
  if (at < text.size() && text[at] == '+') {
    ++at;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) return false;
  }
  double parsed = 0;
  const auto result = std::from_chars(text.data() + at, text.data() + text.size(), parsed);
  if (result.ec != std::errc()) return false;
  value = parsed;
  return true;
}

namespace {

bool Digits(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "YYYY-MM-DD" and "hh:mm:ss" by their shape.
bool IsDate(std::string_view t) {
  return t.size() == 10 && Digits(t.substr(0, 4)) && t[4] == '-' && Digits(t.substr(5, 2)) && t[7] == '-' &&
         Digits(t.substr(8, 2));
}
bool IsTime(std::string_view t) {
  return t.size() == 8 && Digits(t.substr(0, 2)) && t[2] == ':' && Digits(t.substr(3, 2)) && t[5] == ':' &&
         Digits(t.substr(6, 2));
}

std::string_view TrimEnd(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

}  // namespace

std::string DateObsValue(std::string_view date, std::string_view time) {
  const std::string_view d = TrimEnd(date), t = TrimEnd(time);
  if (!IsDate(d) || !IsTime(t)) return std::string(date);
  return std::string(d) + 'T' + std::string(t);
}

ObservationDate SplitDateObs(std::string_view value) {
  if (value.size() > 10 && value[10] == 'T' && IsDate(value.substr(0, 10))) {
    const std::string_view time = value.substr(11, 8);
    return {value.substr(0, 10), IsTime(time) ? time : std::string_view()};
  }
  return {value, {}};
}

std::string_view GeometryLineText(int binned, int geometryMode) {
  if (!binned) return "Fullframe Image'";
  return geometryMode == 5 ? "Subframe Image '" : "Binned Image   '";
}

std::string LongTextPiece(std::string_view text, int index) {
  std::string piece(kFitsCardValueRoom, ' ');
  const std::size_t start = static_cast<std::size_t>(index) * kFitsCardValueRoom;
  if (start < text.size()) {
    // The fourth piece takes the rest, which the card cuts to its room.
    const std::string_view part = text.substr(start, kFitsCardValueRoom);
    piece.replace(0, part.size(), part);
  }
  return piece;
}

std::string_view BayerPatternWithRedAt(int redRow, int redColumn) {
  static constexpr std::string_view kPatterns[2][2] = {{"RGGB", "GRBG"}, {"GBRG", "BGGR"}};
  return kPatterns[redRow & 1][redColumn & 1];
}

FitsHeader ComposeFitsHeader(const FitsHeaderInfo& info, const ProcessingHistory& history, const FitsHeaderShape& shape,
                             const FitsStandardCards& standard) {
  FitsHeader header;
  for (auto& card : header) card.fill(' ');
  CardWriter w(header);

  w.fixed(shape.colour && !shape.rgb ? "SIMPLE  =                    F /" : "SIMPLE  =                    T /");
  w.fixed(shape.eightBit ? "BITPIX  =                    8 /" : "BITPIX  =                   16 /");
  w.fixed(shape.colour ? "NAXIS   =                    3 /" : "NAXIS   =                    2 /");
  w.withValue("NAXIS1  =                 ", Printf4d(shape.width));
  w.withValue("NAXIS2  =                 ", Printf4d(shape.height));
  if (shape.colour) w.fixed(shape.rgb ? "NAXIS3  =                    3 /" : "NAXIS3  =                    4 /");
  w.string("OBJECT  = '", info.object.view());
  w.string("TELESCOP= '", info.telescope.view());
  w.string("INSTRUME= '", info.instrument.view());
  w.string("OBSERVER= '", info.observer.view());
  w.string("ORIGIN  = '", info.origin.view());
  w.string("DATE-OBS= '", DateObsValue(info.dateObs.view(), info.timeObs.view()));
  w.string("TIME-OBS= '", info.timeObs.view());
  w.string("HISTORY = '", GeometryLineText(shape.binned, shape.geometryMode));
  for (const auto& line : history.lines) w.string("HISTORY = '", line.view());
  for (int i = 0; i < 4; ++i) w.string("HISTORY = '", LongTextPiece(info.historyText.view(), i));
  for (int i = 0; i < 4; ++i) w.string("COMMENT = '", LongTextPiece(info.commentText.view(), i));
  w.fixed("BZERO   =   +3.2768000000E+04");
  w.fixed("BSCALE  =   +1.0000000000E+00");
  w.withValue("PIXWIDTH=    ", FitsNumber(info.pixelWidth));
  w.withValue("PIXHEIGH=    ", FitsNumber(info.pixelHeight));
  w.fixed("SATURATE=                32768");
  w.withValue("EXPTIME =    ", FitsNumber(info.exposureSeconds));
  w.withValue("FOCALLEN=    ", FitsNumber(info.focalLength));
  w.withValue("APERTURE=    ", FitsNumber(info.aperture));
  w.string("FILTER  = '", info.filterName.view());
  if (shape.rgb) {
    w.fixed("FILTER1 = 'RED'");
    w.fixed("FILTER2 = 'GRN'");
    w.fixed("FILTER3 = 'BLU'");
  }
  WriteStandardCards(w, standard);
  w.fixed("END");
  return header;
}

std::string_view CardValue(const char* card) {
  const std::string_view value(card + 11, kFitsCardBytes - 11);
  return value.substr(0, value.find('\''));
}

int CardInteger(const char* card, int first, int last) {
  char text[16] = {};
  const int n = std::min(last - first + 1, 15);
  std::memcpy(text, card + first - 1, static_cast<std::size_t>(n));
  char* end = nullptr;
  const long value = std::strtol(text, &end, 10);
  if (end == text) return -1;
  return static_cast<int>(value);
}

double CardReal(const char* card, double fallback) {
  double value = fallback;
  return ParseReal(std::string_view(card + 13, 16), value) ? value : fallback;
}

}  // namespace qv
