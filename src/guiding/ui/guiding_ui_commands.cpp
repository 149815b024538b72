#include <QDialog>
#include <QPointer>
#include <memory>

#include "app/ui/command_handlers.h"
#include "app/ui/main_window.h"
#include "app/ui/operation_runner.h"
#include "app/ui/qt_host.h"
#include "camera/exposure_settings.h"
#include "guiding/guider_exposure.h"
#include "guiding/guider_guiding.h"
#include "guiding/guider_picture.h"
#include "guiding/guiding_info_fields.h"
#include "guiding/main_guiding.h"
#include "guiding/main_training.h"
#include "guiding/stop_on_key.h"
#include "guiding/ui/guider_dialog.h"
#include "guiding/ui/guiding_info_dialog.h"
#include "guiding/ui/move_telescope_dialog.h"

namespace qv {

namespace {

// One piece of guiding work run from the window: the operation, what drives
// it, and the dialog that shows it. Only one runs at a time.
struct GuidingSession {
  std::unique_ptr<Operation> operation;
  std::unique_ptr<Operation> wrapper;
  std::unique_ptr<OperationRunner> runner;
  QPointer<QDialog> dialog;
  bool running() const { return runner && runner->running(); }
};

// Drives the session's operation from the window's timer; `done` runs when
// it ends (also when it ends at once).
void Start(GuidingSession& s, Operation& driven, Clock& clock, std::function<void()> done) {
  s.runner = std::make_unique<OperationRunner>(driven, clock);
  QObject::connect(s.runner.get(), &OperationRunner::finished, s.runner.get(), [done] { done(); });
  s.runner->start();
}

// The last run's runner goes before its operation does.
void Reset(GuidingSession& s) {
  s.runner.reset();
  s.wrapper.reset();
  s.operation.reset();
}

void CloseDialog(GuidingSession& s) {
  if (s.dialog) {
    s.dialog->close();
    s.dialog->deleteLater();
  }
}

// Shows guider guiding after a frame: the frame, the plot and the numbers.
void ShowGuiderGuiding(UiContext& ui, GuidingSession& s) {
  auto* dialog = dynamic_cast<TGInfoDialog*>(s.dialog.data());
  auto* op = dynamic_cast<GuiderGuidingOperation*>(s.operation.get());
  if (!dialog || !op) return;
  // A bitmap that cannot be written has shown its message; the last picture stays.
  static_cast<void>(RenderGuiderFrame(ui.state, ui.host));
  // Called once the reference is measured and then for each corrected frame.
  const auto& frames = op->frames();
  const auto reference = frames.empty() ? std::nullopt : std::optional<StarPosition>(ReferenceOf(frames.front()));
  dialog->refresh(frames, ui.clock.milliseconds(), GuiderGuidingStage(op->referenceTaken(), frames.size()), reference);
}

// Menu 171: guider-camera guiding with its information dialog.
void StartGuiderGuiding(UiContext& ui, const std::shared_ptr<GuidingSession>& s) {
  if (ui.state.guiding.guiderGuidingRunning || s->running()) return;
  Reset(*s);
  auto* info = new TGInfoDialog(ui.state, &ui.frame);
  s->dialog = info;
  GuiderGuidingOptions options;
  options.exposureMs = GuiderExposureMs(ui.state.guiding.guiderExposure);
  options.target = ui.state.settings.guidanceMode == 'A' ? GuideTarget::Ao : GuideTarget::Mount;
  auto guiding = std::make_unique<GuiderGuidingOperation>(
      ui.state, ui.host, ui.clock, options, [&ui, s](const GuideFrameRecord&) { ShowGuiderGuiding(ui, *s); });
  guiding->onReferenceTaken([&ui, s] { ShowGuiderGuiding(ui, *s); });
  s->operation = std::move(guiding);
  info->onStop = [s] {
    if (s->runner) s->runner->cancel();
  };
  info->refresh({}, ui.clock.milliseconds(), GuiderGuidingStage(false, 0), std::nullopt);
  info->show();
  // The program state outlives the window, so the end may also come while
  // the window closes.
  Start(*s, *s->operation, ui.clock, [&state = ui.state, s] {
    state.guiding.guiderDialog.exit = GuiderDialogExit::None;
    CloseDialog(*s);
  });
}

// Menu 22: main-camera guiding; a key press ends it.
void StartMainGuiding(UiContext& ui, const std::shared_ptr<GuidingSession>& s) {
  if (s->running() || ui.state.camera.exposureRunning) return;
  Reset(*s);
  auto* info = new TInfoDialog(ui.state, &ui.frame);
  s->dialog = info;
  MainGuidingOptions options;
  options.exposureMs = ExposureMs(ui.state.camera.exposure);
  s->operation =
      std::make_unique<MainGuidingOperation>(ui.state, ui.host, ui.clock, options, [s](const GuideFrameRecord&) {
        if (auto* d = dynamic_cast<TInfoDialog*>(s->dialog.data())) d->refresh();
      });
  info->onStop = [s] {
    if (s->runner) s->runner->cancel();
  };
  info->show();
  Start(*s, *s->operation, ui.clock, [s] { CloseDialog(*s); });
}

// Menu 23: main-camera training; a key press ends it with the settings kept.
void StartMainTraining(UiContext& ui, const std::shared_ptr<GuidingSession>& s) {
  if (s->running() || ui.state.camera.exposureRunning) return;
  Reset(*s);
  s->operation =
      std::make_unique<MainTrainingOperation>(ui.state, ui.host, ui.clock, ExposureMs(ui.state.camera.exposure));
  s->wrapper = std::make_unique<StopOnKey>(*s->operation);
  Start(*s, *s->wrapper, ui.clock, [] {});
}

}  // namespace

void RegisterGuidingUiCommands(UiCommands& commands, UiContext& ui) {
  auto open = std::make_shared<QPointer<QDialog>>();
  commands[CommandId::TelescopeControl] = [&ui, open] {
    if (*open) {
      (*open)->raise();
      (*open)->activateWindow();
      return;
    }
    *open = OpenMoveTelescope(ui.state, ui.host, ui.clock, &ui.frame);
  };

  // Guider guiding, main guiding and main training share the mount: one at a time.
  auto session = std::make_shared<GuidingSession>();
  commands[CommandId::AutoGuiderCamera] = [&ui, session] {
    if (session->running()) return;
    RunGuiderCameraDialog(ui.state, ui.host, ui.clock, &ui.frame, [&ui](int result) {
      if (result == kGuiderGoToMainResult) ui.frame.dispatch(CommandId::CameraInterface);
      if (result == kGuiderStartGuidingResult) ui.frame.dispatch(CommandId::StartAutoGuidingPopup);
    });
  };
  commands[CommandId::StartAutoGuidingPopup] = [&ui, session] { StartGuiderGuiding(ui, session); };
  commands[CommandId::StartAutoGuiding] = [&ui, session] { StartMainGuiding(ui, session); };
  commands[CommandId::TrainAutoGuiding] = [&ui, session] { StartMainTraining(ui, session); };
}

}  // namespace qv
