#pragma once
// The lines that record what processing the current image went through.

#include <array>
#include <string>
#include <string_view>

#include "app/fixed_text.h"

namespace qv {

struct ProcessingHistory {
  static constexpr int kLines = 15;
  static constexpr std::size_t kLineBytes = 40;
  std::array<FixedText<kLineBytes>, kLines> lines{};

  void clear() {
    for (auto& line : lines) line.clear();
  }
  [[nodiscard]] bool operator==(const ProcessingHistory&) const = default;
};

// Stores the text in the first empty line; with all lines in use it is dropped.
void AddHistoryLine(ProcessingHistory& history, std::string_view text);

// Empties the last used line, as "&Undo Last Filter" does after restoring the
// image: the first empty line i among lines 1 to 14 is found and line i - 1
// emptied. With every line in use nothing is emptied.
void UndoHistoryLine(ProcessingHistory& history);

// Caption and text of the "Processing &History" box.
inline constexpr std::string_view kHistoryCaption = "QEL_VESK - PROCESSING HISTORY";
std::string HistoryBoxText(const ProcessingHistory& history);

}  // namespace qv
