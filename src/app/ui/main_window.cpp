#include "app/ui/main_window.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QShortcut>
#include <QStatusBar>
#include <QToolBar>
#include <algorithm>
#include <ostream>
#include <streambuf>
#include <utility>
#include <vector>

#include "app/command_table.h"
#include "app/display_commands.h"
#include "app/display_rebuild.h"
#include "app/mouse_modes.h"
#include "app/ui/display_image.h"

// The resources live in the static UI library, so they are registered by hand.
static void InitProgramResources() { Q_INIT_RESOURCE(resources); }

namespace qv {

namespace {

constexpr int kStarCrossHalf = 20;
constexpr int kGuideCrossHalf = 15;
constexpr int kCentreCrossHalf = 60;

QColor Background(const ProgramState& state) {
  const auto& d = state.settings.derived;
  return QColor(d.backgroundRed, d.backgroundGreen, d.backgroundBlue);
}

void Cross(QPainter& painter, int x, int y, int half) {
  painter.drawLine(x - half, y, x + half, y);
  painter.drawLine(x, y - half, x, y + half);
}

QIcon ToolIcon(CommandId id) { return QIcon(QString(":/icons/tool_%1.png").arg(ToInt(id))); }

QString Text(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

// ---------------------------------------------------------------- client window

TQel_VeskWindow::TQel_VeskWindow(ProgramState& state, QtHost& host, QWidget* parent)
    : QAbstractScrollArea(parent), state_(state), host_(host) {
  setObjectName("TQel_VeskWindow");
  setFrameShape(QFrame::NoFrame);
  horizontalScrollBar()->setSingleStep(1);
  verticalScrollBar()->setSingleStep(1);
  // The initial range before any bitmap exists.
  horizontalScrollBar()->setRange(0, 400);
  verticalScrollBar()->setRange(0, 400);
  viewport()->setMouseTracking(true);
  host_.onRebuildDisplay = [this] { rebuildDisplay(); };
  // A repaint a command asks for shows the changed image: the paint's black
  // level is measured from it (a rebuild measures as its last step).
  host_.onRepaint = [this] {
    MeasurePaintBlackLevel(state_);
    viewport()->update();
  };
}

void TQel_VeskWindow::rebuildDisplay() {
  if (RebuildDisplay(state_, host_) == BitmapWriteResult::Ok) showDisplay();
}

void TQel_VeskWindow::rebuildFromDisplayBytes() {
  if (RebuildDisplayFromDisplayBytes(state_, host_) == BitmapWriteResult::Ok) showDisplay();
}

void TQel_VeskWindow::showDisplay() {
  shown_ = DisplayImage(state_.display);
  emit captionChanged(QString::fromStdString(state_.display.caption));
  adjustScroller();
  viewport()->update();
}

void TQel_VeskWindow::realizeDisplayPalette() {
  viewport()->update();
  adjustScroller();
}

void TQel_VeskWindow::adjustScroller(bool reset) {
  auto& d = state_.display;
  const QSize client = viewport()->size();
  if (d.fitToScreen) {
    const Size2 fit = FitPictureSize(d.displayWidth, d.displayHeight, client.height());
    d.fitWidth = fit.width;
    d.fitHeight = fit.height;
  }
  const Size2 range = ScrollRange(d, client.width(), client.height());
  horizontalScrollBar()->setRange(0, range.width);
  verticalScrollBar()->setRange(0, range.height);
  horizontalScrollBar()->setPageStep(std::max(client.width(), 1));
  verticalScrollBar()->setPageStep(std::max(client.height(), 1));
  if (reset) {
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
  }
  viewport()->update();
}

void TQel_VeskWindow::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  if (!window()->isMinimized()) adjustScroller();
}

void TQel_VeskWindow::scrollContentsBy(int, int) { viewport()->update(); }

// Clicks and moves go to the core in client coordinates with the current
// scroll position; the core maps them to the image.
void TQel_VeskWindow::mousePressEvent(QMouseEvent* event) {
  pressCancelledRun_ = state_.camera.exposureRunning;
  QAbstractScrollArea::mousePressEvent(event);
}

void TQel_VeskWindow::mouseReleaseEvent(QMouseEvent* event) {
  if (std::exchange(pressCancelledRun_, false)) return;
  state_.display.scrollX = horizontalScrollBar()->value();
  state_.display.scrollY = verticalScrollBar()->value();
  const QPoint at = event->position().toPoint();
  // What the click did (or its refusal message) shows in the repaint below.
  if (event->button() == Qt::LeftButton) static_cast<void>(OnLeftClick(state_, host_, at.x(), at.y()));
  if (event->button() == Qt::RightButton) static_cast<void>(OnRightClick(state_, host_, at.x(), at.y()));
  applyPointerShape();
  viewport()->update();
  emit mouseStateChanged();
}

void TQel_VeskWindow::mouseMoveEvent(QMouseEvent* event) {
  const MouseState& m = state_.mouse;
  if (!state_.analysis.values.open && !state_.analysis.photometry.open && !m.subFramePickMode) return;
  state_.display.scrollX = horizontalScrollBar()->value();
  state_.display.scrollY = verticalScrollBar()->value();
  const QPoint at = event->position().toPoint();
  OnPointerMove(state_, host_, at.x(), at.y());
  emit mouseStateChanged();
}

void TQel_VeskWindow::applyPointerShape() {
  viewport()->setCursor(ShownPointer(state_) == PointerShape::Cross ? Qt::CrossCursor : Qt::ArrowCursor);
}

void TQel_VeskWindow::paintEvent(QPaintEvent*) {
  auto& d = state_.display;
  if (d.rebuildPending) {
    d.rebuildPending = false;
    rebuildDisplay();
  }
  QPainter painter(viewport());
  const QRect client = viewport()->rect();
  const QColor background = Background(state_);
  if (shown_.isNull()) {
    painter.fillRect(client, background);
    return;
  }
  d.scrollX = horizontalScrollBar()->value();
  d.scrollY = verticalScrollBar()->value();

  if (d.fitToScreen) {
    const Size2 fit = FitPictureSize(d.displayWidth, d.displayHeight, client.height());
    d.fitWidth = fit.width;
    d.fitHeight = fit.height;
    const QRect picture(-d.scrollX, -d.scrollY, fit.width, fit.height);
    painter.fillRect(client, background);
    painter.drawImage(picture, shown_);
  } else {
    const Size2 margin =
        d.centreImage ? CentreMargins(d.displayWidth, d.displayHeight, client.width(), client.height()) : Size2{};
    const QRect picture(margin.width - d.scrollX, margin.height - d.scrollY, shown_.width(), shown_.height());
    painter.fillRect(client, background);
    painter.drawImage(picture.topLeft(), shown_);
  }
  applyPointerShape();
  drawOverlays(painter);
}

void TQel_VeskWindow::drawOverlays(QPainter& painter) {
  const auto& d = state_.display;
  const auto& o = d.overlays;
  painter.setPen(QPen(Qt::red, 1));
  if (d.starPickingActive && o.starChosen) {
    Cross(painter, o.starX - d.scrollX, o.starY - d.scrollY, kStarCrossHalf);
  }
  if (state_.images.guideView) {
    Cross(painter, o.guideStarX - d.scrollX, o.guideStarY - d.scrollY, kGuideCrossHalf);
  }
  if (o.subFrameShown) {
    painter.drawRect(QRect(QPoint(o.subFrameLeft - d.scrollX, o.subFrameTop - d.scrollY),
                           QPoint(o.subFrameRight - d.scrollX, o.subFrameBottom - d.scrollY)));
  }
  if (state_.images.showCentre) {
    Cross(painter, d.displayWidth / 2 - d.scrollX, d.displayHeight / 2 - d.scrollY, kCentreCrossHalf);
  }
}

// ---------------------------------------------------------------- frame

TQel_VeskFrame::TQel_VeskFrame(ProgramState& state, QtHost& host)
    : state_(state), host_(host), client_(new TQel_VeskWindow(state, host, this)) {
  InitProgramResources();
  setObjectName("TQel_VeskFrame");
  setWindowTitle(Caption(QString()));
  setCentralWidget(client_);
  connect(client_, &TQel_VeskWindow::captionChanged, this, &QWidget::setWindowTitle);
  connect(client_, &TQel_VeskWindow::mouseStateChanged, this, &TQel_VeskFrame::refreshCommandStates);

  ui_ = std::make_unique<UiContext>(UiContext{state_, host_, host_.clock(), *this, *client_});
  RegisterDisplayUiCommands(uiCommands_, *ui_);
  RegisterFilesUiCommands(uiCommands_, *ui_);
  RegisterProcessingUiCommands(uiCommands_, *ui_);
  RegisterGuidingUiCommands(uiCommands_, *ui_);
  RegisterAnalysisUiCommands(uiCommands_, *ui_);
  RegisterDefaultsUiCommands(uiCommands_, *ui_);
  RegisterColourUiCommands(uiCommands_, *ui_);
  RegisterMouseUiCommands(uiCommands_, *ui_);
  RegisterCalibrationUiCommands(uiCommands_, *ui_);
  RegisterCameraUiCommands(uiCommands_, *ui_);

  buildMenus();
  buildToolBar();
  buildAccelerators();
  statusBar()->showMessage(Text(kInitialStatusText));
  updateTelescopeButton();
  refreshCommandStates();
  resize(1150, 800);
}

TQel_VeskFrame::~TQel_VeskFrame() {
  host_.onRebuildDisplay = nullptr;
  host_.onRepaint = nullptr;
}

QString TQel_VeskFrame::Caption(const QString& fileName) {
  return "Qel_Vesk_USB - " + (fileName.isEmpty() ? QString("(Untitled)") : fileName);
}

QAction* TQel_VeskFrame::commandAction(CommandId id) const {
  const auto found = actions_.find(id);
  return found == actions_.end() ? nullptr : found->second;
}

void TQel_VeskFrame::buildMenus() {
  for (const auto& command : Commands()) {
    if (command.group == MenuGroup::None) continue;
    auto* action =
        new QAction(command.menuText.empty() ? Text(command.hint) : QString::fromStdString(MenuText(command)), this);
    action->setObjectName(QString("cmd%1").arg(ToInt(command.id)));
    action->setData(ToInt(command.id));
    action->setStatusTip(Text(command.hint));
    action->setToolTip(action->statusTip());
    action->setCheckable(command.checked != nullptr);
    const CommandId id = command.id;
    connect(action, &QAction::triggered, this, [this, id] { dispatch(id); });
    actions_[id] = action;
  }

  std::map<MenuGroup, QMenu*> menus;
  popupMenu_ = new QMenu(this);
  popupMenu_->setObjectName("popupMenu2");
  for (const auto& command : Commands()) {
    QMenu* menu = nullptr;
    if (command.group == MenuGroup::Popup) {
      menu = popupMenu_;
    } else if (!MenuTitle(command.group).empty()) {
      auto& slot = menus[command.group];
      if (!slot) {
        slot = menuBar()->addMenu(Text(MenuTitle(command.group)));
        connect(slot, &QMenu::aboutToShow, this, &TQel_VeskFrame::refreshCommandStates);
      }
      menu = slot;
    }
    if (!menu) continue;
    if (command.separatorBefore && !menu->isEmpty()) menu->addSeparator();
    menu->addAction(actions_[command.id]);
  }
  connect(popupMenu_, &QMenu::aboutToShow, this, &TQel_VeskFrame::refreshCommandStates);
  client_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(client_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    // In photometry the right button measures instead; during an exposure
    // it cancels the run.
    if (!state_.analysis.photometry.open && !state_.camera.exposureRunning) {
      popupMenu_->popup(client_->mapToGlobal(at));
    }
  });
}

void TQel_VeskFrame::buildToolBar() {
  toolBar_ = addToolBar("Tools");
  toolBar_->setObjectName("toolBar");
  toolBar_->setIconSize(QSize(24, 24));
  std::vector<const CommandEntry*> buttons;
  for (const auto& command : Commands()) {
    if (command.toolBarPlace > 0) buttons.push_back(&command);
  }
  std::sort(buttons.begin(), buttons.end(),
            [](const CommandEntry* a, const CommandEntry* b) { return a->toolBarPlace < b->toolBarPlace; });
  for (const CommandEntry* button : buttons) {
    if (button->toolBarGapBefore) toolBar_->addSeparator();
    QAction* action = actions_[button->id];
    action->setIcon(ToolIcon(button->id));
    toolBar_->addAction(action);
  }
}

void TQel_VeskFrame::buildAccelerators() {
  for (const auto& command : Commands()) {
    for (const std::string_view keys : command.keys) {
      if (keys.empty()) continue;
      auto* shortcut = new QShortcut(QKeySequence(QString::fromStdString(PortableKey(keys))), this);
      shortcut->setObjectName(QString("accel%1").arg(ToInt(command.id)));
      shortcut->setProperty("commandId", ToInt(command.id));
      const CommandId id = command.id;
      connect(shortcut, &QShortcut::activated, this, [this, id] { dispatch(id); });
    }
  }
}

bool TQel_VeskFrame::commandEnabled(const CommandEntry& entry) const {
  const bool attached = entry.run || uiCommands_.count(entry.id);
  return attached && (!entry.enabled || entry.enabled(state_));
}

void TQel_VeskFrame::dispatch(CommandId id) {
  refreshCommandStates();
  const CommandEntry* entry = FindCommand(id);
  if (!entry || !commandEnabled(*entry)) return;
  const auto windowCommand = uiCommands_.find(id);
  if (windowCommand != uiCommands_.end()) {
    windowCommand->second();
  } else {
    // The command has shown its own messages.
    static_cast<void>(RunFromWindow(*ui_, id));
  }
  refreshCommandStates();
  client_->applyPointerShape();
  emit commandFinished();
}

void TQel_VeskFrame::refreshCommandStates() {
  for (auto& [id, action] : actions_) {
    const CommandEntry* entry = FindCommand(id);
    action->setEnabled(commandEnabled(*entry));
    if (entry->checked) action->setChecked(entry->checked(state_));
  }
  updateStretchButton();
}

void TQel_VeskFrame::updateTelescopeButton() {
  QAction* button = commandAction(kToolBarTelescopeButton);
  const bool wanted = state_.settings.telescopeGuiding != 'n';
  const bool present = toolBar_->actions().contains(button);
  if (wanted && !present) toolBar_->addAction(button);
  if (!wanted && present) toolBar_->removeAction(button);
}

void TQel_VeskFrame::updateStretchButton() {
  // The swap of the stretch buttons: the toggle carries the look of the state
  // the user can switch to next (pressed while the stretch is on).
  QAction* toggle = commandAction(CommandId::StretchDisplayToggle);
  toggle->setCheckable(true);
  toggle->setChecked(state_.display.stretchDisplay);
  toggle->setIcon(
      ToolIcon(state_.display.stretchDisplay ? CommandId::StretchDisplayOff : CommandId::StretchDisplayToggle));
}

// ---------------------------------------------------------------- commands from the window

namespace {

// The window shows no command-line notes.
class DiscardBuffer final : public std::streambuf {
 protected:
  int overflow(int c) override { return traits_type::not_eof(c); }
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

}  // namespace

CommandArgs WindowArgs(std::initializer_list<std::pair<std::string, std::string>> options,
                       std::initializer_list<std::string> positional) {
  CommandArgs args;
  args.options.assign(options.begin(), options.end());
  args.positional.assign(positional.begin(), positional.end());
  return args;
}

void AddCommandDialogs(UiCommands& commands, UiContext& ui, const CommandDialogs& dialogs) {
  for (const auto& [id, ask] : dialogs) {
    commands.emplace(id, [&ui, id = id, ask = ask] {
      // The command has shown its own messages.
      if (auto args = ask(ui.state, ui.host, &ui.frame)) static_cast<void>(RunFromWindow(ui, id, std::move(*args)));
    });
  }
}

CommandStatus RunFromWindow(UiContext& ui, CommandId id, CommandArgs args) {
  const CommandEntry* entry = FindCommand(id);
  if (!entry) return CommandStatus::Refused;
  if (args.name.empty()) args.name = entry->cliName.empty() ? std::string(entry->hint) : std::string(entry->cliName);
  DiscardBuffer discard;
  std::ostream silent(&discard);
  CommandContext context{ui.state, ui.host, ui.clock, silent, silent};
  const std::string titleBefore = ui.state.files.imageTitle;
  const CommandStatus status = RunCommand(*entry, context, args);
  ui.window.showDisplay();
  if (ui.state.files.imageTitle != titleBefore) {
    ui.frame.setWindowTitle(TQel_VeskFrame::Caption(QString::fromStdString(ui.state.files.imageTitle)));
  }
  return status;
}

}  // namespace qv
