#include "app/image_label.h"

#include <algorithm>
#include <cstdio>

#include "app/label_font.h"

namespace qv {

std::string LabelLine(std::string_view text, bool withDate, const std::tm& utc) {
  text = text.substr(0, kLabelMaximumLength);
  const int d = withDate ? kLabelDateCells : 0;
  const int spaces = std::max(0, (kLabelCells - static_cast<int>(text.size()) - d) / 2);
  std::string line(static_cast<std::size_t>(spaces), ' ');
  line += text;
  if (withDate) {
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "  %02d:%02d:%02d UT %02d-%02d-%d ", utc.tm_hour, utc.tm_min, utc.tm_sec,
                  utc.tm_mday, utc.tm_mon + 1, utc.tm_year + 1900);
    line += stamp;
  }
  return line;
}

void DrawLabel(ProgramState& state, std::string_view line) {
  ResetBufferPointers(state.images);
  const FrameGeometry& g = state.geometry;
  std::uint16_t* image = state.images.workImage;
  std::fill_n(image, std::min(kLabelClearedPixels, g.pixelCount), 0);
  const int rows = std::min(kGlyphRows, g.height);
  for (std::size_t i = 0; i < line.size(); ++i) {
    const int left = static_cast<int>(i) * kGlyphWidth;
    if (left + kGlyphWidth > g.width) break;  // a narrow frame holds fewer cells
    const Glyph* glyph = FindGlyph(line[i]);
    if (!glyph) continue;
    for (int row = 0; row < rows; ++row) {
      std::uint16_t* to = image + static_cast<std::size_t>(row) * g.width + left;
      for (int bit = 0; bit < kGlyphWidth; ++bit) to[bit] = ((*glyph)[row] >> (7 - bit)) & 1 ? 65'535 : 0;
    }
  }
  std::fill_n(image, std::min(6, g.pixelCount), kLabelMarker);
}

void LabelImage(ProgramState& state, Host& host, std::string_view text, bool withDate, std::time_t now) {
  std::tm utc{};
  ::gmtime_r(&now, &utc);
  DrawLabel(state, LabelLine(text, withDate, utc));
  host.requestRebuildDisplay();
}

}  // namespace qv
