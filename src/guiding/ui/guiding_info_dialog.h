#pragma once
// The guiding dialogs: `TGInfoDialog` (guider-camera guiding: the frame, the
// star-movement plot, each correction's numbers and the RMS of the last
// frames, "Stop Guiding") and `TInfoDialog` (main-camera guiding: the star's
// place and errors). Both are modeless views refreshed after each frame.

#include <QDialog>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/program_state.h"
#include "guiding/main_guiding.h"

class QLabel;
class QLineEdit;

namespace qv {

class GuiderFrameView;

class TGInfoDialog final : public QDialog {
 public:
  TGInfoDialog(const ProgramState& state, QWidget* parent);
  // Shows the state after a frame; `frames` are the run's corrected frames.
  void refresh(const std::vector<GuideFrameRecord>& frames, std::uint32_t nowMs, const std::string& stage,
               std::optional<StarPosition> reference);
  // "Stop Guiding" (924).
  std::function<void()> onStop;

 private:
  const ProgramState& state_;
  GuiderFrameView* frame_ = nullptr;
  std::map<int, QLineEdit*> fields_;
  QLabel* rms_ = nullptr;
};

class TInfoDialog final : public QDialog {
 public:
  TInfoDialog(const ProgramState& state, QWidget* parent);
  void refresh();
  std::function<void()> onStop;

 private:
  const ProgramState& state_;
  std::map<int, QLineEdit*> fields_;
};

}  // namespace qv
