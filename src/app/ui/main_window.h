#pragma once
// The program's main frame (menu, tool bar, status bar, accelerators, all
// built from the command registry) and its client window, which shows the
// current image.

#include <QAbstractScrollArea>
#include <QImage>
#include <QMainWindow>
#include <map>
#include <memory>

#include "app/program_state.h"
#include "app/ui/command_handlers.h"
#include "app/ui/qt_host.h"

class QMenu;
class QToolBar;
class QShortcut;

namespace qv {

class TQel_VeskWindow : public QAbstractScrollArea {
  Q_OBJECT
 public:
  TQel_VeskWindow(ProgramState& state, QtHost& host, QWidget* parent = nullptr);

  // RebuildDisplay, then show the new bitmap (caption, palette, scroller).
  void rebuildDisplay();
  // Command 899: the rebuild without converting WorkImage again.
  void rebuildFromDisplayBytes();
  // Command 891: repaint with the current bitmap and adjust the scroller.
  void realizeDisplayPalette();
  // Recomputes the scroll range; `reset` scrolls to the origin.
  void adjustScroller(bool reset = false);
  // Shows the bitmap the core's last rebuild left (the previous one when
  // that rebuild failed).
  void showDisplay();

  const QImage& shownImage() const { return shown_; }
  // The pointer the current mouse mode asks for.
  void applyPointerShape();

 signals:
  void captionChanged(const QString& caption);
  // A click or pointer move went to a mouse mode.
  void mouseStateChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  void drawOverlays(QPainter& painter);

  ProgramState& state_;
  QtHost& host_;
  QImage shown_;
  // The button went down while an exposure ran: that press cancelled it, so
  // its release is no click for a mouse mode (the run may be over by then).
  bool pressCancelledRun_ = false;
};

class TQel_VeskFrame : public QMainWindow {
  Q_OBJECT
 public:
  TQel_VeskFrame(ProgramState& state, QtHost& host);
  ~TQel_VeskFrame() override;

  static QString Caption(const QString& fileName);

  // Runs a command: its window operation or dialog, else its table
  // operation, if it is enabled.
  void dispatch(CommandId id);
  // Enablers and check marks, as when a menu opens.
  void refreshCommandStates();
  // The "Telescope &Control" button is on the tool bar only while a
  // telescope guiding mode is chosen.
  void updateTelescopeButton();
  // The stretch button shows the state the display stretch can be switched to.
  void updateStretchButton();

  QAction* commandAction(CommandId id) const;
  UiContext& ui() { return *ui_; }
  TQel_VeskWindow* client() const { return client_; }
  QToolBar* commandToolBar() const { return toolBar_; }
  QMenu* popupMenu() const { return popupMenu_; }

 signals:
  // A command run from a menu, button or key has finished.
  void commandFinished();

 private:
  void buildMenus();
  void buildToolBar();
  void buildAccelerators();
  bool commandEnabled(const CommandEntry& entry) const;

  ProgramState& state_;
  QtHost& host_;
  TQel_VeskWindow* client_;
  QToolBar* toolBar_ = nullptr;
  QMenu* popupMenu_ = nullptr;
  std::map<CommandId, QAction*> actions_;
  UiCommands uiCommands_;
  std::unique_ptr<UiContext> ui_;
};

}  // namespace qv
