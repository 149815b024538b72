#include "app/processing_history.h"

namespace qv {

void AddHistoryLine(ProcessingHistory& history, std::string_view text) {
  for (auto& line : history.lines) {
    if (line.empty()) {
      line.set(text);
      return;
    }
  }
}

void UndoHistoryLine(ProcessingHistory& history) {
  for (int i = 1; i < ProcessingHistory::kLines; ++i) {
    if (history.lines[i].empty()) {
      history.lines[i - 1].clear();
      return;
    }
  }
}

std::string HistoryBoxText(const ProcessingHistory& history) {
  // Used lines in order, each followed by " \n". The listing ends after the
  // first line whose successor is shorter than 2 characters, and after line 14.
  std::string text;
  for (int i = 0; i < ProcessingHistory::kLines; ++i) {
    if (history.lines[i].empty()) break;
    text += history.lines[i].view();
    text += " \n";
    if (i + 1 < ProcessingHistory::kLines && history.lines[i + 1].size() < 2) break;
  }
  return text;
}

}  // namespace qv
